// The abbreviations ("shorts.lmo") and key definitions ("keydef.lmo") files.
#pragma once

#include "editor/editor.h"

namespace lumo {

// Reads the abbreviations at start-up and after they change.
void LoadAbbreviations(Editor& ed);
// Reads the key definitions (macros) at start-up.
void ReadKeyDefinitions(Editor& ed);
// Offers to save changed key definitions before the editor ends or hands
// over to another file.
void AskSaveMacros(Editor& ed);
// The key-definitions file: operation 0 reads it and 1 writes it, each
// through the file-name dialog (Macros "5 Re-read from file", "6 Write").
void MacroFile(Editor& ed, int operation);

}  // namespace lumo
