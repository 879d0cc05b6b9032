// Position history, bookmarks and the loop's movement keys, through the
// main loop.
#include "core/bookmarks.h"
#include "loop_fixture.h"

namespace lumo {
namespace {

using namespace keys;

TEST_F(LoopTest, ThreeJumpsThenThreeGetBacks)
{
    AddNumberedLines(300);
    // Jumps as Line by number makes them: push, then move.
    const int targets[] = {100, 200, 250};
    for (int target : targets) {
        PushGetBack(ed);
        ed.CurrentLine = ed.TopLine = target;
    }
    ed.CurrentColumn = 7;
    Push(CtrlF3);
    Run();
    EXPECT_EQ(ed.CurrentLine, 200);
    Push(CtrlF3);
    Run();
    EXPECT_EQ(ed.CurrentLine, 100);
    Push(CtrlF3);
    Run();
    EXPECT_EQ(ed.CurrentLine, 1);
    EXPECT_EQ(ed.CurrentColumn, 1);
    // The ring is empty further back: only the index moves.
    Push(CtrlF3);
    Run();
    EXPECT_EQ(ed.CurrentLine, 1);
}

TEST_F(LoopTest, GetBackSkipsAStaleEntry)
{
    AddNumberedLines(50);
    ed.CurrentLine = ed.TopLine = 45;
    PushGetBack(ed);
    int at = 45;
    for (int i = 0; i < 10; ++i) DeleteLine(ed, at);  // now 40 lines
    ed.CurrentLine = ed.TopLine = 3;
    Push(CtrlF3);
    Run();
    EXPECT_EQ(ed.CurrentLine, 3);
}

TEST_F(LoopTest, LineBookmarkBecomesTheWindowTop)
{
    AddNumberedLines(300);
    ed.CurrentLine = 10;
    ed.CurrentColumn = 5;
    Push(AltDigit(1));
    Run();
    ed.CurrentLine = 200;
    ed.TopLine = 190;
    ed.CurrentColumn = 17;
    Push(AltDigit(4));
    Run();
    EXPECT_EQ(ed.CurrentLine, 10);
    EXPECT_EQ(ed.TopLine, 10);
    EXPECT_EQ(ed.CurrentColumn, 17);
    // The jump was pushed: Get back returns.
    Push(CtrlF3);
    Run();
    EXPECT_EQ(ed.CurrentLine, 200);
}

TEST_F(LoopTest, UnsetBookmarkShowsNoSuchBookmark)
{
    AddNumberedLines(20);
    ed.CurrentLine = 5;
    Push(AltDigit(4));
    Run();
    EXPECT_TRUE(con.Showed(" No such bookmark!"));
    EXPECT_EQ(ed.CurrentLine, 5);
}

TEST_F(LoopTest, BookmarksFollowDeletedLines)
{
    AddNumberedLines(40);
    ed.CurrentLine = 30;
    ed.CurrentColumn = 12;
    Push(AltDigit(7));  // position bookmark 1
    ed.LoopLevel = Redraw::Full;
    Run();
    ed.CurrentLine = 20;
    Push(AltDigit(2));  // line bookmark 2 on line 20
    Run();
    int at = 5;
    DeleteLine(ed, at);
    ed.CurrentLine = 1;
    ed.CurrentColumn = 1;
    Push(AltDigit(9));
    Run();
    EXPECT_EQ(ed.CurrentLine, 29);
    EXPECT_EQ(ed.CurrentColumn, 12);
    EXPECT_EQ(Text(29), "line 30");
    // Deleting the line that holds line bookmark 2 clears it.
    at = 19;
    DeleteLine(ed, at);
    con.messages.clear();
    Push(AltDigit(5));
    Run();
    EXPECT_TRUE(con.Showed(" No such bookmark!"));
}

TEST_F(LoopTest, ColumnBookmarkAndKeypadEnter)
{
    AddNumberedLines(5);
    ed.CurrentColumn = 6;
    Push(AltMinus);
    Push(0x0200FF20);  // Home
    Run();
    EXPECT_EQ(ed.ColumnBookmark, 6);
    Push(AltEquals);
    Run();
    EXPECT_EQ(ed.CurrentColumn, 6);
    ed.CurrentColumn = 1;
    Push(0x0000E00D);  // keypad Enter
    Run();
    EXPECT_EQ(ed.CurrentLine, 2);
    EXPECT_EQ(ed.CurrentColumn, 6);
}

TEST_F(LoopTest, StoredColumnsAreClamped)
{
    AddNumberedLines(3);
    ed.CurrentColumn = 256;
    SetPositionBookmark(ed, 1);
    PushGetBack(ed);
    EXPECT_EQ(ed.PositionBookmarks[1].column, 255);
    EXPECT_EQ(ed.GetBackRing[ed.GetBackIndex].column, 255);
}

// ---- movement keys the loop binds ----

TEST_F(LoopTest, HomeGoesThroughThreeStages)
{
    AddLines({"     text"});
    ed.TabStops[1] = 3;
    ed.CurrentColumn = 10;
    Push(Home);
    Run();
    EXPECT_EQ(ed.CurrentColumn, 6);
    Push(Home);
    Run();
    EXPECT_EQ(ed.CurrentColumn, 3);
    Push(Home);
    Run();
    EXPECT_EQ(ed.CurrentColumn, 1);
}

TEST_F(LoopTest, EnterMovesDownWithoutSplittingAndAddsAtTheEnd)
{
    AddLines({"abc def", "ghi"});
    ed.CurrentColumn = 4;
    Push(Enter);
    Run();
    EXPECT_EQ(ed.LineCount, 2);
    EXPECT_EQ(ed.CurrentLine, 2);
    EXPECT_EQ(ed.CurrentColumn, ed.TabStops[1]);
    EXPECT_EQ(Text(1), "abc def");
    Push(Enter);
    Run();
    EXPECT_EQ(ed.LineCount, 3);
    EXPECT_EQ(ed.CurrentLine, 3);
    EXPECT_EQ(Text(3), "");
}

TEST_F(LoopTest, BackspaceAtColumnOneDoesNothing)
{
    AddLines({"abc", "def"});
    ed.CurrentLine = 2;
    Push(Backspace);
    Run();
    EXPECT_EQ(ed.LineCount, 2);
    EXPECT_EQ(Text(1), "abc");
    EXPECT_EQ(Text(2), "def");
    EXPECT_EQ(ed.CurrentColumn, 1);
}

TEST_F(LoopTest, TabBeyondTheLastStopStays)
{
    AddLines({"abc"});
    ed.CurrentColumn = ed.TabStops[32] + 2;
    int before = ed.CurrentColumn;
    Push(Tab);
    Run();
    EXPECT_EQ(ed.CurrentColumn, before);
    EXPECT_EQ(Text(1), "abc");
}

TEST_F(LoopTest, UpAndDownRepeatCounts)
{
    AddNumberedLines(20);
    Push(CtrlDown);
    Run();
    EXPECT_EQ(ed.CurrentLine, 9);
    ed.CurrentLine = 15;
    Push(CtrlDown);
    Run();
    EXPECT_EQ(ed.CurrentLine, 20);
    ed.CurrentLine = 5;
    Push(CtrlUp);
    Run();
    EXPECT_EQ(ed.CurrentLine, 1);
    ed.CurrentLine = 10;
    Push(AltUp);
    Push(AltDown);
    Push(AltDown);
    Push(Up);
    Run();
    EXPECT_EQ(ed.CurrentLine, 13);
}

}  // namespace
}  // namespace lumo
