#include "edit/pastetext.h"

#include <algorithm>

#include "editor/charmap.h"
#include "editor/linestore.h"
#include "editor/services.h"

namespace lumo {

namespace {

// The column the next tab stop after `column` is at; the column after it
// when no stop lies further right.
int NextTabStop(const Editor& ed, int column)
{
    for (int i = 1; i <= 32; ++i)
        if (ed.TabStops[i] > column) return std::min(ed.TabStops[i], MaxText + 1);
    return column + 1;
}

// Cuts `s` into pieces of at most MaxText characters, each at its last blank
// that fits (the blank goes), else at MaxText. `cursor` (characters before
// the cursor in s) becomes the cursor's piece and its offset there.
void WrapInto(std::string s, int cursor, bool hasCursor, PastePlan& plan)
{
    while (static_cast<int>(s.size()) > MaxText) {
        size_t cut = s.rfind(' ', MaxText);
        size_t skip = 1;
        if (cut == std::string::npos || cut == 0) {
            cut = MaxText;
            skip = 0;
        }
        plan.lines.push_back(s.substr(0, cut));
        if (hasCursor && cursor <= static_cast<int>(cut)) {
            plan.cursorLine = static_cast<int>(plan.lines.size()) - 1;
            plan.cursorColumn = cursor + 1;
            hasCursor = false;
        }
        cursor -= static_cast<int>(cut + skip);
        s.erase(0, cut + skip);
    }
    plan.lines.push_back(std::move(s));
    if (hasCursor) {
        plan.cursorLine = static_cast<int>(plan.lines.size()) - 1;
        plan.cursorColumn = std::max(cursor, 0) + 1;
    }
}

}  // namespace

PastePlan PlanPaste(const Editor& ed, const std::string& line, int column, const std::string& text)
{
    column = std::clamp(column, 1, MaxText + 1);
    std::string head = line.substr(0, std::min<size_t>(line.size(), column - 1));
    head.resize(column - 1, ' ');
    std::string tail = static_cast<int>(line.size()) >= column ? line.substr(column - 1) : std::string();

    PastePlan plan;
    std::string current = std::move(head);
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\n') {
            const bool last = i == text.size();
            const int cursor = static_cast<int>(current.size());
            if (last) current += tail;
            WrapInto(std::move(current), cursor, last, plan);
            current.clear();
            continue;
        }
        if (text[i] == '\t') {
            int to = NextTabStop(ed, static_cast<int>(current.size()) + 1);
            current.append(to - 1 - current.size(), ' ');
        } else {
            current += text[i];
        }
    }
    return plan;
}

Redraw CmdPasteText(Editor& ed)
{
    PastedText paste = std::move(ed.Paste);
    ed.Paste = {};
    if (paste.tooLarge) {
        ShowMessage(ed, " The pasted text is too large: nothing was inserted.", 1);
        return Redraw::Full;
    }
    if (paste.text.empty()) return Redraw::Status;
    if (ed.LineCount < 1) {
        int at = 1;
        InsertLine(ed, ed.LineCapacity, at);
        if (ed.OperationFailed) return Redraw::Full;
        ed.CurrentLine = 1;
    }

    const int first = ed.CurrentLine;
    const std::string before(LineText(ed, first));
    PastePlan plan = PlanPaste(ed, before, ed.CurrentColumn, TextBytesOfUtf8(ed, paste.text));
    std::vector<std::string> rest(std::make_move_iterator(plan.lines.begin() + 1),
                                  std::make_move_iterator(plan.lines.end()));

    // All or nothing: the line limit and the budget are asked before any
    // line changes.
    if (ed.LineCount + static_cast<int>(rest.size()) > MaxLines) {
        ShowMessage(ed, " TOO MANY LINES! The paste was not inserted.", 1);
        return Redraw::Full;
    }
    BeginLineChange(ed, first);
    SetLine(ed, plan.lines[0], first);
    std::string_view stored = LineText(ed, first);
    std::string_view wanted = plan.lines[0];
    while (!wanted.empty() && wanted.back() == ' ') wanted.remove_suffix(1);
    if (stored != wanted || !InsertLines(ed, first + 1, rest)) {
        SetLine(ed, before, first);
        ShowMessage(ed, " NOT ENOUGH MEMORY! The paste was not inserted.", 1);
        return Redraw::Full;
    }
    ed.Modified = true;
    ed.CurrentLine = first + plan.cursorLine;
    ed.CurrentColumn = std::clamp(plan.cursorColumn, 1, MaxText + 1);
    // The cursor's line is another one now: a restore must not write the
    // first line's old text into it.
    if (plan.cursorLine != 0) ed.LineEdited = false;
    return Redraw::Window;
}

}  // namespace lumo
