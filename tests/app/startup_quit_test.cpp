#include <gtest/gtest.h>

#include <filesystem>

#include "app/startup.h"
#include "ui/inputline.h"
#include "files/statedir.h"
#include "startup_fixture.h"

namespace lumo {
namespace {

using testing::EnvGuard;
using testing::Exists;
using testing::Mode;
using testing::TempDir;

constexpr KeyEvent Esc = 0x0000011B;

// A temporary state directory, a text file, and an editor started on it.
class QuitTest : public ::testing::Test {
protected:
    TempDir tmp;
    EnvGuard home{"LUMO_HOME", nullptr};
    ScriptedConsole con;
    Editor ed{con};
    std::string file;
    std::string state;

    void SetUp() override
    {
        state = tmp / "state";
        setenv("LUMO_HOME", state.c_str(), 1);
        file = tmp / "notes.txt";
        WriteFile(file, "alpha\nbeta\ngamma\n");
    }
    bool Start(std::vector<std::string> args)
    {
        return Startup(ed, args);
    }
    void Modify()
    {
        SetLine(ed, "changed", 2);
        ed.Modified = true;
    }
};

TEST_F(QuitTest, StartupShowsTheFileWithoutNotice)
{
    ASSERT_TRUE(Start({"-w", "-p", file}));
    EXPECT_EQ(ed.FileName, file);
    EXPECT_EQ(ed.SettingsFile, state + "/notes.txt.LmIni");
    EXPECT_EQ(ed.LineCount, 3);
    EXPECT_EQ(con.Row(3).substr(0, 5), "alpha");
    EXPECT_EQ(con.Row(5).substr(0, 5), "gamma");
    EXPECT_EQ(ed.CurrentLine, 1);
    EXPECT_EQ(ed.CurrentColumn, 1);
    EXPECT_EQ(ed.ExitCode, ExitUnchanged);
    EXPECT_TRUE(con.keys.empty());
}

TEST_F(QuitTest, PascalSourceWithOptions)
{
    std::string source = tmp / "text.pas";
    WriteFile(source, "begin\nend.\n");
    ASSERT_TRUE(Start({"-W", "-T4", source}));
    EXPECT_FALSE(ed.ShowNotice);
    EXPECT_TRUE(ed.PascalMode);
    EXPECT_EQ(ed.CommentBrackets, "{}");
    EXPECT_EQ(ed.LineCapacity, 85);
    EXPECT_EQ(ed.FormatWidth, 85);
    EXPECT_EQ(ed.TabStops[1], 3);
    EXPECT_EQ(ed.TabStops[2], 7);
    EXPECT_EQ(ed.TabStops[3], 11);
    EXPECT_EQ(ed.CurrentColumn, 3);
    EXPECT_EQ(ed.ColumnBookmark, 3);
}

TEST_F(QuitTest, OptionKReadsTheKeystrokeFileOfTheCurrentDirectory)
{
    auto old = std::filesystem::current_path();
    std::filesystem::current_path(tmp.Dir());
    std::string bytes(128, '\0');
    bytes.replace(0, 4, std::string("a\x1e\0\0", 4));
    WriteFile(tmp / "kbdbufer.lmo", bytes);
    bool started = Start({"-w", "-P-k", file});
    std::filesystem::current_path(old);
    ASSERT_TRUE(started);
    EXPECT_EQ(ed.KeystrokeBuffer[1], 0x00001E61u);
    EXPECT_EQ(ed.RecordCount, 0);
    EXPECT_EQ(ed.PlaybackIndex, 0);
}

TEST_F(QuitTest, NoticeWaitsForAKeyAndDiscardsIt)
{
    con.Type("x");
    ASSERT_TRUE(Start({"-p", file}));
    EXPECT_TRUE(con.keys.empty());
    EXPECT_FALSE(ed.Modified);
    EXPECT_EQ(con.Row(3).substr(0, 5), "alpha");
}

TEST_F(QuitTest, WithoutParametersTheTextIsEmptyAndUnnamed)
{
    ASSERT_TRUE(Start({}));
    EXPECT_EQ(ed.FileName, "");
    EXPECT_EQ(ed.LineCount, 1);
    EXPECT_EQ(ed.SettingsFile, state + "/LumoINI");
}

TEST_F(QuitTest, SettingsOfThePreviousRunRestoreTheCursor)
{
    CreateStateDirectory(state);
    WriteFile(state + "/notes.txt.LmIni", "2\r\n500\r\n3\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n1\r\n0\r\n2048\r\n5\r\n");
    ASSERT_TRUE(Start({"-w", "-p", file}));
    EXPECT_EQ(ed.CurrentLine, 3);
    EXPECT_EQ(ed.TopLine, 2);
    EXPECT_EQ(ed.CurrentColumn, 3);
    EXPECT_EQ(ed.ColumnBookmark, 5);
    EXPECT_TRUE(ed.FillCell & WrapOff);
}

TEST_F(QuitTest, UnchangedTextEndsWithZeroAndAsksNothing)
{
    ASSERT_TRUE(Start({"-w", "-p", file}));
    con.Push(Esc);  // would answer a question, if one were asked
    EXPECT_TRUE(Quit(ed));
    EXPECT_TRUE(ed.Ending);
    EXPECT_EQ(ed.ExitCode, ExitUnchanged);
    EXPECT_EQ(con.keys.size(), 1u);
    // The settings and saved-state files are written at quit.
    EXPECT_TRUE(Exists(state + "/notes.txt.LmIni"));
    EXPECT_TRUE(Exists(state + "/LumoSS"));
    EXPECT_EQ(Mode(state), 0700u);
}

TEST_F(QuitTest, AnswerTwoDiscardsAndLeavesTheFile)
{
    ASSERT_TRUE(Start({"-w", "-p", file}));
    Modify();
    con.Type("2");
    EXPECT_TRUE(Quit(ed));
    EXPECT_EQ(ed.ExitCode, ExitDiscarded);
    EXPECT_EQ(ReadFile(file), "alpha\nbeta\ngamma\n");
}

TEST_F(QuitTest, AnswerOneSavesAndEndsWithOne)
{
    ASSERT_TRUE(Start({"-w", "-p", file}));
    Modify();
    con.Type("1");
    EXPECT_TRUE(Quit(ed));
    EXPECT_EQ(ed.ExitCode, ExitSaved);
    EXPECT_EQ(ReadFile(file), "alpha\nchanged\ngamma\n");
}

TEST_F(QuitTest, EscapeAndThreeGoBackToEditing)
{
    ASSERT_TRUE(Start({"-w", "-p", file}));
    Modify();
    for (KeyEvent answer : {Esc, KeyEvent('3'), KeyEvent('0')}) {
        con.Push(answer);
        EXPECT_FALSE(Quit(ed));
        EXPECT_FALSE(ed.Ending);
        EXPECT_TRUE(ed.Modified);
    }
    EXPECT_FALSE(Exists(state + "/notes.txt.LmIni"));
}

TEST_F(QuitTest, AFailedSaveGoesBackToEditing)
{
    ASSERT_TRUE(Start({"-w", "-p", file}));
    Modify();
    // The file's directory can no longer take a new file: the save fails,
    // the dialog asks for another name, and Esc gives up.
    ed.FileName = tmp / "gone/notes.txt";
    con.Type("1");
    for (int i = 0; i < 4; ++i) con.Push(Esc);
    EXPECT_FALSE(Quit(ed));
    EXPECT_FALSE(ed.Ending);
    EXPECT_NE(ed.ExitCode, ExitSaved);
    EXPECT_TRUE(ed.Modified);
}

TEST_F(QuitTest, TheKeyThatEndsARefusalIsNotTypedIntoTheNamePrompt)
{
    // A cut line: the text may not go over its own file.
    WriteFile(file, std::string(300, 'x') + "\n");
    ASSERT_TRUE(Start({"-w", "-p", file}));
    SetLine(ed, "changed", 1);
    ed.Modified = true;
    con.Push('1');  // save and quit: refused
    con.Push(' ');  // ends the refusal message
    con.Type(tmp / "other.txt");
    con.Push(0x00001C0D);
    EXPECT_TRUE(Quit(ed));
    EXPECT_EQ(ed.ExitCode, ExitSaved);
    EXPECT_EQ(ReadFile(tmp / "other.txt"), "changed\n");
    EXPECT_EQ(ReadFile(file), std::string(300, 'x') + "\n");
}

TEST_F(QuitTest, RunEditorReturnsTheExitCode)
{
    std::vector<std::string> argv = {"lumo", "-w", "-p", file};
    std::vector<char*> args;
    for (auto& a : argv) args.push_back(a.data());
    ScriptedConsole fresh;
    fresh.Push(Esc);
    EXPECT_EQ(RunEditor(fresh, static_cast<int>(args.size()), args.data()), ExitUnchanged);
}

TEST_F(QuitTest, EmergencyEndSavesAModifiedTextBesideTheSettings)
{
    ASSERT_TRUE(Start({"-w", "-p", file}));
    Modify();
    EmergencyEnd(ed);
    EXPECT_TRUE(ed.Ending);
    EXPECT_EQ(ed.ExitCode, ExitUnchanged);
    std::string save = state + "/notes.txt.save";
    EXPECT_EQ(ReadFile(save), "alpha\nchanged\ngamma\n");
    EXPECT_EQ(Mode(save), 0600u);
    EXPECT_EQ(ReadFile(file), "alpha\nbeta\ngamma\n");
    // No settings or saved-state file on this way out.
    EXPECT_FALSE(Exists(state + "/notes.txt.LmIni"));
    EXPECT_FALSE(Exists(state + "/LumoSS"));

    // An older save is never overwritten.
    SetLine(ed, "again", 1);
    EmergencyEnd(ed);
    EXPECT_EQ(ReadFile(save), "alpha\nchanged\ngamma\n");
    EXPECT_EQ(ReadFile(save + ".1"), "again\nchanged\ngamma\n");
    EXPECT_NE(ed.FarewellNote.find(save + ".1"), std::string::npos);
}

TEST_F(QuitTest, EmergencySaveGoesBesideTheFileWhenTheStateDirectoryIsUnusable)
{
    ASSERT_TRUE(Start({"-w", "-p", file}));
    Modify();
    WriteFile(tmp / "blocker", "");
    ed.StateDir = tmp / "blocker/state/";
    EXPECT_EQ(WriteEmergencySave(ed), file + ".save");
    EXPECT_EQ(ReadFile(file + ".save"), "alpha\nchanged\ngamma\n");
    EXPECT_EQ(ReadFile(file), "alpha\nbeta\ngamma\n");
}

TEST_F(QuitTest, EmergencySaveFallsBackToTheTemporaryDirectory)
{
    ASSERT_TRUE(Start({"-w", "-p", file}));
    Modify();
    WriteFile(tmp / "blocker", "");
    ed.StateDir = tmp / "blocker/state/";
    ed.FileName = tmp / "blocker/notes.txt";  // its directory is no directory
    std::filesystem::create_directory(tmp / "t");
    EnvGuard tmpdir("TMPDIR", (tmp / "t").c_str());
    EXPECT_EQ(WriteEmergencySave(ed), tmp / "t/notes.txt.save");
    EXPECT_EQ(ReadFile(tmp / "t/notes.txt.save"), "alpha\nchanged\ngamma\n");
}

TEST_F(QuitTest, EmergencyEndThatFindsNoPlaceAsksForASecondPress)
{
    ASSERT_TRUE(Start({"-w", "-p", file}));
    Modify();
    WriteFile(tmp / "blocker", "");
    ed.StateDir = tmp / "blocker/state/";
    ed.FileName = tmp / "blocker/notes.txt";
    EnvGuard tmpdir("TMPDIR", (tmp / "blocker").c_str());
    EXPECT_EQ(CmdEmergencyEnd(ed), Redraw::Full);
    EXPECT_FALSE(ed.Ending);
    EXPECT_TRUE(ed.Modified);
    CmdEmergencyEnd(ed);
    EXPECT_TRUE(ed.Ending);
    EXPECT_EQ(ed.ExitCode, ExitUnchanged);
    EXPECT_NE(ed.FarewellNote.find("could not be written"), std::string::npos);
}

TEST_F(QuitTest, EmergencyEndOfAnUnchangedTextWritesNothing)
{
    ASSERT_TRUE(Start({"-w", "-p", file}));
    EmergencyEnd(ed);
    EXPECT_TRUE(ed.Ending);
    EXPECT_FALSE(Exists(state + "/notes.txt.save"));
}

TEST_F(QuitTest, EmergencySaveNeverFollowsALink)
{
    ASSERT_TRUE(Start({"-w", "-p", file}));
    Modify();
    CreateStateDirectory(state);
    std::string victim = tmp / "victim";
    WriteFile(victim, "keep");
    ASSERT_EQ(symlink(victim.c_str(), (state + "/notes.txt.save").c_str()), 0);
    std::string written = WriteEmergencySave(ed);
    EXPECT_EQ(written, state + "/notes.txt.save.1");
    EXPECT_EQ(ReadFile(victim), "keep");
}

TEST(Startup, HelpAndVersionNeedNoTerminal)
{
    ScriptedConsole con;
    std::string help = "--help", version = "--version", prog = "lumo";
    char* a1[] = {prog.data(), help.data()};
    char* a2[] = {prog.data(), version.data()};
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(RunEditor(con, 2, a1), 0);
    EXPECT_EQ(RunEditor(con, 2, a2), 0);
    std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("Usage: lumo"), std::string::npos);
    EXPECT_NE(out.find("lumo 1."), std::string::npos);
    EXPECT_TRUE(con.ScreenCells.empty());  // the screen was never opened
}

TEST(Startup, MemoryBudgetFromTheEnvironment)
{
    {
        EnvGuard kb("LUMO_MEMORY_KB", "512");
        EXPECT_EQ(MemoryBudgetFromEnvironment(), 512u * 1024);
    }
    for (const char* bad : {"", "abc", "0", "-5", "12x"}) {
        EnvGuard kb("LUMO_MEMORY_KB", bad);
        EXPECT_EQ(MemoryBudgetFromEnvironment(), DefaultMemoryBudget) << bad;
    }
}

TEST(Startup, TooLittleMemoryEndsWithTwo)
{
    ScriptedConsole con;
    Editor ed{con, 1024};
    EXPECT_FALSE(Startup(ed, {}));
    EXPECT_EQ(ed.ExitCode, ExitFailed);
}

TEST(Startup, AutomaticSaveCountsKeysFromTheKeyboard)
{
    TempDir tmp;
    ScriptedConsole con;
    con.OpenScreen();
    Editor ed{con};
    testing::FillText(ed, 2);
    ed.FileName = tmp / "auto.txt";
    ed.Modified = true;
    ed.AutoSaveEvery = 3;
    for (int i = 0; i < 3; ++i) CountKeystroke(ed);
    EXPECT_EQ(ed.KeystrokeCounter, 3);
    EXPECT_FALSE(testing::Exists(ed.FileName));
    CountKeystroke(ed);  // the fourth key saves and starts the count again
    EXPECT_EQ(ed.KeystrokeCounter, 0);
    EXPECT_EQ(ReadFile(ed.FileName), "line 1\nline 2\n");
    ed.AutoSaveEvery = 0;
    for (int i = 0; i < 10; ++i) CountKeystroke(ed);
    EXPECT_EQ(ed.KeystrokeCounter, 10);
}

}  // namespace
}  // namespace lumo
