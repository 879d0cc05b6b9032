#include "editor/charmap.h"

#include <unordered_map>

#include "console/cp866.h"
#include "editor/codepage.h"

namespace lumo {

namespace {

// Windows-1251 0x80..0xFF (0x98 is unused).
constexpr char32_t Cp1251Upper[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // Ђ Ѓ ‚ ѓ „ … † ‡
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // € ‰ Љ ‹ Њ Ќ Ћ Џ
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // ђ ‘ ’ “ ” • – —
    0,      0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  //   ™ љ › њ ќ ћ џ
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  //   Ў ў Ј ¤ Ґ ¦ §
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // Ё © Є « ¬ (shy) ® Ї
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // ° ± І і ґ µ ¶ ·
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // ё № є » ј Ѕ ѕ ї
};

// KOI8-R 0x80..0xBF (0xC0..0xFF are the letters, below).
constexpr char32_t Koi8Upper[64] = {
    0x2500, 0x2502, 0x250C, 0x2510, 0x2514, 0x2518, 0x251C, 0x2524,  // ─ │ ┌ ┐ └ ┘ ├ ┤
    0x252C, 0x2534, 0x253C, 0x2580, 0x2584, 0x2588, 0x258C, 0x2590,  // ┬ ┴ ┼ ▀ ▄ █ ▌ ▐
    0x2591, 0x2592, 0x2593, 0x2320, 0x25A0, 0x2219, 0x221A, 0x2248,  // ░ ▒ ▓ ⌠ ■ ∙ √ ≈
    0x2264, 0x2265, 0x00A0, 0x2321, 0x00B0, 0x00B2, 0x00B7, 0x00F7,  // ≤ ≥   ⌡ ° ² · ÷
    0x2550, 0x2551, 0x2552, 0x0451, 0x2553, 0x2554, 0x2555, 0x2556,  // ═ ║ ╒ ё ╓ ╔ ╕ ╖
    0x2557, 0x2558, 0x2559, 0x255A, 0x255B, 0x255C, 0x255D, 0x255E,  // ╗ ╘ ╙ ╚ ╛ ╜ ╝ ╞
    0x255F, 0x2560, 0x2561, 0x0401, 0x2562, 0x2563, 0x2564, 0x2565,  // ╟ ╠ ╡ Ё ╢ ╣ ╤ ╥
    0x2566, 0x2567, 0x2568, 0x2569, 0x256A, 0x256B, 0x256C, 0x00A9,  // ╦ ╧ ╨ ╩ ╪ ╫ ╬ ©
};
// KOI8-R letters 0xC0..0xDF, lower case: ю а б ц д е ф г х и й к л м н о
// п я р с т у ж в ь ы з ш э щ ч ъ (0xE0..0xFF: the same in upper case).
constexpr char32_t Koi8Letters[32] = {
    0x044E, 0x0430, 0x0431, 0x0446, 0x0434, 0x0435, 0x0444, 0x0433,
    0x0445, 0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E,
    0x043F, 0x044F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0436, 0x0432,
    0x044C, 0x044B, 0x0437, 0x0448, 0x044D, 0x0449, 0x0447, 0x044A,
};

// Spare bytes, best first: graphics no key types and that texts rarely
// hold (the mixed single/double junctions, then the double lines, shades,
// blocks and signs); the bytes the line-drawing keys type come last.
constexpr uint8_t SpareOrder[] = {
    0xB5, 0xB6, 0xB7, 0xB8, 0xBD, 0xBE, 0xC6, 0xC7, 0xCF, 0xD0, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6,
    0xD7, 0xD8, 0xB9, 0xBA, 0xBB, 0xBC, 0xC8, 0xC9, 0xCA, 0xCB, 0xCC, 0xCD, 0xCE, 0xB0, 0xB1, 0xB2,
    0xDB, 0xDC, 0xDD, 0xDE, 0xDF, 0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF, 0xB3, 0xB4, 0xBF,
    0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xD9, 0xDA,
};
static_assert(sizeof SpareOrder == 56);

// Never a control byte, ASCII or a letter (А..я, Ё ё Є є Ї ї Ў ў).
bool MayBeSpare(int b) { return (b >= 0xB0 && b <= 0xDF) || b >= 0xF8; }

CharMap MakeMap(CodePage page)
{
    CharMap m{};
    for (int b = 0; b < 256; ++b) {
        char32_t c = Cp866TextChar(static_cast<uint8_t>(b));
        if (b >= 0x80 && page == CodePage::ANSI) {
            char32_t own = Cp1251Char(ToAnsi(static_cast<uint8_t>(b)));
            if (own != 0) c = own;
        } else if (b >= 0x80 && page == CodePage::KOI8) {
            c = Koi8Char(ToKoi8(static_cast<uint8_t>(b)));
        }
        m[b] = c;
    }
    return m;
}

}  // namespace

char32_t Cp1251Char(uint8_t b)
{
    if (b < 0x80) return b;
    if (b >= 0xC0) return 0x0410 + (b - 0xC0);
    return Cp1251Upper[b - 0x80];
}

char32_t Koi8Char(uint8_t b)
{
    if (b < 0x80) return b;
    if (b < 0xC0) return Koi8Upper[b - 0x80];
    char32_t lower = Koi8Letters[(b - 0xC0) & 0x1F];
    return b >= 0xE0 ? lower - 0x20 : lower;
}

const CharMap& CodePageMap(CodePage page)
{
    static const CharMap cp866 = MakeMap(CodePage::ASCII);
    static const CharMap ansi = MakeMap(CodePage::ANSI);
    static const CharMap koi8 = MakeMap(CodePage::KOI8);
    return page == CodePage::ANSI ? ansi : page == CodePage::KOI8 ? koi8 : cp866;
}

void UseCodePageMap(Editor& ed, CodePage page)
{
    ed.TextCharMap = CodePageMap(page);
    ed.TextMapPage = page;
    ed.TextMapExtended = false;
    ed.con.SetTextMap(ed.TextCharMap);
}

void UseUtf8Map(Editor& ed, const std::vector<std::pair<char32_t, uint8_t>>& extras)
{
    ed.TextCharMap = CodePageMap(CodePage::UTF8);
    for (const auto& [c, b] : extras) ed.TextCharMap[b] = c;
    ed.TextMapPage = CodePage::UTF8;
    ed.TextMapExtended = !extras.empty();
    ed.con.SetTextMap(ed.TextCharMap);
}

const CharMap& SavingMap(const Editor& ed)
{
    return ed.TextMapPage == ed.FileCodePage ? ed.TextCharMap : CodePageMap(ed.FileCodePage);
}

void SyncCharMap(Editor& ed)
{
    if (ed.TextMapPage != ed.FileCodePage) UseCodePageMap(ed, ed.FileCodePage);
}

char32_t TextCharOf(const Editor& ed, uint8_t b)
{
    if (b < 0x80) return b;
    if (ed.TextMapPage != ed.FileCodePage) return CodePageMap(ed.FileCodePage)[b];
    return ed.TextCharMap[b];
}

int ChooseSpareByte(char32_t c, const std::array<bool, 256>& taken)
{
    for (int a = 0x80; a < 0x100; ++a) {
        if (Cp1251Char(static_cast<uint8_t>(a)) != c) continue;
        int partner = FromAnsi(static_cast<uint8_t>(a));
        if (MayBeSpare(partner) && !taken[partner]) return partner;
        break;
    }
    for (uint8_t b : SpareOrder)
        if (!taken[b]) return b;
    return -1;
}

int TextByteFor(Editor& ed, char32_t c, const std::array<bool, 256>* alsoTaken)
{
    if (c < 0x80) return static_cast<int>(c);
    SyncCharMap(ed);
    for (int b = 0x80; b < 0x100; ++b)
        if (ed.TextCharMap[b] == c) return b;
    if (ed.FileCodePage != CodePage::UTF8) return -1;
    // A UTF-8 text can hold any character: it gets a byte that nothing in
    // the text stands for yet.
    std::array<bool, 256> taken{};
    if (alsoTaken) taken = *alsoTaken;
    const CharMap& plain = CodePageMap(CodePage::UTF8);
    for (int b = 0x80; b < 0x100; ++b)
        if (ed.TextCharMap[b] != plain[b]) taken[b] = true;
    for (int n = 1; n <= ed.LineCount; ++n)
        for (char ch : ed.LineTable[n].text()) taken[static_cast<uint8_t>(ch)] = true;
    for (const auto& kept : ed.KeptParts)
        for (char ch : kept.second) taken[static_cast<uint8_t>(ch)] = true;
    int b = ChooseSpareByte(c, taken);
    if (b < 0) return -1;
    ed.TextCharMap[b] = c;
    ed.TextMapExtended = true;
    ed.con.SetTextMap(ed.TextCharMap);
    return b;
}

std::string TextBytesOfUtf8(Editor& ed, std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    // A paste repeats few characters many times: each is looked up once.
    std::unordered_map<char32_t, int> known;
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    for (size_t i = 0; i < utf8.size();) {
        if (p[i] < 0x80) {
            out += static_cast<char>(p[i++]);
            continue;
        }
        char32_t c = 0;
        int n = DecodeUtf8(p + i, utf8.size() - i, c);
        if (n <= 0) {
            ++i;
            continue;
        }
        i += static_cast<size_t>(n);
        auto [at, added] = known.try_emplace(c, 0);
        if (added) at->second = TextByteFor(ed, c);
        if (at->second >= 0) out += static_cast<char>(at->second);
    }
    return out;
}

bool MapTypedKey(Editor& ed, KeyEvent& key)
{
    const uint32_t kind = key >> 24;
    if (kind == UnicodeKeyKind) {
        int b = TextByteFor(ed, static_cast<char32_t>(key & 0x1FFFFF));
        if (b < 0) return false;
        key = static_cast<KeyEvent>(b);
        return true;
    }
    const uint8_t b = key & 0xFF;
    if (kind != 0 || b < 0x80) return true;
    SyncCharMap(ed);
    // A CP866 character whose byte stands for another one in this text.
    const char32_t typed = Cp866TextChar(b);
    if (ed.TextCharMap[b] == typed) return true;
    int mapped = TextByteFor(ed, typed);
    if (mapped < 0) return false;
    key = (key & ~0xFFu) | static_cast<uint32_t>(mapped);
    return true;
}

}  // namespace lumo
