#include "edit/bookmarks.h"

#include <algorithm>

#include "ui/render.h"

namespace lumo {

namespace {

constexpr int RingSize = 16;

// Remembered columns live in 8-bit fields: 1..255.
int StoredColumn(int column) { return std::clamp(column, 1, 255); }

// Moves to `line`, which becomes the window's first line. A restore must
// never write one line's text into another, so changing lines forgets the
// edit of the old one.
void JumpToLine(Editor& ed, int line)
{
    if (line != ed.CurrentLine) {
        ed.LineEdited = false;
        ed.CurrentLine = line;
        ed.TopLine = line;
    }
}

bool ValidLine(const Editor& ed, int line) { return line >= 1 && line <= ed.LineCount; }

}  // namespace

void PushGetBack(Editor& ed)
{
    ed.GetBackIndex = (ed.GetBackIndex + 1) & (RingSize - 1);
    ed.GetBackRing[ed.GetBackIndex] = {ed.CurrentLine, StoredColumn(ed.CurrentColumn), ed.TopLine};
}

// Each Get back leaves the position it came from in the slot after the entry
// it used, so a walk back through the ring can be retraced.
Redraw CmdGetBack(Editor& ed)
{
    int index = ed.GetBackIndex & (RingSize - 1);
    PositionMark e = ed.GetBackRing[index];
    if (e.column > 0 && ValidLine(ed, e.line)) {
        ed.GetBackRing[(index + 1) & (RingSize - 1)] = {ed.CurrentLine, StoredColumn(ed.CurrentColumn),
                                                        ed.TopLine};
        if (e.line != ed.CurrentLine) ed.LineEdited = false;
        ed.CurrentLine = e.line;
        ed.TopLine = std::clamp(e.top, 1, e.line);
        ed.CurrentColumn = StoredColumn(e.column);
    }
    ed.GetBackIndex = (index - 1) & (RingSize - 1);
    return Redraw::Window;
}

void SetLineBookmark(Editor& ed, int k)
{
    if (k < 1 || k > 3) return;
    const int old = ed.LineBookmarks[k];
    ed.LineBookmarks[k] = ed.CurrentLine;
    // A bookmarked line has its own colour: the line the bookmark left and
    // the line it went to are drawn again at once, not at the next key.
    for (int line : {old, ed.CurrentLine}) {
        const int row = line - ed.TopLine + 3;
        if (line >= 1 && row >= 3 && row <= ed.con.ScreenRows) DrawLine(ed, ed.HorizontalScroll, line, row);
    }
}

Redraw GoToLineBookmark(Editor& ed, int k)
{
    int line = k >= 1 && k <= 3 ? ed.LineBookmarks[k] : 0;
    if (!ValidLine(ed, line)) {
        ShowMessage(ed, " No such bookmark!", 1);
        return Redraw::Status;
    }
    PushGetBack(ed);
    JumpToLine(ed, line);
    return Redraw::Window;
}

void SetPositionBookmark(Editor& ed, int k)
{
    if (k >= 1 && k <= 2)
        ed.PositionBookmarks[k] = {ed.CurrentLine, StoredColumn(ed.CurrentColumn), ed.TopLine};
}

Redraw GoToPositionBookmark(Editor& ed, int k)
{
    PositionMark mark = k >= 1 && k <= 2 ? ed.PositionBookmarks[k] : PositionMark{};
    if (!ValidLine(ed, mark.line)) {
        ShowMessage(ed, " No such bookmark!", 1);
        return Redraw::Status;
    }
    PushGetBack(ed);
    JumpToLine(ed, mark.line);
    ed.CurrentColumn = StoredColumn(mark.column);
    return Redraw::Window;
}

Redraw CmdSetLineBookmark1(Editor& ed) { SetLineBookmark(ed, 1); return Redraw::Status; }
Redraw CmdSetLineBookmark2(Editor& ed) { SetLineBookmark(ed, 2); return Redraw::Status; }
Redraw CmdSetLineBookmark3(Editor& ed) { SetLineBookmark(ed, 3); return Redraw::Status; }
Redraw CmdGoLineBookmark1(Editor& ed) { return GoToLineBookmark(ed, 1); }
Redraw CmdGoLineBookmark2(Editor& ed) { return GoToLineBookmark(ed, 2); }
Redraw CmdGoLineBookmark3(Editor& ed) { return GoToLineBookmark(ed, 3); }
Redraw CmdSetPositionBookmark1(Editor& ed) { SetPositionBookmark(ed, 1); return Redraw::Status; }
Redraw CmdSetPositionBookmark2(Editor& ed) { SetPositionBookmark(ed, 2); return Redraw::Status; }
Redraw CmdGoPositionBookmark1(Editor& ed) { return GoToPositionBookmark(ed, 1); }
Redraw CmdGoPositionBookmark2(Editor& ed) { return GoToPositionBookmark(ed, 2); }

Redraw CmdSetColumnBookmark(Editor& ed)
{
    ed.ColumnBookmark = StoredColumn(ed.CurrentColumn);
    return Redraw::NextKey;
}

Redraw CmdGoColumnBookmark(Editor& ed)
{
    ed.CurrentColumn = StoredColumn(ed.ColumnBookmark);
    return Redraw::View;
}

}  // namespace lumo
