#include "core/help.h"

namespace lumo {

Redraw CmdHelp(Editor&) { return Redraw::Full; }

}  // namespace lumo
