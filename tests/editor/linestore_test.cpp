#include <gtest/gtest.h>

#include "console/scripted_console.h"
#include "editor/linestore.h"

namespace lumo {
namespace {

struct LineStoreTest : ::testing::Test {
    ScriptedConsole con;
    Editor ed{con};
    void SetUp() override { con.OpenScreen(); }
    void Fill(int lines)
    {
        for (int i = 1; i <= lines; ++i) {
            int at = ed.LineCount + 1;
            InsertLine(ed, 10, at);
            SetLine(ed, "line" + std::to_string(i), at);
        }
    }
    std::string Text(int n) { return GetLine(ed, n).substr(0, TrimmedLength(GetLine(ed, n))); }
};

TEST_F(LineStoreTest, TrimmedLengthSkipsBlanksAndTrailingColourCodes)
{
    EXPECT_EQ(TrimmedLength("abc\x01\x0E\t"), 3);
    EXPECT_EQ(TrimmedLength("abc\t"), 4);
    EXPECT_EQ(TrimmedLength("     "), 0);
    EXPECT_EQ(TrimmedLength("\t"), 1);
    EXPECT_EQ(TrimmedLength("abc\x05\t   "), 3);
    // A byte of 16 or more before the TAB is text, as the screen shows it.
    EXPECT_EQ(TrimmedLength("abc\x11\t"), 5);
    EXPECT_EQ(TrimmedLength(std::string("ab\0", 3)), 3);
}

TEST_F(LineStoreTest, SetLineKeepsOrGrowsTheRecordButNeverShrinksIt)
{
    Fill(1);
    SetLine(ed, "abc", 1);
    EXPECT_EQ(GetLine(ed, 1), "abc       ");
    SetLine(ed, "abcdefghijkl", 1);
    EXPECT_EQ(GetLine(ed, 1), "abcdefghijkl");
    SetLine(ed, "ab", 1);
    EXPECT_EQ(GetLine(ed, 1), "ab          ");
    // A trailing colour code is never cut off by the capacity.
    SetLine(ed, "0123456789\x04\t", 1);
    EXPECT_EQ(GetLine(ed, 1), std::string("0123456789\x04\t"));
    EXPECT_EQ(TrimmedLength(GetLine(ed, 1)), 10);
}

TEST_F(LineStoreTest, InsertKeepsReferencesInStep)
{
    Fill(8);
    ed.LineBookmarks[1] = 5;
    ed.CurrentLine = 5;
    ed.LineBlockFirst = 4;
    ed.LineBlockLast = 6;
    ed.PositionBookmarks[1] = {5, 3, 2};
    int at = 5;
    InsertLine(ed, 10, at);
    EXPECT_EQ(ed.LineBookmarks[1], 6);
    EXPECT_EQ(ed.CurrentLine, 5);
    EXPECT_EQ(ed.LineBlockFirst, 4);
    EXPECT_EQ(ed.LineBlockLast, 7);
    EXPECT_EQ(ed.PositionBookmarks[1].line, 6);
    EXPECT_EQ(ed.PositionBookmarks[1].top, 2);
    ed.CurrentLine = 6;
    at = 5;
    InsertLine(ed, 10, at);
    EXPECT_EQ(ed.CurrentLine, 7);
    EXPECT_EQ(ed.LineCount, 10);
}

TEST_F(LineStoreTest, FirstInsertIntoEmptyTextDoesNotModify)
{
    int at = 1;
    InsertLine(ed, 5, at);
    EXPECT_FALSE(ed.Modified);
    at = 2;
    InsertLine(ed, 5, at);
    EXPECT_TRUE(ed.Modified);
}

TEST_F(LineStoreTest, DeleteKeepsReferencesInStepAndRemovesEmptiedBlocks)
{
    Fill(10);
    ed.LineBookmarks[1] = 5;
    ed.LineBookmarks[2] = 7;
    ed.PositionBookmarks[2] = {5, 1, 5};
    int at = 5;
    DeleteLine(ed, at);
    EXPECT_EQ(ed.LineBookmarks[1], 0);
    EXPECT_EQ(ed.LineBookmarks[2], 6);
    EXPECT_EQ(ed.PositionBookmarks[2].line, 0);
    EXPECT_EQ(ed.PositionBookmarks[2].top, 5);
    EXPECT_EQ(Text(5), "line6");

    ed.LineBlockFirst = 3;
    ed.LineBlockLast = 4;
    at = 3;
    DeleteLine(ed, at);
    at = 3;
    DeleteLine(ed, at);
    EXPECT_EQ(ed.LineBlockFirst, 0);
    EXPECT_EQ(ed.LineBlockLast, 0);

    ed.CurrentLine = ed.LineCount;
    at = ed.LineCount;
    DeleteLine(ed, at);
    EXPECT_EQ(ed.CurrentLine, ed.LineCount);
    EXPECT_EQ(at, ed.LineCount);
}

TEST_F(LineStoreTest, DeletingTheOnlyLineBlanksIt)
{
    Fill(1);
    ed.CurrentColumn = 4;
    int at = 1;
    DeleteLine(ed, at);
    EXPECT_EQ(ed.LineCount, 1);
    EXPECT_EQ(GetLine(ed, 1), std::string(10, ' '));
    EXPECT_EQ(ed.CurrentColumn, 1);
    EXPECT_EQ(ed.RestoreRing[0].substr(0, 5), "line1");
}

TEST_F(LineStoreTest, LineLimitRefusesWithMessageAndStepsBack)
{
    for (int i = 0; i < MaxLines - 1; ++i) AppendLoadedLine(ed, "x");
    int at = ed.LineCount + 1;
    InsertLine(ed, 3, at);
    EXPECT_EQ(ed.OperationFailed, 0);
    EXPECT_EQ(ed.LineCount, MaxLines);
    at = 100;
    InsertLine(ed, 3, at);
    EXPECT_EQ(ed.OperationFailed, 1);
    EXPECT_EQ(at, 99);
    EXPECT_EQ(ed.LineCount, MaxLines);
    EXPECT_NE(con.writtenBytes.find("TOO MANY LINES! DO NOT SAVE THIS FILE!"), std::string::npos);
}

TEST(LineStoreBudget, RefusesInsertAndGrowthWhenTheBudgetIsSpent)
{
    ScriptedConsole con;
    con.OpenScreen();
    Editor ed(con, LineSlots * 4 + 134 + 40);
    int at = 1;
    InsertLine(ed, 20, at);
    SetLine(ed, "short", 1);
    at = 2;
    InsertLine(ed, 30, at);
    EXPECT_EQ(ed.OperationFailed, 1);
    EXPECT_EQ(at, 1);
    EXPECT_NE(con.writtenBytes.find("NOT ENOUGH MEMORY!"), std::string::npos);
    // Growing past what is left keeps the old text.
    SetLine(ed, std::string(60, 'y'), 1);
    EXPECT_EQ(GetLine(ed, 1).substr(0, 5), "short");
    // Growing within it works, and the old record is given back.
    SetLine(ed, std::string(30, 'z'), 1);
    EXPECT_EQ(GetLine(ed, 1), std::string(30, 'z'));
}

TEST_F(LineStoreTest, BeginLineChangeSavesOncePerVisit)
{
    Fill(2);
    BeginLineChange(ed, 1);
    BeginLineChange(ed, 2);
    EXPECT_EQ(ed.RestoreIndex, 0);
    EXPECT_TRUE(ed.Modified);
    ed.LineEdited = false;
    BeginLineChange(ed, 2);
    EXPECT_EQ(ed.RestoreIndex, 1);
    EXPECT_EQ(ed.RestoreRing[1].substr(0, 5), "line2");
}

TEST_F(LineStoreTest, DeleteCharsOutsideTheLineChangesNothing)
{
    Fill(1);
    DeleteChars(ed, 1, 0, 1);
    DeleteChars(ed, 1, 40, 1);
    EXPECT_EQ(Text(1), "line1");
    DeleteChars(ed, 1, 2, 100);
    EXPECT_EQ(Text(1), "l");
}

}  // namespace
}  // namespace lumo

