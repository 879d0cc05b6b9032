#include "ui/choice.h"
#include "ui/render_fixture.h"

namespace lumo {
namespace {

constexpr KeyEvent Esc = 0x0000011B, Enter = 0x00001C0D, PadEnter = 0x0000E00D, ShiftEsc = 0x0002011B,
                   AltEsc = 0x03080100, Home = 0x0200FF20, Left = 0x0200FF23, Right = 0x0200FF25,
                   End = 0x0200FF26, PgUp = 0x0200FF22;
constexpr KeyEvent F(int n) { return 0x0200FF00 + n; }

const std::string SixItems = " Menu:|1 One|2 Two|3 Three|4 Four|5 Five|6 Six|";
const std::string Question = " To save into file ? | 1 - yes | 2 - no | 3 = Esc - continue editing |";

struct ChoiceTest : ScreenTest {
    ChoiceTest()
    {
        AddLines({"first line", "second line"});
        ed.FileName = "notes.txt";
    }
    int Choose(const std::string& items, std::initializer_list<KeyEvent> keys, int cursor = 1)
    {
        for (KeyEvent k : keys) con.Push(k);
        ed.MenuCursor = cursor;
        ShowChoice(ed, items);
        EXPECT_TRUE(con.keys.empty()) << "keys left after the answer";
        return ed.ChoiceResult;
    }
    // Draws the prompt and stops at its key read, leaving the rows as shown.
    void ShowWaiting(const std::string& items, const std::string& shortcuts, ChoiceColours set, int cursor)
    {
        ed.MenuCursor = cursor;
        EXPECT_THROW(ShowChoice(ed, items, shortcuts, set), ScriptExhausted);
    }
};

TEST_F(ChoiceTest, FunctionKeysChooseByPosition)
{
    EXPECT_EQ(Choose(SixItems, {F(3)}), 3);
    EXPECT_EQ(ed.ChoiceCount, 6);
    EXPECT_EQ(Choose(SixItems, {F(9), F(12), F(6)}), 6);  // beyond the items: ignored
}

TEST_F(ChoiceTest, DigitsLettersAndOtherKeys)
{
    EXPECT_EQ(Choose(SixItems, {'7', 'a', PgUp, '2'}), 2);
    EXPECT_EQ(Choose(SixItems, {'0'}), 0);
    std::string symbols = " Symbols:|";
    for (int i = 1; i <= 32; ++i) symbols += "s|";
    EXPECT_EQ(Choose(symbols, {'A'}), 17);
    EXPECT_EQ(Choose(symbols, {'P'}), 32);
    EXPECT_EQ(Choose(symbols, {'Q', '9'}), 9);
}

TEST_F(ChoiceTest, EscapesAnswerZeroOrCloseAll)
{
    EXPECT_EQ(Choose(SixItems, {Esc}), 0);
    EXPECT_EQ(Choose(SixItems, {ShiftEsc}), 80);
    EXPECT_EQ(Choose(SixItems, {AltEsc}), 80);
    // The Cyrillic A (0x80) is no way out of the menus.
    EXPECT_EQ(Choose(SixItems, {0x80, '4'}), 4);
}

TEST_F(ChoiceTest, EnterTakesTheHighlightedItemAndArrowsWrap)
{
    EXPECT_EQ(Choose(Question, {Enter}), 1);
    EXPECT_EQ(Choose(SixItems, {Right, PadEnter}, 6), 1);
    EXPECT_EQ(Choose(SixItems, {Left, Enter}, 1), 6);
    EXPECT_EQ(Choose(SixItems, {End, Left, Enter}, 2), 5);
    EXPECT_EQ(Choose(SixItems, {Right, Right, Home, Right, Enter}, 3), 2);
    EXPECT_EQ(ed.MenuCursor, 2);  // the highlight survives the call
}

TEST_F(ChoiceTest, MenuCursorIsClampedToTheItems)
{
    EXPECT_EQ(Choose(" Q? |1 - yes|2 - no|3 - never|", {Enter}, 9), 3);
    EXPECT_EQ(Choose(" Q? |1 - yes|2 - no|3 - never|", {Enter}, 0), 1);
    EXPECT_EQ(Choose(" Q? |1 - yes|2 - no|3 - never|", {Right, Enter}, 40), 1);
}

TEST_F(ChoiceTest, RowsDrawnInSetAWithTheHighlight)
{
    ShowWaiting(SixItems, "Short: | F1", ChoiceColours::A, 2);
    const int bar1 = 7, bar2 = 13, bar3 = 19;  // " Menu:|1 One|2 Two|"
    EXPECT_EQ(con.Row(1).substr(0, 20), " Menu:\xB3" "1 One\xB3" "2 Two\xB3" "3");
    for (int c = 1; c < bar1; ++c) EXPECT_EQ(A(c, 1), 0x3F) << c;
    for (int c = bar1; c < bar2; ++c) EXPECT_EQ(A(c, 1), 0x2F) << c;
    for (int c = bar2; c <= bar3; ++c) EXPECT_EQ(A(c, 1), 0x5F + 0x80) << c;
    EXPECT_EQ(A(bar3 + 1, 1), 0x2F);
    EXPECT_EQ(A(80, 1), 0x2F);  // padding to the row's end
    // The shortcut line: its first bar is a box character.
    EXPECT_EQ(con.Row(2).substr(0, 11), "Short: \xB3 F1");
    EXPECT_TRUE(AllAttr(2, 1, 80, 0x0D));
}

TEST_F(ChoiceTest, RowsDrawnInSetB)
{
    ShowWaiting(" Format:|1 Right|2 No|", "", ChoiceColours::B, 1);
    EXPECT_EQ(A(1, 1), 0x4F);
    EXPECT_EQ(A(9, 1), 0x1C + 0x80);
    EXPECT_EQ(A(17, 1), 0x1C + 0x80);
    EXPECT_EQ(A(18, 1), 0x5F);
    EXPECT_TRUE(RowIs(2, BlankCell));  // no shortcut line: row 2 untouched
}

TEST_F(ChoiceTest, ScreenIsRestoredAfterTheAnswer)
{
    DrawMessageLine(ed);
    con.Push(Esc);
    ed.MenuCursor = 1;
    ShowChoice(ed, SixItems, "hints | here", ChoiceColours::B);
    EXPECT_EQ(con.Row(1).substr(0, 9), "notes.txt");
    EXPECT_TRUE(RowIs(2, ed.FillCell));
    EXPECT_EQ(con.Row(3).substr(0, 10), "first line");
    // The scratch line never turns into text.
    EXPECT_EQ(ed.LineCount, 2);
}

}  // namespace
}  // namespace lumo
