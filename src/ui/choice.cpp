#include "ui/choice.h"
#include "editor/keys.h"

#include <algorithm>
#include <vector>

#include "editor/linestore.h"
#include "ui/render.h"

namespace lumo {

namespace {

struct ChoicePalette {
    uint8_t title;
    uint8_t item;
    uint8_t highlight;  // drawn with 0x80 added
    uint8_t shortcuts;
};

constexpr ChoicePalette PaletteA{0x3F, 0x2F, 0x5F, 0x0D};
constexpr ChoicePalette PaletteB{0x4F, 0x5F, 0x1C, 0x6E};

constexpr uint8_t Bar = 0xB3;


constexpr int CloseAllMenus = 80;
constexpr int NoAnswer = 255;

// Draws one prompt row through the scratch line, so control bytes show as
// the text window shows them; every other cell takes the row's colour.
void DrawChoiceRow(Editor& ed, std::string text, int row, uint8_t colour)
{
    Console& con = ed.con;
    if (!ScreenHasRow(con, row)) return;
    if (static_cast<int>(text.size()) < con.ScreenColumns) text.resize(con.ScreenColumns, ' ');
    SetLine(ed, text, 0);
    DrawLine(ed, 0, 0, row);
    for (int c = 1; c <= con.ScreenColumns; ++c) {
        uint16_t& cell = con.Cell(c, row);
        if ((cell & 0xFF) >= 0x20) cell = uint16_t(colour << 8 | (cell & 0xFF));
    }
}

void ColourCells(Editor& ed, int from, int to, uint8_t onlyIf, uint8_t colour, bool any)
{
    Console& con = ed.con;
    if (!ScreenHasRow(con, 1)) return;
    for (int c = std::max(from, 1); c <= std::min(to, con.ScreenColumns); ++c) {
        uint16_t& cell = con.Cell(c, 1);
        if (any || (cell >> 8) == onlyIf) cell = uint16_t(colour << 8 | (cell & 0xFF));
    }
}

// The answer a key gives, or NoAnswer when it only moves the highlight.
int Answer(Editor& ed, KeyEvent key, int count)
{
    switch (key) {
    case KeyEsc: return 0;
    case KeyShiftEsc:
    case KeyAltEsc: return CloseAllMenus;
    case KeyEnter:
    case KeyPadEnter: return ed.MenuCursor;
    case KeyHome: ed.MenuCursor = 1; return NoAnswer;
    case KeyEnd: ed.MenuCursor = std::max(count, 1); return NoAnswer;
    case KeyLeft: ed.MenuCursor = ed.MenuCursor > 1 ? ed.MenuCursor - 1 : std::max(count, 1); return NoAnswer;
    case KeyRight: ed.MenuCursor = ed.MenuCursor < count ? ed.MenuCursor + 1 : 1; return NoAnswer;
    default: break;
    }
    if (key >= KeyF1 && key <= KeyF12) return static_cast<int>(key - KeyF1) + 1;
    // Digits answer by number ("0" like Esc); letters go on from 17 ("A").
    // Only Shift+Esc and Alt+Esc close all menus: the character 0x80
    // (Cyrillic A) would give 80 too.
    int result = static_cast<int>(ed.KeyChar) - 0x30;
    return result == CloseAllMenus && count < CloseAllMenus ? NoAnswer : result;
}

}  // namespace

void ShowChoice(Editor& ed, const std::string& items, const std::string& shortcuts, ChoiceColours set)
{
    const ChoicePalette& colours = set == ChoiceColours::B ? PaletteB : PaletteA;

    const bool shortcutRow = !shortcuts.empty();
    if (shortcutRow) {
        std::string hints = shortcuts.substr(0, MaxText);
        if (size_t p = hints.find('|'); p != std::string::npos) hints[p] = static_cast<char>(Bar);
        DrawChoiceRow(ed, hints, 2, colours.shortcuts);
    }

    std::string shown = items.substr(0, MaxText);
    std::vector<int> bars;  // screen columns of the bars
    for (size_t i = 0; i < shown.size(); ++i) {
        if (shown[i] != '|') continue;
        shown[i] = static_cast<char>(Bar);
        bars.push_back(static_cast<int>(i) + 1);
    }
    const int count = std::max(static_cast<int>(bars.size()) - 1, 0);
    ed.ChoiceCount = count;
    ed.MenuCursor = std::clamp(ed.MenuCursor, 1, std::max(count, 1));

    for (;;) {
        DrawChoiceRow(ed, shown, 1, colours.item);
        if (!bars.empty()) ColourCells(ed, 1, bars[0] - 1, 0, colours.title, true);
        if (count >= 1)
            ColourCells(ed, bars[ed.MenuCursor - 1], bars[ed.MenuCursor], colours.item,
                        uint8_t(colours.highlight + 0x80), false);
        ed.con.FlushScreen(false);

        int result = Answer(ed, ReadEditorKey(ed), count);
        if (result == CloseAllMenus || (result >= 0 && result <= count)) {
            ed.ChoiceResult = result;
            break;
        }
    }

    if (shortcutRow) DrawMessageLine(ed);
    DrawStatusLine(ed);
    DrawTextWindow(ed);
}

}  // namespace lumo
