// Typing a character: insert or overwrite, the word wrap at FormatWidth and
// the hanging indent that keeps a list item's continuation under its text.
#include <algorithm>
#include <cctype>

#include "edit/lineedit.h"
#include "editor/linestore.h"
#include "edit/movement.h"

namespace lumo {

namespace {

bool WrapIsOff(const Editor& ed) { return (ed.FillCell & WrapOff) != 0; }

// A box on this line alone that starts at or right of where a character
// was inserted moves right with the text; past the width it is unmarked.
void ShiftBox(Editor& ed, int line, int column)
{
    if (!ed.InsertMode || ed.BoxFirstLine != line || ed.BoxLastLine != line) return;
    if (column > ed.BoxFirstColumn) return;
    ++ed.BoxFirstColumn;
    ++ed.BoxLastColumn;
    if (ed.BoxLastColumn > ed.FormatWidth) {
        ed.BoxFirstLine = ed.BoxLastLine = 0;
        ed.BoxFirstColumn = ed.BoxLastColumn = 0;
    }
}

// A blank typed past the end of the text and past the line width starts
// the next line instead of being stored: the cursor goes to the left margin
// of the line below, which is made new when the text there does not
// continue this paragraph.
bool BlankToNextLine(Editor& ed, const std::string& typed)
{
    const int line = ed.CurrentLine;
    const int next = line + 1;
    const int margin = ed.TabStops[1];
    bool fresh = next > ed.LineCount;
    if (!fresh) {
        const std::string u = GetLine(ed, next);
        fresh = TrimmedLength(u) == 0 || FirstNonBlank(u) == ed.TabStops[2] ||
                WordEnd(u, margin, 0) > ed.FormatWidth;
    }
    if (fresh) {
        int at = next;
        InsertLine(ed, ed.LineCapacity, at);
        if (ed.OperationFailed) return false;
    }
    ed.CurrentLine = next;
    ed.LineEdited = false;
    ed.CurrentColumn = std::clamp(HangingIndent(typed, GetLine(ed, next), margin), 1, 256);
    return true;
}

// Stores the typed line s with the line-colour code that was taken off
// while typing past the text put back after its text.
bool StoreTyped(Editor& ed, const std::string& s, const std::string& code, int line)
{
    if (code.empty()) return StoreLine(ed, s, line);
    const int text = TrimmedLength(s);
    if (text + static_cast<int>(code.size()) > MaxText) return false;
    return StoreLine(ed, s.substr(0, text) + code, line);
}

// The wrap: the last word of s (the current line with c already in it at
// `column`; its text, or the column, ends at t) goes to the next line.
bool WrapLastWord(Editor& ed, std::string s, const std::string& code, uint8_t c, int column, int t)
{
    const int line = ed.CurrentLine;
    const int margin = ed.TabStops[1];
    int p = t;
    while (p > 0 && CharAt(s, p) != ' ') --p;
    if (p < margin || (c == ' ' && p <= margin)) return false;  // the word cannot wrap
    const int w = t - p;
    // A blank after the text: there is no word to move (moving an empty
    // one would push a blank in front of the next line's text and glue the
    // next typed character to this line's last word). The cursor steps on;
    // the word typed next wraps as usual.
    if (w == 0) {
        ed.CurrentColumn = std::min(column + 1, 256);
        return true;
    }
    if (ed.FormatWidth < w + margin) {
        // Longer than a whole line: it stays, and the cursor keeps moving
        // so that the word is not typed backwards.
        if (!StoreTyped(ed, s, code, line)) return false;
        ed.CurrentColumn = std::min(column + 1, 256);
        ShiftBox(ed, line, column);
        return true;
    }

    const int next = line + 1;
    bool fresh = next > ed.LineCount;
    if (!fresh) {
        const std::string u = GetLine(ed, next);
        const int ut = TrimmedLength(u);
        fresh = ut == 0 || FirstNonBlank(u) == ed.TabStops[2] || ed.FormatWidth - ut < w + margin;
    }
    if (fresh) {
        int at = next;
        InsertLine(ed, ed.LineCapacity, at);
        if (ed.OperationFailed) return false;
    }
    // Nothing half done: when the next line cannot take the word, the line
    // made for it goes again and the character is not stored.
    auto undo = [&ed, fresh, next]() {
        if (!fresh) return;
        int at = next;
        DeleteLine(ed, at);
        ed.LineEdited = true;
    };

    std::string u = GetLine(ed, next);
    int q = HangingIndent(s, u, 1);
    while (CharAt(u, q) == ' ' && q < margin) ++q;
    if (!InsertText(u, q, s.substr(p, w) + ' ')) {
        undo();
        return false;
    }
    const std::string before = GetLine(ed, line);
    s.erase(p, w);
    // The shortened line first: it only ever shrinks, so storing it cannot
    // fail for memory, and a word the next line cannot take is put back.
    if (!StoreTyped(ed, s, code, line)) {
        undo();
        return false;
    }
    if (!StoreLine(ed, u, next)) {
        StoreLine(ed, before, line);
        undo();
        return false;
    }

    ed.WrapShift = (ed.WrapShift + w + 1) & 0xFF;
    if (column >= p + 1) {
        // The cursor was in the moved word: it goes along, and the new line
        // gets its own snapshot so that Cancel last change never writes the
        // old line's text into it.
        ed.CurrentLine = next;
        ed.LineEdited = false;
        ed.CurrentColumn = std::clamp(column - (p + 1) + q + 1, 1, 256);
        TakeChangeSnapshot(ed);
    } else {
        ed.CurrentColumn = std::min(column + 1, 256);
        ShiftBox(ed, line, column);
    }
    return true;
}

}  // namespace

int HangingIndent(const std::string& typed, const std::string& target, int x)
{
    static const char* const suffixes[] = {" ", ") ", ". "};
    auto blankPrefix = [&target](int n) {
        for (int i = 1; i <= n; ++i)
            if (CharAt(target, i) != ' ') return false;
        return true;
    };
    for (char d = '0'; d <= '9'; ++d) {
        for (const char* suffix : suffixes) {
            const std::string label = d + std::string(suffix);
            int length = 0;
            if (typed.compare(0, label.size(), label) == 0)
                length = static_cast<int>(label.size());
            else if (typed.find(label) == 1 && std::isdigit(static_cast<unsigned char>(typed[0])))
                length = static_cast<int>(label.size()) + 1;
            if (length > 0 && blankPrefix(length)) return x + length;
        }
    }
    if (typed.compare(0, 2, "* ") == 0) return x + 2;
    return x;
}

bool TypeChar(Editor& ed, uint8_t c)
{
    const int line = ed.CurrentLine;
    if (line < 1 || line > ed.LineCount) return false;
    const int column = std::clamp(ed.CurrentColumn, 1, 256);
    ed.CurrentColumn = column;
    BeginLineChange(ed, line);

    // Work on a copy of the text (the record's blank padding is left off:
    // it changes nothing and would only be scanned): a character that is
    // refused leaves the line untouched, in overwrite mode too.
    std::string s(LineText(ed, line));
    const int capacity = LineCapacityOf(ed, line);
    const int stored = TrimmedLength(s);
    // Typing past the text of a coloured line goes in front of its colour
    // code: the code stays at the end, where it colours the line, and is
    // never overwritten or pushed into the text.
    std::string code;
    if (column > stored) {
        code = ColourCode(s);
        if (!code.empty()) s.resize(stored);
    }
    if (!ed.InsertMode && column <= static_cast<int>(s.size())) s.erase(column - 1, 1);
    const bool wrapOff = WrapIsOff(ed);

    if (column > ed.LineCapacity && c == ' ' && !wrapOff && capacity <= ed.LineCapacity &&
        column > TrimmedLength(s))
        return BlankToNextLine(ed, s);

    // Typing past the end of a short record pads it to the column first;
    // a character that would push text off a 255-character line is refused.
    if (!InsertText(s, column, std::string(1, static_cast<char>(c)))) {
        // Column 256, after the end of a 255-character line (End there,
        // then Up or Down): the line cannot hold the character, but a wrap
        // can move it on, as it moves any word typed past the width.
        if (column <= MaxText || wrapOff || stored > ed.LineCapacity) return false;
        s.resize(column - 1, ' ');
        s += static_cast<char>(c);
        return WrapLastWord(ed, std::move(s), code, c, column, column);
    }
    const int t = std::max(TrimmedLength(s), column);

    if (t <= ed.FormatWidth || wrapOff || stored > ed.LineCapacity) {
        // No wrap: a line that grows past its capacity gets a larger record,
        // or, when memory is short, the character is silently lost.
        if (!StoreTyped(ed, s, code, line)) return false;
        ed.CurrentColumn = std::min(column + 1, 256);
        ShiftBox(ed, line, column);
        return true;
    }
    return WrapLastWord(ed, std::move(s), code, c, column, t);
}

void TypeString(Editor& ed, const std::string& text)
{
    for (char c : text) TypeChar(ed, static_cast<uint8_t>(c));
    ed.CursorScreenColumn = ed.CurrentColumn - ed.HorizontalScroll;
    ed.CursorScreenRow = ed.CurrentLine - ed.TopLine + 3;
    if (ed.CursorScreenColumn >= 1 && ed.CursorScreenColumn <= ed.con.ScreenColumns &&
        ed.CursorScreenRow >= 3 && ed.CursorScreenRow <= ed.con.ScreenRows)
        ed.con.PlaceCursor(ed.CursorScreenColumn - 1, ed.CursorScreenRow - 1);
}

}  // namespace lumo
