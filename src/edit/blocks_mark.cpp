// Marking blocks: line blocks, box corners, the word and line-end boxes,
// and keeping the marks sane before a command reads them.
#include <algorithm>

#include "edit/blocks.h"
#include "edit/bookmarks.h"
#include "editor/linestore.h"
#include "editor/words.h"
#include "ui/render.h"

namespace lumo {

namespace {

int LineSize(const Editor& ed) { return LineCapacityOf(ed, ed.CurrentLine); }

bool IsControlByte(char c) { return static_cast<uint8_t>(c) < 0x20; }
bool IsWordByte(char c) { return c != ' ' && !IsControlByte(c) && !IsDelimiter(static_cast<uint8_t>(c)); }

// Where a box corner goes for a column given as "the line's end plus one":
// the plus one only while that column is below LineCapacity.
int PastTextColumn(const Editor& ed, const std::string& line)
{
    int c = TrimmedLength(line);
    if (c < ed.LineCapacity) ++c;
    return c;
}

}  // namespace

bool LineBlockMarked(const Editor& ed) { return ed.LineBlockFirst > 0; }
bool BoxMarked(const Editor& ed) { return ed.BoxFirstLine > 0; }

void UnmarkBlock(Editor& ed)
{
    ed.LineBlockFirst = ed.LineBlockLast = 0;
    ed.BoxFirstLine = ed.BoxLastLine = 0;
    ed.BoxFirstColumn = ed.BoxLastColumn = 0;
}

void CheckBlockMarks(Editor& ed)
{
    const int count = std::max(ed.LineCount, 1);
    if (ed.LineBlockFirst > 0) {
        if (ed.LineBlockLast < ed.LineBlockFirst) std::swap(ed.LineBlockFirst, ed.LineBlockLast);
        ed.LineBlockFirst = std::max(ed.LineBlockFirst, 1);
        if (ed.LineBlockFirst > count) ed.LineBlockFirst = ed.LineBlockLast = 0;
        else ed.LineBlockLast = std::min(ed.LineBlockLast, count);
    } else {
        ed.LineBlockFirst = ed.LineBlockLast = 0;
    }
    if (ed.BoxFirstLine > 0) {
        if (ed.BoxLastLine < ed.BoxFirstLine) std::swap(ed.BoxFirstLine, ed.BoxLastLine);
        if (ed.BoxLastColumn < ed.BoxFirstColumn) std::swap(ed.BoxFirstColumn, ed.BoxLastColumn);
        ed.BoxFirstColumn = std::clamp(ed.BoxFirstColumn, 1, MaxText);
        ed.BoxLastColumn = std::clamp(ed.BoxLastColumn, 1, MaxText);
        ed.BoxFirstLine = std::max(ed.BoxFirstLine, 1);
        if (ed.BoxFirstLine > count || ed.LineBlockFirst > 0) {
            ed.BoxFirstLine = ed.BoxLastLine = ed.BoxFirstColumn = ed.BoxLastColumn = 0;
        } else {
            ed.BoxLastLine = std::min(ed.BoxLastLine, count);
        }
    } else {
        ed.BoxFirstLine = ed.BoxLastLine = ed.BoxFirstColumn = ed.BoxLastColumn = 0;
    }
}

void MarkLineBlock(Editor& ed)
{
    if (ed.BoxFirstLine > 0) {
        ed.LineBlockFirst = ed.BoxFirstLine;
        ed.LineBlockLast = ed.BoxLastLine;
        ed.BoxFirstLine = ed.BoxLastLine = 0;
        ed.BoxFirstColumn = ed.BoxLastColumn = 0;
    }
    const int line = ed.CurrentLine;
    if (ed.LineBlockFirst <= 0) ed.LineBlockFirst = ed.LineBlockLast = line;
    else if (line > ed.LineBlockLast) ed.LineBlockLast = line;
    else if (line < ed.LineBlockFirst) ed.LineBlockFirst = line;
}

void MarkBoxCorner(Editor& ed, int column)
{
    if (column > LineSize(ed)) --column;
    // A column of 0 (a line of width 0) or past 255 would address a cell
    // that no line has.
    column = std::clamp(column, 1, MaxText);
    if (ed.LineBlockFirst > 0) {
        MarkLineBlock(ed);
        return;
    }
    const int line = ed.CurrentLine;
    if (ed.BoxFirstLine <= 0) {
        ed.BoxFirstLine = ed.BoxLastLine = line;
        ed.BoxFirstColumn = ed.BoxLastColumn = column;
        return;
    }
    if (line > ed.BoxLastLine) ed.BoxLastLine = line;
    else if (line < ed.BoxFirstLine) ed.BoxFirstLine = line;
    if (column > ed.BoxLastColumn) ed.BoxLastColumn = column;
    else if (column < ed.BoxFirstColumn) ed.BoxFirstColumn = column;
}

Redraw CmdMarkLineBlock(Editor& ed)
{
    MarkLineBlock(ed);
    return Redraw::Full;
}

Redraw CmdMarkBoxCorner(Editor& ed)
{
    MarkBoxCorner(ed, ed.CurrentColumn);
    return Redraw::Full;
}

Redraw CmdBoxWord(Editor& ed)
{
    const int line = ed.CurrentLine;
    if (!(ed.BoxFirstLine == line && ed.BoxLastLine == line)) UnmarkBlock(ed);
    const std::string s = GetLine(ed, line);
    const int size = static_cast<int>(s.size());
    const int column = std::clamp(ed.CurrentColumn, 1, 256);
    int p = std::min(column, size);
    if (p < 1) return Redraw::Full;
    if (CharAt(s, p) == ' ' && (p == 1 || CharAt(s, p - 1) == ' ')) return Redraw::Full;
    auto delimiter = [&s](int i) { return IsDelimiter(static_cast<uint8_t>(CharAt(s, i))); };
    if (p > 1 && delimiter(p) && CharAt(s, p - 1) == ' ') ++p;
    int e = WordEnd(s, p, 2);
    int q = WordStart(s, e);
    if (column < q) q = column;
    while (q <= size && delimiter(q)) ++q;

    const bool wordOnly = ed.KeyScan == 0x2C;  // Alt+Z
    MarkBoxCorner(ed, q);
    if (IsWordByte(CharAt(s, e))) --e;
    if (wordOnly || IsControlByte(CharAt(s, e))) --e;
    MarkBoxCorner(ed, e);
    if (!(wordOnly && CharAt(s, column) == ' ')) MarkBoxCorner(ed, column);
    return Redraw::Full;
}

Redraw CmdBoxToLineEnd(Editor& ed)
{
    UnmarkBlock(ed);
    const std::string s = GetLine(ed, ed.CurrentLine);
    MarkBoxCorner(ed, ed.CurrentColumn);
    MarkBoxCorner(ed, PastTextColumn(ed, s));
    return Redraw::Full;
}

Redraw CmdBoxWholeLine(Editor& ed)
{
    UnmarkBlock(ed);
    const std::string s = GetLine(ed, ed.CurrentLine);
    int c = 1;
    while (c < ed.LineCapacity && CharAt(s, c) == ' ') ++c;
    MarkBoxCorner(ed, c);
    MarkBoxCorner(ed, PastTextColumn(ed, s));
    return Redraw::Full;
}

Redraw CmdWhereBlock(Editor& ed)
{
    CheckBlockMarks(ed);
    if (!LineBlockMarked(ed) && !BoxMarked(ed)) return Redraw::NextKey;
    PushGetBack(ed);
    ed.CurrentLine = LineBlockMarked(ed) ? ed.LineBlockFirst : ed.BoxFirstLine;
    ed.TopLine = ed.CurrentLine;
    ed.LineEdited = false;
    return Redraw::Full;
}

Redraw CmdUnmarkBlock(Editor& ed)
{
    UnmarkBlock(ed);
    return Redraw::Full;
}

}  // namespace lumo
