#include "editor/keyreading.h"
#include "editor/keys.h"

#include "editor/services.h"

namespace lumo {

namespace {

constexpr int LastSlot = 32;

// A slot whose character and scan bytes are both 0 ends a sequence.
bool IsEndMarker(KeyEvent key) { return (key & 0xFFFF) == 0; }

}  // namespace

bool GetNextKey(Editor& ed)
{
    if (ed.PlaybackIndex != 0) {
        // A buffer read from a file may lack its end marker: the sequence
        // then ends after the last slot.
        if (ed.PlaybackIndex < 1 || ed.PlaybackIndex > LastSlot) {
            ed.PlaybackIndex = 0;
            ed.KeyFromPlayback = false;
            return false;
        }
        KeyEvent key = ed.PlaybackBuffer[ed.PlaybackIndex];
        ++ed.PlaybackIndex;
        if (IsEndMarker(key)) {
            ed.PlaybackIndex = 0;
            ed.KeyFromPlayback = false;
            return false;
        }
        SplitKey(ed, key);
        ed.KeyFromPlayback = true;
        return true;
    }
    ed.KeyFromPlayback = false;
    ReadEditorKey(ed);
    return true;
}

bool KeyFromPlayback(const Editor& ed) { return ed.KeyFromPlayback; }

bool RecordKey(Editor& ed)
{
    if (ed.RecordCount == 0) return false;
    // A paste's text is not in the key: replayed, it would insert nothing.
    if (KeyValue(ed) == PasteEvent) return false;
    if (ed.RecordCount < 1 || ed.RecordCount > LastSlot) {
        // Cannot happen through the commands; never write outside the buffer.
        ed.RecordCount = LastSlot + 1;
        StopRecording(ed, true);
        return true;
    }
    ed.KeystrokeBuffer[ed.RecordCount] = KeyValue(ed);
    ++ed.RecordCount;
    // The key that fills the last slot stops the recording: its slot becomes
    // the end marker, so a sequence keeps at most 31 keys. When that key is
    // the user's own Shift+F9, nothing was lost: no overflow message.
    if (ed.RecordCount > LastSlot) {
        StopRecording(ed, KeyValue(ed) != KeyShiftF9);
        return true;
    }
    return false;
}

bool NextKey(Editor& ed)
{
    if (!GetNextKey(ed)) return false;
    RecordKey(ed);
    return true;
}

void StopRecording(Editor& ed, bool tooMany)
{
    if (ed.RecordCount == 0) return;
    int slot = ed.RecordCount - 1;
    if (slot < 1) slot = 1;
    if (slot > LastSlot) slot = LastSlot;
    // The stopping key's own slot becomes the end marker: its shift and kind
    // bytes stay, its character and scan bytes become 0.
    ed.KeystrokeBuffer[slot] = KeyValue(ed) & 0xFFFF0000u;
    ed.RecordCount = 0;
    if (tooMany)
        ShowMessage(ed, " Too many keystrokes! Buffer recording stopped.", 1);
    else
        ShowMessage(ed, " Buffer recording stopped.", 1);
}

// While a recording runs, the buffer is being overwritten: F9 then plays the
// sequence as it was when the recording began, so the new recording holds
// exactly the keys played.
void StartPlayback(Editor& ed)
{
    if (ed.RecordCount == 0) ed.PlaybackBuffer = ed.KeystrokeBuffer;
    ed.PlaybackIndex = 1;
}

}  // namespace lumo
