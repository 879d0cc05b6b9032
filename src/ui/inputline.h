// The input line: the one-line editor on screen row 2 that every prompt
// uses, with its search history (files/history.h carries it from one run to
// the next).
#pragma once

#include <string>

#include "editor/editor.h"

namespace lumo {

constexpr int HistorySize = 16;
constexpr int HistoryWidth = 53;  // characters kept of a history entry
constexpr int InputFieldColumn = 28;

// Input modes.
constexpr int InputSearch = 1;       // "      Enter search string: ", history
constexpr int InputReplacement = 2;  // " Enter replacement string: ", history
constexpr int InputPlain = 3;        // the caller shows its own prompt
constexpr int InputMacroWord = 255;  // "           Word for macro: ", the word at the cursor

// Edits `text` on row 2 until Enter (OperationFailed 0), Esc or the end of a
// playback (1), Ctrl+P (31), or Shift+F9 / a full recording while recording
// (127: the caller stops the recording as Shift+F9 does). In mode 1
// Shift/Ctrl/Alt+Enter end like Enter and leave scan code 0xF0 in KeyScan.
void InputLine(Editor& ed, std::string& text, int mode);

// Stores `text` in the history as the input line does when it ends touched.
void AddToHistory(Editor& ed, const std::string& text);

}  // namespace lumo
