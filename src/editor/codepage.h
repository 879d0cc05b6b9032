// Code pages: the text in memory is always CP866 ("ASCII"); files may be in
// Windows-1251 ("ANSI"), KOI8-R ("KOI8") or UTF-8. This header holds the byte
// conversions between the pages, the Cyrillic-aware case maps and the Rus
// keyboard map: pure functions of bytes.
//
// Every conversion between CP866 and another page is one-to-one: converting
// there and back gives the very bytes one started with, so loading and saving
// a file unchanged never alters it.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "editor/editor.h"

namespace lumo {

// The three 136-character tables, position for position (index 0 is
// position 1). A character is looked up by its first occurrence in one table
// and replaced by the character at the same position of another.
//   CyrTable:      CP866 0x80..0xFF ordered А..Я а..п, the graphics 0xB0..0xDF,
//                  р..я, 0xF0..0xFF; then . , / " № ; : ?
//   Koi8Table:     the KOI8-R byte of each of those characters
//   LatinKeyTable: the US key that types the character on a Russian keyboard
extern const std::array<uint8_t, 136> CyrTable;
extern const std::array<uint8_t, 136> Koi8Table;
extern const std::array<uint8_t, 136> LatinKeyTable;

// CP866 <-> KOI8-R. 0x00..0x7F pass unchanged; FromKoi8(ToKoi8(c)) == c and
// ToKoi8(FromKoi8(c)) == c for every byte.
uint8_t ToKoi8(uint8_t c);
uint8_t FromKoi8(uint8_t c);
// CP866 <-> Windows-1251, one-to-one the same way.
uint8_t ToAnsi(uint8_t c);
uint8_t FromAnsi(uint8_t c);

// Case of one character: Latin letters and the CP866 Cyrillic letters incl.
// Ё/ё. Є є Ї ї Ў ў are left alone.
uint8_t CyrUpCase(uint8_t c);
uint8_t CyrLowCase(uint8_t c);
std::string CyrUpperCase(std::string s);
std::string CyrLowerCase(std::string s);

// Rus keyboard: the Latin key typed -> the Cyrillic letter on that key of a
// ЙЦУКЕН keyboard (also / ? | @ # $ ^ & -> . , / " № ; : ?). Other bytes
// pass unchanged.
uint8_t RusKey(uint8_t c);
// The reverse: a Cyrillic letter (or . , / " № ; : ?) -> the Latin key
// that types it. Used to undo text typed with the wrong layout.
uint8_t LatinKey(uint8_t c);

// Whole strings, for saving, copying and recoding.
std::string ToKoi8String(const std::string& s);
std::string FromKoi8String(const std::string& s);
std::string ToAnsiString(const std::string& s);
std::string FromAnsiString(const std::string& s);
// CP866 text -> the bytes to write for `page` (ANSI and KOI8 are converted;
// ASCII is unchanged; UTF8 is also returned unchanged here because the
// UTF-8 writer does that conversion itself).
std::string ToFilePage(const std::string& s, CodePage page);
// The page's name as the screen shows it: " ASCII", " ANSI", " KOI8", " UTF-8".
std::string CodePageName(CodePage page);

}  // namespace lumo
