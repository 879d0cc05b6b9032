// Cursor, word and screen movement. The word boundaries they step by are in
// editor/words.h.
//
// Every command returns how the main loop goes on. The key each command is
// bound to is written next to it (the binding table itself lives in
// app/bindings.cpp). Commands bound to a key with and without Shift look at
// KeyShift: with Shift held the line and column moves extend the block.
#pragma once

#include <cstdint>
#include <string>

#include "editor/editor.h"
#include "editor/words.h"

namespace lumo {

// One column or one line; under Shift (KeyShift & 3) the block follows.
void CursorLeft(Editor& ed);
void CursorRight(Editor& ed);
void CursorUp(Editor& ed);
// On the last line shows " This is the last line. To add a line - F3 or
// Enter." as a timed message; the key that ends it stays waiting and is
// then handled as a command.
void CursorDown(Editor& ed);
void LinesUp(Editor& ed, int n);
void LinesDown(Editor& ed, int n);
void PageUp(Editor& ed);
void PageDown(Editor& ed);

// ---- commands ----
Redraw CmdLeft(Editor& ed);             // Left 0x0200FF23, Shift+Left 0x0202FF23
Redraw CmdRight(Editor& ed);            // Right 0x0200FF25, Shift+Right 0x0202FF25
Redraw CmdUp(Editor& ed);               // Up 0x0200FF21, Shift+Up 0x0202FF21
Redraw CmdDown(Editor& ed);             // Down 0x0200FF27, Shift+Down 0x0202FF27
Redraw CmdHome(Editor& ed);             // Home 0x0200FF20
Redraw CmdEnd(Editor& ed);              // End 0x0200FF26
Redraw CmdTab(Editor& ed);              // Tab 0x00000F09
Redraw CmdShiftTab(Editor& ed);         // Shift+Tab 0x03020F00
Redraw CmdEnter(Editor& ed);            // Enter 0x00001C0D
Redraw CmdKeypadEnter(Editor& ed);      // keypad Enter 0x0000E00D
Redraw CmdPageUp(Editor& ed);           // PgUp 0x0200FF22
Redraw CmdPageDown(Editor& ed);         // PgDn 0x0200FF28
Redraw CmdWordLeft(Editor& ed);         // Word< Ctrl+Left 0x0204FF23, Ctrl+Shift+Left 0x0207FF23 [Cursor "1"]
Redraw CmdWordRight(Editor& ed);        // Word> Ctrl+Right 0x0204FF25, Ctrl+Shift+Right 0x0207FF25 [Cursor "2"]
Redraw CmdAltWordLeft(Editor& ed);      // Alt+Left 0x03089B00
Redraw CmdAltWordRight(Editor& ed);     // Alt+Right 0x03089D00
Redraw CmdUp4(Editor& ed);              // 4 lines ^ Alt+Up 0x03089800, Alt+Shift+Up 0x020BFF21 [Cursor "5"]
Redraw CmdDown4(Editor& ed);            // 4 _ Alt+Down 0x0308A000, Alt+Shift+Down 0x020BFF27 [Cursor "6"]
Redraw CmdUp8(Editor& ed);              // Ctrl+Up 0x0204FF21, Ctrl+Shift+Up 0x0207FF21
Redraw CmdDown8(Editor& ed);            // Ctrl+Down 0x0204FF27, Ctrl+Shift+Down 0x0207FF27
Redraw CmdScreenTop(Editor& ed);        // Scr.top [Cursor "3"]
Redraw CmdScreenBottom(Editor& ed);     // Scr.bottom [Cursor "4"]
Redraw CmdScreenTopBottom(Editor& ed);  // ^Tab 0x03049400, Shift+Home 0x0202FF20
Redraw CmdLineToTop(Editor& ed);        // CurrL-to top F5 0x0200FF05 [Cursor "7"]
Redraw CmdFileTopScreen(Editor& ed);    // Ctrl+Home 0x0204FF20 [Screen "1"]
Redraw CmdFileBottom(Editor& ed);       // Ctrl+End 0x0204FF26 [Screen "2"]
Redraw CmdLineByNumber(Editor& ed);     // Line by # F4 0x0200FF04 [Screen "3"]
Redraw CmdScrollTextUp(Editor& ed);     // Line ^ Ctrl+PgUp 0x0204FF22 [Screen "4"]
Redraw CmdScrollTextDown(Editor& ed);   // Line _ Ctrl+PgDn 0x0204FF28 [Screen "5"]

}  // namespace lumo
