// Getting a line's earlier contents back: as it was when the cursor came to
// it (the newest RestoreRing slot), lines saved earlier (Alt+R, newest
// first), and the state before the last key (the change snapshots).
#include <algorithm>

#include "edit/lineedit.h"
#include "editor/linestore.h"
#include "ui/render.h"

namespace lumo {

void TakeChangeSnapshot(Editor& ed)
{
    ed.SnapshotToggle ^= 1;
    LineSnapshot& slot = ed.ChangeSnapshots[ed.SnapshotToggle & 1];
    slot.text = GetLine(ed, ed.CurrentLine);
    // The column is kept in a byte, as in a line record.
    slot.column = std::clamp(ed.CurrentColumn, 1, MaxText);
}

Redraw CmdRestoreLine(Editor& ed)
{
    if (!ed.LineEdited || ed.RestoreIndex < 0 || ed.RestoreIndex > 15) return Redraw::Status;
    const int line = ed.CurrentLine;
    StoreLine(ed, ed.RestoreRing[ed.RestoreIndex], line);
    const int row = line - ed.TopLine + 3;
    if (row >= 3 && row <= ed.con.ScreenRows) DrawLine(ed, ed.HorizontalScroll, line, row);
    return Redraw::View;
}

Redraw CmdNextChangedLine(Editor& ed)
{
    const int index = ed.RestoreIndex % 16;
    ed.RestoreIndex = index;
    const std::string saved = ed.RestoreRing[index];
    int at = ed.CurrentLine;
    InsertLine(ed, static_cast<int>(saved.size()), at);
    ed.LineEdited = false;
    if (ed.OperationFailed) return Redraw::Full;
    StoreLine(ed, saved, at);
    ed.RestoreIndex = (index + 15) % 16;
    return Redraw::Full;
}

Redraw CmdCancelLastChange(Editor& ed)
{
    if (!ed.LineEdited) return Redraw::Status;
    const LineSnapshot& before = ed.ChangeSnapshots[(ed.SnapshotToggle & 1) ^ 1];
    StoreLine(ed, before.text, ed.CurrentLine);
    ed.CurrentColumn = std::clamp(before.column, 1, 256);
    return Redraw::Window;
}

}  // namespace lumo
