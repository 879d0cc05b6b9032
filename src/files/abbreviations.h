// The abbreviations ("shorts.lmo") and key definitions ("keydef.lmo") files.
#pragma once

#include "editor/editor.h"

namespace lumo {

// Reads the abbreviations at start-up and after they change (ReadShorts).
void LoadAbbreviations(Editor& ed);
// Replaces both shorts tables with the lines of the "shorts.lmo" the
// side-file lookup finds. False when there is none (the tables then stay as
// they were) or it cannot be read (the tables are then empty).
bool ReadShorts(Editor& ed);
// Reads the key definitions (macros) at start-up.
void ReadKeyDefinitions(Editor& ed);
// Offers to save changed key definitions before the editor ends or hands
// over to another file.
void AskSaveMacros(Editor& ed);
// Operations of MacroFile.
constexpr int MacroFileRead = 0;     // asks for the name, reads, " keydef.lmo - OK!"
constexpr int MacroFileWrite = 1;    // asks for the name, writes, " keydef.lmo - OK!"
constexpr int MacroFileStartup = 2;  // reads the file the lookup finds, quietly
// Reads or writes the key definitions. A read adds to and overrides the
// table; a write replaces the file as a whole (a temporary file renamed
// over it), and only a write that succeeded clears MacrosChanged. When the
// dialog is cancelled, the "keydef.lmo" the side-file lookup finds is
// offered instead (once).
void MacroFile(Editor& ed, int operation);

// Macros "5 Re-read from file" and "6 Write".
Redraw CmdMacrosReread(Editor& ed);
Redraw CmdMacrosWrite(Editor& ed);
// Extend "2 Edit shorts.lmo" (Alt+F4): a second editor on the "shorts.lmo"
// the lookup finds (the bare name when none), then the tables read again.
Redraw CmdEditShorts(Editor& ed);

}  // namespace lumo
