// Position history, bookmarks and the loop's movement keys, through the
// main loop.
#include "edit/bookmarks.h"
#include "app/loop_fixture.h"

namespace lumo {
namespace {

using namespace keys;

// F4, the number, Enter: Line by number pushes the position, then jumps.
void JumpWithF4(LoopTest& t, const std::string& number)
{
    t.Push(0x0200FF04);
    t.Type(number);
    t.Push(Enter);
}

TEST_F(LoopTest, ThreeF4JumpsThenThreeGetBacks)
{
    AddNumberedLines(300);
    ed.CurrentColumn = 7;
    JumpWithF4(*this, "100");
    JumpWithF4(*this, "200");
    JumpWithF4(*this, "250");
    Run();
    ASSERT_EQ(ed.CurrentLine, 250);
    const int expected[] = {200, 100, 1};
    for (int line : expected) {
        Push(CtrlF3);
        Run();
        EXPECT_EQ(ed.CurrentLine, line);
        EXPECT_EQ(ed.CurrentColumn, 7);
        // The window shows the line the history remembered as its top.
        EXPECT_EQ(con.Row(3).rfind("line " + std::to_string(ed.TopLine) + " ", 0), 0u) << con.Row(3);
        EXPECT_EQ(con.cursorRow, ed.CurrentLine - ed.TopLine + 2);
        EXPECT_EQ(con.cursorColumn, 6);
    }
    // The ring is empty further back: only the index moves.
    int index = ed.GetBackIndex;
    Push(CtrlF3);
    Run();
    EXPECT_EQ(ed.CurrentLine, 1);
    EXPECT_EQ(ed.GetBackIndex, (index + 15) % 16);
}

TEST_F(LoopTest, GetBackLeavesThePositionOneSlotAhead)
{
    AddNumberedLines(300);
    JumpWithF4(*this, "100");  // pushes line 1 into slot 1
    Run();
    ASSERT_EQ(ed.GetBackIndex, 1);
    ed.CurrentColumn = 9;
    Push(CtrlF3);
    Run();
    EXPECT_EQ(ed.CurrentLine, 1);
    EXPECT_EQ(ed.GetBackIndex, 0);
    // Where Get back came from is kept in the slot after the one it used.
    EXPECT_EQ(ed.GetBackRing[2].line, 100);
    EXPECT_EQ(ed.GetBackRing[2].column, 9);
    EXPECT_EQ(ed.GetBackRing[2].top, 100);
}

TEST_F(LoopTest, F4BeyondTheTextStaysButIsRemembered)
{
    AddNumberedLines(40);
    ed.CurrentLine = ed.TopLine = 30;
    ed.CurrentColumn = 3;
    JumpWithF4(*this, "999");
    Run();
    EXPECT_EQ(ed.CurrentLine, 30);
    ed.CurrentLine = 5;  // move away by other means
    Push(CtrlF3);
    Run();
    EXPECT_EQ(ed.CurrentLine, 30);
    EXPECT_EQ(ed.CurrentColumn, 3);
}

TEST_F(LoopTest, FileEndAndTopJumpsArePushed)
{
    AddNumberedLines(100);
    ed.CurrentLine = ed.TopLine = 40;
    Push(0x0204FF26);  // Ctrl+End
    Run();
    EXPECT_GT(ed.CurrentLine, 70);
    Push(CtrlF3);
    Run();
    EXPECT_EQ(ed.CurrentLine, 40);
}

TEST_F(LoopTest, JumpsNeverRestoreOneLinesTextIntoAnother)
{
    AddNumberedLines(20);
    Push(AltDigit(1));  // line bookmark 1 on line 1
    Run();
    ed.CurrentLine = 10;
    ed.CurrentColumn = 8;
    Type("x");
    Push(AltDigit(4));
    Push(0x0202FF0A);  // Shift+F10: restore the line as before entering it
    Run();
    EXPECT_EQ(ed.CurrentLine, 1);
    EXPECT_EQ(Text(1), "line 1");
    EXPECT_EQ(Text(10), "line 10x");
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
    EXPECT_EQ(con.cursorColumn, 0);
    EXPECT_EQ(Text(1), "     text");
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
    EXPECT_EQ(con.cursorRow, 4);
    EXPECT_EQ(con.Row(4).substr(0, 3), "ghi");
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
    ed.CurrentColumn = 1;
    Push(0x03020F00);  // Shift+Tab at column 1
    Run();
    EXPECT_EQ(ed.CurrentColumn, 1);
    ed.CurrentColumn = ed.TabStops[2] + 1;
    Push(0x03020F00);
    Run();
    EXPECT_EQ(ed.CurrentColumn, ed.TabStops[2]);
    EXPECT_EQ(con.cursorColumn, ed.TabStops[2] - 1);
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

TEST_F(LoopTest, WindowKeys)
{
    AddNumberedLines(100);
    ed.CurrentLine = 30;
    ed.TopLine = 20;
    Push(0x0200FF05);  // F5: the current line to the top
    Run();
    EXPECT_EQ(ed.TopLine, 30);
    ed.CurrentLine = 35;
    Push(0x0204FF22);  // Ctrl+PgUp: the text moves up one row, the cursor stays on its line
    Run();
    EXPECT_EQ(ed.TopLine, 31);
    EXPECT_EQ(ed.CurrentLine, 35);
    EXPECT_EQ(con.Row(3).rfind("line 31 ", 0), 0u);
    Push(0x0204FF28);  // Ctrl+PgDn: and back down
    Run();
    EXPECT_EQ(ed.TopLine, 30);
    Push(0x0202FF20);  // Shift+Home: the window's top line
    Run();
    EXPECT_EQ(ed.CurrentLine, 30);
    Push(0x03049400);  // Ctrl+Tab: from the top, the window's bottom line
    Run();
    EXPECT_EQ(ed.CurrentLine, 30 + con.ScreenRows - 3);
    EXPECT_EQ(con.cursorRow, con.ScreenRows - 1);
    // Ctrl+Home: the first page, the cursor keeps its row; remembered.
    Push(0x0204FF20);
    Run();
    EXPECT_EQ(ed.TopLine, 1);
    EXPECT_EQ(ed.CurrentLine, con.ScreenRows - 2);
    Push(CtrlF3);
    Run();
    EXPECT_EQ(ed.CurrentLine, 30 + con.ScreenRows - 3);
    EXPECT_EQ(ed.TopLine, 30);
}

TEST_F(LoopTest, SettingAndMovingALineBookmarkRecoloursItsRowsAtOnce)
{
    AddNumberedLines(20);
    auto attr = [&](int line) { return con.Cell(1, line - ed.TopLine + 3) >> 8; };
    Run();  // the first full draw
    ASSERT_EQ(attr(4), 0x07);
    // Each key's own redraw must show the change: nothing is drawn after it.
    const struct Step {
        int line;
        KeyEvent key;
        int coloured;
        int plain;
    } steps[] = {{4, AltDigit(1), 4, 0}, {9, AltDigit(1), 9, 4}, {12, AltDigit(2), 12, 0}, {12, AltDigit(3), 12, 0}};
    for (const Step& s : steps) {
        ed.CurrentLine = s.line;
        Push(s.key);
        Run();
        EXPECT_NE(attr(s.coloured), 0x07) << s.line;
        if (s.plain) {
            EXPECT_EQ(attr(s.plain), 0x07) << s.line;
        }
    }
}

}  // namespace
}  // namespace lumo
