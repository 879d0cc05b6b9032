// Key viewer: shows the 32-bit key event of every key pressed, as the editor
// would see it (after the shift folding). A tool for checking a terminal and
// for the end-to-end tests; not part of the editor.
//
//   lumo_keyviewer            F10 ends (exit 0); SIGTERM/SIGHUP end it too (exit 0)
//
// Row 1 names the keyboard protocol in use; every key adds a line
// "#<n> <event in hex>" below; a key that types a character shows it after.
#include <cstdio>
#include <string>

#include "console/terminal_console.h"

using namespace lumo;

namespace {

constexpr KeyEvent ExitKey = 0x0200FF0A;  // F10
constexpr KeyEvent Hangup = 0xFF000000;

void Text(Console& con, int column, int row, const std::string& text, uint8_t attr = 0x07)
{
    for (size_t i = 0; i < text.size() && column + int(i) <= con.ScreenColumns; ++i)
        con.Cell(column + int(i), row) = uint16_t(uint8_t(text[i]) | (attr << 8));
}

void Header(TerminalConsole& con)
{
    static const char* names[] = {"legacy", "modifyOtherKeys", "kitty"};
    std::string line = "Lumo key viewer  protocol: ";
    line += names[con.KeyboardProtocol()];
    line += "  F10 ends  ";
    for (int c = 1; c <= con.ScreenColumns; ++c) con.Cell(c, 1) = 0x1720;
    Text(con, 1, 1, line, 0x17);
    // CP866 sample: "Ключ" and a box corner, to check the output path.
    Text(con, int(line.size()) + 1, 1, "\x8A\xAB\xEE\xE7 \xC9\xCD\xBB", 0x1E);
}

}  // namespace

int main()
{
    TerminalConsole con;
    if (!con.OpenScreen()) {
        std::fprintf(stderr, "lumo_keyviewer: %s\n", con.OpenError().c_str());
        return 2;
    }
    con.OpenKeyboard();
    con.SetCursorShape(99, true);
    int count = 0;
    int firstRow = 3;
    for (;;) {
        Header(con);
        Text(con, 1, 2, "keys: " + std::to_string(count) + "   ");
        con.FlushScreen(false);
        con.PlaceCursor(0, 1);
        // The protocol settles when the terminal answers; show it then.
        if (!con.WaitForKey(100)) continue;
        KeyEvent k = con.ReadKey();
        if (k == Hangup || k == ExitKey) break;
        uint8_t shift = (k >> 16) & 0xFF;
        if (shift == 1 || shift == 3) k = (k & 0xFF00FFFF) | 0x020000;
        ++count;
        char line[64];
        std::snprintf(line, sizeof line, "#%d %08X", count, unsigned(k));
        std::string s = line;
        int row = firstRow + (count - 1) % (con.ScreenRows - firstRow + 1);
        for (int c = 1; c <= con.ScreenColumns; ++c) con.Cell(c, row) = 0x0720;
        Text(con, 1, row, s);
        if ((k >> 24) == 0 && (k & 0xFF) >= 0x20) con.Cell(int(s.size()) + 2, row) = uint16_t(0x0E00 | (k & 0xFF));
    }
    con.CloseKeyboard();
    con.CloseScreen();
    return 0;
}
