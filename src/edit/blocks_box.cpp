// Copy, move, delete and fill of a box. A command works on copies of the
// lines it changes and stores them only when all of them fit: no line past
// 255 characters, room for the lines it appends and for longer records.
#include "edit/blocks_box.h"

#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include "edit/blocks.h"
#include "edit/lineedit.h"
#include "editor/linestore.h"
#include "ui/render.h"

namespace lumo {

namespace {

void Refuse(Editor& ed, const char* message)
{
    ShowMessage(ed, message, 1);
    ed.OperationFailed = 1;
}

int BoxWidth(const Editor& ed) { return ed.BoxLastColumn - ed.BoxFirstColumn + 1; }
int BoxHeight(const Editor& ed) { return ed.BoxLastLine - ed.BoxFirstLine + 1; }
int CursorColumn(const Editor& ed) { return std::clamp(ed.CurrentColumn, 1, 256); }

int WithoutBlanks(const std::string& s)
{
    int n = static_cast<int>(s.size());
    while (n > 0 && s[n - 1] == ' ') --n;
    return n;
}

// Puts `text` into s at column `column`: s is padded with blanks to the
// column first (a box goes in where the cursor is, never at the end of a
// shorter line); in overwrite mode as many characters go first.
void PutIn(std::string& s, int column, const std::string& text, bool overwrite)
{
    if (static_cast<int>(s.size()) < column - 1) s.resize(column - 1, ' ');
    if (overwrite) s.erase(column - 1, std::min(text.size(), s.size() - (column - 1)));
    s.insert(column - 1, text);
}

void CutOut(std::string& s, int column, int width)
{
    if (column - 1 < static_cast<int>(s.size())) s.erase(column - 1, width);
}

// The lines a box command changes, as copies, stored together or not at all.
class BoxWork {
public:
    explicit BoxWork(Editor& ed) : ed_(ed) {}
    // Line n as the command has left it so far; a line past the text is a
    // new one, appended when the work is stored.
    std::string& Line(int n)
    {
        auto it = lines_.find(n);
        if (it == lines_.end())
            it = lines_.emplace(n, n <= ed_.LineCount ? std::string(LineText(ed_, n)) : std::string()).first;
        return it->second;
    }
    // Stores every line (BeginLineChange of `first` before), or refuses
    // with a message and changes nothing.
    bool Commit(int first)
    {
        size_t growth = 0;
        std::vector<const std::string*> added;
        for (auto& [n, s] : lines_) {
            const int length = WithoutBlanks(s);
            if (length > MaxText) {
                Refuse(ed_, LineTooLongMessage);
                return false;
            }
            s.resize(length);
            if (n > ed_.LineCount) added.push_back(&s);
            else if (length > LineCapacityOf(ed_, n)) growth += length + 1;
        }
        const int count = static_cast<int>(added.size());
        if ((count > 0 || growth > 0) &&
            !RoomForLines(ed_, count, growth + size_t(count) * std::max(ed_.LineCapacity, 0)))
            return false;
        BeginLineChange(ed_, first);
        for (auto& [n, s] : lines_)
            if (n <= ed_.LineCount) SetLine(ed_, s, n);
        const int capacity = ed_.LineCapacity;
        InsertLines(ed_, ed_.LineCount + 1, count,
                    [&added, capacity](int i) { return NewLine{*added[i], capacity}; });
        ed_.Modified = true;
        ed_.OperationFailed = 0;
        return true;
    }

private:
    Editor& ed_;
    std::map<int, std::string> lines_;
};

// Whether `n` more characters go in at the cursor without passing 255.
bool FitsAtCursor(Editor& ed, int n)
{
    const int column = CursorColumn(ed);
    const int text = TrimmedLength(std::string(LineText(ed, ed.CurrentLine)));
    const int length = ed.InsertMode ? std::max(text, column - 1) + n : std::max(text, column - 1 + n);
    if (length > MaxText) {
        Refuse(ed, LineTooLongMessage);
        return false;
    }
    if (length >= LineCapacityOf(ed, ed.CurrentLine) && size_t(length) + 1 >= FreeMemory(ed)) {
        Refuse(ed, " NOT ENOUGH MEMORY!");
        return false;
    }
    return true;
}

// Alt+K in insert mode: the mark follows the text the copy shifted.
void FollowCopy(Editor& ed, int copyLine, int carried)
{
    const int width = BoxWidth(ed);
    if (ed.BoxFirstLine == copyLine && ed.BoxLastLine == copyLine && ed.CurrentColumn <= ed.BoxLastColumn + 1) {
        ed.BoxFirstColumn += width;
        ed.BoxLastColumn += width;
    } else if (carried > 0 && ed.BoxFirstLine == copyLine + 1) {
        const int back = ed.CurrentLine != copyLine ? 1 : 0;
        ed.BoxFirstColumn += carried - back;
        ed.BoxLastColumn += carried - back;
    } else {
        return;
    }
    if (ed.BoxLastColumn > ed.FormatWidth || ed.BoxLastColumn > MaxText) UnmarkBlock(ed);
}

// The overlap rule of a box copied or moved to the cursor on other lines.
bool TargetClear(const Editor& ed, bool allowOwnFirstLine)
{
    const int line = ed.CurrentLine;
    const int column = CursorColumn(ed);
    return line > ed.BoxLastLine || column > ed.BoxLastColumn ||
           line + BoxHeight(ed) - 1 < ed.BoxFirstLine || column + BoxWidth(ed) - 1 < ed.BoxFirstColumn ||
           (allowOwnFirstLine && line == ed.BoxFirstLine && column <= ed.BoxFirstColumn);
}

std::vector<std::string> BoxRows(const Editor& ed)
{
    std::vector<std::string> rows;
    for (int n = ed.BoxFirstLine; n <= ed.BoxLastLine; ++n) rows.push_back(BoxText(ed, n));
    return rows;
}

// Cursor on the box's first line: the box moves sideways within its lines.
void MoveSideways(Editor& ed)
{
    int column = CursorColumn(ed);
    if (ed.BoxFirstColumn < column && column <= ed.BoxLastColumn) return Refuse(ed, OverlapMessage);
    const int width = BoxWidth(ed);
    if (column > ed.BoxLastColumn) column -= width;
    BoxWork work(ed);
    for (int n = ed.BoxFirstLine; n <= ed.BoxLastLine; ++n) {
        std::string& s = work.Line(n);
        const std::string text = BoxText(ed, n);
        CutOut(s, ed.BoxFirstColumn, width);
        PutIn(s, column, text, false);
    }
    const bool aloneOnCurrent = ed.BoxFirstLine == ed.BoxLastLine;
    if (!work.Commit(ed.BoxFirstLine)) return;
    ed.CurrentColumn = column;
    if (!aloneOnCurrent) ed.LineEdited = false;
    UnmarkBlock(ed);
}

}  // namespace

bool PutInAtCursor(Editor& ed, const std::string& text, int& carried)
{
    carried = 0;
    if (text.empty()) return true;
    if (!FitsAtCursor(ed, static_cast<int>(text.size()))) return false;
    const int line = ed.CurrentLine;
    const int column = CursorColumn(ed);
    const bool overwrite = !ed.InsertMode;
    const std::string before(LineText(ed, line));
    BeginLineChange(ed, line);
    std::string s = before;
    PutIn(s, column, text.substr(0, text.size() - 1), overwrite);
    StoreLine(ed, s, line);
    ed.CurrentColumn = column + static_cast<int>(text.size()) - 1;

    // The last character goes in as typed, so that the line wraps at the
    // width as typing would; the box marks are the copy's to move, not the
    // typing's.
    const int marks[4] = {ed.BoxFirstLine, ed.BoxLastLine, ed.BoxFirstColumn, ed.BoxLastColumn};
    const bool boxHere = marks[0] == line && marks[1] == line;
    const int shiftBefore = ed.WrapShift;
    const bool typed = TypeChar(ed, static_cast<uint8_t>(text.back()));
    if (boxHere) {
        ed.BoxFirstLine = marks[0];
        ed.BoxLastLine = marks[1];
        ed.BoxFirstColumn = marks[2];
        ed.BoxLastColumn = marks[3];
    }
    if (!typed) {
        // No wrap is possible: the line takes the text as it is.
        s = before;
        PutIn(s, column, text, overwrite);
        StoreLine(ed, s, line);
        ed.CurrentLine = line;
        ed.CurrentColumn = std::min(column + static_cast<int>(text.size()), 256);
    }
    carried = (ed.WrapShift - shiftBefore) & 0xFF;
    ed.Modified = true;
    return true;
}

bool PutRowsAt(Editor& ed, int line, int column, const std::vector<std::string>& rows, bool overwrite,
               bool cutBox)
{
    column = std::clamp(column, 1, 256);
    BoxWork work(ed);
    if (cutBox)
        for (int n = ed.BoxFirstLine; n <= ed.BoxLastLine; ++n) CutOut(work.Line(n), ed.BoxFirstColumn, BoxWidth(ed));
    for (size_t i = 0; i < rows.size(); ++i) PutIn(work.Line(line + int(i)), column, rows[i], overwrite);
    return work.Commit(line);
}

void CopyBox(Editor& ed, bool keepMark)
{
    const int line = ed.CurrentLine;
    const int column = CursorColumn(ed);
    if (BoxHeight(ed) == 1) {
        if (line == ed.BoxFirstLine && ed.BoxFirstColumn < column && column <= ed.BoxLastColumn)
            return Refuse(ed, OverlapMessage);
        int carried = 0;
        if (!PutInAtCursor(ed, BoxText(ed, ed.BoxFirstLine), carried)) return;
        if (keepMark && ed.InsertMode) FollowCopy(ed, line, carried);
        return;
    }
    if (!TargetClear(ed, true)) return Refuse(ed, OverlapMessage);
    // Every row is taken before any line changes: the target may share
    // lines with the box.
    PutRowsAt(ed, line, column, BoxRows(ed), !ed.InsertMode, false);
}

void MoveBox(Editor& ed)
{
    const int line = ed.CurrentLine;
    if (line == ed.BoxFirstLine) return MoveSideways(ed);
    if (BoxHeight(ed) == 1) {
        const std::string text = BoxText(ed, ed.BoxFirstLine);
        if (!FitsAtCursor(ed, static_cast<int>(text.size()))) return;
        const int source = ed.BoxFirstLine;
        BeginLineChange(ed, source);
        std::string s(LineText(ed, source));
        CutOut(s, ed.BoxFirstColumn, BoxWidth(ed));
        SetLine(ed, s, source);
        int carried = 0;
        PutInAtCursor(ed, text, carried);
        ed.LineEdited = false;
        UnmarkBlock(ed);
        return;
    }
    if (!TargetClear(ed, false)) return Refuse(ed, OverlapMessage);
    const std::vector<std::string> rows = BoxRows(ed);
    const int column = CursorColumn(ed);
    const int width = BoxWidth(ed);
    BoxWork work(ed);
    // A box line that has already taken moved text left of the box has its
    // box that much further right.
    std::set<int> shifted;
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const int source = ed.BoxFirstLine + i;
        CutOut(work.Line(source), ed.BoxFirstColumn + (shifted.count(source) ? width : 0), width);
        PutIn(work.Line(line + i), column, rows[i], false);
        if (column <= ed.BoxFirstColumn) shifted.insert(line + i);
    }
    if (!work.Commit(ed.BoxFirstLine)) return;
    ed.LineEdited = false;
    UnmarkBlock(ed);
}

void DeleteBox(Editor& ed)
{
    BoxWork work(ed);
    for (int n = ed.BoxFirstLine; n <= ed.BoxLastLine; ++n) CutOut(work.Line(n), ed.BoxFirstColumn, BoxWidth(ed));
    work.Commit(ed.BoxFirstLine);
}

void FillBox(Editor& ed, uint8_t c)
{
    // A line shorter than the box is padded with blanks first, so that the
    // whole highlighted rectangle is filled.
    BoxWork work(ed);
    for (int n = ed.BoxFirstLine; n <= ed.BoxLastLine; ++n) {
        std::string& s = work.Line(n);
        if (static_cast<int>(s.size()) < ed.BoxLastColumn) s.resize(ed.BoxLastColumn, ' ');
        std::fill(s.begin() + ed.BoxFirstColumn - 1, s.begin() + ed.BoxLastColumn, static_cast<char>(c));
    }
    work.Commit(ed.BoxFirstLine);
}

}  // namespace lumo
