// Colour marks: the bytes each Colours item puts into the line and where,
// the blanks they take the place of, the menus on the way there (Ctrl+F10),
// and the lines a mark must not spoil.
#include "edit/colourmarks.h"

#include "app/loop_fixture.h"
#include "edit/lineedit.h"
#include "files/fileio.h"
#include "test_support.h"

namespace lumo {
namespace {

using namespace std::string_literals;

constexpr KeyEvent CtrlF10 = 0x0204FF0A, ShiftEsc = 0x0002011B;

struct ColourTest : LoopTest {
    void Start(const std::string& line)
    {
        ReleaseAllLines(ed);
        AddLines({line});
        ed.CurrentLine = 1;
        ed.LineEdited = false;
        ed.Modified = false;
    }
    // Ctrl+F10 and the answers as typed ("\n" is Enter).
    void Colour(int column, const std::string& answers, std::initializer_list<KeyEvent> more = {})
    {
        ed.CurrentColumn = column;
        Push(CtrlF10);
        for (char c : answers) Push(c == '\n' ? keys::Enter : KeyEvent(static_cast<uint8_t>(c)));
        for (KeyEvent k : more) Push(k);
        Run();
    }
    std::string Row1() { return con.Row(1).substr(0, 14); }
};

// Foreground and background chosen with "0".."9" and ":".."?" (10..15), or
// with Enter on the highlighted first item (0).
TEST_F(ColourTest, MarksThroughTheMenus)
{
    struct {
        std::string line;
        int column;
        std::string answers;
        std::string expected;
        int columnAfter;
    } const cases[] = {
        // A word yellow on blue: 2, 14, 1 before it, three blanks eaten.
        {"one   two", 8, "2>11", "one\x02\x0E\x01two"s, 8},
        // Black background: a two-byte mark.
        {"one   two", 8, "2>\n1", "one \x02\x0Etwo"s, 8},
        // Line: after the text, the background byte only when above 0.
        {"abc", 1, "3<\n1", "abc\x0C\x09"s, 1},
        {"abc   ", 2, "3<11", "abc\x01\x0C\x09"s, 2},
        // To the end of line, and without blanks, at the cursor.
        {"ab  cd", 5, "4731", "ab\x00\x07\x03"s "cd", 5},
        {"ab  cd", 5, "5:\n1", "ab\x01\x0A"s "cd", 5},
        // Blinking adds 8 to the background.
        {"x    y", 6, "4122", "x \x00\x01\x0Ay"s, 6},
        // Symbol: Enter on the first item is 0; "1" is 1; "A" is 17.
        {"ab", 2, "1\n", "a\x00"s "b", 3},
        {"ab", 2, "1A", "a\x11"s "b", 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answers);
        Start(c.line);
        Colour(c.column, c.answers);
        EXPECT_EQ(std::string(LineText(ed, 1)), c.expected);
        EXPECT_EQ(ed.CurrentColumn, c.columnAfter);
        EXPECT_TRUE(ed.Modified);
    }
}

TEST_F(ColourTest, WaysBackAndAnswersRefused)
{
    Start("one two");
    Colour(5, "2", {keys::Esc});  // Esc in Foreground: the Colours menu, on "2"
    EXPECT_EQ(Row1(), " Colours \xB3 1 S");
    EXPECT_EQ(ed.MenuCursor, 2);
    Colour(5, "31", {keys::Esc});  // Esc in Background likewise
    EXPECT_EQ(Row1(), " Colours \xB3 1 S");
    EXPECT_EQ(ed.MenuCursor, 3);
    Colour(5, "2@");  // 16 is no colour: the Foreground menu stays
    EXPECT_EQ(Row1(), " Foreground: \xB3");
    Colour(5, "218");  // nor is 8 a background
    EXPECT_EQ(Row1(), " Background: \xB3");
    Colour(5, "1:=");  // LF and CR would split the line when saved
    EXPECT_EQ(Row1(), " Symbol: \xB3\xDB\xB3\x02\xB3");
    Colour(5, "2113");  // "3 or Esc - refusal"
    Colour(5, "211", {keys::Esc});
    Colour(5, "21", {ShiftEsc});
    EXPECT_EQ(con.Row(1).find('\xB3'), std::string::npos) << "back to editing";
    EXPECT_EQ(Text(1), "one two");
    EXPECT_FALSE(ed.Modified);

    // The marks go into the file as they are.
    TempDirectory dir;
    ed.FileName = (dir.path / "marked.txt").string();
    Colour(5, "2>11");
    SaveFile(ed);
    EXPECT_EQ(ReadFile(ed.FileName), "one\x02\x0E\x01two\n"s);
}

// The mark is put in whole with one store, never wrapped or cut, and a new
// mark replaces the old one of a word or a line instead of stacking on it.
TEST_F(ColourTest, MarksNeverSpoilTheLine)
{
    struct {
        std::string line;
        int column;
        ColourMark kind;
        int f, b;
        std::string expected;
        bool stored;
    } const cases[] = {
        {"\x02\x0E\x01" "abc"s, 5, ColourMark::Word, 12, 0, "\x02\x0C" "abc"s, true},
        {"x \x02\x0E" "abc"s, 4, ColourMark::Word, 12, 1, "x\x02\x0C\x01" "abc"s, true},
        {"abc\x0C\x09"s, 1, ColourMark::Line, 14, 0, "abc\x0E\x09"s, true},
        // A text ending in a byte below 16 gets its background byte, even 0.
        {"ab\x05"s, 1, ColourMark::Line, 12, 0, "ab\x05\x00\x0C\x09"s, true},
        // At the line width: no wrap, the code stays with its line.
        {"aaaa bbbb cccc ddddd", 3, ColourMark::Line, 12, 0, "aaaa bbbb cccc ddddd\x0C\x09"s, true},
        // Past 255 characters: nothing changes.
        {std::string(254, 'x'), 100, ColourMark::ToEdge, 4, 0, std::string(254, 'x'), false},
        {std::string(253, 'x'), 100, ColourMark::ToEdge, 4, 1, std::string(253, 'x'), false},
        {std::string(253, 'x'), 100, ColourMark::ToTextEnd, 4, 0,
         std::string(99, 'x') + "\x01\x04"s + std::string(154, 'x'), true},
    };
    ed.FormatWidth = 20;
    ed.InsertMode = false;  // a mark is always put in, never over the text
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected.size());
        Start(c.line);
        ed.CurrentColumn = c.column;
        EXPECT_EQ(PutColourMark(ed, c.kind, c.f, c.b), c.stored);
        EXPECT_EQ(std::string(LineText(ed, 1)), c.expected);
        EXPECT_EQ(ed.LineCount, 1);
        EXPECT_EQ(ed.CurrentColumn, c.column);
        EXPECT_EQ(ed.Modified, c.stored);
        EXPECT_FALSE(ed.InsertMode);
    }
}

}  // namespace
}  // namespace lumo
