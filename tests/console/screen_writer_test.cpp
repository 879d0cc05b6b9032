#include "console/screen_writer.h"

#include <gtest/gtest.h>

#include <random>

#include "console/cp866.h"
#include "console/scripted_console.h"
#include "app/unboundkeys.h"

namespace lumo {
namespace {

// A small terminal: enough of a VT to replay what the writer sends (cursor
// moves, colours, UTF-8 text, the pending wrap at the right margin) and show
// what the screen then holds, as cells.
class MiniTerminal {
public:
    MiniTerminal(int columns, int rows) : columns_(columns), rows_(rows), cells_(size_t(columns) * rows, 0x0720) {}

    void Feed(const std::string& bytes)
    {
        size_t i = 0;
        while (i < bytes.size()) {
            unsigned char b = bytes[i];
            if (b == 0x1b) {
                ASSERT_LT(i + 1, bytes.size());
                ASSERT_EQ(bytes[i + 1], '[');
                size_t j = i + 2;
                std::string params;
                while (j < bytes.size() && ((bytes[j] >= '0' && bytes[j] <= '9') || bytes[j] == ';' || bytes[j] == '?' || bytes[j] == ' '))
                    params += bytes[j++];
                ASSERT_LT(j, bytes.size());
                Csi(params, bytes[j]);
                i = j + 1;
            } else if (b == '\r') {
                col_ = 0;
                ++i;
            } else if (b == '\n') {
                ASSERT_LT(row_, rows_ - 1) << "a line feed would scroll";
                ++row_;
                ++i;
            } else {
                char32_t c;
                int n = DecodeUtf8(reinterpret_cast<const unsigned char*>(bytes.data()) + i, bytes.size() - i, c);
                ASSERT_GT(n, 0);
                Put(c);
                i += size_t(n);
            }
        }
    }

    uint16_t Cell(int c, int r) const { return cells_[size_t(r) * columns_ + c]; }
    int cursorColumn() const { return col_; }
    int cursorRow() const { return row_; }

private:
    void Put(char32_t c)
    {
        if (col_ >= columns_) {  // pending wrap
            col_ = 0;
            ASSERT_LT(row_, rows_ - 1) << "a wrap would scroll";
            ++row_;
        }
        int byte = -1;
        for (int b = 0; b < 256; ++b)
            if (Cp866ToUnicode(uint8_t(b)) == c && (b != 0 || c != U' ')) { byte = b; break; }
        ASSERT_GE(byte, 0);
        ASSERT_GE(attr_, 0) << "text written before any colour was set";
        cells_[size_t(row_) * columns_ + col_] = uint16_t(byte | (attr_ << 8));
        ++col_;
    }

    void Csi(const std::string& params, char final)
    {
        std::vector<int> p;
        int v = -1;
        for (char ch : params) {
            if (ch >= '0' && ch <= '9') v = (v < 0 ? 0 : v * 10) + (ch - '0');
            else if (ch == ';') { p.push_back(v); v = -1; }
        }
        p.push_back(v);
        auto arg = [&](size_t k, int def) { return k < p.size() && p[k] > 0 ? p[k] : def; };
        int lastCol = col_ >= columns_ ? columns_ - 1 : col_;
        switch (final) {
        case 'H': row_ = arg(0, 1) - 1; col_ = arg(1, 1) - 1; break;
        case 'A': row_ -= arg(0, 1); col_ = lastCol; break;
        case 'B': row_ += arg(0, 1); col_ = lastCol; break;
        case 'C': ASSERT_LT(col_, columns_) << "relative move from the pending wrap"; col_ += arg(0, 1); break;
        case 'D': ASSERT_LT(col_, columns_) << "relative move from the pending wrap"; col_ -= arg(0, 1); break;
        case 'J': for (auto& c : cells_) c = uint16_t(0x20 | (attr_ << 8)); break;
        case 'm':
            for (int x : p) {
                if (x <= 0) attr_ = 0x07;
                else if (x >= 30 && x <= 37) attr_ = (attr_ & 0xF0) | AnsiToPc(x - 30);
                else if (x >= 90 && x <= 97) attr_ = (attr_ & 0xF0) | (AnsiToPc(x - 90) + 8);
                else if (x >= 40 && x <= 47) attr_ = (attr_ & 0x0F) | (AnsiToPc(x - 40) << 4);
                else if (x >= 100 && x <= 107) attr_ = (attr_ & 0x0F) | ((AnsiToPc(x - 100) + 8) << 4);
                else FAIL() << "unexpected SGR " << x;
            }
            break;
        case 'q': case 'h': case 'l': break;
        default: FAIL() << "unexpected sequence " << params << final;
        }
        ASSERT_TRUE(row_ >= 0 && row_ < rows_ && col_ >= 0 && col_ < columns_);
    }

    static int AnsiToPc(int a)
    {
        static const int map[8] = {0, 4, 2, 6, 1, 5, 3, 7};
        return map[a];
    }

