// The F10 menus in a real terminal (tmux): Text › Line › Add empty adds an
// empty line under the cursor's line, as F3 does, and the file saved with
// F2 holds it.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tmux_session.h"

namespace lumo::e2e {
namespace {

TEST(MenusEndToEnd, F10TextLineAddEmptyAddsALine)
{
    if (!HaveTmux()) GTEST_SKIP() << "tmux is not installed";
    EditorDirectory dir("e2e-menus");
    const std::string file = dir / "lines.txt";
    dir.Write("lines.txt", "first\nsecond\n");
    {
        TmuxSession session(dir.Command("lines.txt"));
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
        EXPECT_EQ(WaitForBytes(file, expected), expected);
        session.Send("Escape");
        EXPECT_TRUE(session.WaitFor("LUMO-EXIT=0")) << session.Screen();
    }
}

}  // namespace
}  // namespace lumo::e2e
