// "Extend line/word" ("\"): completes the word left of the cursor from the
// completion entries of "shorts.lmo", then from the words of the text,
// nearest lines first (upwards, then downwards; exact case, then ignoring
// case). Each find is offered on the message line; the answer key accepts
// it (Enter), takes its next character ("\"), skips to the next find
// (Backspace, Up), turns the search direction (Down, Up), stops (Esc) or ends
// the completion and is then run as an ordinary key (any other key).
#pragma once

#include "editor/editor.h"

namespace lumo {

// What CompletionCount holds besides a position: the user pressed a key
// that is no completion key (the loop then runs it), or Esc.
constexpr int CompletionOtherKey = 0x7FFF;
constexpr int CompletionEscape = -1;

// Runs one completion from its start; leaves CompletionCount at the next
// position of CompletionText to take, 0, or CompletionOtherKey.
void Complete(Editor& ed);
// "\" (0x00002B5C), Extend "1 Extend line/word": takes the next character
// of a pending candidate, else runs Complete.
Redraw CmdExtendLineWord(Editor& ed);

}  // namespace lumo
