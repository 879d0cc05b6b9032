// Help: the help file opened in a second copy of the editor.
#pragma once

#include "editor/editor.h"

namespace lumo {

// F1, Alt+H.
Redraw CmdHelp(Editor& ed);

}  // namespace lumo
