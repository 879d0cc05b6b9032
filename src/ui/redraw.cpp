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

void RedrawAfterResize(Editor& ed)
{
    Console& con = ed.con;
    if (ed.ReadingAtRest || ed.ResizeTopRows.empty() || ed.ResizeTopColumns < 1) {
        RedrawCycle(ed, Redraw::Full);
        con.FlushScreen(false);
        return;
    }
    KeepCursorInWindow(ed);
    DrawTextWindow(ed);
    const int oldColumns = ed.ResizeTopColumns;
    const int rows = std::min({2, con.ScreenRows, static_cast<int>(ed.ResizeTopRows.size()) / oldColumns});
    for (int r = 1; r <= rows; ++r) {
        const uint16_t* old = ed.ResizeTopRows.data() + (r - 1) * oldColumns;
        // A wider row goes on as it ended: the message line's filler, else
        // blanks in the row's last colour.
        const uint16_t last = old[oldColumns - 1];
        const uint16_t pad = (last & 0xFF) == (ed.FillCell & 0xFF) ? last : uint16_t((last & 0xFF00) | ' ');
        for (int c = 1; c <= con.ScreenColumns; ++c) con.Cell(c, r) = c <= oldColumns ? old[c - 1] : pad;
    }
    con.FlushScreen(false);
}

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
