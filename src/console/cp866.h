// CP866 <-> Unicode, and small UTF-8 helpers.
//
// The text in memory and every screen cell hold CP866 bytes. Two mappings:
// - the display table (Cp866ToUnicode): what a cell shows; control bytes
//   appear as the classic PC glyphs, 0x00 as a blank, 0x7F as a house;
// - the character mapping (UnicodeToCp866): for keyboard input and UTF-8
//   files, where control characters are themselves (U+0001 is byte 0x01),
//   never the glyphs that happen to display them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lumo {

// What screen cell byte `b` shows.
char32_t Cp866ToUnicode(uint8_t b);

// The CP866 byte of character `c`, or -1 when CP866 has none. 0x00-0x7F map
// to themselves.
int UnicodeToCp866(char32_t c);

// The character a CP866 byte stands for in a text file: bytes below 0x80 are
// themselves, the rest as the display table.
char32_t Cp866TextChar(uint8_t b);

// Appends the UTF-8 form of `c` (an invalid code point becomes U+FFFD).
void AppendUtf8(std::string& out, char32_t c);

// Decodes one UTF-8 character at the start of p[0..n). Returns the number of
// bytes it takes (1-4) and sets `c`; 0 when the bytes are a valid but
// incomplete start (more are needed); -1 when the first byte cannot start a
// valid character (overlong forms, surrogates and values past U+10FFFF are
// invalid too).
int DecodeUtf8(const unsigned char* p, size_t n, char32_t& c);

// CP866 text -> UTF-8 (bytes below 0x80 unchanged).
std::string Cp866ToUtf8(std::string_view text);

// UTF-8 -> CP866. False when the input is not valid UTF-8 or holds a
// character CP866 lacks; `out` then holds what converted before that point.
bool Utf8ToCp866(std::string_view utf8, std::string& out);

}  // namespace lumo
