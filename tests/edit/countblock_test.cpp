// Count block: what each line of a box counts for, the totals and their
// messages.
#include "blocks_fixture.h"
#include "edit/countblock.h"

namespace lumo {
namespace {

TEST(CountBlock, NumbersInOneLine)
{
    struct Case {
        const char* line;
        bool ok;
        int64_t units;
    };
    const Case cases[] = {
        {"10", true, 1000000},         {"2.5", true, 250000},        {"-0.75", true, -75000},
        {"1,234.5", true, 123450000},  {"1.234,5", true, 123450000}, {"12,5", true, 1250000},
        {"1,234", true, 123400},       {"12abc34", true, 1200000},   {"abc12", true, 1200000},
        {"0x5", true, 500000},         {"12-3", true, -12300000},    {"0.1234567", true, 12345},
        {"0.05", true, 5000},          {"0.00001", true, 1},         {"12 abc -3", true, 1200000},
        {"12 abc 1.2.3", true, 1200000}, {"", true, 0},              {"   ", true, 0},
        {"1.2.3", false, 0},           {"2147483647", true, 214748364700000}, {"2147483648", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        int64_t units = -1;
        EXPECT_EQ(ReadBoxNumber(c.line, units), c.ok);
        if (c.ok) {
            EXPECT_EQ(units, c.units);
        }
    }
    EXPECT_EQ(FormatTotal(1175000), "11.75");
    EXPECT_EQ(FormatTotal(-75000), "-0.75");
    EXPECT_EQ(FormatTotal(1200000), "12.0");
    EXPECT_EQ(FormatTotal(80000), "0.8");
    EXPECT_EQ(FormatTotal(1), "0.00001");
}

using CountBlockCommand = BlockFixture;

TEST_F(CountBlockCommand, TotalsAndMessages)
{
    Load({"a  10   x", "b  2.5  x", "c -0.75 x"});
    Box(1, 3, 3, 8);
    Run(CmdCountBlock);
    EXPECT_EQ(con.Row(2).substr(0, 27), "Total by the block = 11.75 ");

    // Two lines at the largest integer do not overflow the total.
    Load({"2147483647", "2147483647"});
    Box(1, 2, 1, 10);
    Run(CmdCountBlock);
    EXPECT_EQ(con.Row(2).substr(0, 33), "Total by the block = 4294967294.0");

    // The bad line is shown as it stands, commas and all.
    Load({"1,2,3"});
    Box(1, 1, 1, 5);
    Run(CmdCountBlock);
    EXPECT_TRUE(con.Showed(" Incorrect data for this function: 1,2,3\x07"));

    Load({"12"});
    Lines(1, 1);
    Run(CmdCountBlock);
    EXPECT_EQ(LastMessage(), NoBlockMessage);
}

}  // namespace
}  // namespace lumo
