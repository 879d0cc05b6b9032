#include "edit/movement.h"

#include "app/mainloop.h"
#include "edit/lineedit_test_fixture.h"

namespace lumo {
namespace {

constexpr KeyEvent ShiftKey = 0x00020000;

using MovementTest = TextFixture;

TEST_F(MovementTest, DelimitersAreTheTwentyThreeListed)
{
    std::string all;
    for (int c = 0; c < 256; ++c)
        if (IsDelimiter(static_cast<uint8_t>(c))) all += static_cast<char>(c);
    EXPECT_EQ(all, "!\"'()*+,-./:;<=>?[\\]_{}");
}

TEST_F(MovementTest, WordLeftOnHelloWorld)
{
    Load({"hello world"});
    for (auto [from, to] : {std::pair{9, 1}, {12, 7}, {11, 7}, {7, 1}, {1, 1}}) {
        At(1, from);
        Run(CmdWordLeft);
        EXPECT_EQ(ed.CurrentColumn, to) << "from " << from;
    }
}

TEST_F(MovementTest, WordRightOnHelloWorld)
{
    Load({"hello world"});
    for (auto [from, to] : {std::pair{1, 7}, {7, 12}, {12, 12}, {200, 200}, {255, 12}}) {
        At(1, from);
        Run(CmdWordRight);
        EXPECT_EQ(ed.CurrentColumn, to) << "from " << from;
    }
}

TEST_F(MovementTest, WordStartAndWordEndModes)
{
    const std::string s = "foo, bar(baz)  end";
    EXPECT_EQ(WordStart(s, 6), 1);
    EXPECT_EQ(WordStart(s, 10), 6);
    EXPECT_EQ(WordEnd(s, 1, 0), 6);   // the next word
    EXPECT_EQ(WordEnd(s, 1, 1), 4);   // just after "foo"
    EXPECT_EQ(WordEnd(s, 1, 2), 5);   // after "foo,"
    EXPECT_EQ(WordEnd(s, 4, 1), 9);   // ", " then "bar"
    EXPECT_EQ(WordEnd(s, 6, 0), 10);  // "bar(" then "baz"
    EXPECT_EQ(WordEnd(s, 19, 0), 19);
    EXPECT_EQ(WordStart("", 300), 1);
}

TEST_F(MovementTest, WordAtCursorModes)
{
    Load({"say hello, world"});
    At(1, 6);
    EXPECT_EQ(WordAtCursor(ed, 0), "hello,");
    EXPECT_EQ(WordAtCursor(ed, 1), "h");
    EXPECT_EQ(WordAtCursor(ed, 2), "hello, ");
    At(1, 4);
    EXPECT_EQ(WordAtCursor(ed, 0), "say");
    Load({"a  b"});
    At(1, 3);
    EXPECT_EQ(WordAtCursor(ed, 0), "");
    Load({""}, 0);
    EXPECT_EQ(WordAtCursor(ed, 2), "");
}

TEST_F(MovementTest, AltWordMovesLandOnWordStarts)
{
    Load({"aaa bbb ccc"});
    At(1, 1);
    Run(CmdAltWordRight);
    EXPECT_EQ(ed.CurrentColumn, 5);
    At(1, 10);
    Run(CmdAltWordLeft);
    EXPECT_EQ(ed.CurrentColumn, 5);
}

TEST_F(MovementTest, HomeStepsThroughTheTextStartTheMarginAndColumnOne)
{
    ed.TabStops[1] = 3;
    Load({"   text"});
    At(1, 10);
    for (int expected : {4, 3, 1}) {
        Run(CmdHome);
        EXPECT_EQ(ed.CurrentColumn, expected);
    }
    ed.TabStops[1] = 1;
    At(1, 10);
    for (int expected : {4, 1}) {
        Run(CmdHome);
        EXPECT_EQ(ed.CurrentColumn, expected);
    }
}

TEST_F(MovementTest, EndGoesPastTheTextEvenOnAFullLine)
{
    Load({std::string(255, 'z')}, 255);
    Run(CmdEnd);
    EXPECT_EQ(ed.CurrentColumn, 256);
    Run(CmdRight);
    EXPECT_EQ(ed.CurrentColumn, 256) << "never past the capacity + 1";
    Load({"ab   "});
    Run(CmdEnd);
    EXPECT_EQ(ed.CurrentColumn, 3);
}

TEST_F(MovementTest, TabAndShiftTabFollowTheStops)
{
    Load({""});
    At(1, 3);
    Run(CmdTab);
    EXPECT_EQ(ed.CurrentColumn, 9);
    Run(CmdShiftTab);
    EXPECT_EQ(ed.CurrentColumn, 1);
    Run(CmdShiftTab);
    EXPECT_EQ(ed.CurrentColumn, 1);
    At(1, 250);
    Run(CmdTab);
    EXPECT_EQ(ed.CurrentColumn, 250) << "no stop beyond";
}

TEST_F(MovementTest, AltUpNearTheTopAndAltDownNearTheEnd)
{
    Load({"1", "2", "3", "4", "5", "6"});
    for (auto [from, to] : {std::pair{4, 1}, {2, 1}, {1, 1}, {6, 2}}) {
        At(from, 1);
        Run(CmdUp4, 0x03089800);
        EXPECT_EQ(ed.CurrentLine, to) << "from " << from;
    }
    At(4, 1);
    Run(CmdDown4, 0x0308A000);
    EXPECT_EQ(ed.CurrentLine, 6);
    At(1, 1);
    Run(CmdDown8, 0x0204FF27);
    EXPECT_EQ(ed.CurrentLine, 6);
}

TEST_F(MovementTest, ControlTabTogglesBetweenTheWindowsTopAndBottom)
{
    Load({});
    for (int i = 1; i <= 40; ++i) AppendLoadedLine(ed, std::to_string(i));
    ed.TopLine = 5;
    At(5, 1);
    Run(CmdScreenTopBottom);
    EXPECT_EQ(ed.CurrentLine, 5 + 22);
    Run(CmdScreenTopBottom);
    EXPECT_EQ(ed.CurrentLine, 5);

    ed.TopLine = 30;
    At(30, 1);
    Run(CmdScreenTopBottom);
    EXPECT_EQ(ed.CurrentLine, 40) << "the text ends before the bottom row";
}

TEST_F(MovementTest, MovingToAnotherLineEndsTheLinesRestore)
{
    Load({"a", "b", "c"});
    At(2, 2);
    Type("x");
    ASSERT_TRUE(ed.LineEdited);
    Run(CmdUp);
    EXPECT_FALSE(ed.LineEdited);
    Type("y");
    Run(CmdFileTopScreen);
    EXPECT_FALSE(ed.LineEdited);
    Type("z");
    Run(CmdScreenBottom);
    EXPECT_FALSE(ed.LineEdited);
}

TEST_F(MovementTest, PagesMoveTheWindowAndTheCursorTogether)
{
    Load({});
    for (int i = 1; i <= 100; ++i) AppendLoadedLine(ed, std::to_string(i));
    At(3, 1);
    Run(CmdPageDown);
    EXPECT_EQ(ed.TopLine, 23);
    EXPECT_EQ(ed.CurrentLine, 25);
    Run(CmdPageUp);
    EXPECT_EQ(ed.TopLine, 1);
    EXPECT_EQ(ed.CurrentLine, 3);
    ed.TopLine = 90;
    At(95, 1);
    Run(CmdPageDown);
    EXPECT_EQ(ed.CurrentLine, 100);
    EXPECT_EQ(ed.TopLine, 100);
    ed.TopLine = 10;
    At(12, 1);
    Run(CmdPageUp);
    EXPECT_EQ(ed.TopLine, 1);
    EXPECT_EQ(ed.CurrentLine, 3) << "the cursor keeps its screen row";
}

TEST_F(MovementTest, FileTopAndBottomScreensKeepTheCursorRow)
{
    Load({});
    for (int i = 1; i <= 100; ++i) AppendLoadedLine(ed, std::to_string(i));
    ed.TopLine = 50;
    At(55, 1);
    const int ring = ed.GetBackIndex;
    Run(CmdFileTopScreen);
    EXPECT_EQ(ed.TopLine, 1);
    EXPECT_EQ(ed.CurrentLine, 6);
    EXPECT_NE(ed.GetBackIndex, ring);
    Run(CmdFileBottom);
    EXPECT_EQ(ed.TopLine, 78);
    EXPECT_EQ(ed.CurrentLine, 83);

    Load({"1", "2"});
    At(2, 1);
    Run(CmdFileTopScreen);
    EXPECT_EQ(ed.CurrentLine, 2);
    Run(CmdFileBottom);
    EXPECT_EQ(ed.CurrentLine, 2) << "a short text has no bottom screen";
}

TEST_F(MovementTest, ScrollingByOneLineKeepsTheCursorsLine)
{
    Load({});
    for (int i = 1; i <= 100; ++i) AppendLoadedLine(ed, std::to_string(i));
    ed.TopLine = 10;
    At(12, 1);
    Run(CmdScrollTextUp);
    EXPECT_EQ(ed.TopLine, 11);
    Run(CmdScrollTextUp);
    Run(CmdScrollTextUp);
    EXPECT_EQ(ed.TopLine, 12) << "not past the cursor's row";
    Run(CmdScrollTextDown);
    EXPECT_EQ(ed.TopLine, 11);
    EXPECT_EQ(ed.CurrentLine, 12);
    Run(CmdLineToTop);
    EXPECT_EQ(ed.TopLine, 12);
}

TEST_F(MovementTest, ShiftDownAndUpExtendALineBlock)
{
    Load({"1", "2", "3", "4", "5"});
    At(2, 1);
    Run(CmdDown, 0x0202FF27);
    EXPECT_EQ(ed.LineBlockFirst, 2);
    EXPECT_EQ(ed.LineBlockLast, 3);
    Run(CmdDown, 0x0202FF27);
    EXPECT_EQ(ed.LineBlockLast, 4);
    Run(CmdUp, 0x0202FF21);
    EXPECT_EQ(ed.LineBlockLast, 3);
    ExpectCursor(3, 1);
    Run(CmdUp8, 0x0207FF21);
    EXPECT_EQ(ed.LineBlockFirst, 1);
    EXPECT_EQ(ed.LineBlockLast, 2);
    Run(CmdDown, 0x0200FF27);
    EXPECT_EQ(ed.LineBlockLast, 2) << "without Shift the block stays";
}

TEST_F(MovementTest, ShiftRightAndLeftGrowABoxFromTheCursor)
{
    Load({"abcdefgh"});
    At(1, 3);
    Run(CmdRight, 0x0202FF25);
    EXPECT_EQ(ed.BoxFirstColumn, 3);
    EXPECT_EQ(ed.BoxLastColumn, 4);
    EXPECT_EQ(ed.CurrentColumn, 4);
    Run(CmdRight, 0x0202FF25);
    EXPECT_EQ(ed.BoxLastColumn, 5);
    Run(CmdLeft, 0x0202FF23);
    EXPECT_EQ(ed.BoxLastColumn, 4);
    EXPECT_EQ(ed.CurrentColumn, 4);
    Run(CmdLeft, 0x0202FF23);
    EXPECT_EQ(ed.BoxLastColumn, 3);
    Run(CmdLeft, 0x0202FF23);
    EXPECT_EQ(ed.BoxFirstColumn, 2) << "a one-column box widens to the left";
    EXPECT_EQ(ed.BoxLastColumn, 3);
    EXPECT_EQ(ed.CurrentColumn, 2);

    ed.BoxFirstLine = ed.BoxLastLine = ed.BoxFirstColumn = ed.BoxLastColumn = 0;
    ed.LineBlockFirst = ed.LineBlockLast = 1;
    At(1, 5);
    Run(CmdLeft, 0x0202FF23);
    EXPECT_EQ(ed.BoxFirstColumn, 4);
    EXPECT_EQ(ed.BoxLastColumn, 5);
}

TEST_F(MovementTest, CtrlShiftRightBoxesTheWordsPassed)
{
    Load({"hello world"});
    At(1, 1);
    Run(CmdWordRight, 0x0207FF25);
    EXPECT_EQ(ed.CurrentColumn, 7);
    EXPECT_EQ(ed.BoxFirstColumn, 1);
    EXPECT_EQ(ed.BoxLastColumn, 6);
}

struct WatchingConsole : ScriptedConsole {
    std::string shown;  // row 2 while a timed message waited
    bool WaitForKey(int ms) override
    {
        shown = Row(2);
        return ScriptedConsole::WaitForKey(ms);
    }
};

TEST(MovementLastLine, DownOnTheLastLineShowsTheMessage)
{
    WatchingConsole con;
    con.OpenScreen();
    Editor ed{con};
    int at = 1;
    InsertLine(ed, 10, at);
    SplitKey(ed, ShiftKey | 0x0200FF27);
    CmdDown(ed);
    EXPECT_EQ(con.shown.find(" This is the last line. To add a line - F3 or Enter."), 0u);
    EXPECT_EQ(ed.LineBlockFirst, 0) << "nothing is marked";
    EXPECT_EQ(ed.CurrentLine, 1);
}

TEST_F(MovementTest, TheKeyThatEndsTheLastLineMessageIsACommand)
{
    Load({"a", "b"});
    At(2, 1);
    con.Push(0x0200FF27);  // Down: the message
    con.Push(0x0200FF03);  // F3 ends it and adds a line
    try {
        MainLoop(ed);
    } catch (const ScriptExhausted&) {
    }
    EXPECT_EQ(ed.LineCount, 3);
    ExpectCursor(3, 1);
}

struct LineByNumberTest : TextFixture {
    void SetUp() override
    {
        TextFixture::SetUp();
        Load({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"});
        At(2, 1);
    }
    void Answer(const std::string& text)
    {
        con.Type(text);
        con.Push(0x00001C0D);
    }
};

TEST_F(LineByNumberTest, GoesToTheLineAndRemembersTheAnswer)
{
    Answer("7");
    const int ring = ed.GetBackIndex;
    Run(CmdLineByNumber);
    EXPECT_EQ(ed.CurrentLine, 7);
    EXPECT_EQ(ed.TopLine, 7);
    EXPECT_NE(ed.GetBackIndex, ring);
    EXPECT_EQ(ed.LineNumberText, "7");
}

TEST_F(LineByNumberTest, ZeroNegativeAndEmptyDoNothing)
{
    for (const char* answer : {"0", "-5", ""}) {
        ed.LineNumberText.clear();
        const int ring = ed.GetBackIndex;
        Answer(answer);
        Run(CmdLineByNumber);
        EXPECT_EQ(ed.CurrentLine, 2) << answer;
        EXPECT_EQ(ed.GetBackIndex, ring) << answer;
    }
}

TEST_F(LineByNumberTest, BeyondTheEndOnlyRemembersThePosition)
{
    for (const char* answer : {"11", "99999999999"}) {
        ed.LineNumberText.clear();
        const int ring = ed.GetBackIndex;
        Answer(answer);
        Run(CmdLineByNumber);
        EXPECT_EQ(ed.CurrentLine, 2);
        EXPECT_NE(ed.GetBackIndex, ring);
    }
}

TEST_F(LineByNumberTest, TextThatIsNotANumberAsksAgainAndEscCancels)
{
    Answer("abc");
    Answer("5");
    Run(CmdLineByNumber);
    EXPECT_EQ(ed.CurrentLine, 5);

    con.Push(0x0000011B);
    Run(CmdLineByNumber);
    EXPECT_EQ(ed.CurrentLine, 5);
}

}  // namespace
}  // namespace lumo
