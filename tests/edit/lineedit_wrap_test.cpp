#include "edit/lineedit_test_fixture.h"

namespace lumo {
namespace {

struct TypingTest : TextFixture {
    void SetUp() override
    {
        TextFixture::SetUp();
        ed.FormatWidth = 20;
    }
};

TEST_F(TypingTest, TheLastWordWrapsToANewLineWithTheCursor)
{
    Load({""});
    Type("aaaa bbbb cccc dddd e");
    ASSERT_EQ(ed.LineCount, 2);
    ExpectCursor(2, 2);
    EXPECT_FALSE(ed.LineEdited) << "the cursor is on another line now";
    // Right after the wrap neither restore may write the first line's text
    // into the new one: the new line has not been edited yet.
    Run(CmdCancelLastChange);
    Run(CmdRestoreLine);
    EXPECT_EQ(Text(1), "aaaa bbbb cccc dddd");
    EXPECT_EQ(Text(2), "e");
    ExpectCursor(2, 2);

    Type("eee");
    EXPECT_EQ(Text(1), "aaaa bbbb cccc dddd");
    EXPECT_EQ(Text(2), "eeee");
    ExpectCursor(2, 5);
    EXPECT_EQ(ed.WrapShift, 2);
    // Later restores work on the new line's own earlier states: Cancel takes
    // back the last key only, Like before entering gives the line as the
    // cursor found it (the wrapped word).
    Run(CmdCancelLastChange);
    EXPECT_EQ(Text(2), "eee");
    Run(CmdRestoreLine);
    EXPECT_EQ(Text(2), "e");
    EXPECT_EQ(Text(1), "aaaa bbbb cccc dddd");
    EXPECT_EQ(ed.LineCount, 2);
}

TEST_F(TypingTest, CancelRightAfterTheWrappingKeyStaysOnTheNewLine)
{
    Load({""});
    Type("aaaa bbbb cccc dddd e");
    ExpectCursor(2, 2);
    Type("e");
    Run(CmdCancelLastChange);
    EXPECT_EQ(Text(2), "e");
    EXPECT_EQ(Text(1), "aaaa bbbb cccc dddd");
    ExpectCursor(2, 2);
}

TEST_F(TypingTest, AWrapWhoseWordCannotBeStoredChangesNothing)
{
    ed.FormatWidth = 30;
    Load({"aaaa bbbb cccc dddd eeee ffff"}, 30);
    int at = 2;
    InsertLine(ed, 10, at);
    SetLine(ed, "xxxxxxxxx", 2);
    ed.MemoryBudget = ed.MemoryUsed;  // no record can grow, no line can be added
    At(1, 30);
    Type(" g");
    EXPECT_EQ(ed.LineCount, 2);
    EXPECT_EQ(Text(1), "aaaa bbbb cccc dddd eeee ffff");
    EXPECT_EQ(Text(2), "xxxxxxxxx");
    ExpectCursor(1, 31);
}

TEST_F(TypingTest, AWrappedWordGoesInFrontOfTheNextLinesTextOrOnANewParagraphLine)
{
    Load({"aaaa bbbb cccc dddd", "xx yy"});
    At(1, 20);
    Type(" eeee");
    ASSERT_EQ(ed.LineCount, 2);
    EXPECT_EQ(Text(2), "eeee xx yy");
    ExpectCursor(2, 5);

    Load({"aaaa bbbb cccc dddd", "        xx"});  // starts at TabStops[2]: a new paragraph
    At(1, 20);
    Type(" eeee");
    ASSERT_EQ(ed.LineCount, 3);
    EXPECT_EQ(Text(2), "eeee");
    EXPECT_EQ(Text(3), "        xx");
}

TEST_F(TypingTest, AWordThatDoesNotFitInFrontOfTheNextLineGetsANewLine)
{
    Load({"aaaa bbbb cccc dddd", "xxxxxxxxx yyyyyyyyy"});
    At(1, 20);
    Type(" eeee");
    ASSERT_EQ(ed.LineCount, 3);
    EXPECT_EQ(Text(2), "eeee");
    EXPECT_EQ(Text(3), "xxxxxxxxx yyyyyyyyy");
}

TEST_F(TypingTest, TypingInTheMiddlePushesTheLastWordDownAndTheCursorStays)
{
    Load({"aaaa bbbb cccc dddd"});
    At(1, 1);
    Type("zz");
    EXPECT_EQ(Text(1), "zzaaaa bbbb cccc");
    EXPECT_EQ(Text(2), "dddd");
    ExpectCursor(1, 3);
}

TEST_F(TypingTest, ABlankAfterTheTextPastTheWidthIsNotGluedToEitherLine)
{
    Load({"aaaa bbbb cccc ddddd", "xx yy"});
    At(1, 21);
    Type(" e");
    EXPECT_EQ(Text(1), "aaaa bbbb cccc ddddd");
    EXPECT_EQ(Text(2), "e xx yy");
    ExpectCursor(2, 2);
}

TEST_F(TypingTest, ABlankPastTheCapacityStartsTheNextLine)
{
    ed.FormatWidth = 254;
    SetLineCapacity(ed, 10);
    Load({"0123456789", "          "});
    At(1, 11);
    Type(" ");
    EXPECT_EQ(Text(1), "0123456789");
    ExpectCursor(2, 1);
    EXPECT_EQ(ed.LineCount, 3) << "an empty next line gets a new line in front of it";
}

TEST_F(TypingTest, WrapOffLetsTheLineGrowAndTheRecordFollows)
{
    ed.FillCell |= WrapOff;
    Load({""}, 20);
    std::string text(30, 'w');
    Type(text);
    EXPECT_EQ(ed.LineCount, 1);
    EXPECT_EQ(Text(1), text);
    EXPECT_GE(GetLine(ed, 1).size(), 30u);
    ExpectCursor(1, 31);
}

TEST_F(TypingTest, OverwriteReplacesTheCharacterUnderTheCursor)
{
    ed.InsertMode = false;
    Load({"abc"});
    At(1, 2);
    Type("x");
    EXPECT_EQ(Text(1), "axc");
    ExpectCursor(1, 3);
}

TEST_F(TypingTest, AWordThatCannotWrapRefusesTheCharacterAndKeepsTheLine)
{
    Load({""});
    Type("abcdefghijklmnopqrstuv");
    EXPECT_EQ(Text(1), "abcdefghijklmnopqrst");
    ExpectCursor(1, 21);

    // Overwrite mode: the refused character does not eat the one under the cursor.
    ed.InsertMode = false;
    Load({"abcdefghijklmnopqrstuvw"});
    At(1, 3);
    EXPECT_FALSE(TypeChar(ed, 'x'));
    EXPECT_EQ(Text(1), "abcdefghijklmnopqrstuvw");
}

TEST_F(TypingTest, AWordLongerThanTheWidthStaysAndIsNotTypedBackwards)
{
    ed.FormatWidth = 8;
    Load({"a bcdefgh"});
    At(1, 10);
    Type("xy");
    EXPECT_EQ(Text(1), "a bcdefghxy");
    ExpectCursor(1, 12);
    EXPECT_EQ(ed.LineCount, 1);
}

TEST_F(TypingTest, HangingIndentContinuesListItemsUnderTheirText)
{
    Load({""});
    Type("3. aaaa bbbb cccc dddd");
    EXPECT_EQ(Text(1), "3. aaaa bbbb cccc");
    EXPECT_EQ(Text(2), "   dddd");
    ExpectCursor(2, 8);

    ed.FormatWidth = 12;
    Load({""});
    Type("12) a long item");
    EXPECT_EQ(Text(1), "12) a long");
    EXPECT_EQ(Text(2), "    item");

    Load({""});
    Type("* one two three");
    EXPECT_EQ(Text(2), "  three");
}

TEST_F(TypingTest, HangingIndentNeedsBlankColumnsInTheTargetLine)
{
    EXPECT_EQ(HangingIndent("3. text", "        ", 1), 4);
    EXPECT_EQ(HangingIndent("3. text", "  x", 1), 1);
    EXPECT_EQ(HangingIndent("12) item", "", 1), 5);
    EXPECT_EQ(HangingIndent("a3. text", "", 1), 1);
    EXPECT_EQ(HangingIndent("7 x", "", 3), 5);
}

TEST_F(TypingTest, NothingIsPushedOffAFullLine)
{
    ed.FillCell |= WrapOff;
    Load({std::string(255, 'a')}, 255);
    At(1, 10);
    EXPECT_FALSE(TypeChar(ed, 'x'));
    EXPECT_EQ(Text(1), std::string(255, 'a'));

    // Trailing blanks are padding: they make room.
    Load({"abc"}, 255);
    At(1, 2);
    EXPECT_TRUE(TypeChar(ed, 'x'));
    EXPECT_EQ(Text(1), "axbc");
    EXPECT_EQ(GetLine(ed, 1).size(), 255u);

    // Column 256 (one past a full record) takes nothing.
    Load({std::string(255, 'b')}, 255);
    At(1, 256);
    EXPECT_FALSE(TypeChar(ed, 'x'));
    EXPECT_EQ(ed.CurrentColumn, 256);
}

TEST_F(TypingTest, TypingPastTheTextOfAColouredLineKeepsTheColourCodeAtTheEnd)
{
    const std::string code("\x0E\x01\t", 3);
    Load({"abc" + code});
    At(1, 4);  // where End puts the cursor: on the code
    Type("x");
    EXPECT_EQ(GetLine(ed, 1).substr(0, 7), "abcx" + code);

    // Overwrite mode never eats the code, and a column past it types in
    // front of it.
    ed.InsertMode = false;
    Load({"abc" + code});
    At(1, 4);
    Type("xy");
    At(1, 10);
    Type("z");
    EXPECT_EQ(GetLine(ed, 1).substr(0, 13), "abcxy    z" + code);

    // A wrap keeps the code on the line it was on.
    ed.InsertMode = true;
    Load({"aaaa bbbb cccc dddd" + code});
    At(1, 21);
    Type("eeee");
    EXPECT_EQ(GetLine(ed, 1).substr(0, 22), "aaaa bbbb cccc dddd" + code);
    EXPECT_EQ(Text(2), "eeee");

    // No room for the code after the text: the character is refused.
    ed.FillCell |= WrapOff;
    Load({std::string(252, 'a') + code}, 255);
    At(1, 253);
    EXPECT_FALSE(TypeChar(ed, 'x'));
    EXPECT_EQ(GetLine(ed, 1), std::string(252, 'a') + code);
}

TEST_F(TypingTest, TypingPastAShortRecordPadsToTheColumn)
{
    Load({""}, 0);
    At(1, 5);
    Type("x");
    EXPECT_EQ(Text(1), "    x");
    ExpectCursor(1, 6);
}

TEST_F(TypingTest, ARefusedLineForTheWrapStoresNothing)
{
    Load({""});
    // Leave the budget too small for another line.
    ed.MemoryBudget = ed.MemoryUsed + 300;
    Type("aaaa bbbb cccc dddd ");
    ed.MemoryBudget = ed.MemoryUsed + 10;
    EXPECT_FALSE(TypeChar(ed, 'e'));
    EXPECT_EQ(ed.LineCount, 1);
    EXPECT_EQ(Text(1), "aaaa bbbb cccc dddd");
    ExpectCursor(1, 21);
}

TEST_F(TypingTest, TheBoxOnTheLineFollowsInsertedText)
{
    Load({"abcdefgh"});
    ed.BoxFirstLine = ed.BoxLastLine = 1;
    ed.BoxFirstColumn = 5;
    ed.BoxLastColumn = 7;
    At(1, 5);
    Type("x");
    EXPECT_EQ(ed.BoxFirstColumn, 6);
    EXPECT_EQ(ed.BoxLastColumn, 8);
    At(1, 9);
    Type("y");
    EXPECT_EQ(ed.BoxFirstColumn, 6) << "typing right of the box leaves it";

    ed.BoxLastColumn = 20;
    At(1, 1);
    Type("z");
    EXPECT_EQ(ed.BoxFirstLine, 0) << "pushed past the width: unmarked";
}

TEST_F(TypingTest, TypeStringTypesEachCharacterAndPlacesTheCursor)
{
    Load({"ab"});
    At(1, 2);
    TypeString(ed, "xyz");
    EXPECT_EQ(Text(1), "axyzb");
    EXPECT_EQ(con.cursorColumn, 4);
    EXPECT_EQ(con.cursorRow, 2);
}

}  // namespace
}  // namespace lumo
