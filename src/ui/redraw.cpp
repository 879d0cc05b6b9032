// The redraw cycle that follows every command: message line, text window,
// keeping the cursor inside the window, status line, cursor.
#include <algorithm>

#include "ui/render.h"

namespace lumo {

namespace {

bool AtOrAbove(Redraw level, Redraw than) { return static_cast<int>(level) <= static_cast<int>(than); }

// Moves the window (top line, horizontal scroll) until the cursor is inside
// it and records the cursor's screen position. True when the window moved.
bool KeepCursorInWindow(Editor& ed)
{
    const Console& con = ed.con;
    const int columns = std::max(con.ScreenColumns, 1);
    const int lastRow = std::max(con.ScreenRows, 3);
    const int halfStep = std::max(columns / 2, 1);
    // Whatever a command computed, the cursor stays on the text.
    ed.CurrentLine = std::clamp(ed.CurrentLine, 1, std::max(ed.LineCount, 1));
    ed.CurrentColumn = std::clamp(ed.CurrentColumn, 1, MaxText + 1);
    ed.TopLine = std::max(ed.TopLine, 1);
    ed.HorizontalScroll = std::clamp(ed.HorizontalScroll, 0, MaxText);

    bool moved = false;
    for (;;) {
        int column = ed.CurrentColumn - ed.HorizontalScroll;
        int row = ed.CurrentLine - ed.TopLine + 3;
        if (row < 3) {
            ed.TopLine = ed.CurrentLine;
        } else if (row > lastRow) {
            ed.TopLine = ed.CurrentLine - lastRow + 3;
        } else if (column > columns) {
            ed.HorizontalScroll = ed.HalfScreenScroll ? ed.HorizontalScroll + halfStep
                                                      : ed.CurrentColumn - columns;
        } else if (column < 1) {
            ed.HorizontalScroll = ed.HalfScreenScroll ? ed.HorizontalScroll - halfStep
                                                      : ed.CurrentColumn - 1;
        } else {
            ed.CursorScreenColumn = column;
            ed.CursorScreenRow = row;
            return moved;
        }
        ed.TopLine = std::max(ed.TopLine, 1);
        ed.HorizontalScroll = std::clamp(ed.HorizontalScroll, 0, MaxText);
        moved = true;
    }
}

void PlaceTextCursor(Editor& ed)
{
    Console& con = ed.con;
    ed.CursorScreenColumn = ed.CurrentColumn - ed.HorizontalScroll;
    ed.CursorScreenRow = ed.CurrentLine - ed.TopLine + 3;
    int column = std::clamp(ed.CursorScreenColumn, 1, std::max(con.ScreenColumns, 1));
    int row = std::clamp(ed.CursorScreenRow, 1, std::max(con.ScreenRows, 1));
    con.PlaceCursor(column - 1, row - 1);
}

}  // namespace

void RedrawCycle(Editor& ed, Redraw level)
{
    if (!AtOrAbove(level, Redraw::Cursor)) return;  // NextKey, Dispatch: nothing to draw

    // A replayed key sequence shows only its end result: the window follows
    // the cursor, but only the message line is drawn.
    if (ed.PlaybackIndex != 0 && AtOrAbove(level, Redraw::View)) {
        DrawMessageLine(ed);
        KeepCursorInWindow(ed);
        return;
    }

    if (level == Redraw::Full) DrawMessageLine(ed);
    if (AtOrAbove(level, Redraw::View)) {
        bool moved = KeepCursorInWindow(ed);
        if (moved || AtOrAbove(level, Redraw::Window)) DrawTextWindow(ed);
    }
    if (AtOrAbove(level, Redraw::Status)) {
        DrawStatusLine(ed);
        DrawCutLineNote(ed);
    }
    PlaceTextCursor(ed);
}

}  // namespace lumo
