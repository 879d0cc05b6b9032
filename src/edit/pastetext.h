// Text pasted into the terminal (bracketed paste), put in as text in one
// step: never as keys, so nothing in it runs a command, expands an
// abbreviation or is remapped.
#pragma once

#include <string>
#include <vector>

#include "editor/editor.h"

namespace lumo {

// Where a paste puts its text: the lines that replace the current line (the
// first) and follow it, and the cursor's place in them (index into lines,
// column from 1).
struct PastePlan {
    std::vector<std::string> lines;
    int cursorLine = 0;
    int cursorColumn = 1;
};

// Lays `text` (the text's bytes, '\n' line ends) into `line` at `column`: each line end
// splits the line there (no indent), a TAB becomes blanks up to the next tab
// stop, a line longer than 255 characters wraps at its last blank that fits
// (else at 255), and the rest of the original line follows the pasted text.
PastePlan PlanPaste(const Editor& ed, const std::string& line, int column, const std::string& text);

// The bracketed paste (PasteEvent): inserts ed.Paste (UTF-8, through the
// text's character map) at the cursor, or
// refuses it whole with a message when it cannot fit (line limit, memory).
Redraw CmdPasteText(Editor& ed);

}  // namespace lumo
