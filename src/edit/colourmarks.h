// Colour marks: short runs of control bytes stored in the line like any
// other text, which the renderer draws as colours and which are saved with
// the file. The Colours menu (Ctrl+F10, Main "4 Colors") puts them in.
#pragma once

#include "editor/editor.h"

namespace lumo {

// The Colours menu's items that put a mark in.
enum class ColourMark { Word = 2, Line = 3, ToEdge = 4, ToTextEnd = 5 };

// Puts a mark of foreground f (0..15) and background b (0..15, 8 added for
// blinking) into the current line, as the Colours menu item `kind` does:
// before the word at the cursor (an old word mark there is replaced), after
// the line's text (an old line colour is replaced), or at the cursor; the
// blanks just before the mark make room for it. The whole line is stored at
// once without wrapping; the cursor keeps its column. False, and nothing
// changed, when the line would pass 255 characters or cannot be stored.
bool PutColourMark(Editor& ed, ColourMark kind, int f, int b);

// The Colours menu and the menus it opens. Returns 80 when the user closed
// all menus (Shift+Esc), else 0 (a mark or symbol put in, or Esc/refusal).
int ColourCommand(Editor& ed);

// Ctrl+F10.
Redraw CmdColours(Editor& ed);

}  // namespace lumo
