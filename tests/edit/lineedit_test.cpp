#include "edit/lineedit_test_fixture.h"
#include "edit/movement.h"
#include "app/unboundkeys.h"

namespace lumo {
namespace {

constexpr KeyEvent Enter = 0x00001C0D;

using LineEditTest = TextFixture;

TEST_F(LineEditTest, DelPastTheTextJoinsButBackspaceNeverJoins)
{
    Load({"abc", "def"});
    At(2, 1);
    Run(CmdBackspace);
    EXPECT_EQ(ed.LineCount, 2);
    ExpectCursor(2, 1);

    At(1, 4);
    Run(CmdDel);
    ASSERT_EQ(ed.LineCount, 1);
    EXPECT_EQ(Text(1), "abcdef");

    At(1, 3);
    Run(CmdBackspace);
    EXPECT_EQ(Text(1), "acdef");
    ExpectCursor(1, 2);
    Run(CmdDel);
    EXPECT_EQ(Text(1), "adef");
}

TEST_F(LineEditTest, JoinKeepsOneBlankBetweenTheParts)
{
    Load({"abc", "   def", "x"});
    At(1, 4);
    Run(CmdJoinLines);
    EXPECT_EQ(Text(1), "abc def");
    EXPECT_EQ(ed.LineCount, 2);
    ExpectCursor(1, 4);
}

TEST_F(LineEditTest, JoinNeverCutsTheCurrentLinesText)
{
    Load({"abcdef", "ghi"});
    At(1, 2);
    Run(CmdJoinLines);
    EXPECT_EQ(Text(1), "abcdefghi");

    Load({"abc", "def"});
    At(1, 8);  // past the text: blanks up to the cursor stay
    Run(CmdJoinLines);
    EXPECT_EQ(Text(1), "abc    def");
}

TEST_F(LineEditTest, JoinMovesOnlyTheWordsThatFit)
{
    ed.FormatWidth = 10;
    Load({"abc", "   def ghi jkl"});
    At(1, 4);
    Run(CmdJoinLines);
    EXPECT_EQ(Text(1), "abc def");
    EXPECT_EQ(Text(2), "  ghi jkl");

    Load({"abc", "defghijklmnop"});
    At(1, 4);
    Run(CmdJoinLines);
    EXPECT_EQ(Text(1), "abc") << "not even one word fits";
    EXPECT_EQ(Text(2), "defghijklmnop");
}

TEST_F(LineEditTest, AJoinThatCannotStoreItsResultChangesNothing)
{
    Load({"abcde", "fghij"}, 5);
    ed.MemoryBudget = ed.MemoryUsed + 2;
    At(1, 6);
    Run(CmdJoinLines);
    EXPECT_EQ(ed.LineCount, 2);
    EXPECT_EQ(Text(1), "abcde");
    EXPECT_EQ(Text(2), "fghij");
}

TEST_F(LineEditTest, JoinKeepsTheLineColourCodeAtTheEnd)
{
    const std::string code("\x0E\x01\t", 3);
    Load({"abc" + code, "def"});
    At(1, 4);
    Run(CmdDel);
    EXPECT_EQ(GetLine(ed, 1).substr(0, 10), "abcdef" + code + " ");
    EXPECT_EQ(Text(1), "abcdef");

    // Only the next line is coloured: the joined line takes its colour.
    Load({"abc", "def" + code});
    At(1, 4);
    Run(CmdJoinLines);
    EXPECT_EQ(GetLine(ed, 1).substr(0, 9), "abcdef" + code);

    // A partial join leaves the next line its own colour.
    ed.FormatWidth = 10;
    Load({"abc", "def ghi jkl" + code});
    At(1, 4);
    Run(CmdJoinLines);
    EXPECT_EQ(Text(1), "abcdef ghi");
    EXPECT_EQ(GetLine(ed, 2).substr(0, 6), "jkl" + code);
}

TEST_F(LineEditTest, AfterAJoinTheRestoresCannotLoseTheJoinedText)
{
    Load({"abc", "def", "x"});
    At(1, 4);
    Type("!");
    Run(CmdDel);
    ASSERT_EQ(Text(1), "abc!def");
    Run(CmdCancelLastChange);
    Run(CmdRestoreLine);
    EXPECT_EQ(Text(1), "abc!def") << "the line that held «def» is gone";

    ed.FormatWidth = 10;
    Load({"abc", "def ghi jkl"});
    At(1, 4);
    Run(CmdJoinLines);
    Run(CmdCancelLastChange);
    Run(CmdRestoreLine);
    EXPECT_EQ(Text(1), "abcdef ghi");
    EXPECT_EQ(Text(2), "jkl");
}

TEST_F(LineEditTest, JoinOnTheLastLineDoesNothing)
{
    Load({"abc"});
    At(1, 4);
    Run(CmdJoinLines);
    EXPECT_EQ(Text(1), "abc");
}

TEST_F(LineEditTest, SplitMovesTheRestToAnIndentedLineAndTheCursorStays)
{
    Load({"hello world"});
    At(1, 7);
    Run(CmdSplitLine);
    EXPECT_EQ(Text(1), "hello");
    EXPECT_EQ(Text(2), "world");
    ExpectCursor(1, 7);

    ed.TabStops[1] = 3;
    Load({"hello world"});
    At(1, 7);
    Run(CmdSplitLine);
    EXPECT_EQ(Text(2), "  world");

    // Past the end: an empty line of LineCapacity.
    Load({"abc"});
    At(1, 200);
    Run(CmdSplitLine);
    EXPECT_EQ(Text(2), "");
    EXPECT_EQ(GetLine(ed, 2).size(), static_cast<size_t>(ed.LineCapacity));
}

TEST_F(LineEditTest, SplitRefusesALineThatWouldPass255WithItsIndent)
{
    ed.TabStops[1] = 9;
    Load({std::string(250, 'x')}, 250);
    At(1, 2);
    Run(CmdSplitLine);
    EXPECT_EQ(ed.LineCount, 1);
    EXPECT_EQ(Text(1), std::string(250, 'x'));
}

TEST_F(LineEditTest, WordToLeftAndDeleteWord)
{
    Load({"hello world"});
    At(1, 12);
    Run(CmdDeleteWordLeft);
    EXPECT_EQ(Text(1), "hello");
    ExpectCursor(1, 7);

    Load({"hello world"});
    At(1, 7);
    Run(CmdDeleteWordLeft);
    EXPECT_EQ(Text(1), "world");
    ExpectCursor(1, 1);

    Load({"hello world"});
    At(1, 3);
    Run(CmdDeleteWord);
    EXPECT_EQ(Text(1), "world");
    ExpectCursor(1, 1);

    Load({"hello world"});
    At(1, 9);
    Run(CmdDeleteWord);
    EXPECT_EQ(Text(1), "hello");

    Load({"a   , b"});
    At(1, 2);
    Run(CmdDeleteWord);
    EXPECT_EQ(Text(1), "a, b") << "the blanks at the cursor go";
    Load({"x ,, y"});
    At(1, 3);
    Run(CmdDeleteWord);
    EXPECT_EQ(Text(1), "x y") << "a delimiter after a blank goes with the blanks after it";

    Load({"abc   "});
    At(1, 5);
    Run(CmdDeleteWord);
    EXPECT_EQ(Text(1), "abc") << "nothing past the text";
}

TEST_F(LineEditTest, ToEndOfLineBlanksFromTheCursor)
{
    Load({"hello world"});
    At(1, 6);
    Run(CmdDeleteToEnd);
    EXPECT_EQ(Text(1), "hello");
}

TEST_F(LineEditTest, AddEmptyAndDuplicate)
{
    ed.TabStops[1] = 5;
    Load({"one", std::string("two\x03\t", 5)}, 10);
    Run(CmdAddEmptyLine);
    ASSERT_EQ(ed.LineCount, 3);
    ExpectCursor(2, 5);
    EXPECT_EQ(Text(2), "");
    EXPECT_EQ(Text(3), "two");

    At(3, 1);
    Run(CmdDuplicateLine);
    ASSERT_EQ(ed.LineCount, 4);
    EXPECT_EQ(ed.CurrentLine, 4);
    EXPECT_EQ(GetLine(ed, 4), GetLine(ed, 3)) << "the whole record, colour code too";
}

TEST_F(LineEditTest, AddEmptyAtTheLineLimitShowsTheMessage)
{
    ReleaseAllLines(ed);
    for (int i = 0; i < MaxLines; ++i) ASSERT_TRUE(AppendLoadedLine(ed, "x"));
    At(5, 1);
    Run(CmdAddEmptyLine);
    EXPECT_EQ(ed.LineCount, MaxLines);
    EXPECT_EQ(ed.CurrentLine, 5);
    Run(CmdDuplicateLine);
    Run(CmdSplitLine);
    EXPECT_EQ(ed.LineCount, MaxLines);
}

TEST_F(LineEditTest, FiveDeletesThenFiveNextChangedLinesRestoreTheOrder)
{
    Load({"l1", "l2", "l3", "l4", "l5", "l6", "l7", "l8"});
    At(2, 1);
    for (int i = 0; i < 5; ++i) Run(CmdDeleteLine);
    ASSERT_EQ(ed.LineCount, 3);
    EXPECT_EQ(Text(2), "l7");
    for (int i = 0; i < 5; ++i) Run(CmdNextChangedLine);
    ASSERT_EQ(ed.LineCount, 8);
    for (int i = 1; i <= 8; ++i) EXPECT_EQ(Text(i), "l" + std::to_string(i));
    EXPECT_FALSE(ed.LineEdited);
}

TEST_F(LineEditTest, RestoresAfterDeleteLineNeverWriteTheDeletedLineIntoTheNext)
{
    Load({"one", "two", "three"});
    At(1, 1);
    Run(CmdDeleteLine);
    ASSERT_EQ(Text(1), "two");
    Run(CmdCancelLastChange);
    Run(CmdRestoreLine);
    EXPECT_EQ(Text(1), "two");
    EXPECT_EQ(ed.LineCount, 2);
    Run(CmdNextChangedLine);
    EXPECT_EQ(Text(1), "one");
    EXPECT_EQ(Text(2), "two");
}

TEST_F(LineEditTest, DeleteLineOnTheLastLineAsksFirst)
{
    Load({"a", "b"});
    At(2, 1);
    con.Type("2");
    Run(CmdDeleteLine);
    EXPECT_EQ(ed.LineCount, 2);
    con.Push(0x0000011B);  // Esc
    Run(CmdDeleteLine);
    EXPECT_EQ(ed.LineCount, 2);
    con.Type("1");
    ed.TopLine = 2;
    Run(CmdDeleteLine);
    EXPECT_EQ(ed.LineCount, 1);
    ExpectCursor(1, 1);
    EXPECT_EQ(ed.TopLine, 1);
}

TEST_F(LineEditTest, NextChangedLineRightAfterStartUpInsertsAnEmptyLine)
{
    Load({"text"});
    EXPECT_EQ(ed.RestoreIndex, 255);
    Run(CmdNextChangedLine);
    ASSERT_EQ(ed.LineCount, 2);
    EXPECT_EQ(GetLine(ed, 1).size(), 0u);
    EXPECT_EQ(Text(2), "text");
    EXPECT_EQ(ed.RestoreIndex, 14);
    // Typing into the width-0 line pads it.
    At(1, 3);
    Type("x");
    EXPECT_EQ(Text(1), "  x");
}

TEST_F(LineEditTest, LikeBeforeEnteringAndCancelLastChange)
{
    Load({"abc"});
    At(1, 4);
    Type("xyz");
    Run(CmdCancelLastChange);
    EXPECT_EQ(Text(1), "abcxy");
    EXPECT_EQ(ed.CurrentColumn, 6);
    Run(CmdCancelLastChange);
    EXPECT_EQ(Text(1), "abcxyz") << "the second cancel undoes the first";

    Run(CmdRestoreLine);
    EXPECT_EQ(Text(1), "abc");

    // After leaving the line, neither touches it.
    Load({"abc", "def"});
    At(1, 4);
    Type("x");
    SplitKey(ed, 0);
    CursorDown(ed);
    Run(CmdRestoreLine);
    Run(CmdCancelLastChange);
    EXPECT_EQ(Text(2), "def");
    EXPECT_EQ(Text(1), "abcx");
}

TEST_F(LineEditTest, RestoreRingWrapsAfterSixteenSaves)
{
    Load({"l1", "l2", "l3", "l4", "l5", "l6", "l7", "l8", "l9", "l10", "l11", "l12", "l13",
          "l14", "l15", "l16", "l17", "l18", "last"});
    for (int i = 0; i < 18; ++i) Run(CmdDeleteLine);
    EXPECT_EQ(ed.RestoreIndex, 17 % 16);
    Run(CmdNextChangedLine);
    EXPECT_EQ(Text(1), "l18");
    EXPECT_EQ(ed.RestoreIndex, 0);
}

TEST_F(LineEditTest, InsAndWrapToggles)
{
    Load({""});
    Run(CmdInsertToggle);
    EXPECT_FALSE(ed.InsertMode);
    Run(CmdWrapToggle);
    EXPECT_TRUE(ed.FillCell & WrapOff);
    Run(CmdWrapToggle);
    EXPECT_FALSE(ed.FillCell & WrapOff);
}

TEST_F(LineEditTest, DelWithAMarkedBlockAsks)
{
    Load({"abc"});
    ed.LineBlockFirst = ed.LineBlockLast = 1;
    int deleted = 0;
    ed.DeleteMarkedBlock = [&deleted](Editor&) { ++deleted; };
    con.Type("3");
    Run(CmdDel);
    EXPECT_EQ(Text(1), "abc");
    con.Type("2");
    Run(CmdDel);
    EXPECT_EQ(Text(1), "bc");
    con.Type("1");
    Run(CmdDel);
    EXPECT_EQ(deleted, 1);
    EXPECT_EQ(Text(1), "bc");
}

TEST_F(LineEditTest, EnterOnTheLastLineAddsALine)
{
    Load({"a", "b"});
    Run(CmdEnter, Enter);
    ExpectCursor(2, 1);
    Run(CmdEnter, Enter);
    EXPECT_EQ(ed.LineCount, 3);
    ExpectCursor(3, 1);
}

}  // namespace
}  // namespace lumo
