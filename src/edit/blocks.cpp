// The block commands: copy, move and delete of line blocks and boxes,
// indent and unindent, and the key commands for them. The box work itself is
// in blocks_box.cpp, the marking in blocks_mark.cpp.
#include "edit/blocks.h"

#include <algorithm>

#include "edit/blocks_box.h"
#include "editor/codepage.h"
#include "editor/keyreading.h"
#include "editor/linestore.h"
#include "ui/render.h"

namespace lumo {

namespace {

// Refuses with `message` (a timed message) and OperationFailed.
void Refuse(Editor& ed, const char* message)
{
    ShowMessage(ed, message, 1);
    ed.OperationFailed = 1;
}

bool OverlapsLineBlock(const Editor& ed)
{
    return ed.LineBlockFirst <= ed.CurrentLine && ed.CurrentLine < ed.LineBlockLast;
}

// The copy step of a line block: the block's lines below the current line,
// all of them or none.
void CopyLines(Editor& ed)
{
    if (OverlapsLineBlock(ed)) return Refuse(ed, OverlapMessage);
    const int first = ed.LineBlockFirst;
    const int count = ed.LineBlockLast - first + 1;
    size_t capacities = 0;
    for (int n = first; n <= ed.LineBlockLast; ++n) capacities += LineCapacityOf(ed, n);
    if (!RoomForLines(ed, count, capacities)) return;
    BeginLineChange(ed, ed.CurrentLine);
    InsertLines(ed, ed.CurrentLine + 1, count, [&ed, first](int i) {
        return NewLine{LineText(ed, first + i), LineCapacityOf(ed, first + i)};
    });
}

void KeepWindowAboveCursor(Editor& ed)
{
    if (ed.TopLine > ed.CurrentLine) ed.TopLine = ed.CurrentLine;
}

}  // namespace

std::string BoxText(const Editor& ed, int n)
{
    std::string_view text = LineText(ed, n);
    std::string s;
    for (int c = ed.BoxFirstColumn; c <= ed.BoxLastColumn; ++c)
        s += c >= 1 && c <= static_cast<int>(text.size()) ? text[c - 1] : ' ';
    return s;
}

void CopyBlock(Editor& ed, bool keepMark)
{
    ed.OperationFailed = 0;
    CheckBlockMarks(ed);
    if (LineBlockMarked(ed)) {
        CopyLines(ed);
        if (!ed.OperationFailed && !keepMark) UnmarkBlock(ed);
        return;
    }
    if (!BoxMarked(ed)) return Refuse(ed, NoBlockMessage);
    CopyBox(ed, keepMark);
    if (!ed.OperationFailed && !keepMark) UnmarkBlock(ed);
}

void MoveBlock(Editor& ed)
{
    ed.OperationFailed = 0;
    CheckBlockMarks(ed);
    if (LineBlockMarked(ed)) {
        if (OverlapsLineBlock(ed)) return Refuse(ed, OverlapMessage);
        // Moving never needs more lines or memory than the text has: the
        // records change places, nothing is copied.
        BeginLineChange(ed, ed.CurrentLine);
        MoveLines(ed, ed.LineBlockFirst, ed.LineBlockLast, ed.CurrentLine);
        KeepWindowAboveCursor(ed);
        UnmarkBlock(ed);
        return;
    }
    if (!BoxMarked(ed)) return Refuse(ed, NoBlockMessage);
    MoveBox(ed);
}

void DeleteBlock(Editor& ed)
{
    ed.OperationFailed = 0;
    CheckBlockMarks(ed);
    if (LineBlockMarked(ed)) {
        // Counted before the first delete: a block over the whole text ends
        // as one blank line whose marks would otherwise never go.
        DeleteLines(ed, ed.LineBlockFirst, ed.LineBlockLast - ed.LineBlockFirst + 1);
        KeepWindowAboveCursor(ed);
        UnmarkBlock(ed);
        return;
    }
    if (!BoxMarked(ed)) return Refuse(ed, NoBlockMessage);
    DeleteBox(ed);
    UnmarkBlock(ed);
}

void IndentBlock(Editor& ed, int direction)
{
    ed.OperationFailed = 0;
    CheckBlockMarks(ed);
    if (!LineBlockMarked(ed)) return Refuse(ed, NoBlockMessage);
    const int first = ed.LineBlockFirst;
    const int last = ed.LineBlockLast;
    if (direction > 0) {
        // A blank in front never pushes a character off a full line, and
        // lines whose records must grow are paid for before anything changes.
        size_t growth = 0;
        for (int n = first; n <= last; ++n) {
            const int length = static_cast<int>(LineText(ed, n).size());
            if (length == 0) continue;
            if (length + 1 > MaxText) return Refuse(ed, LineTooLongMessage);
            if (length + 1 > LineCapacityOf(ed, n)) growth += length + 2;
        }
        if (growth >= FreeMemory(ed)) return Refuse(ed, " NOT ENOUGH MEMORY!");
    }
    ed.LineEdited = false;
    std::string s;
    for (int n = first; n <= last; ++n) {
        std::string_view text = LineText(ed, n);
        if (text.empty()) continue;  // a blank line stays blank either way
        if (direction > 0) {
            s.assign(1, ' ');
            s.append(text);
        } else {
            s.assign(text.substr(1));
        }
        SetLine(ed, s, n);
    }
    ed.Modified = true;
}

// ---- commands ----

Redraw CmdCopyBlock(Editor& ed)
{
    CopyBlock(ed, ed.KeyScan != 0x2E);  // Alt+C unmarks, Alt+K (and the menu's others) keep
    return ed.OperationFailed ? Redraw::Window : Redraw::Full;
}

Redraw CmdMoveBlock(Editor& ed)
{
    MoveBlock(ed);
    return Redraw::Full;
}

Redraw CmdDeleteBlock(Editor& ed)
{
    DeleteBlock(ed);
    return Redraw::Full;
}

Redraw CmdIndentBlock(Editor& ed)
{
    IndentBlock(ed, +1);
    return Redraw::Full;
}

Redraw CmdUnindentBlock(Editor& ed)
{
    IndentBlock(ed, -1);
    return Redraw::Full;
}

Redraw CmdFillBox(Editor& ed)
{
    ed.OperationFailed = 0;
    CheckBlockMarks(ed);
    if (!BoxMarked(ed)) {
        Refuse(ed, NoBlockMessage);
        return Redraw::Window;
    }
    ShowMessage(ed, " Enter fill character: ", 22);
    ReadEditorKey(ed);
    uint8_t c = ed.KeyChar;
    if (ed.RusMode) c = RusKey(c);
    FillBox(ed, c);
    DrawMessageLine(ed);
    return Redraw::Full;
}

}  // namespace lumo
