// Converting text already typed: Latin keys to Cyrillic and back, upper and
// lower case; and the Rus keyboard switch.
#pragma once

#include "editor/editor.h"

namespace lumo {

// Converting text already typed (Shift+F3..Shift+F6): over the marked line
// block, else the marked box, else the word at the cursor. Sets Modified.
enum class TextConversion {
    LatinToCyr,  // Shift+F3: typed with the Latin layout -> Cyrillic (RusKey)
    CyrToLatin,  // Shift+F4: Cyrillic -> the Latin keys (LatinKey)
    Upper,       // Shift+F5, More blocks "1 Upcase all"
    Lower,       // Shift+F6, More blocks "2 Downcase all"
};
void ConvertText(Editor& ed, TextConversion how);
// Shift+F3..Shift+F6: the conversion chosen by the function key in KeyChar.
Redraw CmdConvertText(Editor& ed);
Redraw CmdUpCaseText(Editor& ed);
Redraw CmdLowCaseText(Editor& ed);

Redraw CmdToggleRus(Editor& ed);

}  // namespace lumo
