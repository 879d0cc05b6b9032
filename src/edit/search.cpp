// FindText and the search commands.
//
// Lines are scanned in place: a line's stored text, read through a 256-byte
// case table, never copied or upper-cased, and bytes of every value are text
// (0x00 included), so nothing here treats a line as a C string.
#include "edit/search.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "edit/bookmarks.h"
#include "edit/lineedit.h"
#include "editor/codepage.h"
#include "editor/keyreading.h"
#include "editor/linestore.h"
#include "ui/choice.h"
#include "ui/inputline.h"
#include "ui/render.h"

namespace lumo {

namespace {

using FoldTable = std::array<uint8_t, 256>;

const FoldTable& SameCase()
{
    static const FoldTable table = [] {
        FoldTable t{};
        for (int c = 0; c < 256; ++c) t[c] = static_cast<uint8_t>(c);
        return t;
    }();
    return table;
}

const FoldTable& UpperCase()
{
    static const FoldTable table = [] {
        FoldTable t{};
        for (int c = 0; c < 256; ++c) t[c] = CyrUpCase(static_cast<uint8_t>(c));
        return t;
    }();
    return table;
}

bool IsColourByte(char c) { return static_cast<unsigned char>(c) < 16; }

// TrimmedLength of a line's stored text, without copying it.
int TextLength(std::string_view s)
{
    int n = static_cast<int>(std::min<size_t>(s.size(), MaxText));
    while (n > 0) {
        char c = s[n - 1];
        if (c == ' ') {
            --n;
        } else if (c == '\t' && n > 1 && IsColourByte(s[n - 2])) {
            n -= 2;
            if (n > 0 && IsColourByte(s[n - 1])) --n;
        } else {
            break;
        }
    }
    return n;
}

bool HasLowerCase(const std::string& text) { return CyrUpperCase(CyrLowerCase(text)) != text; }

const char* const SearchingPrefix = " Searching for the string  ";

// The prefix as a message, then the text itself cell by cell: a comma in
// the text must not blank the character after it, and control bytes show as
// their glyphs.
void ShowSearching(Editor& ed, const std::string& text)
{
    ShowMessage(ed, SearchingPrefix, 0);
    WriteText(ed, static_cast<int>(std::strlen(SearchingPrefix)) + 1, 2, text, 0x0E);
}

void MoveToOccurrence(Editor& ed, int line, int column, int startLine)
{
    if (line != ed.CurrentLine) ed.LineEdited = false;
    if (line != startLine) {
        ed.HorizontalScroll = 0;
        ed.LineEdited = false;
    }
    ed.CurrentLine = line;
    ed.TopLine = line;
    ed.CurrentColumn = std::clamp(column, 1, MaxText + 1);
}

Found NotFound(Editor& ed, bool showMessages)
{
    ed.OperationFailed = 1;
    if (showMessages) ShowMessage(ed, " String not found.", 1);
    return Found::No;
}

}  // namespace

int FindInLine(std::string_view line, int textLength, const std::string& pattern, const uint8_t* fold,
               int first, int last, int maxEnd)
{
    const int length = static_cast<int>(pattern.size());
    if (length == 0) return 0;
    first = std::max(first, 1);
    // A match starts inside the text and ends by maxEnd.
    last = std::min({last, textLength, maxEnd - length + 1});
    if (first > last) return 0;
    const auto* d = reinterpret_cast<const uint8_t*>(line.data());
    const auto* p = reinterpret_cast<const uint8_t*>(pattern.data());
    const int size = static_cast<int>(line.size());
    const uint8_t blank = fold[static_cast<uint8_t>(' ')];
    // The bytes a first character can be: itself, and its lower-case form
    // when case is folded. Candidates are found with memchr, one pointer
    // for each form.
    const uint8_t upper = p[0];
    uint8_t lower = upper;
    if (fold != SameCase().data() && fold[CyrLowCase(upper)] == upper) lower = CyrLowCase(upper);
    const uint8_t* const end = d + last;  // past the last candidate
    auto next = [end](const uint8_t* from, uint8_t byte) {
        const void* hit = from < end ? std::memchr(from, byte, static_cast<size_t>(end - from)) : nullptr;
        return hit ? static_cast<const uint8_t*>(hit) : end;
    };
    const uint8_t* nextUpper = next(d + first - 1, upper);
    const uint8_t* nextLower = lower == upper ? end : next(d + first - 1, lower);
    for (;;) {
        const uint8_t* hit = std::min(nextUpper, nextLower);
        if (hit == end) return 0;
        if (hit == nextUpper) nextUpper = next(hit + 1, upper);
        if (hit == nextLower) nextLower = next(hit + 1, lower);
        const int c = static_cast<int>(hit - d) + 1;
        int k = 0;
        const int inside = std::min(length, size - (c - 1));  // pattern bytes over stored text
        while (k < inside && fold[d[c - 1 + k]] == p[k]) ++k;
        if (k < inside) continue;
        while (k < length && p[k] == blank) ++k;  // the rest over the blank padding
        if (k == length) return c;
    }
}

Found FindText(Editor& ed, const std::string& text, int startLine, int endLine, int startColumn,
               bool showMessages, int& caseSetting, bool upward)
{
    ed.OperationFailed = 0;
    if (ed.LineCount < 1) return NotFound(ed, showMessages);
    startLine = std::clamp(startLine, 1, ed.LineCount);
    endLine = std::clamp(endLine, 0, ed.LineCount);
    const int step = upward ? -1 : 1;
    auto beyondEnd = [&](int n) { return upward ? n < endLine : n > endLine; };

    if (text.empty()) {
        // The next all-blank line; the start line itself is not looked at.
        for (int n = startLine + step; n >= 1 && n <= ed.LineCount && !beyondEnd(n); n += step) {
            if (TextLength(LineText(ed, n)) == 0) {
                MoveToOccurrence(ed, n, ed.TabStops[1], startLine);
                return Found::Yes;
            }
        }
        return NotFound(ed, showMessages);
    }

    const std::string t = text.substr(0, MaxText);
    if (caseSetting == 0 && HasLowerCase(t)) {
        ShowChoice(ed, " To ignore case ? | 1 - yes | 2 - no | 3 or Esc - stop search |");
        if (ed.ChoiceResult == 1) {
            caseSetting = 15;
        } else if (ed.ChoiceResult == 2) {
            caseSetting = -15;
        } else {
            ed.OperationFailed = 1;
            return Found::Cancelled;
        }
    }
    if (showMessages) ShowSearching(ed, t);

    const uint8_t* fold = caseSetting > 0 ? UpperCase().data() : SameCase().data();
    std::string pattern = t;
    for (char& c : pattern) c = static_cast<char>(fold[static_cast<uint8_t>(c)]);

    // The start line: after the start column going down, wholly before it
    // going up.
    {
        std::string_view line = LineText(ed, startLine);
        const int textLength = TextLength(line);
        int column = upward ? FindInLine(line, textLength, pattern, fold, 1, MaxText, std::min(startColumn - 1, MaxText))
                            : FindInLine(line, textLength, pattern, fold, startColumn + 1, MaxText, MaxText);
        if (column > 0) {
            MoveToOccurrence(ed, startLine, column, startLine);
            return Found::Yes;
        }
    }
    for (int n = startLine + step; n >= 1 && n <= ed.LineCount && !beyondEnd(n); n += step) {
        std::string_view line = LineText(ed, n);
        if (static_cast<int>(line.size()) < 1) continue;
        int column = FindInLine(line, TextLength(line), pattern, fold, 1, MaxText, MaxText);
        if (column > 0) {
            MoveToOccurrence(ed, n, column, startLine);
            return Found::Yes;
        }
    }
    return NotFound(ed, showMessages);
}

namespace {

// Next's steps: push the position, search from the cursor (or from the top
// of the text) to the end in the remembered direction.
Redraw RunSearch(Editor& ed, bool fromTop)
{
    PushGetBack(ed);
    const bool up = ed.SearchUpward;
    int line = ed.CurrentLine;
    int column = ed.CurrentColumn;
    if (fromTop) {
        // The whole text: from line 1 down, or from the last line's end up.
        line = up ? ed.LineCount : 1;
        column = up ? MaxText + 1 : 0;
    }
    FindText(ed, ed.SearchString, line, up ? 1 : ed.LineCount, column, true, ed.SearchCase, up);
    return up ? Redraw::Full : Redraw::Window;
}

// F7 and its variants: the case setting and the direction, then the text.
Redraw AskAndSearch(Editor& ed, bool upward, bool matchCase)
{
    ed.SearchCase = matchCase ? -15 : 15;
    ed.SearchUpward = upward;
    std::string text = ed.SearchString;
    InputLine(ed, text, InputSearch);
    const int outcome = ed.OperationFailed;
    if (outcome == 127) {
        StopRecording(ed);
        return Redraw::Full;
    }
    if (outcome == 31) {
        // Ctrl+P: the text goes into the text at the cursor instead.
        TypeString(ed, text);
        return Redraw::Window;
    }
    if (outcome != 0) return Redraw::Status;
    // Shift, Ctrl or Alt+Enter closed the input line: search the whole text.
    const bool fromTop = ed.KeyScan == 0xF0;
    ed.SearchString = text;
    return RunSearch(ed, fromTop);
}

bool ShiftHeld(const Editor& ed) { return (ed.KeyShift & 3) != 0; }

}  // namespace

Redraw CmdFindDown(Editor& ed) { return AskAndSearch(ed, false, ShiftHeld(ed)); }

Redraw CmdFindUp(Editor& ed) { return AskAndSearch(ed, true, ShiftHeld(ed)); }

Redraw CmdFindNext(Editor& ed) { return RunSearch(ed, false); }

Redraw CmdFindBlankLine(Editor& ed)
{
    ed.SearchString.clear();
    return RunSearch(ed, false);
}

Redraw CmdFindComment(Editor& ed)
{
    int ignoreCase = 15;
    FindText(ed, ed.CommentBrackets, ed.CurrentLine, ed.LineCount, ed.CurrentColumn, true, ignoreCase, false);
    return Redraw::Window;
}

}  // namespace lumo
