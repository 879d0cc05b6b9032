// Line blocks and boxes: marking them, and the commands on the marked block
// (copy, move, delete, indent, fill, going to it, unmarking).
//
// At most one kind is marked: LineBlockFirst..LineBlockLast, or the box
// BoxFirstLine..BoxLastLine x BoxFirstColumn..BoxLastColumn. The line store
// keeps the line numbers in step with inserts and deletes. Every command is
// whole or nothing: what it cannot finish (line limit, memory, a line past
// 255 characters, an overlap) it refuses before any line changes.
#pragma once

#include <string>

#include "editor/editor.h"

namespace lumo {

constexpr const char* NoBlockMessage = "No marked block!";
constexpr const char* OverlapMessage = "Invalid overlap in block operation!";
constexpr const char* LineTooLongMessage = " Line too long for block operation!";

bool LineBlockMarked(const Editor& ed);
bool BoxMarked(const Editor& ed);
// Puts the marks in order before a command reads them: lines within the
// text, first <= last, box columns within 1..255; a block wholly past the
// text is unmarked.
void CheckBlockMarks(Editor& ed);
void UnmarkBlock(Editor& ed);

// Alt+L: marks a line block at the current line, or extends it there; a
// box becomes a line block over its lines.
void MarkLineBlock(Editor& ed);
// Alt+B at `column`: starts a one-cell box or widens the box to take the
// cell (current line, column) in; a marked line block is extended instead.
void MarkBoxCorner(Editor& ed, int column);

// The block commands. Each sets OperationFailed (0 done, 1 refused) and
// shows its message on refusal. `keepMark`: Alt+K rather than Alt+C.
void CopyBlock(Editor& ed, bool keepMark);
void MoveBlock(Editor& ed);
void DeleteBlock(Editor& ed);
// Alt+Ins (+1) and Alt+Del (-1) over the line block.
void IndentBlock(Editor& ed, int direction);
void FillBox(Editor& ed, uint8_t c);

// The text of the box's columns on line n (blanks past the line's end).
std::string BoxText(const Editor& ed, int n);

// ---- commands ----
Redraw CmdMarkLineBlock(Editor& ed);   // Alt+L 0x03082600 [Block "1"]
Redraw CmdMarkBoxCorner(Editor& ed);   // Alt+B 0x03083000 [Boxes "1"]
Redraw CmdBoxWord(Editor& ed);         // Alt+V 0x03082F00, Alt+X 0x03082D00, Alt+Z 0x03082C00 [Boxes "2"]
Redraw CmdBoxToLineEnd(Editor& ed);    // Alt+E 0x03081200, Shift+End 0x0202FF26 [Boxes "3"]
Redraw CmdBoxWholeLine(Editor& ed);    // Alt+N 0x03083100 [Boxes "4"]
Redraw CmdCopyBlock(Editor& ed);       // Alt+C 0x03082E00, Alt+K 0x03082500 [Copy block "1", "2"]
Redraw CmdMoveBlock(Editor& ed);       // Alt+M 0x03083200 [Block "4"]
Redraw CmdDeleteBlock(Editor& ed);     // Alt+G 0x03082200 [Block "5", Delete "5"]
Redraw CmdIndentBlock(Editor& ed);     // Alt+Ins 0x0208FF29 [Block "6"]
Redraw CmdUnindentBlock(Editor& ed);   // Alt+Del 0x0208FF2A [Block "7"]
Redraw CmdFillBox(Editor& ed);         // Alt+F 0x03082100 [More blocks "3"]
Redraw CmdWhereBlock(Editor& ed);      // Alt+/ 0x03083500, AltGr+/ 0x0008352F [More blocks "4"]
Redraw CmdUnmarkBlock(Editor& ed);     // Alt+U 0x03081600 [Block "9"]

}  // namespace lumo
