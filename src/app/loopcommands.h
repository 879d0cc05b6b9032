// The small commands the main loop carries out itself: Esc, the Ctrl+Alt
// keys, the Pascal keyword keys and their plain-text forms, the case keys,
// RUN and the Alt+Space reload.
#pragma once

#include <string>

#include "editor/editor.h"

namespace lumo {

Redraw CmdEscape(Editor& ed);              // Esc
Redraw CmdMarkAllOrAbsolute(Editor& ed);   // Ctrl+A
Redraw CmdTheOrThen(Editor& ed);           // Ctrl+T
Redraw CmdAndOrEnd(Editor& ed);            // Ctrl+N
Redraw CmdBlankOrAssign(Editor& ed);       // Ctrl+Space
Redraw CmdTypeBackslash(Editor& ed);       // Ctrl+\ .
// The Pascal keyword keys: the keyword in Pascal mode, else the key's
// control character is typed.
Redraw CmdPascalKeyword(Editor& ed);
// Ctrl+F: "Function " in Pascal mode, else the paragraph is formatted
// without right justification.
Redraw CmdFormatOrFunction(Editor& ed);
// Ctrl+R: "Readln(); " in Pascal mode, else the line is right-aligned to
// LineCapacity (or, where that does not apply, 0x12 is typed).
Redraw CmdRightAlignOrReadln(Editor& ed);
Redraw CmdAltT(Editor& ed);                // Alt+T: "String" in Pascal mode
Redraw CmdBoxDrawingKey(Editor& ed);       // Ctrl+1 .. Ctrl+0, Ctrl+keypad plus

// Case of the character at the cursor (Ctrl+F5/F6) and of the first letter
// of the word that holds the cursor (Ctrl+Shift+F5/F6, Alt+F5/F6).
Redraw ChangeCaseAtCursor(Editor& ed, bool upper);
Redraw ChangeWordInitialCase(Editor& ed, bool upper);
Redraw CmdUpCaseChar(Editor& ed);
Redraw CmdLowCaseChar(Editor& ed);
Redraw CmdUpCaseWordInitial(Editor& ed);
Redraw CmdLowCaseWordInitial(Editor& ed);

Redraw CmdRun(Editor& ed);                 // Alt+F2, Service "7 RUN "
Redraw CmdReloadAbbreviations(Editor& ed); // Alt+Space

// The Ctrl+Alt keys (both Ctrl and Alt held).
Redraw CtrlAltKey(Editor& ed);
// Ctrl+Alt+Tab: reads one more key and inserts its value as 8 hex digits.
Redraw CmdInsertKeyCode(Editor& ed);
// The key value as 8 upper-case hex digits: kind, shift, scan, character.
std::string KeyCodeText(KeyEvent key);

}  // namespace lumo
