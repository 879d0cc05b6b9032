#include <gtest/gtest.h>
#include <fcntl.h>

#include <csignal>
#include <filesystem>

#include "app/startup_fixture.h"
#include "files/fileio.h"
#include "ui/inputline.h"
#include "files/shell.h"

namespace lumo {
namespace {

using testing::EnvGuard;
using testing::Exists;
using testing::TempDir;

// Counts the hand-overs of the terminal.
class CountingConsole : public ScriptedConsole {
public:
    int suspended = 0;
    int resumed = 0;
    void Suspend() override { ++suspended; }
    void Resume() override { ++resumed; }
};

class Shell : public ::testing::Test {
protected:
    TempDir tmp;
    CountingConsole con;
    Editor ed{con};
    EnvGuard comspec{"COMSPEC", nullptr};
};

TEST_F(Shell, QuoteLeavesPlainWordsAndQuotesTheRest)
{
    EXPECT_EQ(ShellQuote("/tmp/a.txt"), "/tmp/a.txt");
    EXPECT_EQ(ShellQuote(""), "''");
    EXPECT_EQ(ShellQuote("a b"), "'a b'");
    EXPECT_EQ(ShellQuote("it's"), "'it'\\''s'");
    EXPECT_EQ(ShellQuote("#x"), "'#x'");
}

TEST_F(Shell, RunsTheRestThroughShWithTheTerminalHandedOver)
{
    std::string out = tmp / "out";
    RunShell(ed, " /C echo hello > " + ShellQuote(out));
    EXPECT_EQ(ReadFile(out), "hello\n");
    EXPECT_EQ(con.suspended, 1);
    EXPECT_EQ(con.resumed, 1);
}

TEST_F(Shell, ComspecGetsSlashCAndTheRestAsOneArgument)
{
    std::string script = tmp / "interp";
    std::string log = tmp / "log";
    WriteFile(script, "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]' \"$a\"; done > " + ShellQuote(log) + "\n");
    chmod(script.c_str(), 0755);
    setenv("COMSPEC", script.c_str(), 1);
    RunShell(ed, " /C RUN " + ShellQuote("/tmp/A B.TXT"));
    EXPECT_EQ(ReadFile(log), "[/C][RUN '/tmp/A B.TXT']");
}

TEST_F(Shell, HostileNamesNeverRunAnything)
{
    std::string pwned = tmp / "pwned";
    for (std::string name : {"a;touch " + pwned, "$(touch " + pwned + ")", "`touch " + pwned + "`",
                             "x' ; touch " + pwned + " ; '", "\"; touch " + pwned + "; \"", "a\ntouch " + pwned,
                             "-n|touch " + pwned}) {
        std::string out = tmp / "out";
        RunShell(ed, " /C printf %s " + ShellQuote(name) + " > " + ShellQuote(out));
        EXPECT_FALSE(Exists(pwned)) << name;
        EXPECT_EQ(ReadFile(out), name);
    }
}

TEST_F(Shell, ChildGetsDefaultSignalsAndOnlyTheStandardDescriptors)
{
    int null = open("/dev/null", O_RDONLY);
    int extra = fcntl(null, F_DUPFD, 50);  // deliberately not close-on-exec
    close(null);
    ASSERT_GE(extra, 50);
    auto old = std::signal(SIGPIPE, SIG_IGN);
    std::string out = tmp / "out";
    RunShell(ed, " /C { ls /proc/self/fd; grep SigIgn /proc/self/status; } > " + ShellQuote(out) + " 2>/dev/null");
    std::signal(SIGPIPE, old);
    close(extra);
    std::string report = ReadFile(out);
    EXPECT_EQ(report.find(std::to_string(extra) + "\n"), std::string::npos) << report;
    EXPECT_NE(report.find("SigIgn:\t0000000000000000"), std::string::npos) << report;
}

TEST_F(Shell, AMissingInterpreterIsNotReported)
{
    setenv("COMSPEC", (tmp / "no-such-program").c_str(), 1);
    RunShell(ed, " /C anything");
    EXPECT_EQ(con.resumed, 1);
}


// The command lines the editor hands to the interpreter, recorded by a
// stand-in interpreter named by COMSPEC.
class ShellCommandLines : public ::testing::Test {
protected:
    TempDir tmp;
    MessageConsole con;
    Editor ed{con};
    EnvGuard comspec{"COMSPEC", nullptr};
    std::string log;
    void SetUp() override
    {
        con.OpenScreen();
        std::string script = tmp / "interp";
        log = tmp / "log";
        WriteFile(script, "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]' \"$a\"; done >> " + ShellQuote(log) + "\n");
        chmod(script.c_str(), 0755);
        setenv("COMSPEC", script.c_str(), 1);
        ed.StateDir = tmp.Dir();
        ed.ClipboardFile = tmp / "clip dir/LumoClip";
        std::filesystem::create_directory(tmp / "clip dir");
        testing::FillText(ed, 3);
    }
};

// With -# the clipboard's text goes to the desktop clipboard directly (the
// terminal's sequence, wl-copy or xclip run without a shell): no command line
// goes through the interpreter, with the option or without it.
TEST_F(ShellCommandLines, ClipboardExchangeRunsNoShellCommand)
{
    std::string text = "copied";
    con.Push(0x00042E03);  // Ctrl+C
    con.Push(0x00001C0D);
    InputLine(ed, text, InputPlain);
    EXPECT_FALSE(Exists(log));

    ed.ExternalClipboard = true;
    con.Push(0x00042E03);
    con.Push(0x00001C0D);
    InputLine(ed, text, InputPlain);
    EXPECT_FALSE(Exists(log));
    EXPECT_EQ(ReadFile(ed.ClipboardFile), "B\r\ncopied");
}

TEST_F(ShellCommandLines, SecondEditorGetsTheRunningEditorsOptions)
{
    ed.FileName = tmp / "edited.txt";
    ed.StartupOptions = {"-w", "-X" + tmp.Dir() + "x y/"};
    std::string other = tmp / "other file.txt";
    con.Type(other);  // replaces the offered "keydef.lmo"
    con.Push(0x00001C0D);
    EditOther(ed);
    EXPECT_EQ(ed.OperationFailed, 0);
    EXPECT_EQ(ReadFile(log), "[/C][" + OwnProgramPath() + " -w '-X" + tmp.Dir() + "x y/' -- '" + other + "']");
}

// Runs a test body in `dir` as the current directory.
class InDirectory {
public:
    explicit InDirectory(const std::string& dir) : old_(std::filesystem::current_path())
    {
        std::filesystem::current_path(dir);
    }
    ~InDirectory() { std::filesystem::current_path(old_); }

private:
    std::filesystem::path old_;
};

TEST_F(ShellCommandLines, AbbreviationsAreAppendedWithoutAShell)
{
    InDirectory here(tmp.Dir());
    std::string pwned = tmp / "pwned";
    std::string hostile = "$(touch " + pwned + ")>x;`touch " + pwned + "`";
    ASSERT_TRUE(AppendAbbreviation("abc"));
    ASSERT_TRUE(AppendAbbreviation(hostile));
    EXPECT_EQ(ReadFile(tmp / "shorts.lmo"), "abc\r\n" + hostile + "\r\n");
    EXPECT_FALSE(Exists(pwned));
    EXPECT_FALSE(Exists(log));

    // A last line without its end gets one: the new entry stays a line of its own.
    WriteFile(tmp / "shorts.lmo", "old entry");
    ASSERT_TRUE(AppendAbbreviation("new"));
    EXPECT_EQ(ReadFile(tmp / "shorts.lmo"), "old entry\r\nnew\r\n");

    // A name that is no file is refused and nothing is written.
    std::filesystem::remove(tmp / "shorts.lmo");
    std::filesystem::create_directory(tmp / "shorts.lmo");
    EXPECT_FALSE(AppendAbbreviation("x"));
}

TEST_F(ShellCommandLines, AddCurrentLineAndWord)
{
    InDirectory here(tmp.Dir());
    SetLine(ed, "   spaced out line   ", 2);
    ed.CurrentLine = 2;
    CmdAddCurrentLine(ed);
    EXPECT_EQ(ReadFile(tmp / "shorts.lmo"), "spaced out line\r\n");
    EXPECT_TRUE(con.Showed("Added \"spaced out line\""));

    // The word prompt starts from the word at the cursor, cut before a ".".
    SetLine(ed, "name.ext", 1);
    ed.CurrentLine = 1;
    ed.CurrentColumn = 2;
    con.Push(0x0200FF26);  // End: typing goes after the word
    con.Type("d");
    con.Push(0x00001C0D);
    CmdAddCurrentWord(ed);
    EXPECT_EQ(ReadFile(tmp / "shorts.lmo"), "spaced out line\r\nnamed\r\n");

    // Esc and a blank line add nothing.
    con.Push(0x0000011B);
    CmdAddCurrentWord(ed);
    SetLine(ed, "    ", 3);
    ed.CurrentLine = 3;
    CmdAddCurrentLine(ed);
    EXPECT_EQ(ReadFile(tmp / "shorts.lmo"), "spaced out line\r\nnamed\r\n");
    EXPECT_FALSE(Exists(log));
}

// A session told to end while a child runs (SIGTERM, SIGHUP).
// It comes once `ready` exists (the child has set itself up).
class EndingConsole : public CountingConsole {
public:
    std::string ready;
    bool HangupPending() override { return Exists(ready); }
};

TEST_F(Shell, ASessionToldToEndStopsWaitingForTheChildAndTellsIt)
{
    EndingConsole ending;
    ending.ready = tmp / "ready";
    Editor editor{ending};
    // Nothing of the children's output is left open behind them.
    const std::string quiet = " /C exec >/dev/null 2>&1; ";
    std::string out = tmp / "out";
    // The child hears SIGHUP and says so.
    RunShell(editor, quiet + "trap 'echo told > " + ShellQuote(out) + "; exit' HUP; touch " +
                         ShellQuote(ending.ready) + "; sleep 20 & wait");
    EXPECT_EQ(ReadFile(out), "told\n");
    EXPECT_EQ(ending.resumed, 1);
    // One that does not listen is left to itself after a moment: the editor
    // goes on to save its own text.
    std::filesystem::remove(ending.ready);
    std::string finished = tmp / "finished";
    RunShell(editor, quiet + "trap '' HUP; touch " + ShellQuote(ending.ready) + "; sleep 20; touch " +
                         ShellQuote(finished));
    EXPECT_FALSE(Exists(finished));
}

}  // namespace
}  // namespace lumo
