// Count block (Alt+Q): adds up the numbers in a box, one a line.
#pragma once

#include <cstdint>
#include <string>

#include "editor/editor.h"

namespace lumo {

// The number in one box line, in units of 1/100000. False when the line
// holds a second decimal separator or an integer part past 2,147,483,647.
// "1,234.5" and "1.234,5" are 1234.5 (the first of two different
// separators groups thousands); a comma or full stop alone is the decimal
// separator; a minus anywhere makes the number negative; any other
// character ends the number once something other than 0 has been read.
bool ReadBoxNumber(const std::string& s, int64_t& units);
// "-0.75", "12.0", "11.75": the total as the message line shows it.
std::string FormatTotal(int64_t units);
// Adds up the box: true with the total, false when a line is not a number
// (`bad` then holds that line's box text).
bool CountBox(const Editor& ed, int64_t& total, std::string& bad);

Redraw CmdCountBlock(Editor& ed);  // Alt+Q 0x03081000 [Service "4"]

}  // namespace lumo
