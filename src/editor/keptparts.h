// Lines kept as they were read: what a save needs to write an untouched line
// back byte for byte (its trailing blanks and NULs, and the part of a line
// longer than 255 characters that the record cannot hold). The kept part
// lives outside the record, filed under the record, so it moves with the
// line when lines are inserted or deleted; storing new text into the line
// drops it (the line is then saved as the editor saves every changed line).
#pragma once

#include <cstdint>
#include <string_view>

#include "editor/editor.h"

namespace lumo {

// Files the kept part of line n as read from `text` (the line's first 255
// characters, before any trimming) and `rest` (what the line held beyond
// them), both in the text's code. False (nothing kept) when the budget
// cannot pay for it. Marks the line cut when `rest` holds more than blanks.
bool KeepReadLine(Editor& ed, int n, std::string_view text, std::string_view rest);
// Bytes KeepReadLine would charge for such a line.
size_t KeptSize(std::string_view text, std::string_view rest);
// Drops the record's kept part (the line has changed), releasing its bytes.
void DropKeptPart(Editor& ed, LineRecord& record);
// Drops every kept part (all lines released).
void DropAllKeptParts(Editor& ed);

// What a save writes after line n's text; empty when the line has none or
// has been changed since it was read.
std::string_view KeptPart(const Editor& ed, int n);
// Line n went on beyond 255 characters and is still as read: its end is kept.
bool LineGoesOn(const Editor& ed, int n);
// Line n was cut at 255 characters and has been changed since: its end is lost.
bool CutLineChanged(const Editor& ed, int n);
// The first such line, or 0.
int FirstChangedCutLine(const Editor& ed);
// Reinterprets the bytes of a line just read (text and kept part) through
// `table` without counting as a change: the recode prompt after loading.
void ReinterpretReadLine(Editor& ed, int n, const uint8_t (&table)[256]);

}  // namespace lumo
