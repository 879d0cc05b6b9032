// Drawing one text line into its screen row: the trailing line colour, the
// colour marks inside the text and their runs, comments, control-byte glyphs,
// the block highlights, bookmarks and the cursor cross.
#include <algorithm>
#include <array>

#include "editor/charmap.h"
#include "editor/keptparts.h"
#include "editor/linestore.h"
#include "ui/render.h"

namespace lumo {

namespace {

constexpr uint8_t NormalAttr = 0x07;
constexpr uint8_t BlockAttr = 0x70;
constexpr uint8_t NulLineAttr = 0x1E;
// The last cell of a line that went on beyond 255 characters in its file:
// yellow on magenta while its end is kept, white on red once the line has
// changed and lost it. No other part of the screen uses these.
constexpr uint8_t GoesOnAttr = 0x5E;
constexpr uint8_t CutChangedAttr = 0x4F;

struct Glyph {
    uint8_t character;
    uint8_t attribute;
};

constexpr std::array<Glyph, 32> MakeGlyphs()
{
    std::array<Glyph, 32> g{};
    for (int b = 0; b < 32; ++b) g[b] = {uint8_t(b), uint8_t(b)};
    g[0] = {0xDB, 0x0A};
    g[1] = {0x02, 0x09};
    g[2] = {0x02, 0x02};
    g[7] = {0xDB, 0x09};
    g[8] = {0x2A, 0x0B};
    g[16] = {0x10, 0x0C};
    for (int b : {17, 18, 19, 20, 21, 22, 25, 26, 27, 28, 29, 30})
        g[b] = {uint8_t(b), uint8_t(0x07 + 0x0F * (b % 8))};
    g[23] = {0x17, 0x0D};
    g[24] = {0x18, 0x0E};
    g[31] = {0x1F, 0x0D};
    return g;
}

constexpr std::array<Glyph, 32> Glyphs = MakeGlyphs();

// Blue on black is unreadable on most screens; colour marks show it as light
// magenta instead.
uint8_t Readable(int colour) { return colour == 1 ? 13 : uint8_t(colour); }

uint8_t Byte(const std::string& t, int p) { return static_cast<uint8_t>(CharAt(t, p)); }

// Strips the trailing line-colour codes (colour bytes, then TAB) and highlight
// NULs from the end of t and returns the line's colour. The text is cut after
// its last real character unless nothing but codes, NULs and blanks is left.
uint8_t TakeTrailingColour(std::string& t)
{
    uint8_t colour = NormalAttr;
    int i = static_cast<int>(t.size());
    while (i >= 1) {
        uint8_t c = Byte(t, i);
        if (c == ' ') {
            --i;
        } else if (c == 0) {
            colour = NulLineAttr;
            --i;
        } else if (c == '\t' && i >= 2 && Byte(t, i - 1) < 16) {
            int v = Byte(t, i - 1);
            t[i - 1] = t[i - 2] = ' ';
            i -= 2;
            if (i >= 1 && Byte(t, i) < 16) {
                v = (v + 16 * Byte(t, i)) & 0xFF;
                t[i - 1] = ' ';
                --i;
            }
            colour = Readable(v);
        } else {
            t.resize(i);
            break;
        }
    }
    return colour;
}

enum class RunEnd { Edge, TextEnd, Word, Brace };

// One row being drawn. Text column k is screen cell k - h.
struct RowPainter {
    Editor& ed;
    const std::string& t;
    int h;
    int width;
    uint16_t* cells;
    uint8_t lineColour;
    uint8_t base;
    int textEnd = -1;  // TrimmedLength(t), computed when a marker-1 run needs it

    bool Visible(int k) const { return k - h >= 1 && k - h <= width; }
    uint16_t& CellAt(int k) { return cells[k - h - 1]; }
    uint8_t AttrAt(int k) { return CellAt(k) >> 8; }
    void Set(int k, uint8_t ch, uint8_t attr) { CellAt(k) = uint16_t(attr << 8 | ch); }
    void SetAttr(int k, uint8_t attr) { CellAt(k) = uint16_t(attr << 8 | (CellAt(k) & 0xFF)); }

    // Colours the run that starts at text column `from`. Only cells still in
    // the line colour (or attribute 0) take it, so runs coloured earlier (the
    // ones further right), glyphs and the block highlight keep theirs.
    void ColourRun(int from, RunEnd end, uint8_t colour)
    {
        int last = h + width;
        if (end == RunEnd::TextEnd) {
            if (textEnd < 0) textEnd = TrimmedLength(t);
            last = std::min(last, textEnd);
        }
        for (int k = std::max(from, 1); k <= last; ++k) {
            if (end == RunEnd::Word && CharAt(t, k) == ' ') break;
            if (Visible(k)) {
                uint8_t a = AttrAt(k);
                if (a == lineColour || a == 0) SetAttr(k, colour);
            }
            if (end == RunEnd::Brace && k > from && CharAt(t, k) == '}') break;
        }
    }

    // A colour mark at text column i: marker byte (0, 1, 2 or 31), f and
    // perhaps b. Its bytes become invisible and its run takes the colour.
    // False when the bytes there do not form a mark.
    bool TryMarker(int i, bool leftOfWindow)
    {
        uint8_t c = Byte(t, i);
        if (c != 0 && c != 1 && c != 2 && c != 31) return false;
        uint8_t f = Byte(t, i + 1);
        if (f >= 32) return false;
        if (i > 1) {
            uint8_t before = Byte(t, i - 1);
            if (before < 3 || before == 31) return false;  // that is a mark's own byte
        }
        uint8_t b = Byte(t, i + 2);
        int colour;
        int runStart;
        if (b < 32) {
            if (f == 0 && b == 0) return false;
            colour = (f + 16 * b) & 0xFF;
            runStart = i + 3;
        } else {
            if (f == 0) return false;
            colour = f;
            runStart = i + 2;
        }
        for (int k = i; k < runStart; ++k)
            if (Visible(k)) Set(k, 0, base);
        // A word run coming in from the left keeps a colour of 1 as it is.
        if (!(c == 2 && leftOfWindow)) colour = Readable(colour);
        RunEnd end = c == 1 ? RunEnd::TextEnd : c == 2 ? RunEnd::Word : RunEnd::Edge;
        ColourRun(runStart, end, uint8_t(colour));
        return true;
    }

