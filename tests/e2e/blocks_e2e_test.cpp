// Blocks in a real terminal (tmux): three lines marked with Shift+Down,
// copied with Alt+C at the end of the text, saved with F2.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "tmux_session.h"

namespace lumo::e2e {
namespace {

TEST(BlocksEndToEnd, ShiftDownMarksAltCCopiesAtTheEnd)
{
    if (!HaveTmux()) GTEST_SKIP() << "tmux is not installed";
    EditorDirectory dir("e2e-blocks");
    const std::string file = dir / "list.txt";
    dir.Write("list.txt", "one\ntwo\nthree\nfour\n");

    TmuxSession session(dir.Command("list.txt"));
    ASSERT_TRUE(session.started());
    ASSERT_TRUE(session.WaitFor("line=1", 15000)) << session.Screen();

    session.Send("S-Down");
    session.Send("S-Down");
    ASSERT_TRUE(session.WaitFor("line=3", 15000)) << session.Screen();
    // The message line ends with the block's size in lines.
    EXPECT_TRUE(session.WaitFor("\u2591 3\n", 15000)) << session.Screen();
    session.Send("Down");
    ASSERT_TRUE(session.WaitFor("line=4", 15000)) << session.Screen();
    session.Send("M-c");
    ASSERT_TRUE(session.WaitFor("line=4", 15000)) << session.Screen();
    session.Send("F2");
    const std::string expected = "one\ntwo\nthree\nfour\none\ntwo\nthree\n";
    EXPECT_EQ(WaitForBytes(file, expected, 15000), expected) << session.Screen();
    session.Send("Escape");
    EXPECT_TRUE(session.WaitFor("LUMO-EXIT=", 15000)) << session.Screen();
}

}  // namespace
}  // namespace lumo::e2e
