// The cursor steps by column, line and page, with the block following the
// cursor while Shift is held.
#include "edit/movement.h"

#include <algorithm>

#include "edit/blocks.h"
#include "editor/linestore.h"
#include "ui/render.h"

namespace lumo {

namespace {

bool ShiftHeld(const Editor& ed) { return (ed.KeyShift & 3) != 0; }
int PageHeight(const Editor& ed) { return std::max(ed.con.ScreenRows - 3, 1); }
int LineSize(const Editor& ed) { return static_cast<int>(GetLine(ed, ed.CurrentLine).size()); }

void Unmark(Editor& ed)
{
    ed.LineBlockFirst = ed.LineBlockLast = 0;
    ed.BoxFirstLine = ed.BoxLastLine = 0;
    ed.BoxFirstColumn = ed.BoxLastColumn = 0;
}

// Shift+Right and Shift+Left: the box edge under the cursor moves with it.
void ExtendBoxRight(Editor& ed)
{
    ed.LineBlockFirst = ed.LineBlockLast = 0;
    if (ed.BoxFirstLine <= 0) MarkBoxCorner(ed, ed.CurrentColumn);
    const int old = ed.CurrentColumn;
    bool onEdge = old == ed.BoxFirstColumn || old == ed.BoxLastColumn;
    if (onEdge && old <= LineSize(ed)) ++ed.CurrentColumn;
    if (old != ed.BoxFirstColumn || ed.BoxFirstColumn == ed.BoxLastColumn)
        ed.BoxLastColumn = std::min(ed.BoxLastColumn + 1, MaxText);  // a box column is 1..255
    else
        ++ed.BoxFirstColumn;
}

void ExtendBoxLeft(Editor& ed)
{
    ed.LineBlockFirst = ed.LineBlockLast = 0;
    if (ed.BoxFirstLine <= 0) MarkBoxCorner(ed, ed.CurrentColumn);
    const int old = ed.CurrentColumn;
    bool onEdge = old == ed.BoxFirstColumn || old == ed.BoxLastColumn;
    if (onEdge && old > 1) --ed.CurrentColumn;
    if (old != ed.BoxFirstColumn)
        --ed.BoxLastColumn;
    else
        ed.BoxFirstColumn = std::max(ed.BoxFirstColumn - 1, 1);
    if (ed.BoxLastColumn < ed.BoxFirstColumn) Unmark(ed);
}

}  // namespace

void CursorRight(Editor& ed)
{
    if (ShiftHeld(ed)) {
        ExtendBoxRight(ed);
        return;
    }
    if (ed.CurrentColumn <= LineSize(ed)) ++ed.CurrentColumn;
    ed.CurrentColumn = std::clamp(ed.CurrentColumn, 1, 256);
}

void CursorLeft(Editor& ed)
{
    if (ShiftHeld(ed)) {
        ExtendBoxLeft(ed);
        return;
    }
    if (ed.CurrentColumn > 1) --ed.CurrentColumn;
    ed.CurrentColumn = std::clamp(ed.CurrentColumn, 1, 256);
}

void CursorDown(Editor& ed)
{
    int line = ed.CurrentLine;
    if (line >= ed.LineCount) {
        // A timed message: the key that ends it stays waiting and the main
        // loop then reads it as the next command.
        ShowMessage(ed, " This is the last line. To add a line - F3 or Enter.", 1);
        return;
    }
    if (ShiftHeld(ed)) {
        if (ed.BoxLastLine == line) ++ed.BoxLastLine;
        else if (ed.BoxFirstLine == line) ++ed.BoxFirstLine;
        else if (ed.LineBlockLast == line) ++ed.LineBlockLast;
        else if (ed.LineBlockFirst == line) ++ed.LineBlockFirst;
        else {
            Unmark(ed);
            ed.LineBlockFirst = line;
            ed.LineBlockLast = line + 1;
        }
    }
    ed.CurrentLine = line + 1;
    ed.LineEdited = false;
}

void CursorUp(Editor& ed)
{
    int line = ed.CurrentLine;
    if (line <= 1) return;
    if (ShiftHeld(ed)) {
        if (ed.BoxFirstLine == line) --ed.BoxFirstLine;
        else if (ed.BoxLastLine == line) --ed.BoxLastLine;
        else if (ed.LineBlockFirst == line) --ed.LineBlockFirst;
        else if (ed.LineBlockLast == line) --ed.LineBlockLast;
        else {
            Unmark(ed);
            ed.LineBlockFirst = line - 1;
            ed.LineBlockLast = line;
        }
    }
    ed.CurrentLine = std::min(line - 1, ed.LineCount);
    ed.LineEdited = false;
}

void LinesUp(Editor& ed, int n)
{
    for (int i = 0; i < n && ed.CurrentLine > 1; ++i) CursorUp(ed);
}

void LinesDown(Editor& ed, int n)
{
    for (int i = 0; i < n; ++i) {
        bool last = ed.CurrentLine >= ed.LineCount;
        CursorDown(ed);
        if (last) break;
    }
}

void PageUp(Editor& ed)
{
    const int page = PageHeight(ed);
    const int row = std::clamp(ed.CurrentLine - ed.TopLine + 3, 3, ed.con.ScreenRows);
    ed.LineEdited = false;
    if (ed.TopLine - page >= 1) {
        ed.TopLine -= page;
        ed.CurrentLine -= page;
    } else {
        ed.TopLine = 1;
        ed.CurrentLine = row - 2;
    }
    ed.CurrentLine = std::clamp(ed.CurrentLine, 1, std::max(ed.LineCount, 1));
}

void PageDown(Editor& ed)
{
    const int page = PageHeight(ed);
    if (ed.CurrentLine <= 0) ed.CurrentLine = 1;
    ed.LineEdited = false;
    if (ed.TopLine + page <= ed.LineCount) {
        ed.TopLine += page;
        ed.CurrentLine = std::min(ed.CurrentLine + page, ed.LineCount);
    } else {
        ed.TopLine = ed.CurrentLine = std::max(ed.LineCount, 1);
    }
}

Redraw CmdWordLeft(Editor& ed)
{
    const bool shift = ShiftHeld(ed);
    if (shift) {
        if (ed.CurrentColumn <= 1) return Redraw::Window;
        if (ed.BoxLastColumn == ed.CurrentColumn - 1 && ed.CurrentLine == ed.BoxFirstLine) {
            ed.BoxLastColumn = ed.BoxFirstColumn;
        } else if (ed.BoxFirstLine <= 0) {
            --ed.CurrentColumn;
            MarkBoxCorner(ed, ed.CurrentColumn);
        }
    }
    const std::string line = GetLine(ed, ed.CurrentLine);
    const int start = std::clamp(ed.CurrentColumn, 1, 256);
    int p = start;
    if (p >= TrimmedLength(line) && CharAt(line, p - 1) != ' ') ++p;
    int column = WordStart(line, p);
    if (column == start && column > 1) --column;
    ed.CurrentColumn = column;
    if (shift) {
        if (column < ed.BoxFirstColumn) MarkBoxCorner(ed, column);
        else if (column == ed.BoxFirstColumn) Unmark(ed);
        else MarkBoxCorner(ed, column - 1);
        return Redraw::Full;
    }
    return Redraw::Window;
}

Redraw CmdWordRight(Editor& ed)
{
    const bool shift = ShiftHeld(ed);
    if (shift) {
        if (ed.CurrentColumn != ed.BoxFirstColumn) MarkBoxCorner(ed, ed.CurrentColumn);
        else ed.BoxFirstColumn = ed.BoxLastColumn;
    }
    const std::string line = GetLine(ed, ed.CurrentLine);
    int column = WordEnd(line, std::clamp(ed.CurrentColumn, 1, 256), 0);
    if (column > static_cast<int>(line.size())) column = TrimmedLength(line) + 1;
    ed.CurrentColumn = std::clamp(column, 1, 256);
    if (shift) {
        int c = ed.CurrentColumn;
        if (c < ed.BoxFirstColumn) MarkBoxCorner(ed, c);
        else if (c - 1 == ed.BoxFirstColumn || c - 1 == 0) Unmark(ed);
        else MarkBoxCorner(ed, c - 1);
        return Redraw::Full;
    }
    return Redraw::Window;
}

}  // namespace lumo
