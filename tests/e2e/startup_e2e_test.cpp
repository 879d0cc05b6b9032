// The built program in a real terminal (tmux): start-up, the quit paths and
// their exit codes, the emergency save on SIGTERM.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/startup_fixture.h"
#include "e2e/tmux_session.h"

namespace lumo::e2e {
namespace {

using lumo::testing::Exists;
using lumo::ReadFile;
using lumo::testing::TempDir;
using lumo::WriteFile;

class StartupE2E : public ::testing::Test {
protected:
    TempDir tmp;
    std::string file;
    void SetUp() override
    {
        if (!HaveTmux()) GTEST_SKIP() << "tmux is not installed";
        file = tmp / "notes.txt";
        WriteFile(file, "first line\nsecond line\nthird line\n");
    }
    // The editor on `file` with its state directory in the test's directory.
    std::string Command(const std::string& options = "-w") const
    {
        return "cd " + Quote(tmp.Dir()) + " && LUMO_HOME=" + Quote(tmp / "state") + " " + Quote(LUMO_BINARY) + " " +
               options + " notes.txt";
    }
};

TEST_F(StartupE2E, ShowsTheFileAndQuitsWithEscape)
{
    TmuxSession s(Command());
    ASSERT_TRUE(s.started());
    ASSERT_TRUE(s.WaitFor("third line")) << s.Screen();
    std::string screen = s.Screen();
    EXPECT_NE(screen.find("notes.txt"), std::string::npos) << screen;  // the status line
    EXPECT_NE(screen.find("first line"), std::string::npos);
    s.Send("Escape");
    ASSERT_TRUE(s.WaitFor("LUMO-EXIT=0")) << s.Screen();
    EXPECT_EQ(ReadFile(file), "first line\nsecond line\nthird line\n");
    EXPECT_TRUE(Exists(tmp / "state/notes.txt.LmIni"));
    EXPECT_TRUE(Exists(tmp / "state/LumoSS"));
}

TEST_F(StartupE2E, NoticeComesFirstAndTakesOneKey)
{
    TmuxSession s(Command(""));
    ASSERT_TRUE(s.WaitFor("Press any key.")) << s.Screen();
    EXPECT_NE(s.Screen().find("Menu - F10"), std::string::npos);
    s.Send("Space");
    ASSERT_TRUE(s.WaitFor("first line")) << s.Screen();
    s.Send("Escape");
    ASSERT_TRUE(s.WaitFor("LUMO-EXIT=0")) << s.Screen();
}

TEST_F(StartupE2E, DiscardingChangesEndsWithThreeAndKeepsTheFile)
{
    TmuxSession s(Command());
    ASSERT_TRUE(s.WaitFor("third line")) << s.Screen();
    s.SendLiteral("XYZ");
    ASSERT_TRUE(s.WaitFor("XYZfirst line")) << s.Screen();
    s.Send("Escape");
    ASSERT_TRUE(s.WaitFor("To save into file ?")) << s.Screen();
    s.SendLiteral("2");
    ASSERT_TRUE(s.WaitFor("LUMO-EXIT=3")) << s.Screen();
    EXPECT_EQ(ReadFile(file), "first line\nsecond line\nthird line\n");
}

TEST_F(StartupE2E, SavingAtQuitEndsWithOne)
{
    TmuxSession s(Command());
    ASSERT_TRUE(s.WaitFor("third line")) << s.Screen();
    s.SendLiteral("XYZ");
    ASSERT_TRUE(s.WaitFor("XYZfirst line")) << s.Screen();
    s.Send("Escape");
    ASSERT_TRUE(s.WaitFor("To save into file ?")) << s.Screen();
    s.SendLiteral("1");
    ASSERT_TRUE(s.WaitFor("LUMO-EXIT=1")) << s.Screen();
    EXPECT_EQ(ReadFile(file), "XYZfirst line\nsecond line\nthird line\n");
}

// The editor started through a shell that leaves its process id in a file.
class SignalE2E : public StartupE2E {
protected:
    std::string pidFile;
    std::string Command()
    {
        pidFile = tmp / "pid";
        return "sh -c " + Quote("cd " + Quote(tmp.Dir()) + " && echo $$ > " + Quote(pidFile) + " && exec env LUMO_HOME=" +
                                Quote(tmp / "state") + " " + Quote(LUMO_BINARY) + " -w notes.txt");
    }
    pid_t Pid() { return std::stoi(ReadFile(pidFile)); }
};

TEST_F(SignalE2E, SigtermSavesTheUnsavedTextAndRestoresTheTerminal)
{
    TmuxSession s(Command());
    ASSERT_TRUE(s.WaitFor("third line")) << s.Screen();
    s.SendLiteral("unsaved ");
    ASSERT_TRUE(s.WaitFor("unsaved first line")) << s.Screen();
    // A full disk or a file-size limit must be a write error, never a death.
    std::string status = ReadFile("/proc/" + std::to_string(Pid()) + "/status");
    size_t at = status.find("SigIgn:");
    ASSERT_NE(at, std::string::npos);
    unsigned long long ignored = std::stoull(status.substr(at + 7), nullptr, 16);
    EXPECT_TRUE(ignored & (1ULL << (SIGPIPE - 1))) << status.substr(at, 30);
    EXPECT_TRUE(ignored & (1ULL << (SIGXFSZ - 1))) << status.substr(at, 30);

    ASSERT_EQ(kill(Pid(), SIGTERM), 0);
    ASSERT_TRUE(s.WaitFor("LUMO-EXIT=")) << s.Screen();
    EXPECT_EQ(ReadFile(tmp / "state/notes.txt.save"), "unsaved first line\nsecond line\nthird line\n");
    EXPECT_EQ(lumo::testing::Mode(tmp / "state/notes.txt.save"), 0600u);
    EXPECT_EQ(ReadFile(file), "first line\nsecond line\nthird line\n");
    EXPECT_FALSE(Exists(tmp / "state/notes.txt.LmIni"));
    // The terminal is back in cooked mode: what is typed now is echoed.
    s.SendLiteral("typed-after-the-end");
    EXPECT_TRUE(s.WaitFor("typed-after-the-end")) << s.Screen();
}

TEST_F(SignalE2E, HangupKeepsTheTextAsideAndNeverOverAnOlderSave)
{
    std::filesystem::create_directory(tmp / "state");
    WriteFile(tmp / "state/notes.txt.save", "an older save\n");
    TmuxSession s(Command());
    ASSERT_TRUE(s.WaitFor("third line")) << s.Screen();
    s.SendLiteral("lost? ");
    ASSERT_TRUE(s.WaitFor("lost? first line")) << s.Screen();
    ASSERT_EQ(kill(Pid(), SIGHUP), 0);
    ASSERT_TRUE(s.WaitFor("LUMO-EXIT=")) << s.Screen();
    EXPECT_EQ(ReadFile(tmp / "state/notes.txt.save"), "an older save\n");
    EXPECT_EQ(ReadFile(tmp / "state/notes.txt.save.1"), "lost? first line\nsecond line\nthird line\n");
    EXPECT_EQ(ReadFile(file), "first line\nsecond line\nthird line\n");
}

// The emergency save of files whose names leave no room for ".save", and
// of an editor asked to read a FIFO just before the signal.
TEST_F(SignalE2E, SigtermSavesTheTextOfLongNamesAndAfterAFifo)
{
    std::string cyrillic;
    for (int i = 0; i < 124; ++i) cyrillic += "\xD1\x84";
    const struct Case {
        std::string name;
        bool fifo;
    } cases[] = {{cyrillic + ".txt", false}, {std::string(251, 'n') + ".txt", false}, {"notes.txt", true}};
    ASSERT_EQ(mkfifo((tmp / "pipe").c_str(), 0600), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.size());
        std::filesystem::remove_all(tmp / "state");
        WriteFile(tmp / c.name, "first line\n");
        pidFile = tmp / "pid";
        TmuxSession s("sh -c " + Quote("cd " + Quote(tmp.Dir()) + " && echo $$ > " + Quote(pidFile) +
                                       " && exec env LUMO_HOME=" + Quote(tmp / "state") + " " + Quote(LUMO_BINARY) +
                                       " -w " + Quote(c.name)));
        ASSERT_TRUE(s.WaitFor("first line")) << s.Screen();
        s.SendLiteral("kept ");
        ASSERT_TRUE(s.WaitFor("kept first line")) << s.Screen();
        if (c.fifo) {
            s.Send("C-F9");
            ASSERT_TRUE(s.WaitFor("ENTER FILE NAME")) << s.Screen();
            s.SendLiteral("pipe");
            s.Send("Enter");
            ASSERT_TRUE(s.WaitFor("File not found: pipe")) << s.Screen();
        }
        ASSERT_EQ(kill(Pid(), SIGTERM), 0);
        ASSERT_TRUE(s.WaitFor("LUMO-EXIT=")) << s.Screen();
        std::vector<std::string> saves;
        for (const auto& entry : std::filesystem::directory_iterator(tmp / "state"))
            saves.push_back(entry.path().filename().string());
        ASSERT_EQ(saves.size(), 1u);
        const size_t kept = std::min<size_t>(100, c.name.size());
        EXPECT_EQ(saves[0].compare(0, kept, c.name, 0, kept), 0) << saves[0];
        EXPECT_EQ(ReadFile(tmp / ("state/" + saves[0])), "kept first line\n");
    }
}

// Ctrl+C typed to a program the editor runs (RUN, Alt+F2) stops that
// program, never the editor behind it.
TEST_F(StartupE2E, CtrlCInARunProgramLeavesTheEditorRunning)
{
    WriteFile(tmp / "RUN", "#!/bin/sh\necho RUN-STARTED; sleep 20; echo RUN-ENDED\n");
    chmod((tmp / "RUN").c_str(), 0755);
    TmuxSession s("cd " + Quote(tmp.Dir()) + " && PATH=" + Quote(tmp.Dir()) + ":$PATH LUMO_HOME=" +
                  Quote(tmp / "state") + " " + Quote(LUMO_BINARY) + " -w notes.txt");
    ASSERT_TRUE(s.WaitFor("third line")) << s.Screen();
    s.Send("M-F2");
    ASSERT_TRUE(s.WaitFor("RUN-STARTED")) << s.Screen();
    s.Send("C-c");
    ASSERT_TRUE(s.WaitFor("third line")) << s.Screen();
    s.SendLiteral("Q");
    ASSERT_TRUE(s.WaitFor("Qfirst line")) << s.Screen();
    EXPECT_EQ(s.Screen().find("LUMO-EXIT"), std::string::npos) << s.Screen();
    s.Send("Escape");
    ASSERT_TRUE(s.WaitFor("To save into file ?")) << s.Screen();
    s.SendLiteral("2");
    EXPECT_TRUE(s.WaitFor("LUMO-EXIT=3")) << s.Screen();
}

TEST_F(StartupE2E, CtrlAltBackspaceEndsAtOnceKeepingTheTextAside)
{
    TmuxSession s(Command());
    ASSERT_TRUE(s.WaitFor("third line")) << s.Screen();
    s.SendLiteral("abc");
    ASSERT_TRUE(s.WaitFor("abcfirst line")) << s.Screen();
    s.Send("C-M-BSpace");
    ASSERT_TRUE(s.WaitFor("LUMO-EXIT=0")) << s.Screen();
    EXPECT_NE(s.Screen().find("notes.txt.save"), std::string::npos) << s.Screen();
    EXPECT_EQ(ReadFile(tmp / "state/notes.txt.save"), "abcfirst line\nsecond line\nthird line\n");
    EXPECT_EQ(ReadFile(file), "first line\nsecond line\nthird line\n");
    EXPECT_FALSE(Exists(tmp / "state/notes.txt.LmIni"));
}

TEST_F(StartupE2E, TooSmallTerminalIsRefusedWithExitTwo)
{
    TmuxSession s(Command() + " 2>&1", 60, 20);
    ASSERT_TRUE(s.WaitFor("LUMO-EXIT=2")) << s.Screen();
    EXPECT_NE(s.Screen().find("lumo:"), std::string::npos) << s.Screen();
}

}  // namespace
}  // namespace lumo::e2e
