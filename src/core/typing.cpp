#include "core/typing.h"

namespace lumo {

Redraw Typing(Editor&) { return Redraw::Status; }
Redraw TypeKeyChar(Editor&, uint8_t) { return Redraw::Status; }
Redraw TypeCharacter(Editor&, uint8_t) { return Redraw::Status; }

}  // namespace lumo
