// What a key that is not in the binding table does: Alt letters and
// punctuation type Latin characters, a few Alt keys run commands of other
// parts, everything else types its character.
#pragma once

#include "editor/editor.h"

namespace lumo {

// A key the binding table does not hold.
Redraw Typing(Editor& ed);

}  // namespace lumo
