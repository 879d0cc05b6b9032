#include "core/keycodes.h"

namespace lumo {

Redraw CmdKeyCodes(Editor&) { return Redraw::Full; }

}  // namespace lumo
