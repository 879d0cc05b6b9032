#include <gtest/gtest.h>
#include <fcntl.h>

#include <csignal>

#include "core/startup_fixture.h"
#include "files/shell.h"

namespace lumo {
namespace {

using testing::EnvGuard;
using testing::Exists;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

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

}  // namespace
}  // namespace lumo
