// The box work behind the block commands: each checks everything first
// (overlap, 255 characters, lines and memory), then changes the lines.
#pragma once

#include <string>
#include <vector>

#include "editor/editor.h"

namespace lumo {

void CopyBox(Editor& ed, bool keepMark);
void MoveBox(Editor& ed);
void DeleteBox(Editor& ed);

// Puts `text` in at the cursor as one insertion (over as many characters in
// overwrite mode), then wraps as a typed last character would. `carried`
// is how many characters the wrap took to the next line. False (with the
// message shown) when the line would pass 255 characters.
bool PutInAtCursor(Editor& ed, const std::string& text, int& carried);

// Puts rows[i] in at `column` of line `line` + i (lines past the text are
// appended), after cutting the marked box out of its lines when `cutBox`;
// whole or nothing (false with the message shown).
bool PutRowsAt(Editor& ed, int line, int column, const std::vector<std::string>& rows, bool overwrite,
               bool cutBox);

}  // namespace lumo
