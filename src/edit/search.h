// Search and replace: FindText, the search commands (F7 and its variants,
// Next, Ctrl+Z, Ctrl+Q) and Replace (F6), whose loop change by file
// (files/changebyfile.h) also runs.
#pragma once

#include <string>
#include <string_view>

#include "editor/editor.h"

namespace lumo {

enum class Found { Yes, No, Cancelled };

// Looks for `text` from startLine to endLine, downward or `upward`.
// On the start line only the part after startColumn (downward; 0 searches
// the whole line) or wholly before it (upward) counts; within a line the
// leftmost occurrence wins. A match starts inside the line's text and may
// run on into the blanks after it (up to column 255). An empty text looks
// for the next all-blank line after the start line instead. With caseSetting
// 0 and a lower-case letter in the text, asks " To ignore case ?" and keeps
// the answer there (15 ignore, -15 match); a positive setting folds case.
// Found: the cursor, the window's top line (and, on another line, the
// horizontal scroll) move to the occurrence. Not found or cancelled:
// OperationFailed 1, position unchanged; " String not found." when
// showMessages. Draws only messages: the caller redraws the window.
Found FindText(Editor& ed, const std::string& text, int startLine, int endLine, int startColumn,
               bool showMessages, int& caseSetting, bool upward);

// The column (from 1) of the leftmost occurrence of `pattern` (already
// folded through `fold`) in `line` starting between first and last, ending
// by column maxEnd; 0 when there is none. Bytes past the line read as
// blanks. `line` is a line's stored text; `textLength` its TrimmedLength.
int FindInLine(std::string_view line, int textLength, const std::string& pattern, const uint8_t* fold,
               int first, int last, int maxEnd);

// Replaces `findLength` characters at (line, column) by `replacement` as
// one exchange: the line is stored whole with the replacement in place,
// then wrapped at FormatWidth as typing would wrap it (unless WrapOff).
// Nothing is changed, and the line store's message is shown, when the
// result cannot be stored whole (a line past 255 characters, the line
// limit, the memory budget). On success `resumeLine`/`resumeColumn` name the
// position right after the stored replacement, wherever the wrap put it.
bool ExchangeText(Editor& ed, int line, int column, int findLength, const std::string& replacement,
                  int& resumeLine, int& resumeColumn);

// Replace from its second step for the texts in FindString and
// ReplaceString: remembers the position, asks the scope and ask questions
// and runs the loop. Change by file calls it for its first pair.
Redraw BeginReplace(Editor& ed);

// ---- commands ----
Redraw CmdFindDown(Editor& ed);         // F7 0x0200FF07, Shift+F7 0x0202FF07 [Find "1", "2"]
Redraw CmdFindUp(Editor& ed);           // Ctrl+F7 0x0204FF07, Ctrl+Shift+F7 0x0207FF07 [Find "4"];
                                        // Alt+F7 0x0208FF07, Alt+Shift+F7 0x020BFF07
Redraw CmdFindNext(Editor& ed);         // Ctrl+Enter 0x00041C0A, Alt+Enter 0x03081C00 [Find "3"]
Redraw CmdFindBlankLine(Editor& ed);    // Ctrl+Z 0x00042C1A
Redraw CmdFindComment(Editor& ed);      // Ctrl+Q 0x00041011
Redraw CmdReplace(Editor& ed);          // F6 0x0200FF06 [Find "5"]

}  // namespace lumo
