// The key-code screen, Help, RUN and the emergency end.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "app/help.h"
#include "app/keycodes.h"
#include "app/loop_fixture.h"

namespace lumo {
namespace {

using namespace keys;

std::string Trimmed(std::string s)
{
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

TEST_F(LoopTest, KeyCodeScreenShowsBytesAndLeavesOnThreeEsc)
{
    AddLines({"text"});
    ed.RestoreRing[3] = "saved line three";
    ed.RestoreIndex = 3;
    Type("k");
    Push(0x03082500);  // Alt+K
    Push(Esc);
    Push(Esc);
    Push(Esc);
    EXPECT_EQ(CmdKeyCodes(ed), Redraw::Full);
    EXPECT_TRUE(con.keys.empty());
    EXPECT_EQ(Trimmed(con.Row(1)), "  To get back, press Alt+Ctrl+Tab. Now press any key.");
    EXPECT_EQ(con.Attr(3, 1), 0x0B);
    EXPECT_EQ(Trimmed(con.Row(2)), "k  107  6B 00 00 00  0");
    EXPECT_EQ(con.Attr(1, 2), 0x1E);
    EXPECT_EQ(Trimmed(con.Row(3)).substr(1), "    0  00 25 08 03  8");
    // The last shown key stays in another colour.
    EXPECT_EQ(Trimmed(con.Row(6)).substr(1), "   27  1B 01 00 00  0");
    EXPECT_EQ(con.Attr(5, 6), 0x1C);
    EXPECT_EQ(ed.KeyChar, 0);
    // The saved lines, newest first, below what the keys overwrote.
    EXPECT_EQ(Trimmed(con.Row(7)), "3: saved line three");
    EXPECT_EQ(con.Attr(1, 7), 0x06);
}

TEST_F(LoopTest, KeyCodeScreenLeavesOnAltCtrlTab)
{
    AddLines({""});
    Push(Esc);
    Push(Esc);
    Type("a");
    Push(Esc);
    Push(CtrlAltTab);
    Type("z");  // must stay unread
    CmdKeyCodes(ed);
    EXPECT_EQ(con.keys.size(), 1u);
}

TEST(KeyCodeScreen, ClippedToASmallScreen)
{
    WatchingConsole con(80, 6);
    con.OpenScreen();
    Editor ed(con);
    for (int i = 0; i < 12; ++i) con.Type("x");
    con.Push(CtrlAltTab);
    CmdKeyCodes(ed);
    // Rows start again below the instruction line when the screen is full.
    EXPECT_EQ(Trimmed(con.Row(1)), "  To get back, press Alt+Ctrl+Tab. Now press any key.");
    EXPECT_EQ(Trimmed(con.Row(4)).substr(1), "    0  00 0F 0C 03  12");
}

TEST_F(LoopTest, CtrlAltBackspaceEndsWithCodeZeroAndWritesNothing)
{
    TempDirectory dir;
    ScopedEnv home("LUMO_HOME", dir.path.string());
    AddLines({"text"});
    ed.FileName = (dir.path / "file.txt").string();
    Push(CtrlAltBackspace);
    Type("never read");
    Run();
    EXPECT_TRUE(ed.Ending);
    EXPECT_EQ(ed.ExitCode, 0);
    EXPECT_TRUE(dir.Empty());
    EXPECT_EQ(con.keys.size(), 10u);
}

}  // namespace
}  // namespace lumo

namespace lumo {
namespace {

// A command interpreter that only writes down the command line it got.
struct FakeInterpreter {
    TempDirectory dir;
    std::string log = (dir.path / "commands.log").string();
    FakeInterpreter()
    {
        std::string script = (dir.path / "fake-shell").string();
        FILE* f = std::fopen(script.c_str(), "w");
        std::fprintf(f, "#!/bin/sh\nprintf '%%s\\n' \"$2\" >> '%s'\n", log.c_str());
        std::fclose(f);
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
        comspec = std::make_unique<ScopedEnv>("COMSPEC", script);
    }
    std::unique_ptr<ScopedEnv> comspec;
    std::string Commands() const
    {
        std::string text;
        if (FILE* f = std::fopen(log.c_str(), "r")) {
            char buffer[1024];
            size_t n;
            while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
            std::fclose(f);
        }
        return text;
    }
};

TEST_F(LoopTest, HelpOpensTheHelpFileInASecondEditor)
{
    FakeInterpreter shell;
    { FILE* f = std::fopen("lumohelp.hlp", "w"); std::fputs("keys\n", f); std::fclose(f); }
    AddLines({""});
    Push(0x03082300);  // Alt+H
    Run();
    std::string commands = shell.Commands();
    EXPECT_NE(commands.find("lumohelp.hlp"), std::string::npos) << commands;
    EXPECT_FALSE(con.Showed("File not found"));
}

TEST_F(LoopTest, HelpRefusesWhileTheHelpFileIsBeingEdited)
{
    FakeInterpreter shell;
    { FILE* f = std::fopen("lumohelp.hlp", "w"); std::fputs("keys\n", f); std::fclose(f); }
    AddLines({""});
    ed.FileName = (shell.dir.path / "lumohelp.hlp").string();
    Push(0x0200FF01);  // F1
    Run();
    EXPECT_EQ(shell.Commands(), "");
    EXPECT_TRUE(con.Showed(" This file is being edited here already!"));
}

TEST_F(LoopTest, RunSavesThenRunsWithTheQuotedFileName)
{
    FakeInterpreter shell;
    AddLines({"text"});
    ed.FileName = (shell.dir.path / "my file.txt").string();
    ed.Modified = true;
    Push(0x0208FF02);  // Alt+F2
    Run();
    EXPECT_TRUE(std::filesystem::exists(ed.FileName));
    EXPECT_EQ(shell.Commands(), "RUN '" + ed.FileName + "'\n");
}

}  // namespace
}  // namespace lumo
