// Shift+F9 and F9: the recording commands and their messages. Taking keys
// from a playback and feeding a recording is the key reader's work.
#include "edit/recording.h"

#include "editor/keyreading.h"
#include "ui/render.h"

namespace lumo {

void StartStopRecording(Editor& ed)
{
    if (ed.RecordCount == 0) {
        // The Shift+F9 that starts a recording is not part of it.
        ed.PlaybackBuffer = ed.KeystrokeBuffer;
        ed.RecordCount = 1;
        ShowMessage(ed, " Press Shift+F9 again in the end of keystroke sequence.", 22);
    } else {
        StopRecording(ed);
    }
}

Redraw CmdRecordKeys(Editor& ed)
{
    bool wasRecording = ed.RecordCount != 0;
    StartStopRecording(ed);
    return wasRecording ? Redraw::Full : Redraw::Status;
}

Redraw CmdPlayKeys(Editor& ed)
{
    StartPlayback(ed);
    return Redraw::NextKey;
}

}  // namespace lumo
