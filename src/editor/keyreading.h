// Keystroke recording and playback: the one place where the main loop and
// the input line get their keys, so both feed the recorder and take keys
// from a running playback in the same way.
#pragma once

#include "editor/editor.h"

namespace lumo {

inline bool PlaybackRunning(const Editor& ed) { return ed.PlaybackIndex != 0; }
inline bool RecordingOn(const Editor& ed) { return ed.RecordCount != 0; }

// Gets the next key into the key bytes: the next slot of a running playback,
// else a key from the keyboard (ReadEditorKey); KeyFromPlayback tells which.
// Returns false when the playback met its end marker (or ran past slot 32):
// playback is then off and the key bytes are unchanged; the main loop starts
// its pass again, the input line cancels.
bool GetNextKey(Editor& ed);
// True when the key now in the key bytes was taken from a playback (F9,
// Shift+F9 and Ctrl+F9 from a playback are ignored).
bool KeyFromPlayback(const Editor& ed);

// Stores the key bytes in the recording, if one is on. When that fills the
// last slot the recording stops by itself (" Too many keystrokes! Buffer
// recording stopped.") and the result is true; the input line then ends
// with OperationFailed 127.
bool RecordKey(Editor& ed);
// GetNextKey followed by RecordKey; false as for GetNextKey. What the input
// line calls for every key it reads.
bool NextKey(Editor& ed);

// Stops the running recording: the slot of the stopping key becomes the end
// marker. tooMany shows the overflow message first. Does nothing when not
// recording.
void StopRecording(Editor& ed, bool tooMany = false);
// F9: plays the recorded sequence from slot 1. The keys come from a copy of
// the buffer (taken here, or when a running recording began), so a
// recording made during the playback records the played keys without
// overwriting those still to come. Start a playback only through here.
void StartPlayback(Editor& ed);

}  // namespace lumo
