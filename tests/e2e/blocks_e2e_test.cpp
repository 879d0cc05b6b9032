// Blocks in a real terminal (tmux): three lines marked with Shift+Down,
// copied with Alt+C at the end of the text, saved with F2.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "tmux_session.h"

namespace lumo::e2e {
namespace {

std::string ReadWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(BlocksEndToEnd, ShiftDownMarksAltCCopiesAtTheEnd)
{
    if (!HaveTmux()) GTEST_SKIP() << "tmux is not installed";
    char name[] = "/tmp/lumo-e2e-blocks-XXXXXX";
    std::filesystem::path dir = mkdtemp(name);
    const std::string file = (dir / "list.txt").string();
    std::ofstream(file, std::ios::binary) << "one\ntwo\nthree\nfour\n";

    TmuxSession session("cd " + Quote(dir.string()) + " && LUMO_HOME=" + Quote((dir / "state").string()) +
                        " LANG=C.UTF-8 " + Quote(LUMO_BINARY) + " -W list.txt");
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
    for (int i = 0; i < 300 && ReadWhole(file) != expected; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(ReadWhole(file), expected) << session.Screen();
    session.Send("Escape");
    EXPECT_TRUE(session.WaitFor("LUMO-EXIT=", 15000)) << session.Screen();
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace lumo::e2e
