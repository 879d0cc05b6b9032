// Turns screen cells into the bytes a terminal needs to show them.
//
// The writer remembers what it last told the terminal (cursor position and
// colours), so a flush carries only the cells that differ, reached with the
// cheapest cursor movement, and a colour change only where the colour does
// change. The terminal console writes these bytes; the scripted console keeps
// them for tests, so both flush the same way.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace lumo {

class ScreenWriter {
public:
    // Appends the bytes that turn `shown` into `cells` on the terminal (both
    // `columns` x `rows`). Nothing is appended when they are equal, unless
    // `force`, which repaints every cell.
    // `mapped` and `shownMapped` (may be null): per cell, 1 when it shows a
    // character of the text through the text map (SetTextMap); a cell whose
    // flag changed is written again.
    void EncodeFlush(const uint16_t* cells, const uint16_t* shown, int columns, int rows,
                     bool force, std::string& out, const uint8_t* mapped = nullptr,
                     const uint8_t* shownMapped = nullptr);
    // The characters mapped cells show. A character a terminal would draw
    // two cells wide or not at all is shown as U+FFFD, so that the grid holds.
    void SetTextMap(const std::array<char32_t, 256>& map);
    // Appends a move of the terminal cursor to (column, row), both from 0,
    // unless it is already there.
    void EncodeCursorMove(int column, int row, std::string& out);
    // The terminal's state is not known (start, after a hand-over): the next
    // output positions the cursor and sets both colours in full.
    void Invalidate();

    bool CursorAt(int column, int row) const { return column == col_ && row == row_; }

    // A terminal cursor shape: a steady block for sizes from 50 %, else a
    // steady underline; shown or hidden.
    static std::string CursorShapeSequence(int sizePercent, bool visible);
    // Foreground and background SGR numbers of PC colour `pc` (0-15).
    static int ForegroundCode(int pc);
    static int BackgroundCode(int pc);

private:
    // Moves to (c, r); `cells` (may be null) lets it reprint a short gap of
    // unchanged cells instead of a cursor sequence.
    void MoveTo(int c, int r, const uint16_t* rowCells, const uint8_t* rowMapped, std::string& out);
    struct Glyph {
        char bytes[4];
        uint8_t length;
    };
    const Glyph& GlyphOf(uint16_t cell, const uint8_t* rowMapped, int c) const;
    std::array<Glyph, 256> textGlyphs_{};
    bool textMapped_ = false;  // a text map was set (else mapped cells show CP866)
    void SetAttribute(int attr, std::string& out);

    int columns_ = 0;
    int col_ = -1;  // -1: unknown; col_ == columns_: after the last column (pending wrap)
    int row_ = -1;
    int attr_ = -1;
};

}  // namespace lumo
