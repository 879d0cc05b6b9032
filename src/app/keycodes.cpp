#include "app/keycodes.h"
#include "editor/keys.h"

#include <cstdio>
#include <string>

#include "editor/codepage.h"

namespace lumo {

namespace {

// Many terminals cannot send Alt+Ctrl+Tab; three Esc in a row leave too.
constexpr int EscPressesToLeave = 3;
// How long the last line stays when no key follows.
constexpr int LingerMilliseconds = 1500;

// Writes `text` at (column, row), clipped to the screen.
void Put(Editor& ed, int column, int row, const std::string& text, uint8_t attribute)
{
    if (row < 1 || row > ed.con.ScreenRows) return;
    for (size_t i = 0; i < text.size(); ++i) {
        int c = column + static_cast<int>(i);
        if (c < 1) continue;
        if (c > ed.con.ScreenColumns) break;
        ed.con.Cell(c, row) = static_cast<uint16_t>((attribute << 8) | static_cast<uint8_t>(text[i]));
    }
}

void ClearRow(Editor& ed, int row)
{
    if (row < 1 || row > ed.con.ScreenRows) return;
    for (int c = 1; c <= ed.con.ScreenColumns; ++c) ed.con.Cell(c, row) = BlankCell;
}

void ClearAll(Editor& ed)
{
    for (int r = 1; r <= ed.con.ScreenRows; ++r) ClearRow(ed, r);
}

// The character, its code, the four key bytes in hexadecimal and the shift
// byte in decimal: "k  107  6B 25 00 00  0".
std::string KeyLine(const Editor& ed)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%c  %3d  %02X %02X %02X %02X  %d",
                  ed.KeyChar == 0 ? ' ' : static_cast<char>(ed.KeyChar), ed.KeyChar, ed.KeyChar, ed.KeyScan,
                  ed.KeyShift, ed.KeyKind, ed.KeyShift);
    return buffer;
}

void DrawIntroduction(Editor& ed)
{
    ClearAll(ed);
    Put(ed, 1, 1, "  To get back, press Alt+Ctrl+Tab. Now press any key.", 0x0B);
    Put(ed, 1, 3, CodePageName(ed.FileCodePage), 0x0E);
    Put(ed, 1, 5, " {$DEFINE WINDOWS}", 0x07);
    Put(ed, 1, 6, " {$DEFINE NOBLINK}", 0x07);
    // The ring of saved lines, newest first.
    int row = 7;
    for (int k = 16; k >= 1; --k, ++row) {
        int g = (ed.RestoreIndex + k) % 16;
        std::string text = ed.RestoreRing[g].substr(0, 75);
        Put(ed, 1, row, std::to_string(g) + ": " + text, 0x06);
    }
}

}  // namespace

Redraw CmdKeyCodes(Editor& ed)
{
    DrawIntroduction(ed);
    ed.con.FlushScreen(false);
    // Key rows start under the instruction line, which stays in view.
    int row = 2;
    int escapes = 0;
    std::string shown;
    for (;;) {
        // Straight from the keyboard: this screen is neither recorded nor
        // played back.
        KeyEvent key = ReadEditorKey(ed);
        if (row > ed.con.ScreenRows) {
            ClearAll(ed);
            Put(ed, 1, 1, "  To get back, press Alt+Ctrl+Tab. Now press any key.", 0x0B);
            row = 2;
        }
        shown = KeyLine(ed);
        ClearRow(ed, row);
        Put(ed, 1, row, shown, 0x1E);
        ed.con.FlushScreen(false);
        ++row;
        escapes = key == KeyEsc ? escapes + 1 : 0;
        if (key == KeyCtrlAltTab || escapes >= EscPressesToLeave) break;
    }
    // The last line stays a moment in another colour.
    Put(ed, 1, row - 1, shown, 0x1C);
    ed.con.FlushScreen(false);
    ed.con.WaitForKey(LingerMilliseconds);
    ed.KeyChar = 0;
    return Redraw::Full;
}

}  // namespace lumo
