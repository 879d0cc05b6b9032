// The clipboard file shared by every editor the user runs.
#pragma once

#include <string>

#include "editor/editor.h"

namespace lumo {

// The clipboard file as the input line writes it: "B", then `text`. Runs
// the exchange program when ExternalClipboard is on. False when the file
// cannot be created.
bool WriteClipboardLine(Editor& ed, const std::string& text);

// The clipboard file's text for the input line's Ctrl+V: its second line
// when the file is of kind B or L; ok false when there is none to take.
std::string ReadClipboardLine(Editor& ed, bool& ok);

}  // namespace lumo
