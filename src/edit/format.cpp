// Reflowing a paragraph. Its lines are taken out into a side buffer (the
// current line and a queue of the lines after it), normalised, joined,
// broken and justified there in the order the single steps would run on the
// line table, and written back with one move of the table. That keeps the
// work linear in the size of the paragraph (a join or a split on the table
// moves every line below it), and makes the command whole or nothing.
#include <algorithm>
#include <deque>
#include <vector>

#include "edit/format.h"
#include "editor/linestore.h"
#include "editor/words.h"
#include "ui/render.h"

namespace lumo {

namespace {

constexpr int MaxJustifySteps = 254;  // word steps one line's justification may take
constexpr size_t RestoreSlots = 16;

// One line of the paragraph while it is reflowed. Its line-colour code and
// its F12 marker belong to the line, not to a word: they are kept apart from
// the text and put back after it.
struct Piece {
    std::string text;     // leading blanks included, no trailing blanks
    std::string code;     // line-colour code (bytes below 16 and a TAB)
    bool marker = false;  // the text ends with the F12 marker " \0"

    int TailSize() const { return static_cast<int>(code.size()) + (marker ? 2 : 0); }
    std::string Whole() const { return text + code + (marker ? std::string(" \0", 2) : std::string()); }
};

std::string TrimRight(std::string s)
{
    s.erase(s.find_last_not_of(' ') + 1);
    return s;
}

Piece TakeApart(const std::string& line)
{
    Piece p;
    std::string s = TrimRight(line);
    if (s.size() >= 2 && s.back() == '\0' && s[s.size() - 2] == ' ') {
        std::string before = TrimRight(s.substr(0, s.size() - 2));
        if (TrimmedLength(before) > 0) {
            p.marker = true;
            s = before;
        }
    }
    const size_t end = static_cast<size_t>(TrimmedLength(s));
    p.text = TrimRight(s.substr(0, end));
    for (size_t i = end; i < s.size(); ++i)
        if (s[i] != ' ') p.code += s[i];
    return p;
}

// Every run of blanks becomes one blank.
void Collapse(Piece& p)
{
    std::string t;
    t.reserve(p.text.size());
    for (char c : p.text)
        if (c != ' ' || t.empty() || t.back() != ' ') t += c;
    p.text = std::move(t);
}

// AlignLineStart on a piece: its first non-blank character to `column`,
// unless the line would pass 255 characters.
void Align(Piece& p, int column)
{
    const int first = FirstNonBlank(p.text);
    if (first == 0 || first == column) return;
    if (static_cast<int>(p.text.size()) + p.TailSize() + column - first > MaxText) return;
    p.text = std::string(column - 1, ' ') + p.text.substr(first - 1);
}

// The length of a list item's label at the margin ("1. ", "12) ", "* ")
// followed by text; 0 when the line is no list item.
int ListLabel(const std::string& s, int margin)
{
    if (FirstNonBlank(s) != margin) return 0;
    auto at = [&s, margin](int i) { return CharAt(s, margin + i); };
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    int label = 0;
    if (at(0) == '*' && at(1) == ' ') {
        label = 2;
    } else {
        int d = 0;
        while (d < 2 && digit(at(d))) ++d;
        if (d > 0 && (at(d) == '.' || at(d) == ')') && at(d + 1) == ' ') label = d + 2;
    }
    return label > 0 && TrimmedLength(s) > margin + label - 1 ? label : 0;
}

bool StartsParagraph(const std::string& s, int margin, int indent)
{
    return TrimmedLength(s) == 0 || FirstNonBlank(s) == indent || CharAt(s, margin) == '\t' ||
           ListLabel(s, margin) > 0;
}

// The filling steps on the side buffer.
struct Reflow {
    int width = 0;         // W
    int continuation = 1;  // where lines after the first start: M, or under a list item's text
    bool justify = false;
    int firstFrom = 0;     // where justification of the first line starts (0: its first word)
    int first = 1;         // the table line of the paragraph's first line
    std::deque<Piece> queue;  // the lines after the current one
    std::vector<Piece> done;
    // The inserts (+n) and deletes (-n) of table lines the single steps
    // would make, to keep bookmarks and block marks where they would be.
    std::vector<int> steps;

