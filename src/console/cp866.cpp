#include "console/cp866.h"

#include <algorithm>
#include <array>

namespace lumo {

namespace {

constexpr char32_t PcGlyphs[32] = {
    U' ',     U'\u263A', U'\u263B', U'\u2665', U'\u2666', U'\u2663', U'\u2660', U'\u2022',
    U'\u25D8', U'\u25CB', U'\u25D9', U'\u2642', U'\u2640', U'\u266A', U'\u266B', U'\u263C',
    U'\u25BA', U'\u25C4', U'\u2195', U'\u203C', U'\u00B6', U'\u00A7', U'\u25AC', U'\u21A8',
    U'\u2191', U'\u2193', U'\u2192', U'\u2190', U'\u221F', U'\u2194', U'\u25B2', U'\u25BC',
};

// 0xB0-0xDF: shades and box drawing.
constexpr char32_t BoxGlyphs[48] = {
    U'\u2591', U'\u2592', U'\u2593', U'\u2502', U'\u2524', U'\u2561', U'\u2562', U'\u2556',
    U'\u2555', U'\u2563', U'\u2551', U'\u2557', U'\u255D', U'\u255C', U'\u255B', U'\u2510',
    U'\u2514', U'\u2534', U'\u252C', U'\u251C', U'\u2500', U'\u253C', U'\u255E', U'\u255F',
    U'\u255A', U'\u2554', U'\u2569', U'\u2566', U'\u2560', U'\u2550', U'\u256C', U'\u2567',
    U'\u2568', U'\u2564', U'\u2565', U'\u2559', U'\u2558', U'\u2552', U'\u2553', U'\u256B',
    U'\u256A', U'\u2518', U'\u250C', U'\u2588', U'\u2584', U'\u258C', U'\u2590', U'\u2580',
};

// 0xF0-0xFF.
constexpr char32_t TailGlyphs[16] = {
    U'\u0401', U'\u0451', U'\u0404', U'\u0454', U'\u0407', U'\u0457', U'\u040E', U'\u045E',
    U'\u00B0', U'\u2219', U'\u00B7', U'\u221A', U'\u2116', U'\u00A4', U'\u25A0', U'\u00A0',
};

char32_t UpperHalf(uint8_t b)
{
    if (b < 0xA0) return 0x0410 + (b - 0x80);  // А-Я
    if (b < 0xB0) return 0x0430 + (b - 0xA0);  // а-п
    if (b < 0xE0) return BoxGlyphs[b - 0xB0];
    if (b < 0xF0) return 0x0440 + (b - 0xE0);  // р-я
    return TailGlyphs[b - 0xF0];
}

}  // namespace

char32_t Cp866ToUnicode(uint8_t b)
{
    if (b < 0x20) return PcGlyphs[b];
    if (b < 0x7F) return b;
    if (b == 0x7F) return U'\u2302';
    return UpperHalf(b);
}

char32_t Cp866TextChar(uint8_t b)
{
    return b < 0x80 ? char32_t(b) : UpperHalf(b);
}

int UnicodeToCp866(char32_t c)
{
    if (c < 0x80) return int(c);
    if (c >= 0x0410 && c <= 0x043F) return 0x80 + int(c - 0x0410);
    if (c >= 0x0440 && c <= 0x044F) return 0xE0 + int(c - 0x0440);
    // The other 64 by a search of them in order: a UTF-8 text's dashes and
    // quotes come here once for each time they occur.
    struct Entry {
        char32_t c;
        uint8_t byte;
    };
    static const std::array<Entry, 64> sorted = [] {
        std::array<Entry, 64> table{};
        for (int b = 0xB0; b < 0xE0; ++b) table[b - 0xB0] = {BoxGlyphs[b - 0xB0], uint8_t(b)};
        for (int b = 0xF0; b < 0x100; ++b) table[48 + b - 0xF0] = {TailGlyphs[b - 0xF0], uint8_t(b)};
        std::sort(table.begin(), table.end(), [](const Entry& a, const Entry& b) { return a.c < b.c; });
        return table;
    }();
    auto at = std::lower_bound(sorted.begin(), sorted.end(), c, [](const Entry& e, char32_t v) { return e.c < v; });
    return at != sorted.end() && at->c == c ? at->byte : -1;
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

int DecodeUtf8(const unsigned char* p, size_t n, char32_t& c)
{
    if (n == 0) return 0;
    unsigned char b = p[0];
    if (b < 0x80) {
        c = b;
        return 1;
    }
    int len;
    char32_t v;
    char32_t min;
    if (b >= 0xC2 && b <= 0xDF) {
        len = 2; v = b & 0x1F; min = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
        len = 3; v = b & 0x0F; min = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        len = 4; v = b & 0x07; min = 0x10000;
    } else {
        return -1;
    }
    for (int i = 1; i < len; ++i) {
        if (size_t(i) >= n) {
            // Incomplete so far: tell a truncated valid start from a bad one
            // as early as the bytes allow.
            if (i == 2 || i == 3) {
                char32_t partial = v << (6 * (len - i));
                if (len == 3 && i == 2 && (partial < min || (partial >= 0xD800 && partial <= 0xDFFF)))
                    return -1;
                if (len == 4 && i >= 2 && (partial < min || partial > 0x10FFFF)) return -1;
            }
            return 0;
        }
        if ((p[i] & 0xC0) != 0x80) return -1;
        v = (v << 6) | (p[i] & 0x3F);
    }
    if (v < min || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) return -1;
    c = v;
    return len;
}

std::string Cp866ToUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size() * 2);
    for (unsigned char b : text) AppendUtf8(out, Cp866TextChar(b));
    return out;
}

bool Utf8ToCp866(std::string_view utf8, std::string& out)
{
    out.clear();
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    size_t i = 0;
    while (i < utf8.size()) {
        char32_t c;
        int len = DecodeUtf8(p + i, utf8.size() - i, c);
        if (len <= 0) return false;
        int b = UnicodeToCp866(c);
        if (b < 0) return false;
        out += char(b);
        i += size_t(len);
    }
    return true;
}

}  // namespace lumo
