// Services that the lower layers need from the layers above them.
//
// The folders form layers (console, editor, ui, edit, files, app), and a
// file includes only from its own folder and those before it. A few things
// run the other way: the line store and the key reader report refusals on
// the message line, and the input line, which every prompt uses, also sets
// bookmarks, starts a recording and reaches the clipboard and saved-state
// files. They are named here, once, and defined where they belong; this is
// the only place where the order is crossed, and only at link time.
#pragma once

#include <string>

#include "editor/editor.h"

namespace lumo {

// ui/message_line.cpp: mode 1 is a timed message, below 30 a prompt.
void ShowMessage(Editor& ed, const std::string& text, int mode);

// edit/bookmarks.cpp: Alt+1..3 and Alt+Shift+1..2, also inside the input line.
void SetLineBookmark(Editor& ed, int n);
void SetPositionBookmark(Editor& ed, int n);
// edit/recording.cpp: Shift+F9.
void StartStopRecording(Editor& ed);

// files/history.cpp: the input line's Ctrl+R and Ctrl+W.
void ReadHistory(Editor& ed);
bool WriteHistory(Editor& ed);
// files/clipboard.cpp: the input line's Ctrl+C, Ctrl+X and Ctrl+V.
bool WriteClipboardLine(Editor& ed, const std::string& text);
std::string ReadClipboardLine(Editor& ed, bool& ok);

}  // namespace lumo
