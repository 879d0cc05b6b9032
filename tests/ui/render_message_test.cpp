#include "ui/render_fixture.h"

namespace lumo {
namespace {

// Records how long timed messages wait.
struct TimingConsole : ScriptedConsole {
    using ScriptedConsole::ScriptedConsole;
    std::vector<int> waits;
    bool WaitForKey(int ms) override
    {
        waits.push_back(ms);
        return ScriptedConsole::WaitForKey(ms);
    }
};

struct MessageTest : ::testing::Test {
    TimingConsole con{80, 25};
    Editor ed{con};
    MessageTest()
    {
        con.OpenScreen();
        ed.ColumnMarker = false;
    }
};

TEST_F(MessageTest, ColoursChangeAtBracketAndCommas)
{
    ShowMessage(ed, " Keep (a, b, c)", 22);
    EXPECT_EQ(con.Row(2), " Keep (a, b, c)" + std::string(65, ' '));
    std::vector<int> expected = {0x0E, 0x0E, 0x0E, 0x0E, 0x0E,   // " Keep"
                                 0x2F, 0x2F, 0x2F, 0x2F, 0x2F,   // " (a, "
                                 0x4F, 0x4F, 0x4F};              // "b, "
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(con.Attr(int(i) + 1, 2), expected[i]) << i + 1;
    for (int c = 14; c <= 80; ++c) EXPECT_EQ(con.Attr(c, 2), 0x3F) << c;
    EXPECT_TRUE(con.waits.empty());  // a prompt does not wait
    EXPECT_EQ(con.ShadowCells, con.ScreenCells);
    // A comma always takes the cell after it.
    ShowMessage(ed, "a,bc", 0);
    EXPECT_EQ(con.Row(2).substr(0, 4), "a, c");
    EXPECT_EQ(con.Attr(3, 2), 0x0E);
    EXPECT_EQ(con.Attr(4, 2), 0x4F);
}

TEST_F(MessageTest, PaddedToTheWholeRowWhateverTheLineCapacity)
{
    TimingConsole wide(132, 25);
    wide.OpenScreen();
    Editor e(wide);
    SetLineCapacity(e, 7);
    for (int c = 1; c <= 132; ++c) wide.Cell(c, 2) = 0x4141;
    for (int c = 1; c <= 132; ++c) wide.Cell(c, 3) = 0x4242;
    ShowMessage(e, std::string(131, 'x') + ",", 22);  // a comma in the last column
    for (int c = 1; c <= 132; ++c) EXPECT_EQ(wide.Attr(c, 2), 0x0E) << c;
    EXPECT_EQ(wide.Char(132, 2), ',');
    for (int c = 1; c <= 132; ++c) ASSERT_EQ(wide.Cell(c, 3), 0x4242);
    ShowMessage(e, "short", 22);
    EXPECT_EQ(wide.Row(2), "short" + std::string(127, ' '));
}

TEST_F(MessageTest, TimedMessageEndedByAKeyThatStaysUnread)
{
    con.Push('q');
    ShowMessage(ed, " String not found.", 1);
    ASSERT_EQ(con.waits.size(), 1u);
    // The message line rests again, and the key is still there to be read.
    for (int c = 1; c <= 80; ++c) EXPECT_EQ(con.Cell(c, 2), ed.FillCell);
    ASSERT_EQ(con.keys.size(), 1u);
    EXPECT_EQ(ReadEditorKey(ed), KeyEvent('q'));
}

TEST_F(MessageTest, TimedMessageWaitsAFewSecondsWithoutAKey)
{
    ShowMessage(ed, " NOT ENOUGH MEMORY!", 1);
    ASSERT_EQ(con.waits.size(), 1u);
    EXPECT_GE(con.waits[0], 2000);
    EXPECT_LE(con.waits[0], 5000);
    for (int c = 1; c <= 80; ++c) EXPECT_EQ(con.Cell(c, 2), ed.FillCell);
    EXPECT_GE(con.flushCount, 2);  // the message was shown before the pause
}

TEST_F(MessageTest, MessageLineRestsWithTheBlockSize)
{
    ed.LineBlockFirst = 5;
    ed.LineBlockLast = 16;
    DrawMessageLine(ed);
    EXPECT_EQ(con.Row(2).substr(76), " 12 ");
    EXPECT_EQ(con.Char(75, 2), 0xB0);
    for (int c = 1; c <= 80; ++c) EXPECT_EQ(con.Attr(c, 2), 0x07);
    // The wrap-off bit shows in the row's attribute.
    ed.FillCell |= WrapOff;
    ed.LineBlockFirst = ed.LineBlockLast = 0;
    DrawMessageLine(ed);
    for (int c = 1; c <= 80; ++c) EXPECT_EQ(con.Cell(c, 2), 0x0FB0);
}

TEST_F(MessageTest, ClearBlockRemovesOneKindAndRedraws)
{
    ASSERT_TRUE(AppendLoadedLine(ed, "abc"));
    ed.LineBlockFirst = ed.LineBlockLast = 1;
    DrawTextWindow(ed);
    EXPECT_EQ(con.Attr(1, 3), 0x70);
    ClearBlockAndRedraw(ed);
    EXPECT_EQ(ed.LineBlockFirst, 0);
    EXPECT_EQ(ed.LineBlockLast, 0);
    EXPECT_EQ(con.Attr(1, 3), 0x07);
    EXPECT_EQ(con.Cell(80, 2), ed.FillCell);

    ed.BoxFirstLine = ed.BoxLastLine = 1;
    ed.BoxFirstColumn = 2;
    ed.BoxLastColumn = 3;
    ClearBlockAndRedraw(ed);
    EXPECT_EQ(ed.BoxFirstLine + ed.BoxLastLine + ed.BoxFirstColumn + ed.BoxLastColumn, 0);
    EXPECT_EQ(con.Attr(2, 3), 0x07);
}

TEST_F(MessageTest, WarningBlanksTwoRowsAndShowsTheNumber)
{
    for (int c = 1; c <= 80; ++c) con.Cell(c, 3) = 0x4141;
    ShowWarning(ed, "Lines:", 42, 1);
    EXPECT_EQ(con.Row(2).substr(0, 11), "Lines:  42 ");
    EXPECT_EQ(con.Attr(1, 2), 0x0C);
    EXPECT_EQ(con.Attr(11, 2), 0x07);
    EXPECT_EQ(con.Row(3), std::string(80, ' '));
    // A waiting key ends it at once.
    con.waits.clear();
    con.Push('x');
    ShowWarning(ed, "Lines:", 42, 5);
    EXPECT_EQ(con.waits.size(), 1u);
}

TEST_F(MessageTest, CellWritersStayOnTheScreen)
{
    WriteText(ed, 78, 4, "abcdef", 0x1F);
    EXPECT_EQ(con.Row(4).substr(77), "abc");
    EXPECT_EQ(con.Attr(78, 4), 0x1F);
    EXPECT_EQ(con.Cell(1, 5), BlankCell);
    PutCell(ed, 81, 4, 'z', 0x07);
    PutCell(ed, 1, 26, 'z', 0x07);
    PutCell(ed, 0, 1, 'z', 0x07);
    PutCell(ed, 2, 1, 'z', 0x4E);
    EXPECT_EQ(con.Cell(2, 1), 0x4E7A);
    EXPECT_EQ(HexByte(0x0A), "0A");
    EXPECT_EQ(HexByte(0xFF), "FF");
    EXPECT_EQ(HexByte(0), "00");
}

}  // namespace
}  // namespace lumo

namespace lumo {
namespace {

TEST(RenderBeforeScreen, DrawingBeforeTheScreenIsOpenDoesNothing)
{
    ScriptedConsole con;  // OpenScreen not called: no cells yet
    Editor ed(con);
    ASSERT_TRUE(AppendLoadedLine(ed, "abc"));
    ShowMessage(ed, " NOT ENOUGH MEMORY!", 1);
    RedrawCycle(ed, Redraw::Full);
    WriteText(ed, 1, 1, "x", 0x07);
    EXPECT_TRUE(con.ScreenCells.empty());
}

}  // namespace
}  // namespace lumo