    void TryComment(int i)
    {
        char c = CharAt(t, i);
        if (ed.PascalMode && c == '{') ColourRun(i, RunEnd::Brace, ed.CommentColour);
        if (c == '/' && CharAt(t, i + 1) == '/') ColourRun(i, RunEnd::Edge, ed.CommentColour);
    }
};

// DrawLine without the flush, so that a whole window flushes once.
void PaintLine(Editor& ed, int h, int n, int r)
{
    Console& con = ed.con;
    const int width = con.ScreenColumns;
    if (!ScreenHasRow(con, r) || width < 1) return;
    h = std::clamp(h, 0, MaxText);

    std::string t = n >= 0 && n <= ed.LineCount ? GetLine(ed, n) : ed.BlankFiller;
    uint8_t lineColour = n >= 1 ? TakeTrailingColour(t) : NormalAttr;
    uint8_t base = lineColour;
    if (n >= 1 && ed.LineBlockFirst > 0 && ed.LineBlockFirst <= n && n <= ed.LineBlockLast)
        base = BlockAttr;

    uint16_t* cells = &con.ScreenCells[size_t(r - 1) * width];
    std::fill(cells, cells + width, uint16_t(base << 8 | ' '));
    // The text's own characters show through its character map; glyphs of
    // control bytes, marks and the status row keep their CP866 look.
    uint8_t* mapped = con.MappedRow(r);
    if (mapped) std::fill(mapped, mapped + width, uint8_t{0});
    if (n < 1) mapped = nullptr;
    RowPainter p{ed, t, h, width, cells, lineColour, base};

    // Right to left, so that a run starting further left is coloured after
    // (and so under) the runs right of it. Marks left of the window still
    // colour what their runs reach inside it.
    int len = static_cast<int>(t.size());
    int first = std::min(len, h + width);
    int stop = n >= 1 ? 1 : h + 1;
    for (int i = first; i >= stop; --i) {
        uint8_t c = Byte(t, i);
        bool visible = i > h;
        if (c >= 32) {
            if (visible) {
                p.Set(i, c, base);
                if (mapped && c >= 0x80) mapped[i - h - 1] = 1;
            }
            if (n >= 1) p.TryComment(i);
        } else {
            if (visible) p.Set(i, Glyphs[c].character, Glyphs[c].attribute);
            p.TryMarker(i, !visible);
        }
    }
    if (n < 1) return;

    static constexpr uint8_t BookmarkAttr[4] = {0, 0x1F, 0x2F, 0x3F};
    for (int k = 3; k >= 1; --k) {
        if (ed.LineBookmarks[k] != n) continue;
        for (int j = 0; j < width; ++j)
            if ((cells[j] >> 8) == NormalAttr) cells[j] = uint16_t(BookmarkAttr[k] << 8 | (cells[j] & 0xFF));
    }

    if (ed.BoxFirstLine > 0 && ed.BoxFirstLine <= n && n <= ed.BoxLastLine) {
        int from = std::max(ed.BoxFirstColumn - h, 1);
        int to = std::min(ed.BoxLastColumn - h, width);
        for (int j = from; j <= to; ++j) cells[j - 1] = uint16_t(BlockAttr << 8 | (cells[j - 1] & 0xFF));
    }

    if (ed.ColumnMarker) {
        auto orAttr = [&](int j, uint8_t bits) { cells[j - 1] |= uint16_t(bits << 8); };
        int cursor = ed.CurrentColumn - h;
        bool inRow = cursor >= 1 && cursor <= width;
        if (inRow && (cells[cursor - 1] >> 8) < 0x10) orAttr(cursor, 0x10);
        if (n == ed.CurrentLine) {
            for (int j = 1; j <= width; ++j)
                if ((cells[j - 1] >> 8) < 0x10) orAttr(j, 0x10);
            if (inRow) orAttr(cursor, 0x80);
        }
    }

    if (n <= ed.LineCount && ed.LineTable[n].cut()) {
        int j = MaxText - h;
        if (j >= 1 && j <= width)
            cells[j - 1] = uint16_t((LineGoesOn(ed, n) ? GoesOnAttr : CutChangedAttr) << 8 | (cells[j - 1] & 0xFF));
    }
}

}  // namespace

void DrawLine(Editor& ed, int horizontalScroll, int line, int row)
{
    SyncCharMap(ed);
    PaintLine(ed, horizontalScroll, line, row);
    if (line != 0) ed.con.FlushScreen(false);
}

void DrawTextWindow(Editor& ed)
{
    Console& con = ed.con;
    if (!ScreenHasRow(con, con.ScreenRows)) return;
    SyncCharMap(ed);
    for (int r = 3; r <= con.ScreenRows; ++r) {
        int n = ed.TopLine + r - 3;
        if (n >= 1 && n <= ed.LineCount) {
            PaintLine(ed, ed.HorizontalScroll, n, r);
        } else {
            for (int c = 1; c <= con.ScreenColumns; ++c) con.Cell(c, r) = BlankCell;
        }
    }
    con.FlushScreen(false);
}

}  // namespace lumo
