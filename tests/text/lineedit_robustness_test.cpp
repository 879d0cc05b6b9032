// Every editing and movement command, from every cursor column, on lines
// that are full, empty, short or full of control bytes: nothing may pass 255
// characters, no line may be lost and the cursor stays inside the text.
#include "text/lineedit_test_fixture.h"
#include "text/movement.h"

namespace lumo {
namespace {

using Command = Redraw (*)(Editor&);

Redraw TypeX(Editor& ed) { TypeChar(ed, 'x'); return Redraw::Window; }
Redraw TypeBlank(Editor& ed) { TypeChar(ed, ' '); return Redraw::Window; }
Redraw TypeTab(Editor& ed) { TypeChar(ed, '\t'); return Redraw::Window; }
Redraw TypeMark(Editor& ed) { TypeString(ed, "\x03\x01"); return Redraw::Window; }

const Command Commands[] = {
    TypeX, TypeBlank, TypeTab, TypeMark, CmdDel, CmdBackspace, CmdSplitLine, CmdJoinLines,
    CmdDeleteWord, CmdDeleteWordLeft, CmdDeleteToEnd, CmdDuplicateLine, CmdRestoreLine,
    CmdCancelLastChange, CmdNextChangedLine, CmdDeleteLine, CmdWordLeft, CmdWordRight,
    CmdAltWordLeft, CmdAltWordRight, CmdHome, CmdEnd, CmdTab, CmdShiftTab, CmdLeft, CmdRight,
};

struct RobustnessTest : TextFixture, ::testing::WithParamInterface<int> {};

TEST_P(RobustnessTest, NoCommandBreaksTheLineLimits)
{
    const std::string contents[] = {
        std::string(255, 'w'),
        std::string(254, 'w') + "\t",
        "ab\x01\x05\tcd\x02\t",
        std::string(120, '.') + " " + std::string(134, ','),
        "a b c d e f g h i j k l m n o p q r s t u v w x y z",
        "",
    };
    const int capacities[] = {255, 255, 12, 255, 60, 0};
    const Command command = Commands[GetParam()];
    for (int wrapOff = 0; wrapOff <= 1; ++wrapOff) {
        for (int insert = 0; insert <= 1; ++insert) {
            for (size_t k = 0; k < std::size(contents); ++k) {
                for (int column = 1; column <= 256; column += (column < 20 || column > 240) ? 1 : 7) {
                    Load({contents[k], contents[(k + 1) % std::size(contents)], "tail"}, capacities[k]);
                    ed.FormatWidth = 40;
                    ed.FillCell = wrapOff ? (ed.FillCell | WrapOff) : (ed.FillCell & ~WrapOff);
                    ed.InsertMode = insert;
                    At(1, column);
                    const int before = ed.LineCount;
                    Run(command);
                    SCOPED_TRACE("line " + std::to_string(k) + " column " + std::to_string(column));
                    ASSERT_GE(ed.LineCount, before - 1);
                    ASSERT_LE(ed.LineCount, before + 1);
                    ASSERT_GE(ed.CurrentLine, 1);
                    ASSERT_LE(ed.CurrentLine, ed.LineCount);
                    ASSERT_GE(ed.CurrentColumn, 1);
                    ASSERT_LE(ed.CurrentColumn, 256);
                    for (int n = 1; n <= ed.LineCount; ++n) ASSERT_LE(GetLine(ed, n).size(), 255u);
                    EXPECT_EQ(Text(ed.LineCount), "tail");
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryCommand, RobustnessTest,
                         ::testing::Range(0, static_cast<int>(std::size(Commands))));

}  // namespace
}  // namespace lumo
