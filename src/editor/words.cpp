// Word boundaries: the classes of bytes and the word-start and word-end
// steps that the word moves, word deletion, blocks and formatting share.
#include <algorithm>
#include <cstring>

#include "editor/words.h"

#include "editor/linestore.h"

namespace lumo {

namespace {

bool IsBlank(char c) { return c == ' '; }
bool IsControl(char c) { return static_cast<unsigned char>(c) < 0x20; }
bool IsWordChar(char c)
{
    auto b = static_cast<unsigned char>(c);
    return b > 0x20 && !IsDelimiter(b);
}
bool IsDelim(char c) { return IsDelimiter(static_cast<unsigned char>(c)); }

}  // namespace

bool IsDelimiter(uint8_t c)
{
    static constexpr char delimiters[] = ".,:;?!/\\()-*+=<>{}[]_\"'";
    return c != 0 && std::memchr(delimiters, c, sizeof delimiters - 1) != nullptr;
}

int WordStart(const std::string& s, int p)
{
    // Positions past the text read as blanks (CharAt), which is what padding
    // the copy to 254 characters would give.
    auto at = [&s](int i) { return CharAt(s, i); };
    p = std::min(p, 256);
    if (p > 0 && IsDelim(at(p)))
        while (p > 0 && IsDelim(at(p))) --p;
    while (p > 0 && IsWordChar(at(p))) --p;
    while (p > 0 && IsControl(at(p))) --p;
    if (p > 0 && !IsDelim(at(p))) {
        --p;
        while (p > 0 && IsBlank(at(p))) --p;
    }
    while (p > 0 && IsDelim(at(p))) --p;
    while (p > 0 && IsWordChar(at(p))) --p;
    while (p > 0 && IsControl(at(p))) --p;
    return std::max(p, 0) + 1;
}

int WordEnd(const std::string& s, int p, int mode)
{
    const int e = TrimmedLength(s);
    auto at = [&s](int i) { return CharAt(s, i); };
    p = std::max(p, 1);
    if (p <= e && IsDelim(at(p)) && IsBlank(at(p + 1))) ++p;
    if (mode == 1)
        while (p <= e && IsBlank(at(p))) ++p;
    while (p <= e && IsControl(at(p))) ++p;
    while (p <= e && IsWordChar(at(p))) ++p;
    if (mode == 0 || mode == 2) {
        while (p <= e && IsDelim(at(p))) ++p;
        if (mode == 0)
            while (p <= e && IsBlank(at(p))) ++p;
    }
    return p;
}

std::string WordAtCursor(Editor& ed, int mode)
{
    std::string s = GetLine(ed, ed.CurrentLine);
    const int size = static_cast<int>(s.size());
    const int column = std::clamp(ed.CurrentColumn, 1, 256);
    int p = std::min(column, size);
    if (p < 1) return {};
    if (mode == 1 && IsControl(s[p - 1])) s[p - 1] = ' ';
    if (IsBlank(CharAt(s, p)) && (p == 1 || IsBlank(CharAt(s, p - 1)))) return {};
    if (p > 1 && IsDelim(CharAt(s, p)) && IsBlank(CharAt(s, p - 1))) ++p;

    int e = WordEnd(s, p, 2);
    int q = WordStart(s, e);
    if (column < q) q = column;
    while (q <= size && IsDelim(CharAt(s, q))) ++q;
    if (mode == 1) {
        e = column;
    } else if (mode == 2) {
        if (IsBlank(CharAt(s, e))) ++e;
    } else {
        while (e > q && !IsBlank(CharAt(s, e)) && IsDelim(CharAt(s, e - 1))) --e;
        while (q <= size && IsControl(CharAt(s, q))) ++q;
    }
    e = std::min(e, size + 1);
    if (e - 1 < q) return {};
    return s.substr(q - 1, e - q);
}

}  // namespace lumo
