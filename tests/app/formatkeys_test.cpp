// The formatting keys through the main loop: Ctrl+F and Ctrl+R format and
// align outside Pascal mode and type their keywords inside it, Ctrl+R types
// its character where right alignment does not apply, and Shift+F12 asks
// the line length until the answer is one.
#include "app/loop_fixture.h"
#include "editor/linestore.h"

namespace lumo {
namespace {

using namespace keys;

constexpr KeyEvent CtrlF = 0x00042106;
constexpr KeyEvent CtrlR = 0x00041312;
constexpr KeyEvent ShiftF12 = 0x0202FF0C;

TEST_F(LoopTest, FormatKeysInAndOutOfPascalMode)
{
    AddLines({"aaa bbb", "ccc", "", "   right"});
    ed.FormatWidth = 20;
    Push(CtrlF);
    Run();
    EXPECT_EQ(Text(1), "        aaa bbb ccc");
    EXPECT_EQ(ed.CurrentLine, 2);

    ed.CurrentLine = 3;
    ed.CurrentColumn = 1;
    SetLineCapacity(ed, 20);
    Push(CtrlR);
    Run();
    EXPECT_EQ(Text(3), std::string(15, ' ') + "right");
    SetLineCapacity(ed, 254);
    ed.FormatWidth = 254;
    Push(CtrlR);  // too wide to right-align: the character is typed
    Run();
    EXPECT_EQ(Text(3), "\x12" + std::string(15, ' ') + "right");

    ed.PascalMode = true;
    ed.CurrentLine = 2;
    ed.CurrentColumn = 1;
    Push(CtrlF);
    Push(CtrlR);
    Run();
    EXPECT_EQ(Text(2), "Function Readln();");
}

TEST_F(LoopTest, ShiftF12AsksTheLineLengthAgainUntilItFits)
{
    AddLines({"text"});
    Push(ShiftF12);
    for (const char* answer : {"1", "255", "4x", "1234", "40"}) {
        Type(answer);
        Push(Enter);
    }
    Run();
    EXPECT_EQ(ed.FormatWidth, 40);
    EXPECT_TRUE(con.Showed(" How many columns per line?"));
    Push(ShiftF12);
    Push(Esc);
    Run();
    EXPECT_EQ(ed.FormatWidth, 40);
}

}  // namespace
}  // namespace lumo
