#include "edit/completion.h"

#include <array>
#include <cstdio>
#include <string>
#include <string_view>

#include "edit/lineedit.h"
#include "editor/codepage.h"
#include "editor/keys.h"
#include "editor/linestore.h"
#include "editor/words.h"
#include "ui/render.h"

namespace lumo {

namespace {

constexpr int NextFind = -0x8000;  // answer: look for the next find
constexpr int ShownWidth = 53;     // characters of a candidate shown
constexpr uint8_t CandidateColour = 0x1E;

// The part of the word at the cursor left of it, without the characters
// 0x00..0x29 (controls, blank and ! " # $ % & ' ( )).
std::string CompletionPrefix(Editor& ed)
{
    std::string word = WordAtCursor(ed, 1);
    std::string prefix;
    for (char c : word)
        if (static_cast<uint8_t>(c) > 0x29) prefix += c;
    return prefix;
}

// Shows a candidate on the message line and reads the answer from the
// keyboard.
KeyEvent ShowOffer(Editor& ed, std::string_view shown, int number)
{
    ShowMessage(ed, "  Appropriate line: ", 22);
    WriteText(ed, 22, 2, std::string(shown.substr(0, ShownWidth)), CandidateColour);
    char digits[16];
    std::snprintf(digits, sizeof digits, "%5d", number);
    WriteText(ed, 76, 2, digits, static_cast<uint8_t>(10 + ed.CompletionPass + ed.CompletionDirection));
    KeyEvent key = ReadEditorKey(ed);
    DrawMessageLine(ed);
    return key;
}

// Acts on the answer to a candidate: `text` is the entry or the line, and
// start..end - 1 (from 0) the characters completing would add. Returns the
// new count, or NextFind.
int Answer(Editor& ed, KeyEvent key, const std::string& text, size_t start, size_t end)
{
    int& direction = ed.CompletionDirection;
    switch (key) {
        case KeyEnter:
            ed.CompletionText = text;
            TypeString(ed, text.substr(start, end - start));
            // The next "\" types the first character not taken yet.
            return static_cast<int>(end) + 1;
        case KeyBackslash:
            ed.CompletionText = text;
            TypeChar(ed, static_cast<uint8_t>(text[start]));
            TypeString(ed, std::string());  // places the cursor
            return static_cast<int>(start) + 2;
        case KeyBackspace:
            return NextFind;
        case KeyUp:
            if (direction == 1 || direction == 4) {
                direction = direction == 1 ? 2 : 0;
                return 0;
            }
            return NextFind;
        case KeyDown:
            if (direction == 0) direction = 4;
            else if (direction == 2) direction = 1;
            return 0;
        case KeyEsc:
            return CompletionEscape;
        default:
            return CompletionOtherKey;
    }
}

// The case map as a table, so that the case-insensitive pass compares in
// place instead of upper-casing a copy of every line.
const std::array<uint8_t, 256>& UpperTable()
{
    static const std::array<uint8_t, 256> table = [] {
        std::array<uint8_t, 256> t{};
        for (int c = 0; c < 256; ++c) t[c] = CyrUpCase(static_cast<uint8_t>(c));
        return t;
    }();
    return table;
}

// The first place from `from` on where `text`, upper-cased, holds `upper`.
size_t FindIgnoringCase(std::string_view text, std::string_view upper, size_t from)
{
    const std::array<uint8_t, 256>& map = UpperTable();
    const size_t m = upper.size();
    if (m == 0 || text.size() < m) return std::string_view::npos;
    const auto first = static_cast<uint8_t>(upper[0]);
    for (size_t i = from; i + m <= text.size(); ++i) {
        if (map[static_cast<uint8_t>(text[i])] != first) continue;
        size_t k = 1;
        while (k < m && map[static_cast<uint8_t>(text[i + k])] == static_cast<uint8_t>(upper[k])) ++k;
        if (k == m) return i;
    }
    return std::string_view::npos;
}

// Offers the finds of line `number`: `text` is its text (the current line's
// with a blank at the cursor) in which `prefix` is looked for, with its case
// or (`ignoreCase`, the prefix upper-cased) without. Returns the count (0:
// nothing taken).
int OfferLine(Editor& ed, const std::string& prefix, std::string_view text, bool ignoreCase, int number)
{
    const size_t m = prefix.size();
    const bool cyrillic = static_cast<uint8_t>(prefix[0]) >= 0x80;
    size_t from = 0;
    for (;;) {
        const size_t f = ignoreCase ? FindIgnoringCase(text, prefix, from) : text.find(prefix, from);
        if (f == std::string_view::npos) return 0;
        // A rejected or skipped find is passed over, never changed, so the
        // scan always moves on.
        from = f + 1;
        // Only a find that starts a word counts.
        if (f > 0) {
            const auto before = static_cast<uint8_t>(text[f - 1]);
            if (before > 0x29 && !IsDelimiter(before)) continue;
        }
        // The word ends at a blank or a control byte (a colour mark glued
        // to the next word is no part of it).
        size_t e = f + m;
        while (e < text.size() && static_cast<uint8_t>(text[e]) > 0x20) ++e;
        const size_t n = e - f;
        if (n < 3) continue;
        size_t end = e;
        // A Cyrillic word is offered without its ending: the user types it.
        if (cyrillic) end = n - 2 > m ? f + n - 2 : f + n - 1;
        if (end - f <= m) continue;
        std::string candidate(text);
        candidate.resize(static_cast<size_t>(TrimmedLength(candidate)));
        if (end > candidate.size()) continue;
        const KeyEvent key = ShowOffer(ed, std::string_view(candidate).substr(f), number);
        const int count = Answer(ed, key, candidate, f + m, end);
        if (count != NextFind) return count;
    }
}

}  // namespace

void Complete(Editor& ed)
{
    int& count = ed.CompletionCount;
    int& direction = ed.CompletionDirection;
    int& pass = ed.CompletionPass;
    count = 0;
    direction = 0;
    pass = 0;
    const std::string prefix = CompletionPrefix(ed);
    if (prefix.empty()) return;

    // The completion entries first, forwards (backwards once turned).
    const int entries = static_cast<int>(ed.CompletionList.size());
    for (int k = 1; k >= 1 && k <= entries; k += direction == 0 ? 1 : -1) {
        const std::string entry = ed.CompletionList[k - 1];
        if (entry == prefix || !entry.starts_with(prefix)) continue;
        const int answer = Answer(ed, ShowOffer(ed, entry, k), entry, prefix.size(), entry.size());
        if (answer > 0) {
            count = answer;
            return;
        }
    }

    // Then the text: from the current line upwards, then downwards from the
    // line below it; the same again ignoring case. The prefix being typed
    // must not offer itself: the current line is searched with a blank at
    // the cursor (in a copy; the text is not touched).
    const int current = ed.CurrentLine;
    std::string currentText(LineText(ed, current));
    const size_t column = static_cast<size_t>(ed.CurrentColumn);
    if (column >= 1 && column <= currentText.size()) currentText[column - 1] = ' ';
    std::string upperPrefix;
    direction = 0;
    int line = current;
    while (line >= 1 && line <= ed.LineCount) {
        std::string_view text = line == current ? std::string_view(currentText) : LineText(ed, line);
        const int answer = OfferLine(ed, pass == 0 ? prefix : upperPrefix, text, pass == 1, line);
        if (answer > 0) {
            count = answer;
            return;
        }
        if (answer < 0) {
            count = 0;
            return;
        }
        if (direction < 2) {
            if (--line == 0) {
                direction = 2;
                line = current + 1;
            }
        } else {
            ++line;
        }
        if (line > ed.LineCount && pass == 0) {
            pass = 1;
            upperPrefix = prefix;
            for (char& c : upperPrefix) c = static_cast<char>(CyrUpCase(static_cast<uint8_t>(c)));
            line = current;
            direction = 0;
        }
    }
}

Redraw CmdExtendLineWord(Editor& ed)
{
    int& count = ed.CompletionCount;
    if (count > 0) {
        if (count <= static_cast<int>(ed.CompletionText.size())) {
            TypeChar(ed, static_cast<uint8_t>(ed.CompletionText[count - 1]));
            TypeString(ed, std::string());  // places the cursor
            ++count;
            return Redraw::Window;
        }
        count = 0;
    }
    Complete(ed);
    if (count == CompletionOtherKey) {
        // The key that ended the completion runs as if just read.
        count = 0;
        return Redraw::Dispatch;
    }
    if (count < 0 || count > MaxText) count = 0;
    return Redraw::Full;
}

}  // namespace lumo
