// Line editing: typing with word wrap and hanging indent, deleting
// characters and words, splitting, joining, adding, duplicating and deleting
// lines, and getting a line's earlier contents back.
//
// Every command returns how the main loop goes on. The key each command is
// bound to is written next to it (the binding table itself lives in
// app/bindings.cpp).
#pragma once

#include <cstdint>
#include <string>

#include "editor/editor.h"

namespace lumo {

// Types c at the cursor: insert or overwrite by InsertMode, wraps the last
// word to the next line past FormatWidth unless WrapOff is set, applies the
// hanging indent of list items. False when the character was refused (a
// word that cannot wrap, a full 255-character line, no room for a line).
bool TypeChar(Editor& ed, uint8_t c);
// TypeChar for each character, then places the cursor. Abbreviations and
// colour marks come in through here.
void TypeString(Editor& ed, const std::string& text);
// Deletes the character at the cursor; a box on this line alone that starts
// right of the cursor follows the text.
void DeleteCharAtCursor(Editor& ed);
// Deletes the word left of the cursor (flag 0: Ctrl+BkSpace; 1: as part of
// Delete word).
void DeleteWordLeft(Editor& ed, int flag);
// Moves the rest of the line from the cursor to a new line below, indented
// to TabStops[1]. The cursor stays.
void SplitLine(Editor& ed);
// Joins the next line's text to the current line at the cursor (or after the
// text when the cursor is inside it); moves only the words that fit within
// FormatWidth. Changes nothing when the result cannot be stored.
void JoinLines(Editor& ed);

// The column a continuation line starts at for a list item: x moved past
// "3. ", "12) ", "* " and the like at the start of `typed`, when the same
// columns of `target` are blank.
int HangingIndent(const std::string& typed, const std::string& target, int x);

// The line-colour code after the text of s (what TrimmedLength leaves out,
// blanks dropped); empty when s has none.
std::string ColourCode(const std::string& s);

// Inserts `what` into s at position p (from 1), padding s with blanks to
// p - 1 first. A result past 255 characters gives up padding blanks after the
// text; when that is not enough, s is left unchanged and the result is false.
bool InsertText(std::string& s, int p, const std::string& what);
// SetLine that reports whether line n now holds s (false when the line store
// could not grow the record and left the line as it was).
bool StoreLine(Editor& ed, const std::string& s, int n);

// Flips the snapshot toggle and saves the current line and column for
// "Cancel last change". The main loop calls this before each key (except
// Un-get); a wrap that moves the cursor calls it for the new line.
void TakeChangeSnapshot(Editor& ed);

// ---- commands ----
Redraw CmdInsertToggle(Editor& ed);      // Ins 0x0200FF29
Redraw CmdWrapToggle(Editor& ed);        // Shift+Enter 0x00021C0D, 0x0002E00D; Shift+Ins 0x0202FF29, Shift+Del 0x0202FF2A
Redraw CmdDel(Editor& ed);               // Del 0x0200FF2A (asks about a marked block first)
Redraw CmdBackspace(Editor& ed);         // Backspace 0x00000E08
Redraw CmdAddEmptyLine(Editor& ed);      // F3 0x0200FF03 [Line "1"]
Redraw CmdDuplicateLine(Editor& ed);     // F8 0x0200FF08 [Line "2"]
Redraw CmdSplitLine(Editor& ed);         // Alt+S 0x03081F00 [Line "3"]
Redraw CmdJoinLines(Editor& ed);         // Alt+J 0x03082400 [Line "4"]
Redraw CmdDeleteLine(Editor& ed);        // Ctrl+Y 0x00041519 [Delete "1"]
Redraw CmdDeleteWord(Editor& ed);        // Alt+W 0x03081100 [Delete "2"]
Redraw CmdDeleteWordLeft(Editor& ed);    // Ctrl+BkSpace 0x00040E7F [Delete "3"]
Redraw CmdDeleteToEnd(Editor& ed);       // Ctrl+K 0x0004250B [Delete "4"]
Redraw CmdRestoreLine(Editor& ed);       // Shift+F10 0x0202FF0A [Restore line "1", Line "5"]
Redraw CmdNextChangedLine(Editor& ed);   // Alt+R 0x03081300 [Restore line "2"]
Redraw CmdCancelLastChange(Editor& ed);  // Alt+BackSpace 0x03080E00 [Restore line "3"]

}  // namespace lumo
