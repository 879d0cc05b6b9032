#include "edit/colourmarks.h"

#include <string>

#include "edit/lineedit.h"
#include "editor/keys.h"
#include "editor/linestore.h"
#include "editor/words.h"
#include "ui/choice.h"

namespace lumo {

namespace {

constexpr int CloseAllMenus = 80;
constexpr uint8_t WordMarker = 2;
constexpr uint8_t EdgeMarker = 0;
constexpr uint8_t TextEndMarker = 1;
constexpr uint8_t LineColourEnd = 9;  // TAB

const std::string ColoursMenu =
    " Colours | 1 Symbol | 2 Word | 3 Line | 4 To the end of line | 5 = 4 w/o blanks|";
const std::string SymbolHint = "         #0 - Alt+F10, others - Alt+numeric keypad.";
const std::string BlinkQuestion = " ? | 1 - non-blinking | 2 - blinking | 3 or Esc - refusal |";

// " Title: |" and the characters 0..count-1, each followed by "|".
std::string CodeMenu(const char* title, int count)
{
    std::string s = title;
    for (int c = 0; c < count; ++c) {
        s += static_cast<char>(c);
        s += '|';
    }
    return s;
}

uint8_t Byte(const std::string& s, int p) { return static_cast<uint8_t>(CharAt(s, p)); }

constexpr int Back = -1;   // Esc: back to the Colours menu
constexpr int Close = -2;  // 80: all menus closed

// A value from the Symbol, Foreground or Background menu. Enter on the
// highlighted item gives its position from 0; any other answer (a digit, a
// letter, a function key) is used as it is, and only up to `highest`. A
// value the text must not hold (LF and CR would split the line when it is
// saved) leaves the menu waiting.
int ChooseCode(Editor& ed, const std::string& items, const std::string& hint, int highest, bool lineEndsRefused)
{
    ed.MenuCursor = 1;
    for (;;) {
        ShowChoice(ed, items, hint, ChoiceColours::A);
        if (ed.ChoiceResult == CloseAllMenus) return Close;
        if (ed.ChoiceResult == 0) return Back;
        KeyEvent key = KeyValue(ed);
        int value = key == KeyEnter || key == KeyPadEnter ? ed.ChoiceResult - 1 : ed.ChoiceResult;
        if (value > highest) continue;
        if (lineEndsRefused && (value == '\n' || value == '\r')) continue;
        return value;
    }
}

}  // namespace

bool PutColourMark(Editor& ed, ColourMark kind, int f, int b)
{
    const int n = ed.CurrentLine;
    if (n < 1 || n > ed.LineCount) return false;
    f &= 0x0F;
    b &= 0x0F;
    std::string s(LineText(ed, n));
    const int column = ed.CurrentColumn;
    std::string mark;
    int at = column;
    bool eatBlanks = true;

    switch (kind) {
    case ColourMark::Word: {
        at = WordStart(s, WordEnd(s, column, 0));
        // Recolouring a word replaces its mark instead of stacking a second
        // one in front of it.
        if (Byte(s, at) == WordMarker && at < static_cast<int>(s.size()) && Byte(s, at + 1) < 0x10) {
            int length = at + 1 < static_cast<int>(s.size()) && Byte(s, at + 2) < 0x10 ? 3 : 2;
            s.erase(at - 1, length);
        }
        mark = {char(WordMarker), char(f)};
        if (b > 0) mark += char(b);
        break;
    }
    case ColourMark::Line: {
        // The old line colour goes; the new one follows the text. A text
        // that ends in a byte below 16 would be read as the background, so
        // the background is then written even when it is 0.
        const int end = TrimmedLength(s);
        s.resize(end);
        if (b > 0 || (end >= 1 && Byte(s, end) < 0x10)) mark += char(b);
        mark += char(f);
        mark += char(LineColourEnd);
        at = end + 1;
        eatBlanks = false;
        break;
    }
    case ColourMark::ToEdge:
    case ColourMark::ToTextEnd:
        mark = {char(kind == ColourMark::ToEdge ? EdgeMarker : TextEndMarker), char(f)};
        if (b > 0) mark += char(b);
        break;
    }

    // The mark takes the place of blanks just before it, so the text after
    // it keeps its columns.
    if (eatBlanks) {
        for (size_t i = 0; i < mark.size() && at > 1 && CharAt(s, at - 1) == ' '; ++i) {
            --at;
            if (at <= static_cast<int>(s.size())) s.erase(at - 1, 1);
        }
    }
    // The whole mark or nothing: it is never wrapped away or cut short.
    if (!InsertText(s, at, mark)) return false;

    const bool modified = ed.Modified, edited = ed.LineEdited;
    const int restoreIndex = ed.RestoreIndex;
    const std::string restoreSlot = ed.RestoreRing[(restoreIndex + 1) % 16];
    BeginLineChange(ed, n);
    if (!StoreLine(ed, s, n)) {
        ed.Modified = modified;
        ed.LineEdited = edited;
        ed.RestoreRing[(restoreIndex + 1) % 16] = restoreSlot;
        ed.RestoreIndex = restoreIndex;
        return false;
    }
    ed.CurrentColumn = column;
    return true;
}

int ColourCommand(Editor& ed)
{
    static const std::string symbols = CodeMenu(" Symbol: |", 32);
    static const std::string foregrounds = CodeMenu(" Foreground: |", 16);
    static const std::string backgrounds = CodeMenu(" Background: |", 8);

    int item = 1;
    for (;;) {
        ed.MenuCursor = item;
        ShowChoice(ed, ColoursMenu, "", ChoiceColours::A);
        if (ed.ChoiceResult == CloseAllMenus) return CloseAllMenus;
        if (ed.ChoiceResult < 1 || ed.ChoiceResult > 5) return 0;
        item = ed.ChoiceResult;

        if (item == 1) {
            int code = ChooseCode(ed, symbols, SymbolHint, 31, true);
            if (code == Close) return CloseAllMenus;
            if (code == Back) continue;
            TypeString(ed, std::string(1, static_cast<char>(code)));
            return 0;
        }
        int f = ChooseCode(ed, foregrounds, "", 15, false);
        if (f == Close) return CloseAllMenus;
        if (f == Back) continue;
        int b = ChooseCode(ed, backgrounds, "", 7, false);
        if (b == Close) return CloseAllMenus;
        if (b == Back) continue;
        ed.MenuCursor = 1;
        ShowChoice(ed, BlinkQuestion, "", ChoiceColours::A);
        if (ed.ChoiceResult == CloseAllMenus) return CloseAllMenus;
        if (ed.ChoiceResult == 2) b += 8;
        else if (ed.ChoiceResult != 1) return 0;
        PutColourMark(ed, static_cast<ColourMark>(item), f, b);
        return 0;
    }
}

Redraw CmdColours(Editor& ed)
{
    ColourCommand(ed);
    return Redraw::Window;
}

}  // namespace lumo
