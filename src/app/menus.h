// The F10 menu tree: every command of the editor with a line of its
// shortcut keys. A menu runs no command of its own: an item stands for a key
// and dispatches that key's value as if it had been typed, opens a submenu,
// or changes a setting.
#pragma once

#include "editor/editor.h"

namespace lumo {

constexpr KeyEvent KeyF10 = 0x0200FF0A;

// F10: the main menu, then the submenus the answers open. Esc (or "0") goes
// back to the parent menu with its cursor on the item that opened the
// submenu; Esc in the main menu and Shift+Esc anywhere go back to editing.
Redraw CmdMenu(Editor& ed);

// The value a key read at " Press a key for identification of macro: "
// gives: the same key with Ctrl+Alt (and Shift to take a definition), so
// the key-definition commands find it by the same index.
KeyEvent MacroKeyValue(KeyEvent key, bool take);

}  // namespace lumo
