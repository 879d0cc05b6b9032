// The main loop: keeps the cursor visible, draws the status line, takes one
// key (keyboard or playback), records it, snapshots the current line and
// dispatches the key through the binding table or Typing.
#pragma once

#include "editor/editor.h"

namespace lumo {

// Runs passes until the process ends (Quit, Ctrl+Alt+Backspace). In tests
// it ends when the scripted console runs out of keys (ScriptExhausted).
void MainLoop(Editor& ed);
// One pass, starting at the level the previous pass chose (ed.LoopLevel).
void RunOnePass(Editor& ed);
// Steps 6-11 of a pass on the key bytes as they now stand: record, reset the
// completion count, Un-get, snapshot, Ctrl+Alt keys, binding table, Typing.
// "Dispatch again" comes back here. Returns how the loop goes on.
Redraw DispatchKey(Editor& ed);
// Steps 7-11 without the recording (a key that is already recorded).
Redraw DispatchRecordedKey(Editor& ed);

}  // namespace lumo
