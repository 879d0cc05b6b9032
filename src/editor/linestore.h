// The line table: every line of the text as one record of a fixed capacity
// (the text, then blanks or a colour code), within a byte budget; the operations through which every other
// part of the editor reads and changes lines, and the line numbers that are
// kept in step with inserts and deletes.
#pragma once

#include <string>
#include <string_view>

#include "editor/editor.h"

namespace lumo {

// The whole record of line n (0 = the scratch line): its text padded with
// blanks to its capacity. Empty for a line that does not exist.
std::string GetLine(const Editor& ed, int n);
// Capacity of line n, and its text without trailing blanks (cheap, no copy).
int LineCapacityOf(const Editor& ed, int n);
std::string_view LineText(const Editor& ed, int n);
// Stores s as line n; grows the record to s's trimmed length when it does not
// fit, and leaves the line unchanged when the budget cannot pay for that.
void SetLine(Editor& ed, const std::string& s, int n);
// Inserts a line of `capacity` blanks so that it becomes line `at`. On refusal
// (line limit or memory) shows the timed message, sets OperationFailed to 1 and
// decreases `at` (never below 1).
void InsertLine(Editor& ed, int capacity, int& at);
// Removes line `at` (the only line is blanked instead); `at` is clamped to the
// new LineCount.
void DeleteLine(Editor& ed, int& at);
int TrimmedLength(const std::string& s);
int FirstNonBlank(const std::string& s);
void DeleteChars(Editor& ed, int n, int position, int count);
void ClearToEnd(Editor& ed);
void BeginLineChange(Editor& ed, int n);

// Appends a line at the end while loading: capacity max(LineCapacity, text
// length), text stored through SetLine. `rest` is what the file's line held
// beyond its first 255 characters: the line keeps that and its trailing
// blanks so that it is saved as read while unchanged (editor/keptparts.h).
// False when the line limit or the budget refuses it (nothing shown).
bool AppendLoadedLine(Editor& ed, std::string_view text, std::string_view rest = {});
// Releases every text line (LineCount 0), for a reload.
void ReleaseAllLines(Editor& ed);
// The largest record the budget can still pay for, in bytes, and the unspent budget.
size_t LargestFreeBlock(const Editor& ed);
size_t FreeMemory(const Editor& ed);
// Sets LineCapacity and the blank filler together.
void SetLineCapacity(Editor& ed, int capacity);
// Character p (from 1) of s, or a blank outside it.
inline char CharAt(const std::string& s, int p)
{
    return p >= 1 && p <= static_cast<int>(s.size()) ? s[p - 1] : ' ';
}

}  // namespace lumo
