// The line-editing commands of the binding table and the Line, Delete and
// Restore line menus.
#include <algorithm>

#include "ui/choice.h"
#include "edit/lineedit.h"
#include "editor/linestore.h"
#include "edit/movement.h"
#include "ui/render.h"

namespace lumo {

namespace {

const char* const TooManyLines = " TOO MANY LINES! DO NOT SAVE THIS FILE!";

int Column(const Editor& ed) { return std::clamp(ed.CurrentColumn, 1, 256); }

bool AtLineLimit(Editor& ed)
{
    if (ed.LineCount < MaxLines) return false;
    ShowMessage(ed, TooManyLines, 1);
    return true;
}

bool BlockMarked(const Editor& ed) { return ed.LineBlockFirst > 0 || ed.BoxFirstLine > 0; }

// Del's character step: joins the next line when the cursor is past the
// text, otherwise deletes the character under the cursor.
void DeleteOrJoin(Editor& ed, bool mayJoin)
{
    ed.CurrentColumn = Column(ed);
    BeginLineChange(ed, ed.CurrentLine);
    if (mayJoin && ed.CurrentColumn > TrimmedLength(GetLine(ed, ed.CurrentLine)))
        JoinLines(ed);
    else
        DeleteCharAtCursor(ed);
}

}  // namespace

Redraw CmdInsertToggle(Editor& ed)
{
    ed.InsertMode = !ed.InsertMode;
    return Redraw::View;
}

Redraw CmdWrapToggle(Editor& ed)
{
    ed.FillCell ^= WrapOff;
    return Redraw::Full;
}

Redraw CmdDel(Editor& ed)
{
    if (BlockMarked(ed)) {
        ed.MenuCursor = 1;
        ShowChoice(ed, " Delete the marked block ? | 1 - yes | 2 - no | 3 or Esc - nothing |");
        if (ed.ChoiceResult == 1) {
            if (ed.DeleteMarkedBlock) ed.DeleteMarkedBlock(ed);
            return Redraw::Full;
        }
        if (ed.ChoiceResult != 2) return Redraw::Window;
    }
    DeleteOrJoin(ed, true);
    return Redraw::Window;
}

Redraw CmdBackspace(Editor& ed)
{
    // Lines are never joined backwards.
    if (Column(ed) <= 1) return Redraw::Window;
    ed.CurrentColumn = Column(ed) - 1;
    DeleteOrJoin(ed, false);
    return Redraw::Window;
}

Redraw CmdAddEmptyLine(Editor& ed)
{
    if (AtLineLimit(ed)) return Redraw::Full;
    int at = ed.CurrentLine + 1;
    InsertLine(ed, ed.LineCapacity, at);
    if (ed.OperationFailed) return Redraw::Full;
    ed.CurrentLine = at;
    ed.CurrentColumn = std::clamp(ed.TabStops[1], 1, 256);
    ed.LineEdited = false;
    return Redraw::Full;
}

Redraw CmdDuplicateLine(Editor& ed)
{
    if (AtLineLimit(ed)) return Redraw::Full;
    // The whole record goes into a line of the same capacity: text, trailing
    // blanks and colour code alike.
    const std::string record = GetLine(ed, ed.CurrentLine);
    int at = ed.CurrentLine + 1;
    InsertLine(ed, static_cast<int>(record.size()), at);
    if (ed.OperationFailed) return Redraw::Full;
    StoreLine(ed, record, at);
    ed.CurrentLine = at;
    ed.LineEdited = false;
    return Redraw::Full;
}

Redraw CmdSplitLine(Editor& ed)
{
    if (AtLineLimit(ed)) return Redraw::Full;
    BeginLineChange(ed, ed.CurrentLine);
    SplitLine(ed);
    return Redraw::Full;
}

Redraw CmdJoinLines(Editor& ed)
{
    JoinLines(ed);
    return Redraw::Full;
}

Redraw CmdDeleteLine(Editor& ed)
{
    if (ed.CurrentLine >= ed.LineCount) {
        ed.MenuCursor = 1;
        ShowChoice(ed, " This is the last line. To delete ? | 1 - yes | 2 or Esc - no |");
        if (ed.ChoiceResult != 1) return Redraw::Status;
    }
    // The deleted line always goes into the restore ring.
    ed.LineEdited = false;
    BeginLineChange(ed, ed.CurrentLine);
    int at = ed.CurrentLine;
    DeleteLine(ed, at);
    ed.CurrentLine = std::clamp(ed.CurrentLine, 1, std::max(ed.LineCount, 1));
    if (ed.CurrentLine < ed.TopLine) ed.TopLine = ed.CurrentLine;
    return Redraw::Full;
}

Redraw CmdDeleteWord(Editor& ed)
{
    const int line = ed.CurrentLine;
    const int column = Column(ed);
    ed.CurrentColumn = column;
    BeginLineChange(ed, line);
    const std::string s = GetLine(ed, line);
    const auto here = static_cast<uint8_t>(CharAt(s, column));
    const bool delimiterStart = IsDelimiter(here) && (column == 1 || CharAt(s, column - 1) == ' ');
    if (here == ' ' || delimiterStart) {
        if (here == ' ' && column > TrimmedLength(s)) return Redraw::Window;
        // The delimiters at the cursor, then the blanks as long as text
        // follows them. Each step shortens the line, so the loops end.
        for (int i = 0; i < MaxText && IsDelimiter(static_cast<uint8_t>(CharAt(GetLine(ed, line), column))); ++i)
            DeleteCharAtCursor(ed);
        for (int i = 0; i < MaxText; ++i) {
            const std::string now = GetLine(ed, line);
            if (CharAt(now, column) != ' ' || column > TrimmedLength(now)) break;
            DeleteCharAtCursor(ed);
        }
        return Redraw::Window;
    }
    ed.CurrentColumn = std::clamp(WordEnd(s, column, 0), 1, 256);
    DeleteWordLeft(ed, 1);
    return Redraw::Window;
}

Redraw CmdDeleteWordLeft(Editor& ed)
{
    DeleteWordLeft(ed, 0);
    return Redraw::Window;
}

Redraw CmdDeleteToEnd(Editor& ed)
{
    ed.CurrentColumn = Column(ed);
    ClearToEnd(ed);
    return Redraw::Window;
}

}  // namespace lumo
