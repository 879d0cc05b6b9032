#include <random>

#include "ui/render_fixture.h"

namespace lumo {
namespace {

using DrawLineTest = ScreenTest;

TEST_F(DrawLineTest, TrailingColourCodeColoursTheWholeRowAndHidesItself)
{
    AddLines({"abc" + B({0x01, 0x0E, '\t'}), "abc" + B({0x01, '\t'}), "abc" + B({0x0C, '\t'}) + "   "});
    DrawLine(ed, 0, 1, 3);
    EXPECT_EQ(con.Row(3), "abc" + std::string(77, ' '));
    EXPECT_TRUE(AllAttr(3, 1, 80, 0x1E));
    // Colour 1 alone is shown as 13.
    DrawLine(ed, 0, 2, 4);
    EXPECT_TRUE(AllAttr(4, 1, 80, 0x0D));
    EXPECT_EQ(con.Row(4).substr(0, 5), "abc  ");
    DrawLine(ed, 0, 3, 5);
    EXPECT_TRUE(AllAttr(5, 1, 80, 0x0C));
}

TEST_F(DrawLineTest, NulAtTheEndHighlightsTheLine)
{
    AddLines({"abc" + B({0}), "   " + B({0}), "abc" + B({'\t'})});
    DrawLine(ed, 0, 1, 3);
    EXPECT_EQ(C(4, 3), ' ');
    EXPECT_TRUE(AllAttr(3, 1, 80, 0x1E));
    // Nothing but blanks before it: the NUL stays visible as a block.
    DrawLine(ed, 0, 2, 4);
    EXPECT_EQ(C(4, 4), 0xDB);
    EXPECT_EQ(A(4, 4), 0x0A);
    EXPECT_EQ(A(1, 4), 0x1E);
    // A TAB that is not a code stays text and shows as its glyph.
    DrawLine(ed, 0, 3, 5);
    EXPECT_EQ(C(4, 5), 0x09);
    EXPECT_EQ(A(4, 5), 0x09);
    EXPECT_EQ(A(5, 5), 0x07);
}

TEST_F(DrawLineTest, GlyphsOfControlBytes)
{
    struct Case { int byte, glyph, attr; };
    const Case cases[] = {{0, 0xDB, 0x0A},  {1, 0x02, 0x09},  {2, 0x02, 0x02},  {3, 3, 3},
                          {7, 0xDB, 0x09},  {8, 0x2A, 0x0B},  {9, 9, 9},        {15, 15, 15},
                          {16, 0x10, 0x0C}, {17, 17, 0x16},   {22, 22, 0x61},   {23, 0x17, 0x0D},
                          {24, 0x18, 0x0E}, {25, 25, 0x16},   {30, 30, 0x61},   {31, 0x1F, 0x0D}};
    std::string line;
    for (const Case& c : cases) line += "x" + B({c.byte});
    AddLines({line + "x"});
    DrawLine(ed, 0, 1, 3);
    int column = 2;
    for (const Case& c : cases) {
        EXPECT_EQ(C(column, 3), c.glyph) << "byte " << c.byte;
        EXPECT_EQ(A(column, 3), c.attr) << "byte " << c.byte;
        EXPECT_EQ(A(column - 1, 3), 0x07);
        column += 2;
    }
}

TEST_F(DrawLineTest, MarkerRunsEndByTheirKind)
{
    AddLines({
        "ab" + B({0, 0x0E, 0x01}) + "cd ef",   // to the right edge, f + 16 b
        "x" + B({1, 0x0C}) + "word more",      // to the end of the text
        "x" + B({2, 0x0A}) + "word more",      // one word
        "x" + B({31, 0x0B}) + "w",             // like marker 0
        "x" + B({2, 0x01}) + "word",           // colour 1 shows as 13
    });
    DrawLine(ed, 0, 1, 3);
    // The mark's cells are invisible (character 0) in the line's attribute.
    EXPECT_EQ(C(3, 3), 0);
    EXPECT_EQ(C(5, 3), 0);
    EXPECT_TRUE(AllAttr(3, 3, 5, 0x07));
    EXPECT_EQ(con.Row(3).substr(5, 5), "cd ef");
    EXPECT_TRUE(AllAttr(3, 6, 80, 0x1E));

    DrawLine(ed, 0, 2, 4);
    EXPECT_EQ(C(4, 4), 'w');
    EXPECT_TRUE(AllAttr(4, 4, 12, 0x0C));
    EXPECT_TRUE(AllAttr(4, 13, 80, 0x07));

    DrawLine(ed, 0, 3, 5);
    EXPECT_TRUE(AllAttr(5, 4, 7, 0x0A));
    EXPECT_TRUE(AllAttr(5, 8, 80, 0x07));

    DrawLine(ed, 0, 4, 6);
    EXPECT_TRUE(AllAttr(6, 4, 80, 0x0B));

    DrawLine(ed, 0, 5, 7);
    EXPECT_TRUE(AllAttr(7, 4, 7, 0x0D));
}

TEST_F(DrawLineTest, RunsFurtherRightKeepTheirColourAndMarkBytesAreNotMarks)
{
    AddLines({"x" + B({0, 0x0C}) + "aa" + B({2, 0x0A}) + "bb cc",
              // 0x02 right after a marker is its colour byte, not a second marker.
              "x" + B({1, 0x02, 0x0A}) + "yy",
              // f and b both 0: no mark, both shown as glyphs.
              "x" + B({0, 0, 0}) + "z"});
    DrawLine(ed, 0, 1, 3);
    // The inner mark's own cells (character 0) lie in the outer run.
    EXPECT_EQ(Attrs(3, 4, 12), (std::vector<int>{0x0C, 0x0C, 0x0C, 0x0C, 0x0A, 0x0A, 0x0C, 0x0C, 0x0C}));
    EXPECT_EQ(C(6, 3), 0);
    DrawLine(ed, 0, 2, 4);
    EXPECT_EQ(C(3, 4), 0);
    EXPECT_TRUE(AllAttr(4, 5, 6, 0xA2));
    DrawLine(ed, 0, 3, 5);
    EXPECT_EQ(C(2, 5), 0xDB);
    EXPECT_EQ(C(4, 5), 0xDB);
    EXPECT_EQ(A(5, 5), 0x07);
}

TEST_F(DrawLineTest, MarksLeftOfTheWindowColourWhatTheyReach)
{
    std::string word = "x" + B({2, 0x0A}) + "abcdefgh xyz";   // word run into the window
    std::string gap = "x" + B({2, 0x0A}) + "ab cdefgh";        // word ends before the window
    std::string two = B({0, 0x0C}) + "aa" + B({2, 0x0A}) + std::string(10, 'b') + " cc";
    std::string half = "abcd" + B({0, 0x0E}) + "123456";       // f on the first visible cell
    AddLines({word, gap, two, half});

    DrawLine(ed, 5, 1, 3);
    EXPECT_EQ(con.Row(3).substr(0, 6), "cdefgh");
    EXPECT_TRUE(AllAttr(3, 1, 6, 0x0A));
    EXPECT_TRUE(AllAttr(3, 7, 80, 0x07));

    DrawLine(ed, 6, 2, 4);
    EXPECT_TRUE(AllAttr(4, 1, 80, 0x07));

    // Both marks are hidden: the nearer colours its word, the farther the rest.
    DrawLine(ed, 8, 3, 5);
    EXPECT_TRUE(AllAttr(5, 1, 8, 0x0A));
    EXPECT_TRUE(AllAttr(5, 9, 80, 0x0C));

    DrawLine(ed, 5, 4, 6);
    EXPECT_EQ(C(1, 6), 0);
    EXPECT_EQ(A(1, 6), 0x07);
    EXPECT_EQ(C(2, 6), '1');
    EXPECT_TRUE(AllAttr(6, 2, 80, 0x0E));
}

TEST_F(DrawLineTest, ScrolledRowIsTheUnscrolledRowShifted)
{
    // Wherever the marks are, a scrolled row shows what the unscrolled row
    // shows at the same text columns.
    ed.PascalMode = true;
    std::string line = "q" + B({0, 0x0C}) + "aa { c1 } dd" + B({2, 0x0A}) + "wordword" +
                       " {open" + B({1, 0x0B, 0x01}) + "mm nn // tail" + std::string(40, 'z');
    AddLines({line});
    ScriptedConsole wide(132, 5);
    wide.OpenScreen();
    Editor ref(wide);
    ref.ColumnMarker = false;
    ref.PascalMode = true;
    ASSERT_TRUE(AppendLoadedLine(ref, line));
    DrawLine(ref, 0, 1, 3);
    int text = TrimmedLength(line);
    for (int h = 1; h < text; ++h) {
        DrawLine(ed, h, 1, 3);
        for (int j = 1; j <= 80 && h + j <= text; ++j) {
            // Cells of a mark that starts left of the window are not compared.
            if (wide.Char(h + j, 3) == 0) continue;
            ASSERT_EQ(con.ScreenCells[2 * 80 + j - 1], wide.ScreenCells[2 * 132 + h + j - 1])
                << "h " << h << " cell " << j;
        }
    }
}

TEST_F(DrawLineTest, CommentsInCommentColour)
{
    AddLines({"a = 1; // note", "{ a } b", "x { open", "{ a } bbbbbb", "abc /", "/ x"});
    ed.CommentColour = 0x03;
    DrawLine(ed, 0, 1, 3);
    EXPECT_TRUE(AllAttr(3, 1, 7, 0x07));
    EXPECT_TRUE(AllAttr(3, 8, 80, 0x03));

    DrawLine(ed, 0, 2, 4);  // not a Pascal file
    EXPECT_TRUE(AllAttr(4, 1, 80, 0x07));
    ed.PascalMode = true;
    DrawLine(ed, 0, 2, 4);
    EXPECT_TRUE(AllAttr(4, 1, 5, 0x03));
    EXPECT_TRUE(AllAttr(4, 6, 80, 0x07));
    DrawLine(ed, 0, 3, 5);  // unclosed: to the right edge
    EXPECT_TRUE(AllAttr(5, 3, 80, 0x03));

    // Starting left of the window.
    DrawLine(ed, 2, 2, 6);
    EXPECT_TRUE(AllAttr(6, 1, 3, 0x03));
    EXPECT_TRUE(AllAttr(6, 4, 80, 0x07));
    DrawLine(ed, 6, 4, 7);  // the comment closed before the window
    EXPECT_TRUE(AllAttr(7, 1, 80, 0x07));
    DrawLine(ed, 9, 1, 8);  // "//" hidden: whole row
    EXPECT_TRUE(AllAttr(8, 1, 80, 0x03));
    // A "//" split by the window's left edge still counts.
    DrawLine(ed, 4, 5, 9);
    EXPECT_TRUE(AllAttr(9, 1, 80, 0x07));
    SetLine(ed, "abc //", 5);
    DrawLine(ed, 5, 5, 9);
    EXPECT_TRUE(AllAttr(9, 1, 80, 0x03));
}

TEST_F(DrawLineTest, LineBlockHidesColoursButNotGlyphs)
{
    ed.PascalMode = true;
    AddLines({"ab" + B({2, 0x0A}) + "cd {x} " + B({7}) + " // c" + B({0x0C, '\t'})});
    ed.LineBlockFirst = ed.LineBlockLast = 1;
    DrawLine(ed, 0, 1, 3);
    for (int c = 1; c <= 80; ++c) {
        if (c == 12) continue;
        EXPECT_EQ(A(c, 3), 0x70) << c;
    }
    EXPECT_EQ(C(12, 3), 0xDB);
    EXPECT_EQ(A(12, 3), 0x09);
    EXPECT_EQ(C(3, 3), 0);
}

TEST_F(DrawLineTest, BookmarksBoxAndCursorCross)
{
    AddLines({"one", "two" + B({7}), "three", "four"});
    ed.LineBookmarks[1] = 1;
    ed.LineBookmarks[3] = 1;
    DrawLine(ed, 0, 1, 3);
    EXPECT_TRUE(AllAttr(3, 1, 80, 0x3F));  // the highest bookmark wins

    // Bookmark 2 on the current line with the cross: bookmark colour first,
    // then the blue background where still below 0x10, the cursor cell blinks.
    ed.ColumnMarker = true;
    ed.LineBookmarks[2] = 2;
    ed.CurrentLine = 2;
    ed.CurrentColumn = 2;
    DrawLine(ed, 0, 2, 4);
    EXPECT_EQ(A(1, 4), 0x2F);
    EXPECT_EQ(A(2, 4), 0xAF);
    EXPECT_EQ(A(4, 4), 0x19);  // the glyph had 0x09

    // Another line: only the cursor's column gets the blue background.
    DrawLine(ed, 0, 3, 5);
    EXPECT_EQ(A(2, 5), 0x17);
    EXPECT_EQ(A(1, 5), 0x07);
    EXPECT_EQ(A(3, 5), 0x07);
    // A cursor column scrolled out of the window marks nothing.
    DrawLine(ed, 5, 3, 5);
    EXPECT_TRUE(AllAttr(5, 1, 80, 0x07));

    ed.ColumnMarker = false;
    ed.BoxFirstLine = 3;
    ed.BoxLastLine = 4;
    ed.BoxFirstColumn = 3;
    ed.BoxLastColumn = 5;
    DrawLine(ed, 0, 4, 6);
    EXPECT_EQ(Attrs(6, 2, 6), (std::vector<int>{0x07, 0x70, 0x70, 0x70, 0x07}));
    DrawLine(ed, 4, 4, 6);
    EXPECT_EQ(Attrs(6, 1, 2), (std::vector<int>{0x70, 0x07}));
    DrawLine(ed, 5, 4, 6);
    EXPECT_TRUE(AllAttr(6, 1, 80, 0x07));
    DrawLine(ed, 0, 2, 4);  // outside the box's lines
    EXPECT_EQ(A(3, 4), 0x2F);
}

TEST_F(DrawLineTest, AnyBytesDrawInsideTheirRow)
{
    std::mt19937 random(7);
    ed.PascalMode = true;
    ed.ColumnMarker = true;
    for (int round = 0; round < 300; ++round) {
        int length = random() % 256;
        std::string line;
        for (int i = 0; i < length; ++i) line += static_cast<char>(random() % 40 < 30 ? random() % 32 : random() % 256);
        // Straight into the record: any text, any capacity.
        ASSERT_TRUE(ed.LineTable[1].assign(line, length + int(random() % (256 - length))));
        ed.LineCount = 1;
        FillRow(2, 0x4141);
        FillRow(4, 0x4242);
        int h = random() % 256;
        DrawLine(ed, h, 1, 3);
        ASSERT_TRUE(RowIs(2, 0x4141));
        ASSERT_TRUE(RowIs(4, 0x4242));
    }
}

TEST_F(DrawLineTest, TextWindowDrawsLinesThenBlankRows)
{
    AddLines({"first", "second", "third"});
    ed.TopLine = 2;
    for (int r = 1; r <= 25; ++r) FillRow(r, 0x4141);
    DrawTextWindow(ed);
    EXPECT_EQ(con.Row(3).substr(0, 6), "second");
    EXPECT_EQ(con.Row(4).substr(0, 5), "third");
    for (int r = 5; r <= 25; ++r) EXPECT_TRUE(RowIs(r, BlankCell)) << r;
    EXPECT_EQ(con.ShadowCells, con.ScreenCells);  // flushed
    EXPECT_TRUE(RowIs(2, 0x4141));
    // Past the text a row shows the blank filler.
    DrawLine(ed, 0, 9, 7);
    EXPECT_TRUE(RowIs(7, 0x0720));
}

}  // namespace
}  // namespace lumo
