// The key-code screen: shows the bytes of every key pressed until
// Alt+Ctrl+Tab (or three Esc in a row).
#pragma once

#include "editor/editor.h"

namespace lumo {

// Main menu "6 Keystrokes".
Redraw CmdKeyCodes(Editor& ed);

}  // namespace lumo