    int columns_, rows_;
    std::vector<uint16_t> cells_;
    int col_ = 0, row_ = 0;
    int attr_ = -1;
};

TEST(ScreenFlush, FlushAfterFlushWritesNothing)
{
    ScriptedConsole con;
    con.OpenScreen();
    con.Cell(5, 5) = 0x0741;
    con.FlushScreen(false);
    EXPECT_FALSE(con.lastFlushBytes.empty());
    int flushes = con.flushCount;
    con.FlushScreen(false);
    EXPECT_TRUE(con.lastFlushBytes.empty());
    EXPECT_EQ(con.flushCount, flushes);
}

TEST(ScreenFlush, OneChangedCellIsAFewBytes)
{
    ScriptedConsole con;
    con.OpenScreen();
    con.FlushScreen(true);
    con.Cell(40, 12) = 0x0741;
    con.FlushScreen(false);
    EXPECT_LE(con.lastFlushBytes.size(), 16u) << testing::PrintToString(con.lastFlushBytes);
    EXPECT_EQ(con.lastFlushBytes, "\x1b[12;40HA");
    // The next cell to the right needs no cursor move at all.
    con.Cell(41, 12) = 0x0742;
    con.FlushScreen(false);
    EXPECT_EQ(con.lastFlushBytes, "B");
}

TEST(ScreenFlush, ForcedFlushRepaintsEverything)
{
    ScriptedConsole con;
    con.OpenScreen();
    con.FlushScreen(true);
    std::string first = con.lastFlushBytes;
    EXPECT_GE(first.size(), 2000u);
    EXPECT_LE(first.size(), 2300u);
    con.FlushScreen(true);
    EXPECT_GE(con.lastFlushBytes.size(), 2000u);
    MiniTerminal t(80, 25);
    t.Feed(first);
    t.Feed(con.lastFlushBytes);
    for (int r = 0; r < 25; ++r)
        for (int c = 0; c < 80; ++c) ASSERT_EQ(t.Cell(c, r), 0x0720);
}

TEST(ScreenFlush, ClearScreenLeavesBlankCells)
{
    ScriptedConsole con;
    con.OpenScreen();
    for (auto& cell : con.ScreenCells) cell = 0x1F41;
    con.FlushScreen(false);
    con.ClearScreen();
    for (uint16_t cell : con.ScreenCells) ASSERT_EQ(cell, BlankCell);
    EXPECT_EQ(con.ScreenCells, con.ShadowCells);
    con.FlushScreen(false);
    EXPECT_TRUE(con.lastFlushBytes.empty());
}

TEST(ScreenFlush, ColoursAndCharacters)
{
    ScriptedConsole con;
    con.OpenScreen();
    con.FlushScreen(true);
    con.Cell(1, 1) = 0x1E80;  // yellow on blue, Cyrillic А
    con.FlushScreen(false);
    EXPECT_EQ(con.lastFlushBytes, "\x1b[H\x1b[93;44m\xd0\x90");
    con.Cell(1, 1) = 0x9F01;  // white on light blue: bright background, never blink
    con.FlushScreen(false);
    EXPECT_EQ(con.lastFlushBytes, "\r\x1b[97;104m\xe2\x98\xba");
    con.Cell(1, 1) = 0x4700;  // grey on red, byte 0 shows blank
    con.FlushScreen(false);
    EXPECT_EQ(con.lastFlushBytes, "\r\x1b[37;41m ");
}

TEST(ScreenFlush, CursorFollowsWhenTheEditorWaits)
{
    ScriptedConsole con;
    con.OpenScreen();
    con.FlushScreen(true);
    con.PlaceCursor(9, 4);
    EXPECT_EQ(con.SyncCursor(), "\x1b[5;10H");
    EXPECT_EQ(con.SyncCursor(), "");
    // Typing at the cursor: the letter, and the cursor is already after it.
    con.Cell(10, 5) = 0x0778;
    con.FlushScreen(false);
    EXPECT_EQ(con.lastFlushBytes, "x");
    con.PlaceCursor(10, 4);
    EXPECT_EQ(con.SyncCursor(), "");
    con.PlaceCursor(7, 4);
    EXPECT_EQ(con.SyncCursor(), "\x1b[3D");
}

TEST(ScreenFlush, RandomChangesReplayExactly)
{
    std::mt19937 rng(7);
    for (int columns : {80, 100, 132}) {
        const int rows = 30;
        ScriptedConsole con(columns, rows);
        con.OpenScreen();
        MiniTerminal t(columns, rows);
        con.FlushScreen(true);
        t.Feed(con.lastFlushBytes);
        for (int round = 0; round < 200; ++round) {
            int changes = int(rng() % 40);
            bool sameAttr = rng() % 2;
            for (int i = 0; i < changes; ++i) {
                int c = 1 + int(rng() % columns), r = 1 + int(rng() % rows);
                uint16_t attr = sameAttr ? 0x07 : uint16_t(rng() % 256);
                con.Cell(c, r) = uint16_t((rng() % 256) | (attr << 8));
            }
            if (rng() % 10 == 0) {  // a run to the right margin, then the next row
                int r = 1 + int(rng() % (rows - 1));
                for (int c = columns - 5; c <= columns; ++c) con.Cell(c, r) = 0x0741;
                con.Cell(1, r + 1) = 0x0742;
            }
            bool force = rng() % 25 == 0;
            con.FlushScreen(force);
            t.Feed(con.lastFlushBytes);
            con.PlaceCursor(int(rng() % columns), int(rng() % rows));
            t.Feed(con.SyncCursor());
            ASSERT_EQ(t.cursorColumn(), con.cursorColumn);
            ASSERT_EQ(t.cursorRow(), con.cursorRow);
            for (int r = 0; r < rows; ++r)
                for (int c = 0; c < columns; ++c) {
                    uint16_t want = con.ScreenCells[size_t(r) * columns + c];
                    if ((want & 0xFF) == 0) want |= 0x20;  // byte 0 shows as a blank
                    ASSERT_EQ(t.Cell(c, r), want)
                        << "round " << round << " at " << c << "," << r;
                }
        }
    }
}

}  // namespace
}  // namespace lumo
