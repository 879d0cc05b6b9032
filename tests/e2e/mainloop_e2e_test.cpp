// Help in a real terminal (tmux): F1 opens the shipped help file in a second
// editor and returns to the first; a program without a help file beside it
// says so.
#include <filesystem>
#include <fstream>

#include "tmux_session.h"

namespace lumo::e2e {
namespace {

TEST(HelpEndToEnd, F1ShowsTheHelpFileInASecondEditor)
{
    if (!HaveTmux()) GTEST_SKIP() << "tmux is not installed";
    std::filesystem::path beside = std::filesystem::path(LUMO_BINARY).parent_path() / "lumohelp.hlp";
    ASSERT_TRUE(std::filesystem::exists(beside)) << "the build puts the help file beside the program";
    EditorDirectory dir("e2e-help");
    dir.Write("text.txt", "first line of the text\n");
    TmuxSession session(dir.Command("text.txt"));
    ASSERT_TRUE(session.started());
    ASSERT_TRUE(session.WaitFor("first line of the text")) << session.Screen();
    session.Send("F1");
    ASSERT_TRUE(session.WaitFor("LUMO - keys and commands")) << session.Screen();
    EXPECT_EQ(session.Screen().find("first line of the text"), std::string::npos);
    // Leaving the help gives the first editor its screen back.
    session.Send("Escape");
    ASSERT_TRUE(session.WaitFor("first line of the text")) << session.Screen();
    EXPECT_EQ(session.Screen().find("LUMO - keys and commands"), std::string::npos) << session.Screen();
    session.Send("Escape");
    EXPECT_TRUE(session.WaitFor("LUMO-EXIT=0")) << session.Screen();
}

TEST(HelpEndToEnd, WithoutAHelpFileF1SaysSo)
{
    if (!HaveTmux()) GTEST_SKIP() << "tmux is not installed";
    EditorDirectory dir("e2e-help");
    dir.Write("text.txt", "first line of the text\n");
    // A copy of the program in a directory that holds no help file.
    std::filesystem::create_directory(dir.path() / "bin");
    std::filesystem::path program = dir.path() / "bin" / "lumo";
    std::filesystem::copy_file(LUMO_BINARY, program);
    TmuxSession session(dir.Command("text.txt", program.string()));
    ASSERT_TRUE(session.started());
    ASSERT_TRUE(session.WaitFor("first line of the text")) << session.Screen();
    session.Send("F1");
    EXPECT_TRUE(session.WaitFor(" File not found: lumohelp.hlp")) << session.Screen();
    session.Send("Escape");
    EXPECT_TRUE(session.WaitFor("LUMO-EXIT=0")) << session.Screen();
}

}  // namespace
}  // namespace lumo::e2e
