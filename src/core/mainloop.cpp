#include "core/mainloop.h"

namespace lumo {

void MainLoop(Editor& ed) { for (;;) RunOnePass(ed); }
void RunOnePass(Editor& ed) { ReadEditorKey(ed); ed.LoopLevel = DispatchKey(ed); }
Redraw DispatchKey(Editor& ed) { return DispatchRecordedKey(ed); }
Redraw DispatchRecordedKey(Editor&) { return Redraw::Status; }

}  // namespace lumo
