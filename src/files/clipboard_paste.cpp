// Ctrl+V: the clipboard file's lines or box put into the text, all of it or
// nothing, with one move of the line table for any number of lines.
#include <algorithm>
#include <vector>

#include "edit/blocks.h"
#include "edit/blocks_box.h"
#include "editor/linestore.h"
#include "files/clipboard.h"
#include "ui/render.h"

namespace lumo {

namespace {

int WithoutBlanks(std::string_view s)
{
    int n = static_cast<int>(s.size());
    while (n > 0 && s[n - 1] == ' ') --n;
    return n;
}

// The rest of a split line as it starts its own line: at the left margin
// when one is set, else as it was.
std::string RestLine(const Editor& ed, std::string rest)
{
    rest.resize(WithoutBlanks(rest));
    const int margin = ed.TabStops[1];
    if (margin > 1) {
        rest.erase(0, std::min(rest.find_first_not_of(' '), rest.size()));
        if (!rest.empty()) rest.insert(0, margin - 1, ' ');
    }
    return rest;
}

// "L": the lines go in at the cursor as if the line were split there before
// each of them: the first joins the text left of the cursor, the rest of
// the line follows the last one on a line of its own.
void PasteLines(Editor& ed, const std::vector<std::string>& lines)
{
    const int count = static_cast<int>(lines.size());
    if (count == 0) return;  // nothing to put in: a marked block stays too
    const bool replace = LineBlockMarked(ed);
    int line = ed.CurrentLine;
    int column = std::clamp(ed.CurrentColumn, 1, 256);
    std::string target;  // the line the lines go into, as it will be
    int removed = 0;
    bool extra = false;
    size_t freed = 0;
    if (replace) {
        // The block goes and the cursor stands at column 1 of the line that
        // follows it (a new empty one when the block ends the text).
        removed = ed.LineBlockLast - ed.LineBlockFirst + 1;
        extra = ed.LineBlockLast >= ed.LineCount;
        if (!extra) target = std::string(LineText(ed, ed.LineBlockLast + 1));
        for (int n = ed.LineBlockFirst; n <= ed.LineBlockLast; ++n) freed += LineCapacityOf(ed, n) + 1;
        line = ed.LineBlockFirst;
        column = 1;
    } else {
        target = std::string(LineText(ed, line));
    }
    std::string head = target.substr(0, std::min<size_t>(column - 1, target.size()));
    head.resize(column - 1, ' ');
    std::string tail = column - 1 < static_cast<int>(target.size()) ? target.substr(column - 1) : std::string();
    std::string first = head + lines[0];
    first.resize(WithoutBlanks(first));
    std::vector<std::string> below(lines.begin() + 1, lines.end());
    below.push_back(RestLine(ed, tail));
    for (const std::string& s : {first, below.back()})
        if (static_cast<int>(s.size()) > MaxText) {
            ShowMessage(ed, LineTooLongMessage, 1);
            ed.OperationFailed = 1;
            return;
        }

    size_t capacities = 0;
    for (const std::string& s : below) capacities += std::max<size_t>(ed.LineCapacity, s.size());
    if (extra) capacities += 254 + 1;
    const int more = count + (extra ? 1 : 0) - removed;
    if (!RoomForLines(ed, std::max(more, 0), capacities > freed ? capacities - freed : 0)) return;

    if (replace) {
        if (extra) {
            InsertLines(ed, ed.LineCount + 1, 1, [](int) { return NewLine{"", 254}; });
        }
        const int at = ed.LineBlockFirst;
        ed.CurrentLine = at;
        ed.CurrentColumn = 1;
        DeleteLines(ed, at, removed);
        UnmarkBlock(ed);
        line = at;
    }
    BeginLineChange(ed, line);
    SetLine(ed, first, line);
    const int capacity = ed.LineCapacity;
    InsertLines(ed, line + 1, count, [&below, capacity](int i) { return NewLine{below[i], capacity}; });
    ed.CurrentLine = line + count;
    ed.CurrentColumn = std::max(ed.TabStops[1], 1);
    ed.LineEdited = false;
    ed.Modified = true;
}

// "B": each row goes in at the cursor column of a line of its own, the
// first on the cursor line; a marked box is replaced.
void PasteBox(Editor& ed, const std::vector<std::string>& rows)
{
    if (rows.empty()) return;
    const bool replace = BoxMarked(ed);
    const int line = replace ? ed.BoxFirstLine : ed.CurrentLine;
    const int column = replace ? ed.BoxFirstColumn : std::clamp(ed.CurrentColumn, 1, 256);
    if (!PutRowsAt(ed, line, column, rows, false, replace)) return;
    if (replace) UnmarkBlock(ed);
    ed.CurrentLine = line + static_cast<int>(rows.size()) - 1;
    ed.CurrentColumn = std::min(column + static_cast<int>(rows.back().size()), 256);
    if (rows.size() > 1) ed.LineEdited = false;
}

}  // namespace

void PasteClipboard(Editor& ed)
{
    ed.OperationFailed = 0;
    ClipboardFileText clip;
    // A file that is missing, not a file, or of another kind pastes nothing
    // and says nothing.
    if (!ReadClipboardFile(ed, clip)) return;
    CheckBlockMarks(ed);
    if (clip.kind == 'L') PasteLines(ed, clip.lines);
    else if (clip.kind == 'B') PasteBox(ed, clip.lines);
}

}  // namespace lumo
