// The F10 menus in a real terminal (tmux): Text › Line › Add empty adds an
// empty line under the cursor's line, as F3 does, and the file saved with
// F2 holds it.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tmux_session.h"

namespace lumo::e2e {
namespace {

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(MenusEndToEnd, F10TextLineAddEmptyAddsALine)
{
    if (!HaveTmux()) GTEST_SKIP() << "tmux is not installed";
    char name[] = "/tmp/lumo-e2e-menus-XXXXXX";
    std::filesystem::path dir = mkdtemp(name);
    std::string file = (dir / "lines.txt").string();
    std::ofstream(file, std::ios::binary) << "first\nsecond\n";
    {
        TmuxSession session("cd " + Quote(dir.string()) + " && LUMO_HOME=" + Quote((dir / "state").string()) +
                            " LANG=C.UTF-8 " + Quote(LUMO_BINARY) + " -W lines.txt");
        ASSERT_TRUE(session.started());
        ASSERT_TRUE(session.WaitFor("second")) << session.Screen();
        session.Send("F10");
        ASSERT_TRUE(session.WaitFor("1 File")) << session.Screen();
        session.Send("2");
        ASSERT_TRUE(session.WaitFor("5 Line")) << session.Screen();
        session.Send("5");
        ASSERT_TRUE(session.WaitFor("1 Add empty")) << session.Screen();
        session.Send("1");
        // Back to editing: the menu row is the status line again.
        for (int i = 0; i < 100 && session.Screen().find("1 Add empty") != std::string::npos; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
        EXPECT_EQ(session.Screen().find("1 Add empty"), std::string::npos) << session.Screen();
        session.SendLiteral("new");
        ASSERT_TRUE(session.WaitFor("new")) << session.Screen();
        session.Send("F2");
        const std::string expected = "first\nnew\nsecond\n";
        for (int i = 0; i < 100 && ReadAll(file) != expected; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(ReadAll(file), expected);
        session.Send("Escape");
        EXPECT_TRUE(session.WaitFor("LUMO-EXIT=0")) << session.Screen();
    }
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
}

}  // namespace
}  // namespace lumo::e2e
