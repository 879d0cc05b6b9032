#include "core/keystrokes.h"

namespace lumo {

bool GetNextKey(Editor& ed, bool) { ed.KeyFromPlayback = false; ReadEditorKey(ed); return true; }
bool KeyFromPlayback(const Editor& ed) { return ed.KeyFromPlayback; }
bool RecordKey(Editor&) { return false; }
bool NextKey(Editor& ed, bool countKeystroke)
{
    if (!GetNextKey(ed, countKeystroke)) return false;
    RecordKey(ed);
    return true;
}
void StartStopRecording(Editor&) {}
void StopRecording(Editor&, bool) {}
void StartPlayback(Editor&) {}
Redraw CmdRecordKeys(Editor&) { return Redraw::Status; }
Redraw CmdPlayKeys(Editor&) { return Redraw::NextKey; }

}  // namespace lumo