namespace lumo {
namespace {

// Loaded lines share larger blocks; editing, deleting and releasing them must
// behave exactly as for lines made one by one (the sanitizer build catches a
// block freed twice or a piece of a shared block handed to free).
TEST_F(LineStoreTest, LoadedLinesShareBlocksYetBehaveAsOwnRecords)
{
    ed.LineCapacity = 20;
    for (int i = 1; i <= 3000; ++i) ASSERT_TRUE(AppendLoadedLine(ed, "loaded " + std::to_string(i) + "   "));
    EXPECT_EQ(ed.LineCount, 3000);
    EXPECT_EQ(Text(1), "loaded 1");
    EXPECT_EQ(LineCapacityOf(ed, 1), 20);
    EXPECT_EQ(GetLine(ed, 2).size(), 20u);
    // Longer than the stored text: the line moves out to a block of its own.
    SetLine(ed, "a much longer line", 1);
    SetLine(ed, "x", 2);  // shorter: stays where it was
    EXPECT_EQ(Text(1), "a much longer line");
    EXPECT_EQ(Text(2), "x");
    EXPECT_EQ(Text(3), "loaded 3");
    int gone = 2;
    DeleteLine(ed, gone);
    gone = 1;
    DeleteLine(ed, gone);
    EXPECT_EQ(Text(1), "loaded 3");
    ed.CurrentLine = 1;
    ed.CurrentColumn = 3;
    ClearToEnd(ed);
    EXPECT_EQ(Text(1), "lo");
    int at = 10;
    InsertLine(ed, 10, at);
    SetLine(ed, "own", at);
    ReleaseAllLines(ed);
    EXPECT_EQ(ed.LineCount, 0);
    // A second load after a release starts afresh.
    ASSERT_TRUE(AppendLoadedLine(ed, std::string(300, 'z')));
    EXPECT_EQ(LineText(ed, 1).size(), 255u);
    EXPECT_EQ(LineCapacityOf(ed, 1), 255);
}

}  // namespace
}  // namespace lumo
