// The line table: every line of the text as one record of a fixed capacity
// (the text, then blanks or a colour code), within a byte budget; the operations through which every other
// part of the editor reads and changes lines, and the line numbers that are
// kept in step with inserts and deletes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

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
// Inserts texts[0], texts[1], ... so that the first becomes line `at`, each
// with capacity max(LineCapacity, its length), in one move of the table;
// marks and bookmarks follow as for InsertLine. All or nothing: false, with
// nothing changed and nothing shown, when the line limit or the budget
// cannot take them all.
bool InsertLines(Editor& ed, int at, const std::vector<std::string>& texts);
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


// Keeps the remembered lines (bookmarks, block marks, the cursor's line) in
// step with `count` lines inserted at `at`, or lines first..first+count-1
// deleted (LineCount is not changed here), as that many InsertLine or
// DeleteLine calls would. For commands that change many lines at once.
void FollowInsert(Editor& ed, int at, int count);
void FollowDelete(Editor& ed, int first, int count);
// Replaces `count` lines from `first` by `lines` in one move of the table
// (records keep their capacity where they can, new ones get LineCapacity).
// Remembered lines are not touched; Modified is set. On a refusal (the line
// limit, the budget, lines that do not exist) nothing changes.
enum class Replaced { Done, TooManyLines, NoMemory, Refused };
Replaced ReplaceLines(Editor& ed, int first, int count, const std::vector<std::string>& lines);

}  // namespace lumo

namespace lumo {

// ---- many lines at once (blocks, paste) ----
// Each keeps every remembered line number in step exactly as the same number
// of InsertLine or DeleteLine calls would, with one move of the table's
// references instead of one per line.

// What one new line is to hold: its text and its capacity.
struct NewLine {
    std::string_view text;
    int capacity = 0;
};
// True when `count` more lines of the given total record cost (capacities)
// fit under the line limit and the budget; otherwise shows the line store's
// message, sets OperationFailed and returns false.
bool RoomForLines(Editor& ed, int count, size_t capacities);
// Inserts `count` lines so that they become lines at..at+count-1; line i
// (from 0) is made from source(i), which is called before any reference
// moves (it may read the text). Whole or nothing: on refusal (RoomForLines,
// or the heap) nothing changes and the result is false.
bool InsertLines(Editor& ed, int at, int count, const std::function<NewLine(int)>& source);
// Deletes lines first..first+count-1 as `count` DeleteLine(first) calls
// would: the restore ring gets the last 16 of them, a text left without
// lines keeps one blank line.
void DeleteLines(Editor& ed, int first, int count);
// Moves lines first..last to below line `below` (outside first..last-1), as
// copying them there and deleting them at their old place would leave every
// remembered line number; the records themselves are not copied.
void MoveLines(Editor& ed, int first, int last, int below);

}  // namespace lumo
