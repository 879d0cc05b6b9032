#include "ui/render_fixture.h"

namespace lumo {
namespace {

struct RedrawTest : ScreenTest {
    RedrawTest()
    {
        std::vector<std::string> lines;
        for (int i = 1; i <= 100; ++i) lines.push_back("line " + std::to_string(i) + std::string(200, 'x'));
        AddLines(lines);
    }
    void MoveTo(int line, int column)
    {
        ed.CurrentLine = line;
        ed.CurrentColumn = column;
        RedrawCycle(ed, Redraw::View);
    }
};

TEST_F(RedrawTest, HalfScreenScrollMovesByHalfAWindow)
{
    ed.HalfScreenScroll = true;
    MoveTo(1, 81);
    EXPECT_EQ(ed.HorizontalScroll, 40);
    EXPECT_EQ(con.cursorColumn, 40);
    EXPECT_EQ(con.Char(1, 3), 'x');  // the window was redrawn scrolled
    MoveTo(1, 40);
    EXPECT_EQ(ed.HorizontalScroll, 0);
    EXPECT_EQ(con.cursorColumn, 39);
    // A far jump scrolls in as many half windows as it takes.
    MoveTo(1, 200);
    EXPECT_EQ(ed.HorizontalScroll, 120);
    EXPECT_EQ(ed.CursorScreenColumn, 80);
}

TEST_F(RedrawTest, PlainScrollKeepsTheCursorAtTheEdge)
{
    ed.HalfScreenScroll = false;
    MoveTo(1, 81);
    EXPECT_EQ(ed.HorizontalScroll, 1);
    EXPECT_EQ(con.cursorColumn, 79);
    MoveTo(1, 1);
    EXPECT_EQ(ed.HorizontalScroll, 0);
    EXPECT_EQ(con.cursorColumn, 0);
}

TEST_F(RedrawTest, HalfScrollBackNeverGoesLeftOfColumnOne)
{
    ed.HalfScreenScroll = true;
    ed.HorizontalScroll = 30;
    MoveTo(1, 5);
    EXPECT_EQ(ed.HorizontalScroll, 0);
    EXPECT_EQ(con.cursorColumn, 4);
}

TEST_F(RedrawTest, VerticalScrollKeepsTheCursorLineInTheWindow)
{
    MoveTo(30, 1);
    EXPECT_EQ(ed.TopLine, 30 - 25 + 3);
    EXPECT_EQ(con.cursorRow, 24);
    EXPECT_EQ(con.Row(25).substr(0, 7), "line 30");
    MoveTo(4, 1);
    EXPECT_EQ(ed.TopLine, 4);
    EXPECT_EQ(con.cursorRow, 2);
    EXPECT_EQ(con.Row(3).substr(0, 6), "line 4");
    // A cursor computed off the text is brought back onto it.
    MoveTo(500, 0);
    EXPECT_EQ(ed.CurrentLine, 100);
    EXPECT_EQ(ed.CurrentColumn, 1);
    EXPECT_EQ(con.Row(25).substr(0, 8), "line 100");
}

TEST_F(RedrawTest, LevelsDrawOnlyWhatTheyOwn)
{
    ed.FileName = "f.txt";
    auto mark = [&] {
        for (int r = 1; r <= 25; ++r) FillRow(r, 0x4141);
    };
    mark();
    RedrawCycle(ed, Redraw::Status);
    EXPECT_EQ(con.Row(1).substr(0, 5), "f.txt");
    EXPECT_TRUE(RowIs(2, 0x4141));
    EXPECT_TRUE(RowIs(3, 0x4141));

    mark();
    RedrawCycle(ed, Redraw::View);  // nothing to scroll: the window stays
    EXPECT_TRUE(RowIs(3, 0x4141));
    EXPECT_EQ(con.Row(1).substr(0, 5), "f.txt");

    mark();
    RedrawCycle(ed, Redraw::Window);
    EXPECT_EQ(con.Row(3).substr(0, 6), "line 1");
    EXPECT_TRUE(RowIs(2, 0x4141));

    mark();
    RedrawCycle(ed, Redraw::Full);
    EXPECT_TRUE(RowIs(2, ed.FillCell));
    EXPECT_EQ(con.Row(3).substr(0, 6), "line 1");

    mark();
    ed.CurrentColumn = 7;
    RedrawCycle(ed, Redraw::Cursor);
    EXPECT_TRUE(RowIs(1, 0x4141));
    EXPECT_EQ(con.cursorColumn, 6);
    RedrawCycle(ed, Redraw::NextKey);
    EXPECT_TRUE(RowIs(1, 0x4141));
}

TEST_F(RedrawTest, PlaybackDrawsOnlyTheMessageLineButFollowsTheCursor)
{
    ed.PlaybackIndex = 3;
    for (int r = 1; r <= 25; ++r) FillRow(r, 0x4141);
    ed.CurrentLine = 60;
    ed.CurrentColumn = 90;
    for (Redraw level : {Redraw::Full, Redraw::Window, Redraw::View}) {
        RedrawCycle(ed, level);
        EXPECT_TRUE(RowIs(1, 0x4141));
        EXPECT_TRUE(RowIs(2, ed.FillCell));
        for (int r = 3; r <= 25; ++r) ASSERT_TRUE(RowIs(r, 0x4141));
    }
    EXPECT_EQ(ed.TopLine, 38);
    EXPECT_EQ(ed.HorizontalScroll, 40);
    // When playback ends the window is drawn where the cursor is.
    ed.PlaybackIndex = 0;
    RedrawCycle(ed, Redraw::Window);
    EXPECT_EQ(con.Row(25).substr(0, 7), std::string(7, 'x'));
    EXPECT_EQ(con.cursorRow, 24);
    EXPECT_EQ(con.cursorColumn, 49);
}

}  // namespace
}  // namespace lumo