    int CurrentAt() const { return first + static_cast<int>(done.size()); }
    void Join(Piece& cur, int column);
    void Break(Piece& cur);
    bool Run(Piece cur, long guard);
};

// The join of the next line onto the current one at `column`: the whole
// next line when it fits within W, else as many of its words as fit.
void Reflow::Join(Piece& cur, int column)
{
    Piece& next = queue.front();
    const std::string& u = next.text;
    std::string a = cur.text;
    a.resize(column - 1, ' ');
    int k = FirstNonBlank(u);
    if (k == 0) k = std::max(static_cast<int>(u.size()), 1);
    if (k > 1 && CharAt(a, column - 1) != ' ') --k;
    const int m = static_cast<int>(u.size());
    if ((column - 1) + (m - k + 1) <= width) {
        if (m >= k) a += u.substr(k - 1);
        cur.text = TrimRight(std::move(a));
        if (cur.code.empty()) cur.code = next.code;
        cur.marker = cur.marker || next.marker;
        queue.pop_front();
        steps.push_back(-(CurrentAt() + 1));
        return;
    }
    int e = k + width - column + 1;
    while (e > 0 && CharAt(u, e) != ' ') --e;
    if (e <= k) return;
    a += u.substr(k - 1, e - k);
    int f = e;
    while (f <= m && CharAt(u, f) == ' ') ++f;
    cur.text = TrimRight(std::move(a));
    next.text.erase(k - 1, f - k);
}

// Breaks a line that passes W before the word that crosses W; a first word
// longer than W keeps the line to itself, and the words after it go.
void Reflow::Break(Piece& cur)
{
    const std::string& s = cur.text;
    const int length = static_cast<int>(s.size());
    const int first = FirstNonBlank(s);
    // The first word with what is glued to it ("(word),"): up to a blank.
    int firstEnd = first;
    while (firstEnd < length && CharAt(s, firstEnd + 1) != ' ') ++firstEnd;
    int at;
    if (firstEnd > width) {
        at = firstEnd + 1;
        while (at <= length && CharAt(s, at) == ' ') ++at;
    } else {
        at = WordEnd(s, CharAt(s, width + 1) == ' ' ? width : WordStart(s, width), 0);
        if (at > width + 2) return;
        // Opening delimiters go along with their word: "(word" and "-word"
        // are never broken after the "(" or "-" (as justification never
        // puts a blank there).
        int d = at - 1;
        while (d >= first && IsDelimiter(static_cast<uint8_t>(CharAt(s, d)))) --d;
        if (d < at - 1 && CharAt(s, d) == ' ') at = d + 1;
    }
    // Never at or before the first word: that would only push the whole
    // text down a line, and again on the next pass.
    if (at <= first || at > length) return;
    std::string rest = s.substr(at - 1);
    if (continuation - 1 + static_cast<int>(rest.size()) > MaxText) return;
    Piece piece;
    piece.text = std::string(continuation - 1, ' ') + rest;
    cur.text = TrimRight(s.substr(0, at - 1));
    queue.push_front(std::move(piece));
    steps.push_back(CurrentAt() + 1);
}

bool Reflow::Run(Piece cur, long guard)
{
    for (;;) {
        if (--guard < 0) return false;
        const bool lastLine = queue.empty();
        const int before = static_cast<int>(cur.text.size());
        // The paragraph's last line ends within W: it is neither filled
        // nor justified.
        if (lastLine && before <= width) break;
        if (!lastLine) {
            int column = before;
            if (continuation == 1 && before + 2 <= width) column = before + 2;
            else if (continuation != 1 && before < width) column = before + 1;
            if (column > before) Join(cur, column);
        }
        if (static_cast<int>(cur.text.size()) > width) Break(cur);
        const int now = static_cast<int>(cur.text.size());
        if (now != before && now <= width) continue;  // room left: join more
        // Complete. A line that passes W (a long word) at the paragraph's
        // end ends the formatting too: the next line is another paragraph.
        if (queue.empty()) break;
        if (justify && now <= width) cur.text = JustifyText(cur.text, width, done.empty() ? firstFrom : 0);
        done.push_back(std::move(cur));
        cur = std::move(queue.front());
        queue.pop_front();
        Align(cur, continuation);
    }
    done.push_back(std::move(cur));
    return true;
}

// The end of a format: the cursor to the line after the paragraph, in the
// left margin, so that the next Ctrl+F takes the next paragraph.
void LeaveParagraph(Editor& ed, int last, int margin)
{
    ed.CurrentLine = std::clamp(last < ed.LineCount ? last + 1 : last, 1, std::max(ed.LineCount, 1));
    if (ed.CurrentLine < ed.TopLine) ed.TopLine = ed.CurrentLine;
    ed.CurrentColumn = margin;
    ed.LineEdited = false;
}

}  // namespace

std::string JustifyText(const std::string& text, int width, int from)
{
    const int length = static_cast<int>(text.size());
    width = std::min(width, MaxText);
    if (length >= width) return text;
    const int start = from > 0 ? from : FirstNonBlank(text);
    if (start == 0) return text;
    // The word starts a pass visits, each with whether a blank may go in
    // front of it (not after a delimiter). Blanks added in front of words
    // change neither, so the passes can run on positions alone.
    std::vector<int> stop;
    std::vector<char> open;
    for (int p = start;;) {
        const int q = WordEnd(text, p, 0);
        if (q <= p) break;
        stop.push_back(q);
        open.push_back(!IsDelimiter(static_cast<uint8_t>(CharAt(text, q - 1))));
        if (q > length) break;
        p = q;
    }
    std::vector<int> added(stop.size(), 0);
    int reached = length;
    int steps = 0;
    while (reached < width && !stop.empty()) {
        int shift = 0;  // blanks added in front of the earlier stops
        for (size_t j = 0; j < stop.size(); ++j) {
            if (++steps > MaxJustifySteps) return text;
            int c = stop[j] + shift + added[j];
            if (c < width && open[j]) {
                ++added[j];
                if (stop[j] <= length) ++reached;  // past the text a blank adds nothing
                ++c;
            }
            shift += added[j];
            if (!(reached < width && c < reached && c < width)) break;
        }
    }
    std::string result;
    result.reserve(width);
    size_t from0 = 0;
    for (size_t j = 0; j < stop.size() && stop[j] <= length; ++j) {
        const size_t at = static_cast<size_t>(stop[j] - 1);
        result.append(text, from0, at - from0);
        result.append(added[j], ' ');
        from0 = at;
    }
    result.append(text, from0, std::string::npos);
    return result;
}

void FormatParagraph(Editor& ed, bool justify)
{
    if (ed.LineCount < 1) return;
    const int width = std::clamp(ed.FormatWidth, 1, MaxText);
    const int margin = std::clamp(ed.TabStops[1], 1, MaxText);
    const int indent = std::clamp(ed.TabStops[2], 1, MaxText);
    auto line = [&ed](int n) { return std::string(LineText(ed, n)); };
    auto blank = [&](int n) { return TrimmedLength(line(n)) == 0; };
    auto starts = [&](int n) { return StartsParagraph(line(n), margin, indent); };

    // The first line: down over blank lines, then up to the paragraph's start.
    int n = std::clamp(ed.CurrentLine, 1, ed.LineCount);
    while (n < ed.LineCount && blank(n)) ++n;
    while (n > 1 && !starts(n)) --n;
    if (blank(n)) {
        if (n == ed.LineCount) {
            LeaveParagraph(ed, n, margin);
            return;
        }
        ++n;
    }
    const int first = n;
    int last = first;
    while (last < ed.LineCount && !starts(last + 1)) ++last;

    std::vector<std::string> before;
    long size = 0;
    for (int i = first; i <= last; ++i) {
        before.push_back(line(i));
        size += static_cast<long>(before.back().size()) + 1;
    }

    // Normalising: single blanks, the first line at P (a list item stays at
    // M), the others at M or under the list item's text.
    Reflow reflow;
    reflow.width = width;
    reflow.justify = justify;
    reflow.first = first;
    const int label = ListLabel(before[0], margin);
    Piece head = TakeApart(before[0]);
    Collapse(head);
    Align(head, label > 0 ? margin : indent);
    if (label > 0) {
        reflow.continuation = std::min(margin + label, MaxText);
        reflow.firstFrom = FirstNonBlank(head.text) + label;
    } else {
        reflow.continuation = margin;
    }
    for (size_t i = 1; i < before.size(); ++i) {
        Piece p = TakeApart(before[i]);
        Collapse(p);
        Align(p, reflow.continuation);
        reflow.queue.push_back(std::move(p));
    }
    if (!reflow.Run(std::move(head), 8 * size + 64)) {
        ShowMessage(ed, " The paragraph could not be formatted: it is left as it was.", 1);
        return;
    }

    std::vector<std::string> after;
    after.reserve(reflow.done.size());
    for (const Piece& p : reflow.done) {
        after.push_back(p.Whole());
        if (after.back().size() > static_cast<size_t>(MaxText)) {
            ShowMessage(ed, " A line would pass 255 characters: the paragraph is left as it was.", 1);
            return;
        }
    }
    const int end = first + static_cast<int>(after.size()) - 1;
    if (after != before) {
        std::vector<std::string> saved;
        for (int i = first; i <= last && saved.size() < RestoreSlots; ++i) saved.push_back(GetLine(ed, i));
        switch (ReplaceLines(ed, first, last - first + 1, after)) {
            case Replaced::Done: break;
            case Replaced::TooManyLines:
                ShowMessage(ed, " TOO MANY LINES! The paragraph is left as it was.", 1);
                return;
            default:
                ShowMessage(ed, " NOT ENOUGH MEMORY! The paragraph is left as it was.", 1);
                return;
        }
        // The lines as they were, oldest first: Alt+R brings them back in
        // their order.
        for (std::string& s : saved) {
            ed.RestoreIndex = (ed.RestoreIndex + 1) % 16;
            ed.RestoreRing[ed.RestoreIndex] = std::move(s);
        }
        for (int step : reflow.steps) {
            if (step > 0) FollowInsert(ed, step, 1);
            else FollowDelete(ed, -step, 1);
        }
    }
    LeaveParagraph(ed, end, margin);
}

Redraw CmdFormatJustified(Editor& ed)
{
    FormatParagraph(ed, true);
    return Redraw::Full;
}

Redraw CmdFormatPlain(Editor& ed)
{
    FormatParagraph(ed, false);
    return Redraw::Full;
}

}  // namespace lumo
