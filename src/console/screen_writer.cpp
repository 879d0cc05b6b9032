#include "console/screen_writer.h"

#include <array>
#include <cstring>

#include "console/cp866.h"

namespace lumo {

namespace {

template <typename Glyph>
void SetGlyph(Glyph& g, char32_t c)
{
    std::string s;
    AppendUtf8(s, c);
    std::memcpy(g.bytes, s.data(), s.size());
    g.length = uint8_t(s.size());
}

template <typename Glyph>
const std::array<Glyph, 256>& GlyphTable()
{
    static const std::array<Glyph, 256> table = [] {
        std::array<Glyph, 256> t{};
        for (int b = 0; b < 256; ++b) SetGlyph(t[b], Cp866ToUnicode(uint8_t(b)));
        return t;
    }();
    return table;
}

// Characters a terminal draws two cells wide (East Asian wide, most emoji)
// or not at all (combining marks, zero-width and format characters).
bool NotOneCell(char32_t c)
{
    if (c < 0x300) return c == 0xAD;
    if (c <= 0x36F) return true;
    if (c >= 0x200B && c <= 0x200F) return true;
    if (c >= 0x2028 && c <= 0x202E) return true;
    if (c >= 0x2060 && c <= 0x206F) return true;
    if (c >= 0x20D0 && c <= 0x20FF) return true;
    if (c >= 0x1100 && c <= 0x115F) return true;
    if (c >= 0x2E80 && c <= 0xA4CF && c != 0x303F) return true;
    if (c >= 0xAC00 && c <= 0xD7A3) return true;
    if (c >= 0xF900 && c <= 0xFAFF) return true;
    if (c >= 0xFE00 && c <= 0xFE0F) return true;
    if (c >= 0xFE30 && c <= 0xFE4F) return true;
    if (c >= 0xFF00 && c <= 0xFF60) return true;
    if (c >= 0xFFE0 && c <= 0xFFE6) return true;
    if (c >= 0x1F000 && c <= 0x1FAFF) return true;
    if (c >= 0x20000) return true;
    return false;
}

// PC colour order (black, blue, green, cyan, red, magenta, brown, grey) to
// ANSI order (black, red, green, yellow, blue, magenta, cyan, white).
constexpr int PcToAnsi[8] = {0, 4, 2, 6, 1, 5, 3, 7};

void AppendNumber(std::string& out, int n)
{
    char buf[12];
    int len = 0;
    do {
        buf[len++] = char('0' + n % 10);
        n /= 10;
    } while (n > 0);
    while (len > 0) out += buf[--len];
}

int Digits(int n)
{
    int d = 1;
    while (n >= 10) {
        n /= 10;
        ++d;
    }
    return d;
}

// "ESC [ n X", with n left out when it is 1.
int RelativeCost(int n)
{
    return n == 1 ? 3 : 3 + Digits(n);
}

void AppendRelative(std::string& out, int n, char final)
{
    out += "\x1b[";
    if (n != 1) AppendNumber(out, n);
    out += final;
}

}  // namespace

int ScreenWriter::ForegroundCode(int pc)
{
    return (pc & 8 ? 90 : 30) + PcToAnsi[pc & 7];
}

int ScreenWriter::BackgroundCode(int pc)
{
    return (pc & 8 ? 100 : 40) + PcToAnsi[pc & 7];
}

std::string ScreenWriter::CursorShapeSequence(int sizePercent, bool visible)
{
    std::string s = sizePercent >= 50 ? "\x1b[2 q" : "\x1b[4 q";
    s += visible ? "\x1b[?25h" : "\x1b[?25l";
    return s;
}

void ScreenWriter::Invalidate()
{
    col_ = -1;
    row_ = -1;
    attr_ = -1;
}

void ScreenWriter::SetAttribute(int attr, std::string& out)
{
    if (attr == attr_) return;
    int fg = attr & 0x0F;
    int bg = attr >> 4;
    bool fgChanged = attr_ < 0 || (attr_ & 0x0F) != fg;
    bool bgChanged = attr_ < 0 || (attr_ >> 4) != bg;
    out += "\x1b[";
    if (fgChanged) AppendNumber(out, ForegroundCode(fg));
    if (fgChanged && bgChanged) out += ';';
    if (bgChanged) AppendNumber(out, BackgroundCode(bg));
    out += 'm';
    attr_ = attr;
}

void ScreenWriter::MoveTo(int c, int r, const uint16_t* rowCells, const uint8_t* rowMapped, std::string& out)
{
    if (c == col_ && r == row_) return;
    // Cursor addressing is always possible: ESC [ r ; c H, with parts left out.
    int best = 2 + (r == 0 && c == 0 ? 1 : Digits(r + 1) + (c == 0 ? 1 : 2 + Digits(c + 1)));
    enum { Absolute, Gap, Forward, Back, Up, Down, Return, NewLine } how = Absolute;
    bool known = col_ >= 0 && row_ >= 0;
    bool pending = known && col_ >= columns_;
    if (known && c == 0 && r == row_ && 1 < best) {
        best = 1;
        how = Return;
    }
    if (known && c == 0 && r == row_ + 1 && 2 < best) {
        best = 2;
        how = NewLine;
    }
    if (known && !pending) {
        if (r == row_ && c > col_) {
            int n = c - col_;
            if (RelativeCost(n) < best) {
                best = RelativeCost(n);
                how = Forward;
            }
            if (rowCells) {
                // Reprinting the cells in between is cheaper than a move
                // when they are few and need no colour change.
                int cost = 0;
                for (int i = col_; i < c && cost < best; ++i) {
                    if ((rowCells[i] >> 8) != attr_) {
                        cost = best;
                        break;
                    }
                    cost += GlyphOf(rowCells[i], rowMapped, i).length;
                }
                if (cost < best) {
                    best = cost;
                    how = Gap;
                }
            }
        }
        if (r == row_ && c < col_ && RelativeCost(col_ - c) < best) {
            best = RelativeCost(col_ - c);
            how = Back;
        }
        if (c == col_ && r < row_ && RelativeCost(row_ - r) < best) {
            best = RelativeCost(row_ - r);
            how = Up;
        }
        if (c == col_ && r > row_ && RelativeCost(r - row_) < best) {
            best = RelativeCost(r - row_);
            how = Down;
        }
    }
    switch (how) {
    case Absolute:
        out += "\x1b[";
        if (r != 0 || c != 0) AppendNumber(out, r + 1);
        if (c != 0) {
            out += ';';
            AppendNumber(out, c + 1);
        }
        out += 'H';
        break;
    case Gap:
        for (int i = col_; i < c; ++i) {
            const Glyph& g = GlyphOf(rowCells[i], rowMapped, i);
            out.append(g.bytes, g.length);
        }
        break;
    case Forward: AppendRelative(out, c - col_, 'C'); break;
    case Back: AppendRelative(out, col_ - c, 'D'); break;
    case Up: AppendRelative(out, row_ - r, 'A'); break;
    case Down: AppendRelative(out, r - row_, 'B'); break;
    case Return: out += '\r'; break;
    case NewLine: out += "\r\n"; break;
    }
    col_ = c;
    row_ = r;
}

void ScreenWriter::SetTextMap(const std::array<char32_t, 256>& map)
{
    for (int b = 0; b < 256; ++b) {
        char32_t c = b < 0x80 ? Cp866ToUnicode(uint8_t(b)) : map[b];
        SetGlyph(textGlyphs_[b], NotOneCell(c) ? char32_t(0xFFFD) : c);
    }
    textMapped_ = true;
}

const ScreenWriter::Glyph& ScreenWriter::GlyphOf(uint16_t cell, const uint8_t* rowMapped, int c) const
{
    if (rowMapped && rowMapped[c] && textMapped_) return textGlyphs_[cell & 0xFF];
    return GlyphTable<Glyph>()[cell & 0xFF];
}

void ScreenWriter::EncodeFlush(const uint16_t* cells, const uint16_t* shown, int columns,
                               int rows, bool force, std::string& out, const uint8_t* mapped,
                               const uint8_t* shownMapped)
{
    if (columns != columns_) {
        columns_ = columns;
        Invalidate();
    }
    if (!shownMapped) mapped = nullptr;
    for (int r = 0; r < rows; ++r) {
        const uint16_t* row = cells + size_t(r) * columns;
        const uint16_t* old = shown + size_t(r) * columns;
        const uint8_t* rowMapped = mapped ? mapped + size_t(r) * columns : nullptr;
        const uint8_t* oldMapped = mapped ? shownMapped + size_t(r) * columns : nullptr;
        if (!force && std::memcmp(row, old, sizeof(uint16_t) * columns) == 0 &&
            (!rowMapped || std::memcmp(rowMapped, oldMapped, columns) == 0))
            continue;
        for (int c = 0; c < columns; ++c) {
            if (!force && row[c] == old[c] && (!rowMapped || rowMapped[c] == oldMapped[c])) continue;
            MoveTo(c, r, row, rowMapped, out);
            SetAttribute(row[c] >> 8, out);
            const Glyph& g = GlyphOf(row[c], rowMapped, c);
            out.append(g.bytes, g.length);
            ++col_;  // == columns_ after the last column: the wrap is pending
        }
    }
}

void ScreenWriter::EncodeCursorMove(int column, int row, std::string& out)
{
    MoveTo(column, row, nullptr, nullptr, out);
}

}  // namespace lumo
