#include "ui/render_fixture.h"

namespace lumo {
namespace {

struct StatusLineTest : ScreenTest {
    explicit StatusLineTest(int columns = 80) : ScreenTest(columns) {}

    // The worked example: NOTES.TXT, line 12, column 5 over "a", 340 lines,
    // 1520 KiB free.
    void Example()
    {
        ed.FileName = "C:\\TEXT\\NOTES.TXT";
        for (int i = 1; i <= 340; ++i) ASSERT_TRUE(AppendLoadedLine(ed, i == 12 ? "abcda" : "x"));
        ed.CurrentLine = 12;
        ed.CurrentColumn = 5;
        SetFreeKiB(1520);
    }
    void SetFreeKiB(size_t kib) { ed.MemoryBudget = ed.MemoryUsed + kib * 1024 + 1000; }
    std::string Status() const { return con.Row(1).substr(0, 80); }
};

const char* const ExampleRow = "C:\\TEXT\\NOTES.TXT    line=12   column=5   size=340  memory=1520K 'a'=61/97  123 ";

TEST_F(StatusLineTest, WorkedExampleCharacterForCharacter)
{
    Example();
    DrawStatusLine(ed);
    EXPECT_EQ(Status(), ExampleRow);
    EXPECT_EQ(con.ShadowCells, con.ScreenCells);
    // Insert mode highlights the character; no bookmark digit is visible;
    // no "R" and no block mark.
    for (int c = 1; c <= 80; ++c) {
        int expected = c == 67 ? 0x70 : (c >= 77 && c <= 79) ? 0x00 : 0x07;
        EXPECT_EQ(A(c, 1), expected) << "cell " << c;
    }
}

TEST_F(StatusLineTest, MemoryFieldKeepsItsColumns)
{
    Example();
    struct Case { size_t kib; const char* field; };
    const Case cases[] = {{12, "memory=12 K  '"}, {152, "memory=152K  '"}, {5, "memory=5  K  '"},
                          {1520, "memory=1520K '"}, {12345, "memory=1234K '"}, {0, "memory=0  K  '"}};
    for (const Case& c : cases) {
        SetFreeKiB(c.kib);
        DrawStatusLine(ed);
        EXPECT_EQ(Status().substr(52, 14), c.field) << c.kib;
        EXPECT_EQ(Status().substr(66, 14), "a'=61/97  123 ");
    }
}

TEST_F(StatusLineTest, SwitchesBookmarksAndBlockShowInTheirCells)
{
    Example();
    ed.RusMode = true;
    ed.InsertMode = false;
    ed.LineBookmarks[1] = 12;   // on the current line
    ed.LineBookmarks[2] = 40;   // elsewhere
    ed.BoxFirstLine = ed.BoxLastLine = 3;
    DrawStatusLine(ed);
    EXPECT_EQ(C(76, 1), 'R');
    EXPECT_EQ(A(76, 1), 0x70);
    EXPECT_EQ(A(67, 1), 0x07);
    EXPECT_EQ(Attrs(1, 77, 80), (std::vector<int>{0x4B, 0x07, 0x00, 0x70}));
    EXPECT_EQ(Status().substr(76, 4), "123 ");

    ed.RusMode = false;
    ed.BoxFirstLine = ed.BoxLastLine = 0;
    ed.LineBlockFirst = ed.LineBlockLast = 3;
    DrawStatusLine(ed);
    EXPECT_EQ(C(76, 1), ' ');
    EXPECT_EQ(A(76, 1), 0x07);
    EXPECT_EQ(A(80, 1), 0x70);
}

TEST_F(StatusLineTest, CharacterUnderTheCursor)
{
    Example();
    ed.CurrentColumn = 300;  // beyond the record: a blank
    DrawStatusLine(ed);
    EXPECT_EQ(Status().substr(65, 11), "' '=20/32  ");
    SetLine(ed, "\xEF" "bcda", 12);
    ed.CurrentColumn = 1;
    DrawStatusLine(ed);
    EXPECT_EQ(Status().substr(65, 11), "'\xEF'=EF/239 ");
    // A control byte shows as its glyph, in the status line's colour.
    SetLine(ed, "\x01" "bcda", 12);
    DrawStatusLine(ed);
    EXPECT_EQ(Status().substr(65, 11), "'\x02'=01/1   ");
    EXPECT_EQ(A(66, 1), 0x07);
}

TEST_F(StatusLineTest, LongNamesAndNumbersStayInTheirFields)
{
    Example();
    ed.FileName = "/home/someone/projects/letters/a.txt";
    ed.CurrentLine = 340;
    ed.CurrentColumn = 256;
    DrawStatusLine(ed);
    EXPECT_EQ(Status().substr(0, 52), "/home/someone/projectline=340  column=256 size=340  ");
    // A UTF-8 name shows its Cyrillic letters as the screen's CP866 bytes.
    ed.FileName = "\xD0\xBF\xD0\xB8\xD1\x81\xD1\x8C\xD0\xBC\xD0\xBE.txt";  // "письмо.txt"
    DrawStatusLine(ed);
    EXPECT_EQ(Status().substr(0, 11), "\xAF\xA8\xE1\xEC\xAC\xAE.txt ");
}

TEST_F(StatusLineTest, ColumnMarkerShowsTheCursorColumn)
{
    Example();
    ed.ColumnMarker = true;
    ed.HorizontalScroll = 2;
    DrawStatusLine(ed);
    EXPECT_EQ(A(3, 1), 0xF0);
    EXPECT_EQ(A(5, 1), 0x07);
    ed.HorizontalScroll = 10;  // cursor left of the window: nothing marked
    DrawStatusLine(ed);
    for (int c = 1; c <= 66; ++c) EXPECT_EQ(A(c, 1), 0x07);
}

struct WideStatusLineTest : StatusLineTest, ::testing::WithParamInterface<int> {
    WideStatusLineTest() : StatusLineTest(GetParam()) {}
};

TEST_P(WideStatusLineTest, StatusIsEightyColumnsOnAnyWidth)
{
    Example();
    FillRow(1, 0x4141);
    DrawStatusLine(ed);
    EXPECT_EQ(Status(), ExampleRow);
    EXPECT_EQ(con.Row(1).substr(80), std::string(W() - 80, ' '));
    EXPECT_TRUE(AllAttr(1, 81, W(), 0x07));
    EXPECT_EQ(A(67, 1), 0x70);
}

INSTANTIATE_TEST_SUITE_P(Widths, WideStatusLineTest, ::testing::Values(80, 100, 132));

}  // namespace
}  // namespace lumo
