// Typing: what a key that is not in the binding table does (Alt letters and
// punctuation, box drawing, the Cyrillic keyboard map), and the small typing
// commands of the binding table.
#pragma once

#include <cstdint>

#include "core/editor.h"

namespace lumo {

// A key the binding table does not hold.
Redraw Typing(Editor& ed);
// Types one character from Typing's step 2 on (box drawing with Shift in
// drawing mode, the Cyrillic map, insertion, the downward step after │).
Redraw TypeKeyChar(Editor& ed, uint8_t ch);
// Types one character as is (steps 4 and 5: insertion and the downward step
// after │ in drawing mode).
Redraw TypeCharacter(Editor& ed, uint8_t ch);

}  // namespace lumo
