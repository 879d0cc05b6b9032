// Keystroke recording commands (Shift+F9, F9).
#pragma once

#include "editor/editor.h"

namespace lumo {

// Shift+F9: starts a recording, or stops the running one.
void StartStopRecording(Editor& ed);
// The binding-table commands.
Redraw CmdRecordKeys(Editor& ed);  // Shift+F9
Redraw CmdPlayKeys(Editor& ed);    // F9

}  // namespace lumo
