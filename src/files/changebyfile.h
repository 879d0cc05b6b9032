// Change by file: the replace of edit/search.h run once for each pair of
// lines of a file (the text to find and its replacement).
#pragma once

#include "editor/editor.h"

namespace lumo {

// Ctrl+Shift+F8, Alt+F8, Alt+Shift+F8 [Find "6"]: odd lines to even lines,
// or even to odd when a Shift bit is set in KeyShift.
Redraw CmdChangeByFile(Editor& ed);

}  // namespace lumo
