#include "app/mainloop.h"
#include "editor/keys.h"

#include <algorithm>

#include "app/bindings.h"
#include "edit/blocks.h"
#include "editor/keyreading.h"
#include "app/loopcommands.h"
#include "edit/typing.h"
#include "files/fileio.h"
#include "edit/lineedit.h"
#include "ui/render.h"
#include "app/unboundkeys.h"
#include "app/startup.h"

namespace lumo {

namespace {

constexpr uint16_t F10Low = 0xFF0A;  // F10 with any shift: the menu that offers Un-get
// A command chain that keeps asking to dispatch again is cut off here.
constexpr int MaxDispatchChain = 16;

// Whatever a command, a settings file or a replayed sequence computed, the
// cursor stays on a line of the text and in a column the line can have.
void KeepCursorInRange(Editor& ed)
{
    ed.CurrentLine = std::clamp(ed.CurrentLine, 1, std::max(1, ed.LineCount));
    ed.CurrentColumn = std::clamp(ed.CurrentColumn, 1, MaxText + 1);
    ed.TopLine = std::clamp(ed.TopLine, 1, ed.CurrentLine);
    ed.HorizontalScroll = std::max(0, ed.HorizontalScroll);
}

bool CursorInWindow(const Editor& ed)
{
    int row = ed.CurrentLine - ed.TopLine + 3;
    int column = ed.CurrentColumn - ed.HorizontalScroll;
    return row >= 3 && row <= ed.con.ScreenRows && column >= 1 && column <= ed.con.ScreenColumns;
}

// The window bookkeeping of a pass without drawing (during a playback):
// the top line and horizontal scroll follow the cursor as a redraw would.
void FollowCursor(Editor& ed)
{
    int columns = ed.con.ScreenColumns;
    int rows = ed.con.ScreenRows;
    for (int guard = 0; guard < 1000; ++guard) {
        int row = ed.CurrentLine - ed.TopLine + 3;
        int column = ed.CurrentColumn - ed.HorizontalScroll;
        if (row < 3) {
            ed.TopLine = ed.CurrentLine;
        } else if (row > rows) {
            ed.TopLine = ed.CurrentLine - rows + 3;
        } else if (column > columns) {
            ed.HorizontalScroll = ed.HalfScreenScroll ? ed.HorizontalScroll + columns / 2 : ed.CurrentColumn - columns;
        } else if (column < 1) {
            ed.HorizontalScroll = ed.HalfScreenScroll ? ed.HorizontalScroll - columns / 2 : ed.CurrentColumn - 1;
            ed.HorizontalScroll = std::max(0, ed.HorizontalScroll);
        } else {
            ed.CursorScreenRow = row;
            ed.CursorScreenColumn = column;
            return;
        }
    }
}

bool IsSelfRestartingKey(KeyEvent key) { return key == KeyF9 || key == KeyShiftF9 || key == KeyCtrlF9; }

}  // namespace

Redraw DispatchKey(Editor& ed)
{
    KeyEvent key = KeyValue(ed);
    // A sequence holding F9 would replay itself for ever; starting or
    // stopping a recording or reading the buffer from a playback would
    // change the sequence being played.
    if (ed.KeyFromPlayback && IsSelfRestartingKey(key)) return Redraw::NextKey;
    bool stopped = RecordKey(ed);
    // A Shift+F9 that filled the last slot has stopped the recording already.
    if (stopped && key == KeyShiftF9) return Redraw::Full;
    Redraw level = DispatchRecordedKey(ed);
    if (stopped && level != Redraw::Dispatch) level = Redraw::Full;
    return level;
}

Redraw DispatchRecordedKey(Editor& ed)
{
    KeyEvent key = KeyValue(ed);
    // A pending completion survives only "\" (which goes on with it) and Esc
    // (which ends it rather than quitting); any other key, even one that
    // only moves the cursor, would have "\" type the candidate elsewhere.
    if (key != KeyBackslash && key != KeyEsc) ed.CompletionCount = 0;
    if (key == KeyCtrlF1) return CmdUnGet(ed);
    if ((key & 0xFFFF) != F10Low) ForgetUnGet(ed);
    TakeChangeSnapshot(ed);
    if ((ed.KeyShift & 0x0C) == 0x0C) return CtrlAltKey(ed);
    if (const Binding* binding = FindBinding(key)) return binding->command(ed);
    return Typing(ed);
}

namespace {

void RunPass(Editor& ed)
{
    Redraw level = ed.LoopLevel;
    if (level == Redraw::Dispatch) {
        for (int chain = 0; chain < MaxDispatchChain && level == Redraw::Dispatch && !ed.Ending; ++chain)
            level = DispatchKey(ed);
        ed.LoopLevel = level == Redraw::Dispatch ? Redraw::Full : level;
        return;
    }
    if (PlaybackRunning(ed)) {
        // Nothing is drawn until the sequence ends.
        FollowCursor(ed);
    } else if (level != Redraw::NextKey) {
        // A command that moved the cursor out of the window still gets it
        // back into view.
        if ((level == Redraw::Status || level == Redraw::Cursor) && !CursorInWindow(ed)) level = Redraw::View;
        RedrawCycle(ed, level);
        if (ed.ReplacePending && ed.ContinueReplace) {
            // The replace command sets the marker again if it must wait again.
            ed.ReplacePending = false;
            ed.LoopLevel = ed.ContinueReplace(ed);
            return;
        }
    }
    ed.ReadingAtRest = true;
    const bool gotKey = GetNextKey(ed);
    ed.ReadingAtRest = false;
    if (!gotKey) {
        // The playback has ended: show what it changed.
        ed.LoopLevel = Redraw::Full;
        return;
    }
    // Keys typed, not played, count towards the automatic save.
    if (!ed.KeyFromPlayback) CountKeystroke(ed);
    ed.LoopLevel = DispatchKey(ed);
}

}  // namespace

void RunOnePass(Editor& ed)
{
    KeepCursorInRange(ed);
    RunPass(ed);
    KeepCursorInRange(ed);
}

void MainLoop(Editor& ed)
{
    // Del's " Delete the marked block ?" deletes through the block commands.
    if (!ed.DeleteMarkedBlock) ed.DeleteMarkedBlock = [](Editor& e) { DeleteBlock(e); };
    while (!ed.Ending) RunOnePass(ed);
}

}  // namespace lumo
