// The keystroke file "kbdbufer.lmo": the 32 recorded key events, 4 bytes each
// (character, scan code, shift state, kind), 128 bytes, nothing else.
#pragma once

#include <string>

#include "editor/editor.h"

namespace lumo {

constexpr const char* KeystrokeFileName = "kbdbufer.lmo";
constexpr int KeystrokeFileSize = 128;

// Reads slots 1..32 from `path`. A file that is not exactly 128 bytes long is
// refused and the buffer stays as it was. True on success.
bool ReadKeystrokeFile(Editor& ed, const std::string& path);
// Writes slots 1..32 to `path` (created or truncated). True on success.
bool WriteKeystrokeFile(const Editor& ed, const std::string& path);

// 2: read the file found by FindSideFile without asking (start-up option -K);
// 3: ask for a name and write; 4: ask for a name and read.
void KeyBufferFile(Editor& ed, int operation);

// The binding-table commands.
Redraw CmdReadKeystrokeFile(Editor& ed);   // Ctrl+F9, Buffer "4"
Redraw CmdWriteKeystrokeFile(Editor& ed);  // Ctrl+Shift+F9, Alt+F9, Buffer "3"

}  // namespace lumo
