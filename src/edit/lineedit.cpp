// Editing inside a line and across two lines: deleting characters and
// words, splitting and joining. Typing and word wrap are in wrap.cpp, the
// restore commands in linerestore.cpp, the bound commands in editcommands.cpp.
#include "edit/lineedit.h"

#include <algorithm>

#include "editor/linestore.h"
#include "edit/movement.h"
#include "ui/render.h"

namespace lumo {

namespace {

int LengthWithoutBlanks(const std::string& s)
{
    int n = static_cast<int>(s.size());
    while (n > 0 && s[n - 1] == ' ') --n;
    return n;
}

bool IsColourByte(char c) { return static_cast<unsigned char>(c) < 16; }

// Where the text of s ends, as TrimmedLength counts it (trailing blanks and
// a trailing colour code are not text), for strings of any length.
int TextEnd(std::string s)
{
    int n = static_cast<int>(s.size());
    while (n > 0) {
        char c = s[n - 1];
        if (c == ' ') {
            --n;
        } else if (c == '\t' && n > 1 && IsColourByte(s[n - 2])) {
            s[n - 1] = s[n - 2] = ' ';
            if (n > 2 && IsColourByte(s[n - 3])) s[n - 3] = ' ';
        } else {
            break;
        }
    }
    return n;
}

int Column(const Editor& ed) { return std::clamp(ed.CurrentColumn, 1, 256); }

}  // namespace

std::string ColourCode(const std::string& s)
{
    std::string code;
    for (size_t i = std::min<size_t>(TrimmedLength(s), s.size()); i < s.size(); ++i)
        if (s[i] != ' ') code += s[i];
    return code;
}

bool InsertText(std::string& s, int p, const std::string& what)
{
    p = std::clamp(p, 1, MaxText + 1);
    std::string t = s;
    if (static_cast<int>(t.size()) < p - 1) t.append(p - 1 - t.size(), ' ');
    t.insert(p - 1, what);
    int excess = static_cast<int>(t.size()) - MaxText;
    if (excess > 0) {
        // Only padding may go: blanks after the text, even when a colour
        // code follows them.
        const int end = TextEnd(t);
        for (int i = static_cast<int>(t.size()); i > end && excess > 0; --i) {
            if (t[i - 1] == ' ') {
                t.erase(i - 1, 1);
                --excess;
            }
        }
        if (excess > 0) return false;
    }
    s = std::move(t);
    return true;
}

bool StoreLine(Editor& ed, const std::string& s, int n)
{
    SetLine(ed, s, n);
    // The record keeps the text without its trailing blanks.
    std::string_view want(s);
    if (want.size() > MaxText) want = want.substr(0, MaxText);
    while (!want.empty() && want.back() == ' ') want.remove_suffix(1);
    return LineText(ed, n) == want;
}

void DeleteCharAtCursor(Editor& ed)
{
    const int line = ed.CurrentLine;
    const int column = Column(ed);
    DeleteChars(ed, line, column, 1);
    if (ed.BoxFirstLine == line && ed.BoxLastLine == line && ed.BoxFirstColumn > column) {
        --ed.BoxFirstColumn;
        --ed.BoxLastColumn;
    }
}

void DeleteWordLeft(Editor& ed, int flag)
{
    const int column = Column(ed);
    if (column <= 1) return;
    const int line = ed.CurrentLine;
    BeginLineChange(ed, line);
    std::string s = GetLine(ed, line);
    const int size = static_cast<int>(s.size());
    int p = std::min(column, size + 1);
    if (CharAt(s, column - 1) == ' ') flag = 1;
    auto delimiter = [&s](int i) { return IsDelimiter(static_cast<uint8_t>(CharAt(s, i))); };
    if (delimiter(p) && delimiter(p - 1)) ++p;
    p = WordStart(s, p);
    int e = WordEnd(s, p, 0);
    if (CharAt(s, e) != ' ' && !(delimiter(e) && flag == 0)) --e;
    e = std::min(e, size);
    if (p < 1 || e < p) return;
    s.erase(p - 1, e - p + 1);
    if (StoreLine(ed, s, line)) ed.CurrentColumn = p;
}

void SplitLine(Editor& ed)
{
    const int line = ed.CurrentLine;
    const int column = Column(ed);
    const std::string s = GetLine(ed, line);
    std::string rest = column <= static_cast<int>(s.size()) ? s.substr(column - 1) : std::string();
    rest.resize(LengthWithoutBlanks(rest));
    const int indent = std::max(ed.TabStops[1] - 1, 0);
    // The new line holds the indent and the moved text whole, or nothing
    // happens: a split never cuts text.
    const int width = std::max(ed.LineCapacity, indent + static_cast<int>(rest.size()));
    if (width > MaxText) {
        ShowMessage(ed, " The line would pass 255 characters: not split.", 1);
        return;
    }
    int at = line + 1;
    InsertLine(ed, width, at);
    if (ed.OperationFailed) return;
    StoreLine(ed, std::string(indent, ' ') + rest, at);
    ed.CurrentColumn = column;
    ClearToEnd(ed);
}

void JoinLines(Editor& ed)
{
    const int line = ed.CurrentLine;
    if (line < 1 || line >= ed.LineCount) return;
    BeginLineChange(ed, line);
    const std::string s = GetLine(ed, line);
    std::string u = GetLine(ed, line + 1);
    const int text = TrimmedLength(s);
    // A line-colour code after the text stays at the end of the joined line
    // (the current line's, or else the next line's), so that no mark is lost
    // and none ends up inside the text.
    std::string code = ColourCode(s);
    const bool codeFromNext = code.empty();
    if (codeFromNext) code = ColourCode(u);
    const int room = MaxText - static_cast<int>(code.size());

    // The join point never cuts the current line's text.
    const int j = std::max(Column(ed) - 1, text);
    if (j > room) return;
    std::string a = s.substr(0, text);
    a.resize(j, ' ');

    int k = FirstNonBlank(u);
    if (k == 0) k = std::max(static_cast<int>(u.size()), 1);
    if (k > 1 && CharAt(a, j) != ' ') --k;
    const int m = TrimmedLength(u);
    const int width = std::min(ed.FormatWidth, room);

    if (j + (m - k + 1) <= width) {
        if (m >= k) a += u.substr(k - 1, m - k + 1);
        if (!StoreLine(ed, a + code, line)) return;
        int next = line + 1;
        DeleteLine(ed, next);
        // The line that held the joined text is gone: a restore of the
        // current line now would lose that text, so it starts afresh.
        ed.LineEdited = false;
        return;
    }
    // Only the words of the next line that fit within the width move up.
    int e = k + width - j;
    while (e > 0 && CharAt(u, e) != ' ') --e;
    if (e <= k) return;
    a += u.substr(k - 1, e - k);
    int f = e;
    while (f <= m && CharAt(u, f) == ' ') ++f;
    u.erase(k - 1, f - k);
    if (codeFromNext) code.clear();  // the next line keeps its own colour
    if (!StoreLine(ed, a + code, line)) return;
    if (!StoreLine(ed, u, line + 1)) {
        StoreLine(ed, s, line);  // nothing half done
        return;
    }
    ed.LineEdited = false;
}

}  // namespace lumo
