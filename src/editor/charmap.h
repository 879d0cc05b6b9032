// The text's character map: for each byte of the text in memory, the
// character it stands for in the text's file. The text stays CP866 bytes
// (every command works on bytes); the screen, the keyboard and paste, and
// the saving of a UTF-8 file go through the map, so that what the user sees,
// types and saves are the file's own characters.
//
// - CP866 ("ASCII") files: the CP866 characters.
// - Windows-1251 and KOI8-R files: the byte the one-to-one pairing of the
//   code page gives a character stands for that character of the file's
//   page (— « » … і in a 1251 file, ⌠ ≈ ≤ © in a KOI8-R one).
// - UTF-8 files: the CP866 characters, and for each character CP866 lacks a
//   byte of its own (its 1251 partner when that byte does not otherwise
//   occur in the text, else a spare graphics byte that does not occur).
//
// Recoding (F11) changes the text's bytes, never the characters a UTF-8
// text's own bytes were given: a whole-text recode of a UTF-8 text that holds
// such characters is refused, and a recoded whole text takes the map of its
// new page. The case and keyboard-layout conversions (Shift+F3..F6) change
// letters only, and no letter is ever given to another character, so they
// leave the map's own characters alone.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "editor/editor.h"

namespace lumo {

using CharMap = std::array<char32_t, 256>;

// The map of a text in `page` (UTF8: the CP866 characters, nothing added).
const CharMap& CodePageMap(CodePage page);
// Makes the text's map that of `page` (dropping characters a UTF-8 text was
// given bytes for) and shows it on the screen.
void UseCodePageMap(Editor& ed, CodePage page);
// The text's map follows FileCodePage: sets it when the page changed since.
void SyncCharMap(Editor& ed);

// A loaded UTF-8 text: the map of the page with `extras` (characters CP866
// lacks and the bytes the load gave them).
void UseUtf8Map(Editor& ed, const std::vector<std::pair<char32_t, uint8_t>>& extras);
// The map a save of the text uses (that of FileCodePage when it changed).
const CharMap& SavingMap(const Editor& ed);

// The character byte `b` of the text stands for (bytes below 0x80 are
// themselves). For the desktop clipboard and anything that hands text out.
char32_t TextCharOf(const Editor& ed, uint8_t b);
// The byte that stands for character `c` in the text, giving a UTF-8 text a
// spare byte for a character it lacks; -1 when the text cannot hold `c`.
// `alsoTaken` (may be null): bytes that are not to be given away either.
int TextByteFor(Editor& ed, char32_t c, const std::array<bool, 256>* alsoTaken = nullptr);
// UTF-8 text coming in whole (a paste) as the text's bytes: each character
// becomes TextByteFor's byte; characters the text cannot hold, and bytes
// that are not UTF-8, are left out. Line ends and TABs stay.
std::string TextBytesOfUtf8(Editor& ed, std::string_view utf8);
// A key just read, through the map: a typed or pasted character becomes the
// text's byte for it. False when the text cannot hold the character (the
// key types nothing).
bool MapTypedKey(Editor& ed, KeyEvent& key);

// The byte to give character `c` that CP866 lacks, in a text where the bytes
// marked in `taken` already stand for something: its 1251 partner when free,
// else a spare graphics byte (never a control byte, ASCII or a letter; the
// bytes the line-drawing keys type last). -1 when none is left.
int ChooseSpareByte(char32_t c, const std::array<bool, 256>& taken);
// The character of Windows-1251 / KOI8-R byte `b` (0 for 1251's unused 0x98).
char32_t Cp1251Char(uint8_t b);
char32_t Koi8Char(uint8_t b);

}  // namespace lumo
