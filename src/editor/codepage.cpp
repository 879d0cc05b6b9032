// The character tables and the byte conversions between CP866 (the text in
// memory) and the code pages files are kept in.
#include "editor/codepage.h"

namespace lumo {

namespace {

using Table = std::array<uint8_t, 136>;
using ByteMap = std::array<uint8_t, 256>;

// Positions 1..128: every CP866 byte 0x80..0xFF (А..Я, а..п, the graphics
// 0xB0..0xDF, р..я, 0xF0..0xFF - which is simply their byte order); then the
// punctuation that sits on the letter keys of a Russian keyboard.
constexpr Table MakeCyrTable()
{
    Table t{};
    for (int i = 0; i < 128; ++i) t[i] = static_cast<uint8_t>(0x80 + i);
    const uint8_t tail[8] = {0x2E, 0x2C, 0x2F, 0x22, 0xFC, 0x3B, 0x3A, 0x3F};  // . , / " № ; : ?
    for (int i = 0; i < 8; ++i) t[128 + i] = tail[i];
    return t;
}

// The KOI8-R byte of each CP866 character. Characters both pages have sit
// where the published tables of the two pages put them; the eight CP866
// characters KOI8-R lacks take the eight KOI8-R characters CP866 lacks
// (Є-⌠ є-⌡ Ї-≈ ї-≤ Ў-≥ ў-÷ №-© ¤-²), so the correspondence is one-to-one.
constexpr Table MakeKoi8Table()
{
    const uint8_t upper[128] = {
        0xE1, 0xE2, 0xF7, 0xE7, 0xE4, 0xE5, 0xF6, 0xFA,  // А Б В Г Д Е Ж З
        0xE9, 0xEA, 0xEB, 0xEC, 0xED, 0xEE, 0xEF, 0xF0,  // И Й К Л М Н О П
        0xF2, 0xF3, 0xF4, 0xF5, 0xE6, 0xE8, 0xE3, 0xFE,  // Р С Т У Ф Х Ц Ч
        0xFB, 0xFD, 0xFF, 0xF9, 0xF8, 0xFC, 0xE0, 0xF1,  // Ш Щ Ъ Ы Ь Э Ю Я
        0xC1, 0xC2, 0xD7, 0xC7, 0xC4, 0xC5, 0xD6, 0xDA,  // а б в г д е ж з
        0xC9, 0xCA, 0xCB, 0xCC, 0xCD, 0xCE, 0xCF, 0xD0,  // и й к л м н о п
        0x90, 0x91, 0x92, 0x81, 0x87, 0xB2, 0xB4, 0xA7,  // ░ ▒ ▓ │ ┤ ╡ ╢ ╖
        0xA6, 0xB5, 0xA1, 0xA8, 0xAE, 0xAD, 0xAC, 0x83,  // ╕ ╣ ║ ╗ ╝ ╜ ╛ ┐
        0x84, 0x89, 0x88, 0x86, 0x80, 0x8A, 0xAF, 0xB0,  // └ ┴ ┬ ├ ─ ┼ ╞ ╟
        0xAB, 0xA5, 0xBB, 0xB8, 0xB1, 0xA0, 0xBE, 0xB9,  // ╚ ╔ ╩ ╦ ╠ ═ ╬ ╧
        0xBA, 0xB6, 0xB7, 0xAA, 0xA9, 0xA2, 0xA4, 0xBD,  // ╨ ╤ ╥ ╙ ╘ ╒ ╓ ╫
        0xBC, 0x85, 0x82, 0x8D, 0x8C, 0x8E, 0x8F, 0x8B,  // ╪ ┘ ┌ █ ▄ ▌ ▐ ▀
        0xD2, 0xD3, 0xD4, 0xD5, 0xC6, 0xC8, 0xC3, 0xDE,  // р с т у ф х ц ч
        0xDB, 0xDD, 0xDF, 0xD9, 0xD8, 0xDC, 0xC0, 0xD1,  // ш щ ъ ы ь э ю я
        0xB3, 0xA3, 0x93, 0x9B, 0x97, 0x98, 0x99, 0x9F,  // Ё ё Є є Ї ї Ў ў
        0x9C, 0x95, 0x9E, 0x96, 0xBF, 0x9D, 0x94, 0x9A,  // ° ∙ · √ № ¤ ■ no-break space
    };
    Table t = MakeCyrTable();
    for (int i = 0; i < 128; ++i) t[i] = upper[i];
    t[132] = 0xBF;  // © where the Cyrillic table has №
    return t;
}

// The US key under each character on a Russian (ЙЦУКЕН) keyboard; the
// graphics and the rarer letters have no key and stand for themselves.
constexpr Table MakeLatinKeyTable()
{
    Table t = MakeCyrTable();
    const char* upper = "F<DULT:PBQRKVYJGHCNEA{WXIO}SM\">Z";  // А..Я
    const char* lowerA = "f,dult;pbqrkvyjg";                   // а..п
    const char* lowerR = "hcnea[wxio]sm'.z";                   // р..я
    for (int i = 0; i < 32; ++i) t[i] = static_cast<uint8_t>(upper[i]);
    for (int i = 0; i < 16; ++i) t[32 + i] = static_cast<uint8_t>(lowerA[i]);
    for (int i = 0; i < 16; ++i) t[96 + i] = static_cast<uint8_t>(lowerR[i]);
    t[112] = '~';  // Ё
    t[113] = '`';  // ё
    const char* tail = "/?|@#$^&";  // . , / " № ; : ?
    for (int i = 0; i < 8; ++i) t[128 + i] = static_cast<uint8_t>(tail[i]);
    return t;
}

// A byte map from one table to another: each byte found in `from` becomes the
// byte at the same position of `to` (first occurrence wins); others stay.
constexpr ByteMap MapBetween(const Table& from, const Table& to)
{
    ByteMap m{};
    std::array<bool, 256> seen{};
    for (int c = 0; c < 256; ++c) m[c] = static_cast<uint8_t>(c);
    for (int i = 0; i < 136; ++i) {
        if (seen[from[i]]) continue;
        seen[from[i]] = true;
        m[from[i]] = to[i];
    }
    return m;
}

// CP866 0x80..0xFF -> Windows-1251, one-to-one. This table is the only
// definition of the pairing; FromAnsi is its inverse.
//  - Every character both pages have maps to itself: the 66 letters А..я Ё ё,
//    and Є є Ї ї Ў ў ° · № ¤ and the no-break space (77 in all).
//  - Look-alikes: │-¦  ┐-¬  ┼-†  ╬-‡  ─-–  ═-—  ∙-•.
//  - The other 44 of each side are paired in ascending byte order:
//    ░▒▓ ┤╡╢╖╕╣║╗╝╜╛ └┴┬├ ╞╟╚╔╩╦╠ ╧╨╤╥╙╘╒╓╫╪┘┌ █▄▌▐▀ √ ■  with
//    Ђ Ѓ ‚ ѓ „ … € ‰ Љ ‹ Њ Ќ Ћ Џ ђ ‘ ’ “ ” (0x98) ™ љ › њ ќ ћ џ Ј Ґ § © « (soft
//    hyphen) ® ± І і ґ µ ¶ » ј Ѕ ѕ.
constexpr uint8_t AnsiOfUpperHalf[128] = {
    0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7,  // А Б В Г Д Е Ж З
    0xC8, 0xC9, 0xCA, 0xCB, 0xCC, 0xCD, 0xCE, 0xCF,  // И Й К Л М Н О П
    0xD0, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD7,  // Р С Т У Ф Х Ц Ч
    0xD8, 0xD9, 0xDA, 0xDB, 0xDC, 0xDD, 0xDE, 0xDF,  // Ш Щ Ъ Ы Ь Э Ю Я
    0xE0, 0xE1, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7,  // а б в г д е ж з
    0xE8, 0xE9, 0xEA, 0xEB, 0xEC, 0xED, 0xEE, 0xEF,  // и й к л м н о п
    0x80, 0x81, 0x82, 0xA6, 0x83, 0x84, 0x85, 0x88,  // ░Ђ ▒Ѓ ▓‚ │¦ ┤ѓ ╡„ ╢… ╖€
    0x89, 0x8A, 0x8B, 0x8C, 0x8D, 0x8E, 0x8F, 0xAC,  // ╕‰ ╣Љ ║‹ ╗Њ ╝Ќ ╜Ћ ╛Џ ┐¬
    0x90, 0x91, 0x92, 0x93, 0x96, 0x86, 0x94, 0x98,  // └ђ ┴‘ ┬’ ├“ ─– ┼† ╞” ╟(0x98)
    0x99, 0x9A, 0x9B, 0x9C, 0x9D, 0x97, 0x87, 0x9E,  // ╚™ ╔љ ╩› ╦њ ╠ќ ═— ╬‡ ╧ћ
    0x9F, 0xA3, 0xA5, 0xA7, 0xA9, 0xAB, 0xAD, 0xAE,  // ╨џ ╤Ј ╥Ґ ╙§ ╘© ╒« ╓(shy) ╫®
    0xB1, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xBB, 0xBC,  // ╪± ┘І ┌і █ґ ▄µ ▌¶ ▐» ▀ј
    0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7,  // р с т у ф х ц ч
    0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF,  // ш щ ъ ы ь э ю я
    0xA8, 0xB8, 0xAA, 0xBA, 0xAF, 0xBF, 0xA1, 0xA2,  // Ё ё Є є Ї ї Ў ў
    0xB0, 0x95, 0xB7, 0xBD, 0xB9, 0xA4, 0xBE, 0xA0,  // ° ∙• · √Ѕ № ¤ ■ѕ no-break space
};

constexpr ByteMap MakeToAnsi()
{
    ByteMap m{};
    for (int c = 0; c < 128; ++c) m[c] = static_cast<uint8_t>(c);
    for (int i = 0; i < 128; ++i) m[128 + i] = AnsiOfUpperHalf[i];
    return m;
}

constexpr ByteMap Inverse(const ByteMap& m)
{
    ByteMap r{};
    for (int c = 0; c < 256; ++c) r[m[c]] = static_cast<uint8_t>(c);
    return r;
}

constexpr bool IsPermutation(const ByteMap& m)
{
    std::array<bool, 256> seen{};
    for (int c = 0; c < 256; ++c) {
        if (seen[m[c]]) return false;
        seen[m[c]] = true;
    }
    return true;
}

constexpr ByteMap ToKoi8Map = MapBetween(MakeCyrTable(), MakeKoi8Table());
constexpr ByteMap FromKoi8Map = MapBetween(MakeKoi8Table(), MakeCyrTable());
constexpr ByteMap ToAnsiMap = MakeToAnsi();
constexpr ByteMap FromAnsiMap = Inverse(ToAnsiMap);
constexpr ByteMap RusKeyMap = MapBetween(MakeLatinKeyTable(), MakeCyrTable());
constexpr ByteMap LatinKeyMap = MapBetween(MakeCyrTable(), MakeLatinKeyTable());

// A file saved and loaded again must come back byte for byte.
static_assert(IsPermutation(ToKoi8Map) && Inverse(ToKoi8Map) == FromKoi8Map);
static_assert(IsPermutation(ToAnsiMap));

std::string MapString(const std::string& s, const ByteMap& m)
{
    std::string r(s);
    for (char& ch : r) ch = static_cast<char>(m[static_cast<uint8_t>(ch)]);
    return r;
}

}  // namespace

const std::array<uint8_t, 136> CyrTable = MakeCyrTable();
const std::array<uint8_t, 136> Koi8Table = MakeKoi8Table();
const std::array<uint8_t, 136> LatinKeyTable = MakeLatinKeyTable();

uint8_t ToKoi8(uint8_t c) { return ToKoi8Map[c]; }
uint8_t FromKoi8(uint8_t c) { return FromKoi8Map[c]; }
uint8_t ToAnsi(uint8_t c) { return ToAnsiMap[c]; }
uint8_t FromAnsi(uint8_t c) { return FromAnsiMap[c]; }
uint8_t RusKey(uint8_t c) { return RusKeyMap[c]; }
uint8_t LatinKey(uint8_t c) { return LatinKeyMap[c]; }

uint8_t CyrUpCase(uint8_t c)
{
    if (c >= 'a' && c <= 'z') return c - 0x20;
    if (c >= 0xA0 && c <= 0xAF) return c - 0x20;  // а..п
    if (c >= 0xE0 && c <= 0xEF) return c - 0x50;  // р..я
    if (c == 0xF1) return 0xF0;                    // ё
    return c;
}

uint8_t CyrLowCase(uint8_t c)
{
    if (c >= 'A' && c <= 'Z') return c + 0x20;
    if (c >= 0x80 && c <= 0x8F) return c + 0x20;  // А..П
    if (c >= 0x90 && c <= 0x9F) return c + 0x50;  // Р..Я
    if (c == 0xF0) return 0xF1;                   // Ё
    return c;
}

std::string CyrUpperCase(std::string s)
{
    for (char& ch : s) ch = static_cast<char>(CyrUpCase(static_cast<uint8_t>(ch)));
    return s;
}

std::string CyrLowerCase(std::string s)
{
    for (char& ch : s) ch = static_cast<char>(CyrLowCase(static_cast<uint8_t>(ch)));
    return s;
}

std::string ToKoi8String(const std::string& s) { return MapString(s, ToKoi8Map); }
std::string FromKoi8String(const std::string& s) { return MapString(s, FromKoi8Map); }
std::string ToAnsiString(const std::string& s) { return MapString(s, ToAnsiMap); }
std::string FromAnsiString(const std::string& s) { return MapString(s, FromAnsiMap); }

std::string ToFilePage(const std::string& s, CodePage page)
{
    switch (page) {
    case CodePage::ANSI: return ToAnsiString(s);
    case CodePage::KOI8: return ToKoi8String(s);
    default: return s;
    }
}

std::string CodePageName(CodePage page)
{
    switch (page) {
    case CodePage::ANSI: return " ANSI";
    case CodePage::KOI8: return " KOI8";
    case CodePage::UTF8: return " UTF-8";
    default: return " ASCII";
    }
}

}  // namespace lumo
