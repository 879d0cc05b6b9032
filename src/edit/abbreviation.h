// Abbreviations and key definitions in the text: the two tables of
// "shorts.lmo", the expansion of an abbreviation when Space is typed after
// it, and the key definitions ("macros") that Ctrl+Alt+key types and
// Ctrl+Alt+Shift+key takes. Reading and writing their files is files/'s.
#pragma once

#include <string>

#include "editor/editor.h"

namespace lumo {

constexpr int ShortsListSize = 100;  // entries of each shorts table
constexpr char AbbrevMark = 7;       // BEL: between an abbreviation and its expansion
constexpr char NoBlankMark = 8;      // ends an expansion that gets no blank after it

// A macro or an added abbreviation with a line end in it would split its
// line in the file, and the second half would be read as another entry.
extern const char* const LineEndsMessage;  // " Line ends cannot be stored!"
extern const char* const NotEnoughMemoryMessage;  // " NOT ENOUGH MEMORY!"

// Empties both shorts tables.
void ClearShorts(Editor& ed);
// Files one line of "shorts.lmo": with a BEL it goes to AbbrevList, else to
// CompletionList, unless that holds 100 already. False when the memory
// budget cannot hold it (reading stops there).
bool AddShortsLine(Editor& ed, const std::string& line);

// Space (0x00003920) in the typed-key path: when the word just left of the
// cursor is an abbreviation, replaces it with its expansion (and a blank,
// unless the expansion ends in code 8) and returns true. The first entry
// whose text before its BEL equals the word exactly is used.
bool ExpandAbbreviation(Editor& ed);
Redraw CmdSpace(Editor& ed);

// The key index of a key value: its scan code, or for a function key (scan
// 0xFF) its character; + 0x80 (mod 256) while RusMode is on.
int MacroKeyIndex(const Editor& ed, KeyEvent key);
// Stores `text` for `index`, replacing an earlier one.
void DefineMacro(Editor& ed, int index, const std::string& text);
// Asks for the text with the word prompt and defines it for `index`.
Redraw TakeMacro(Editor& ed, int index);
// Types the definition of `index`, or shows "Macro not defined!".
Redraw PlayMacro(Editor& ed, int index);

// Ctrl+Alt+Shift+key and Ctrl+Alt+key while MacrosOn (ignored otherwise).
Redraw CmdTakeMacroKey(Editor& ed);
Redraw CmdPlayMacroKey(Editor& ed);
// Macros "1 Take word" and "2 Play word": the key is asked for with
// " Press a key for identification of macro: " (Esc cancels); they work
// whether MacrosOn is set or not.
Redraw CmdMacroTakeWord(Editor& ed);
Redraw CmdMacroPlayWord(Editor& ed);
// Macros "3 Macros on" and "4 Off".
Redraw CmdMacrosOn(Editor& ed);
Redraw CmdMacrosOff(Editor& ed);

}  // namespace lumo
