#include "files/shell.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <vector>

namespace lumo {

namespace {

bool PlainShellChar(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           c == '_' || c == '.' || c == '/' || c == '-' || c == '+' || c == ',' || c == ':' ||
           c == '=' || c == '@' || c == '%';
}

// Runs in the child between fork and exec: only async-signal-safe calls.
[[noreturn]] void ExecChild(const char* program, char* const argv[], long maxFd)
{
    struct sigaction dfl{};
    dfl.sa_handler = SIG_DFL;
    sigemptyset(&dfl.sa_mask);
    for (int sig = 1; sig < NSIG; ++sig) sigaction(sig, &dfl, nullptr);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    if (close_range(3, ~0U, 0) != 0)
        for (long fd = 3; fd < maxFd; ++fd) close(static_cast<int>(fd));
    execvp(program, argv);
    _exit(127);
}

// Waits for the child to end. When the session is told to end meanwhile
// (SIGTERM, SIGHUP), the child is told too and given a moment; then the
// editor goes on, so that its own text is saved whatever the child does.
void WaitForChild(Editor& ed, pid_t child)
{
    constexpr int StepMs = 50;
    constexpr int GraceMs = 2000;
    int graceLeft = -1;  // counting down once the child has been told
    for (;;) {
        int status = 0;
        pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child || (done < 0 && errno != EINTR)) return;
        if (graceLeft < 0 && ed.con.HangupPending()) {
            kill(child, SIGHUP);
            graceLeft = GraceMs;
        }
        if (graceLeft >= 0 && (graceLeft -= StepMs) < 0) return;
        poll(nullptr, 0, StepMs);
    }
}

}  // namespace

std::string ShellQuote(const std::string& word)
{
    bool plain = !word.empty();
    for (unsigned char c : word) plain = plain && PlainShellChar(c);
    if (plain) return word;
    std::string quoted = "'";
    for (char c : word) {
        if (c == '\'') quoted += "'\\''";
        else quoted += c;
    }
    return quoted + "'";
}

std::string OwnProgramPath()
{
    std::string path(4096, '\0');
    ssize_t n = readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (n <= 0) return "lumo";
    path.resize(static_cast<size_t>(n));
    return path;
}

void RunShell(Editor& ed, const std::string& commandLine)
{
    // The command line is " /C " + what the interpreter is to run. It is
    // never cut: a cut could split a quoted name.
    std::string rest = commandLine;
    size_t lead = rest.find_first_not_of(' ');
    rest.erase(0, lead == std::string::npos ? rest.size() : lead);
    if (rest.size() >= 2 && rest[0] == '/' && (rest[1] == 'C' || rest[1] == 'c') &&
        (rest.size() == 2 || rest[2] == ' '))
        rest.erase(0, rest.size() > 2 ? 3 : 2);

    std::string program = "/bin/sh";
    std::string flag = "-c";
    if (const char* comspec = std::getenv("COMSPEC"); comspec && *comspec) {
        program = comspec;
        flag = "/C";
    }
    std::vector<char*> argv = {program.data(), flag.data(), rest.data(), nullptr};
    long maxFd = sysconf(_SC_OPEN_MAX);
    if (maxFd < 0 || maxFd > 65536) maxFd = 65536;

    ed.con.Suspend();
    pid_t child = fork();
    if (child == 0) ExecChild(program.c_str(), argv.data(), maxFd);
    if (child > 0) WaitForChild(ed, child);
    ed.con.Resume();
}

std::string OptionsForChild(const Editor& ed)
{
    std::string line;
    for (const std::string& option : ed.StartupOptions) line += ' ' + ShellQuote(option);
    return line;
}

}  // namespace lumo
