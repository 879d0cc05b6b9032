// Word boundaries: the classes of bytes and the word-start and word-end
// steps that word moves, word deletion, the input line, blocks and
// formatting share. Queries on the text; nothing here changes it.
#pragma once

#include <cstdint>
#include <string>

#include "editor/editor.h"

namespace lumo {

// The 23 delimiters: . , : ; ? ! / \ ( ) - * + = < > { } [ ] _ " '
bool IsDelimiter(uint8_t c);
// Start of a word at or before p (positions past the text read as blanks).
int WordStart(const std::string& s, int p);
// End of a word at or after p: mode 0 the start of the next word, 1 just
// after the current or next word, 2 after the word and its glued delimiters.
int WordEnd(const std::string& s, int p, int mode);
// The word under the cursor (modes 0, 1, 2; see words.cpp).
std::string WordAtCursor(Editor& ed, int mode);

}  // namespace lumo
