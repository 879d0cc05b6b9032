// Screen rendering: the text window, the status line, the message line with
// its timed messages and prompts, and the redraw cycle.
//
// Row 1 is the status line (or a menu row), row 2 the message line, rows 3 to
// ScreenRows the text window. Every drawing operation writes ScreenCells and
// ends with a flush that is not forced (DrawLine of line 0 leaves the flush
// to its caller).
#pragma once

#include <cstdint>
#include <string>

#include "editor/editor.h"

namespace lumo {

// Draws line `line` on screen row `row` with the text scrolled left by
// `horizontalScroll` columns: its colour marks, comments, control-byte glyphs,
// block highlights, bookmarks and the cursor cross. Line 0 is the scratch line
// (status and menu rows, none of the text's decorations); a line past the
// text draws blanks.
void DrawLine(Editor& ed, int horizontalScroll, int line, int row);
// Lines TopLine onwards on rows 3..ScreenRows; rows past the text are blank.
void DrawTextWindow(Editor& ed);
// Row 2 at rest: FillCell everywhere, the marked line block's size at the end.
void DrawMessageLine(Editor& ed);
// Unmarks the block (the line block if any, else the box) and redraws rows 2
// onwards.
void ClearBlockAndRedraw(Editor& ed);
void DrawStatusLine(Editor& ed);
// While the cursor is on a line that went on beyond 255 characters in its
// file, the message line says so (and whether its end is still kept); it
// rests again once the cursor leaves such lines.
void DrawCutLineNote(Editor& ed);
// Flips RusMode and redraws the status line that shows its "R".
void ToggleRus(Editor& ed);
// mode 1: timed message (about three seconds, a key ends it at once and stays
// unread); any mode below 30: a prompt that stays until row 2 is redrawn.
void ShowMessage(Editor& ed, const std::string& text, int mode);
// Before a prompt that follows a timed message in the same command: the key
// that ended the message (if one did) is taken and dropped, so that it is
// not typed into the prompt.
void DropMessageKey(Editor& ed);
// Text, two blanks and the number on row 2 in light red (row 3 blanked too),
// held for a moment that a key ends.
void ShowWarning(Editor& ed, const std::string& text, int number, int repeats);
// Writes and flushes text with one attribute from (column, row), both from 1;
// what does not fit in the row is not written.
void WriteText(Editor& ed, int column, int row, const std::string& text, uint8_t attribute);
// One cell, from 1; positions off the screen are ignored. Not flushed.
void PutCell(Editor& ed, int column, int row, uint8_t character, uint8_t attribute);
// True when `row` (from 1) exists in the console's cell buffer; nothing is
// drawn before the screen is open.
inline bool ScreenHasRow(const Console& con, int row)
{
    return row >= 1 && row <= con.ScreenRows &&
           con.ScreenCells.size() >= static_cast<size_t>(con.ScreenColumns) * con.ScreenRows;
}
// Two upper-case hexadecimal digits.
std::string HexByte(uint8_t byte);

// The redraw cycle: runs the levels from `level` down (full, window, view,
// status, cursor). Keeps the cursor inside the window first. While keystrokes
// play back, full, window and view draw only the message line (the window
// still follows the cursor).
void RedrawCycle(Editor& ed, Redraw level);

// After the window took a new size (Editor::OnResize): between commands,
// everything is drawn afresh; while a command waits (a menu, a question,
// the input line, a message), the text window is drawn afresh and rows 1
// and 2 show what they showed, cut or widened to the new width.
void RedrawAfterResize(Editor& ed);

}  // namespace lumo
