// Replace in a real terminal (tmux): F6 over a file, the questions answered
// as a user types them, the file saved and its bytes checked.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tmux_session.h"

namespace lumo::e2e {
namespace {

TEST(ReplaceEndToEnd, F6AskingAtEachOccurrenceThenSave)
{
    if (!HaveTmux()) GTEST_SKIP() << "tmux is not installed";
    EditorDirectory dir("e2e-replace");
    const std::string file = dir / "words.txt";
    dir.Write("words.txt", "one two One\nthree one\n");
    TmuxSession session(dir.Command("words.txt"));
    ASSERT_TRUE(session.started());
    ASSERT_TRUE(session.WaitFor("three one")) << session.Screen();

    session.Send("F6");
    ASSERT_TRUE(session.WaitFor("Enter search string:")) << session.Screen();
    session.SendLiteral("one");
    session.Send("Enter");
    ASSERT_TRUE(session.WaitFor("Enter replacement string:")) << session.Screen();
    session.SendLiteral("1");
    session.Send("Enter");
    ASSERT_TRUE(session.WaitFor("To ask OK for every case")) << session.Screen();
    session.SendLiteral("1");
    ASSERT_TRUE(session.WaitFor("To ignore case")) << session.Screen();
    session.SendLiteral("1");
    ASSERT_TRUE(session.WaitFor("To change")) << session.Screen();
    session.SendLiteral("1");  // line 1, column 1: changed
    ASSERT_TRUE(session.WaitFor("1 two One")) << session.Screen();
    session.SendLiteral("2");  // One, column 9: left
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    session.SendLiteral("1");  // line 2: changed
    ASSERT_TRUE(session.WaitFor("All replacements done.")) << session.Screen();
    EXPECT_NE(session.Screen().find("three 1"), std::string::npos) << session.Screen();

    session.Send("F2");
    EXPECT_EQ(WaitForBytes(file, "1 two One\nthree 1\n"), "1 two One\nthree 1\n");
    session.Send("Escape");
    EXPECT_TRUE(session.WaitFor("LUMO-EXIT=")) << session.Screen();
}

}  // namespace
}  // namespace lumo::e2e
