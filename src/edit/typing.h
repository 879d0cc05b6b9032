// Typing a character: box drawing with Shift in drawing mode, the Cyrillic
// keyboard map, insertion, the downward step after a vertical bar.
#pragma once

#include <cstdint>

#include "editor/editor.h"

namespace lumo {

// Types one character from Typing's step 2 on (box drawing with Shift in
// drawing mode, the Cyrillic map, insertion, the downward step after │).
Redraw TypeKeyChar(Editor& ed, uint8_t ch);
// Types one character as is (steps 4 and 5: insertion and the downward step
// after │ in drawing mode).
Redraw TypeCharacter(Editor& ed, uint8_t ch);
// The byte a box-drawing character (given as its CP866 byte) is typed as:
// in a UTF-8 text whose own characters took that byte, the one the text's
// map has for it (-1 when none is left).
int DrawingByte(Editor& ed, uint8_t box);

}  // namespace lumo
