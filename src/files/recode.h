// Recoding a text: the prompt that offers to reinterpret a freshly loaded
// (or inserted) text as Windows-1251 or KOI8-R, and the Recode command.
#pragma once

#include "editor/editor.h"

namespace lumo {

// The recode prompt after a load (first = 1, last = min(LineCount, 25),
// whole = true) or after Get file (the inserted lines, whole = false).
// Looks at the bytes above 0x7F of lines first..last; when there are at
// least 20 and their average is 200 or more it asks whether the text is
// ANSI or KOI8 and converts lines first..LineCount (whole) or first..last.
// FileCodePage changes only when the whole text was converted.
void RecodePrompt(Editor& ed, int first, int last, bool whole);

// F11 (Service menu "5 Recode"): reinterpret the line block or the whole
// text in another code page.
Redraw CmdRecode(Editor& ed);

}  // namespace lumo
