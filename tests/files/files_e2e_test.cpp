// The built program in a real terminal (tmux) on files that must not be
// damaged: a text with a line cut at 255 characters, a directory given as the
// file, a name full of shell characters.
#include <gtest/gtest.h>

#include "app/startup_fixture.h"
#include "e2e/tmux_session.h"

namespace lumo::e2e {
namespace {

using lumo::ReadFile;
using lumo::testing::TempDir;
using lumo::WriteFile;

class FilesE2E : public ::testing::Test {
protected:
    TempDir tmp;
    void SetUp() override
    {
        if (!HaveTmux()) GTEST_SKIP() << "tmux is not installed";
    }
    std::string Command(const std::string& name) const
    {
        return "cd " + Quote(tmp.Dir()) + " && LUMO_HOME=" + Quote(tmp / "state") + " " + Quote(LUMO_BINARY) +
               " -w " + Quote(name);
    }
};

TEST_F(FilesE2E, ATextWithAChangedCutLineIsNotSavedOverItsFile)
{
    const std::string original = "head\n" + std::string(300, 'x') + "\ntail\n";
    WriteFile(tmp / "long.txt", original);
    TmuxSession s(Command("long.txt"));
    ASSERT_TRUE(s.started());
    ASSERT_TRUE(s.WaitFor("over 255 characters")) << s.Screen();
    ASSERT_TRUE(s.WaitFor("tail", 8000)) << s.Screen();
    // On the cut line the message line says it goes on; changed, it is lost.
    s.Send("Down");
    ASSERT_TRUE(s.WaitFor("Line goes on beyond column 255")) << s.Screen();
    s.Send("DC");  // Del: a full line takes no more characters
    ASSERT_TRUE(s.WaitFor("Line cut at column 255 and changed")) << s.Screen();
    // F2 refuses and offers another name: cancelled.
    s.Send("F2");
    ASSERT_TRUE(s.WaitFor("LINE 2 WAS CUT AT 255")) << s.Screen();
    ASSERT_TRUE(s.WaitFor("ENTER FILE NAME OR ESC", 8000)) << s.Screen();
    s.Send("Escape");
    // Quit's "1" cannot save it either, and goes back to editing.
    s.Send("Escape");
    ASSERT_TRUE(s.WaitFor("To save into file ?")) << s.Screen();
    s.SendLiteral("1");
    ASSERT_TRUE(s.WaitFor("LINE 2 WAS CUT AT 255")) << s.Screen();
    ASSERT_TRUE(s.WaitFor("ENTER FILE NAME OR ESC", 8000)) << s.Screen();
    s.Send("Escape");
    s.Send("Escape");
    ASSERT_TRUE(s.WaitFor("To save into file ?")) << s.Screen();
    s.SendLiteral("2");
    ASSERT_TRUE(s.WaitFor("LUMO-EXIT=3")) << s.Screen();
    EXPECT_EQ(ReadFile(tmp / "long.txt"), original);
}

TEST_F(FilesE2E, ADirectoryAsTheFileAsksForAnotherName)
{
    ASSERT_EQ(std::system(("mkdir " + Quote(tmp / "sub")).c_str()), 0);
    WriteFile(tmp / "other.txt", "the other file\n");
    TmuxSession s(Command("sub"));
    ASSERT_TRUE(s.started());
    ASSERT_TRUE(s.WaitFor("INVALID FILE NAME!")) << s.Screen();
    ASSERT_TRUE(s.WaitFor("ENTER FILE NAME OR ESC", 8000)) << s.Screen();
    s.SendLiteral("other.txt");  // replaces the offered name
    s.Send("Enter");
    ASSERT_TRUE(s.WaitFor("the other file")) << s.Screen();
    s.Send("Escape");
    ASSERT_TRUE(s.WaitFor("LUMO-EXIT=0")) << s.Screen();
}

TEST_F(FilesE2E, ANameFullOfShellCharactersIsSavedUnderThatName)
{
    const std::string name = "a b;'q' $(touch pwned)&.txt";
    WriteFile(tmp / name, "old\n");
    TmuxSession s(Command(name));
    ASSERT_TRUE(s.started());
    ASSERT_TRUE(s.WaitFor("old")) << s.Screen();
    s.SendLiteral("N");
    ASSERT_TRUE(s.WaitFor("Nold")) << s.Screen();
    s.Send("F2");
    s.Send("Escape");
    ASSERT_TRUE(s.WaitFor("LUMO-EXIT=")) << s.Screen();
    EXPECT_EQ(ReadFile(tmp / name), "Nold\n");
    EXPECT_FALSE(lumo::testing::Exists(tmp / "pwned"));
}

}  // namespace
}  // namespace lumo::e2e
