// Paragraph formatting: reflowing a paragraph to FormatWidth with or without
// right justification, aligning a line's start, the line length for
// formatting, tab expansion of the whole text, and the end-of-line marker
// that F12 jumps to.
//
// The left margin is TabStops[1] (M), a paragraph's first line starts at
// TabStops[2] (P). A paragraph begins at a line whose first non-blank
// character is in column P, whose character in column M is a TAB, that is a
// list item at M ("1. ", "12) ", "* "), or that follows an all-blank line or
// is line 1; it ends before the next all-blank line or line that begins one.
#pragma once

#include <string>
#include <string_view>

#include "editor/editor.h"

namespace lumo {

// ---- formatlines.cpp: one line at a time ----

// Moves the text of `line` so that its first non-blank character stands in
// `column`. True when the line changed; nothing changes (and nothing is
// saved for restoring) on an all-blank line, when the text is there already,
// when the text would pass 255 characters or cannot be stored.
bool AlignLineStart(Editor& ed, int line, int column);
// Ctrl+R outside Pascal mode: moves the current line's text so that it ends
// in column LineCapacity. False when the key is to type its character
// instead (LineCapacity above 132, or a text longer than LineCapacity).
bool RightAlignLine(Editor& ed);
// One line's TAB expansion: each TAB becomes blanks up to the next column
// 8k + 1. False when the result would pass 255 characters.
bool ExpandTabsInText(const std::string& text, std::string& result);
// The same for a stored line, leaving alone the TAB that ends a line-colour
// code (it is no text and would lose the line its colour).
bool ExpandLineTabs(std::string_view line, std::string& result);
// The line's text ends with the end-of-line marker (0x00).
bool CarriesMarker(std::string_view line);

// ---- format.cpp: the paragraph ----

// Reflows the paragraph at the cursor (Ctrl+F, Ctrl+Shift+F). Whole or
// nothing: when the new lines do not fit the line limit or the memory
// budget, the paragraph stays as it was and a message says so. Leaves the
// cursor on the line after the paragraph, in column M.
void FormatParagraph(Editor& ed, bool justify);
// Right justification of one line's text (no trailing blanks, no colour
// code) to `width`: blanks are added one at a time, in passes from the
// left, in front of every word that does not follow a delimiter, starting
// after the word at column `from`. The text comes back unchanged when it
// needs more than 254 word steps (a single word, or gaps only after
// delimiters) or already reaches `width`.
std::string JustifyText(const std::string& text, int width, int from);

// ---- commands ----
Redraw CmdAlignToCursor(Editor& ed);        // Alt+A 0x03081E00 [Format "1"]
Redraw CmdAlignToMargin(Editor& ed);        // Ctrl+L 0x0004260C
Redraw CmdFormatJustified(Editor& ed);      // Ctrl+Shift+F 0x00072106 [Format paragraph "1"]
Redraw CmdFormatPlain(Editor& ed);          // Ctrl+F 0x00042106 outside Pascal mode [Format paragraph "2"]
Redraw CmdLineLengthForFormat(Editor& ed);  // Shift+F12 0x0202FF0C [Format paragraph "3"]
// What Shift+F12 asks: the line length for formatting, 2..LineCapacity, asked
// again until it is one. False when the user gave up (Esc, an empty answer).
bool AskLineLengthForFormat(Editor& ed);
Redraw CmdExpandTabs(Editor& ed);           // Ctrl+Alt+Shift+Tab 0x030F0F00 [Format "4"]
Redraw CmdNextMarkedLine(Editor& ed);       // F12 0x0200FF0C
Redraw CmdToggleMarker(Editor& ed);         // Ctrl+F12 0x0204FF0C [Point "7"]

}  // namespace lumo
