// The numbered choice: a row of items on screen row 1 (with an optional row
// of shortcut hints under it), one item highlighted, answered by one key.
// Serves the F10 menu tree and every question the editor asks.
#pragma once

#include <string>

#include "editor/editor.h"

namespace lumo {

// Colour sets of the choice row: title, items, highlight (+0x80 when drawn),
// shortcut line.
enum class ChoiceColours { A, B };

// Draws `items` (a title, then each item followed by "|") on row 1 and
// `shortcuts` (when not empty) on row 2, highlights item MenuCursor and waits
// for a key. Leaves the answer in ChoiceResult (0 Esc or "0", 1..n an item,
// 80 close all menus) and the number of items in ChoiceCount; MenuCursor keeps
// the highlighted item. Redraws the status line and the text window (and the
// message line when a shortcut line was drawn) before it returns.
void ShowChoice(Editor& ed, const std::string& items, const std::string& shortcuts = "",
                ChoiceColours set = ChoiceColours::A);

}  // namespace lumo
