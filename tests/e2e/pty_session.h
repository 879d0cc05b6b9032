// A program run under a pseudo-terminal of our own, for end-to-end tests
// that need what tmux cannot give: bytes written in bursts of any size, the
// exact bytes the program writes, the terminal modes before and after, the
// process's exit status and its memory, and signals at chosen moments.
//
// The test holds both ends. The slave end stays open here too, so the modes
// can be read after the program has gone and no output is lost when it
// exits; the program gets it as its controlling terminal in a session of
// its own. A thread collects everything the program writes.
#pragma once

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace lumo::e2e {

inline long long PtyNowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// What the editor writes to leave the terminal as it found it (after the
// keyboard protocol's own switch-off, when one was switched on).
inline const std::string TerminalRestoreSequence = "\x1b[?2004l\x1b[0 q\x1b[?25h\x1b[0m\x1b[?1049l";

// One byte of terminal output: kept in `text` when it is not part of an
// escape sequence (CSI, OSC, two-byte). `state` carries a sequence across
// calls: 0 text, 1 after ESC, 2 in a CSI, 3 in a string.
inline void StepVisible(int& state, char c, std::string& text)
{
    const unsigned char b = static_cast<unsigned char>(c);
    if (state == 0 && b != 0x1b) text += c;
    else if (state == 0) state = 1;
    else if (state == 1) state = b == '[' ? 2 : b == ']' ? 3 : 0;
    else if (state == 2) state = b >= 0x40 && b <= 0x7e ? 0 : 2;
    else state = b == 0x07 ? 0 : b == 0x1b ? 1 : 3;
}

inline std::string VisibleText(const std::string& bytes)
{
    std::string text;
    int state = 0;
    for (char c : bytes) StepVisible(state, c, text);
    return text;
}

// Output made readable in a failure message: ESC shown as \e.
inline std::string Escaped(const std::string& s)
{
    std::string out;
    for (char c : s) out += c == '\x1b' ? std::string("\\e") : std::string(1, c);
    return out;
}

class PtySession {
public:
    PtySession() = default;
    PtySession(const PtySession&) = delete;
    PtySession& operator=(const PtySession&) = delete;
    ~PtySession()
    {
        if (pid_ > 0 && !exited_) {
            kill(pid_, SIGKILL);
            int status;
            waitpid(pid_, &status, 0);
        }
        stop_ = true;
        if (reader_.joinable()) reader_.join();
        if (master_ >= 0) close(master_);
        if (slave_ >= 0) close(slave_);
    }

    // Starts `program` with `args` (without the program name) and exactly
    // the environment `env` ("NAME=value"), in directory `dir`.
    bool Start(const std::string& program, const std::vector<std::string>& args,
               const std::vector<std::string>& env, const std::string& dir, int columns = 80, int rows = 25)
    {
        winsize ws{};
        ws.ws_col = static_cast<unsigned short>(columns);
        ws.ws_row = static_cast<unsigned short>(rows);
        if (openpty(&master_, &slave_, nullptr, nullptr, &ws) != 0) return false;
        fcntl(master_, F_SETFD, FD_CLOEXEC);
        fcntl(slave_, F_SETFD, FD_CLOEXEC);
        tcgetattr(slave_, &before_);
        // Everything the child needs is made before fork: after it, only
        // async-signal-safe calls.
        std::vector<std::string> argStrings{program};
        argStrings.insert(argStrings.end(), args.begin(), args.end());
        std::vector<char*> argv, envp;
        for (std::string& s : argStrings) argv.push_back(s.data());
        argv.push_back(nullptr);
        std::vector<std::string> envStrings = env;
        for (std::string& s : envStrings) envp.push_back(s.data());
        envp.push_back(nullptr);
        pid_ = fork();
        if (pid_ < 0) return false;
        if (pid_ == 0) {
            setsid();
            ioctl(slave_, TIOCSCTTY, 0);
            dup2(slave_, 0);
            dup2(slave_, 1);
            dup2(slave_, 2);
            for (int fd = 3; fd < 1024; ++fd) close(fd);
            struct sigaction dfl{};
            dfl.sa_handler = SIG_DFL;
            for (int sig = 1; sig < NSIG; ++sig) sigaction(sig, &dfl, nullptr);
            sigset_t none;
            sigemptyset(&none);
            sigprocmask(SIG_SETMASK, &none, nullptr);
            if (chdir(dir.c_str()) != 0) _exit(126);
            execve(program.c_str(), argv.data(), envp.data());
            _exit(127);
        }
        startedMs_ = PtyNowMs();
        reader_ = std::thread([this] { ReadLoop(); });
        return true;
    }

    pid_t pid() const { return pid_; }
    long long StartedMs() const { return startedMs_; }

    // Writes all of `bytes` (blocking while the program does not read).
    void Write(const std::string& bytes) { WriteRaw(bytes.data(), bytes.size()); }
    // Writes `bytes` in pieces of 1..maxPiece bytes at random boundaries,
    // splitting sequences and characters wherever they fall.
    void WriteInPieces(const std::string& bytes, std::mt19937& random, size_t maxPiece)
    {
        for (size_t at = 0; at < bytes.size();) {
            size_t n = std::min(bytes.size() - at, 1 + random() % maxPiece);
            WriteRaw(bytes.data() + at, n);
            at += n;
        }
    }

    std::string Output() const
    {
        std::lock_guard lock(mutex_);
        return output_;
    }
    size_t OutputSize() const
    {
        std::lock_guard lock(mutex_);
        return output_.size();
    }
    // The output without its escape sequences: what was drawn, run together.
    std::string Text() const
    {
        std::lock_guard lock(mutex_);
        return text_;
    }
    size_t TextSize() const
    {
        std::lock_guard lock(mutex_);
        return text_.size();
    }
    // Waits until the output after byte `from` holds `bytes`; returns where
    // they end in the output, or std::string::npos when the time ran out.
    size_t WaitForOutput(const std::string& bytes, size_t from = 0, int milliseconds = 10000) const
    {
        return WaitFor(output_, bytes, from, milliseconds);
    }
    // The same in Text(): colour changes and cursor moves between the
    // characters do not matter.
    size_t WaitForText(const std::string& text, size_t from = 0, int milliseconds = 10000) const
    {
        return WaitFor(text_, text, from, milliseconds);
    }
    // Waits until nothing has been written for `quietMs`.
    void WaitForQuiet(int quietMs, int milliseconds = 10000) const
    {
        long long end = PtyNowMs() + milliseconds;
        size_t size = OutputSize();
        long long since = PtyNowMs();
        while (PtyNowMs() < end) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            size_t now = OutputSize();
            if (now != size) {
                size = now;
                since = PtyNowMs();
            } else if (PtyNowMs() - since >= quietMs) {
                return;
            }
        }
    }

    // The editor asks the terminal what it is at start-up; an answer to the
    // device-attributes query (and none to the kitty one) is what xterm
    // gives. Returns false when the question did not come.
    bool AnswerAsXterm(int milliseconds = 10000)
    {
        if (WaitForOutput("\x1b[c", 0, milliseconds) == std::string::npos) return false;
        Write("\x1b[?64;1;2;6;22c");
        return true;
    }

    void Signal(int sig) { kill(pid_, sig); }
    // The window changes size as a terminal's does: the kernel tells the
    // program's process group with SIGWINCH.
    void Resize(int columns, int rows)
    {
        winsize ws{};
        ws.ws_col = static_cast<unsigned short>(columns);
        ws.ws_row = static_cast<unsigned short>(rows);
        ioctl(master_, TIOCSWINSZ, &ws);
    }

    // Waits for the program to end; false when it has not within the time.
    bool WaitExit(int milliseconds, int& status)
    {
        long long end = PtyNowMs() + milliseconds;
        for (;;) {
            pid_t r = waitpid(pid_, &status_, WNOHANG);
            if (r == pid_) {
                exited_ = true;
                // What it wrote last may still be on its way through the
                // terminal to the reader: wait until none is left to read
                // and nothing more has come for a while.
                long long drainEnd = PtyNowMs() + 5000;
                for (;;) {
                    WaitForQuiet(100, 1000);
                    int waiting = 0;
                    {
                        std::lock_guard lock(mutex_);
                        ioctl(master_, FIONREAD, &waiting);
                    }
                    if (waiting == 0 || PtyNowMs() > drainEnd) break;
                }
                status = status_;
                return true;
            }
            if (PtyNowMs() >= end) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    const termios& ModesBefore() const { return before_; }
    termios ModesNow() const
    {
        termios t{};
        tcgetattr(slave_, &t);
        return t;
    }

    // The largest resident size the program has had, from /proc (KiB); -1
    // when it cannot be read.
    long PeakResidentKb() const
    {
        std::ifstream in("/proc/" + std::to_string(pid_) + "/status");
        for (std::string line; std::getline(in, line);)
            if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
        return -1;
    }

private:
    void WriteRaw(const char* data, size_t n)
    {
        while (n > 0) {
            ssize_t w = write(master_, data, n);
            if (w < 0) {
                if (errno == EINTR || errno == EAGAIN) continue;
                return;
            }
            data += w;
            n -= static_cast<size_t>(w);
        }
    }

    size_t WaitFor(const std::string& in, const std::string& what, size_t from, int milliseconds) const
    {
        long long end = PtyNowMs() + milliseconds;
        for (;;) {
            {
                std::lock_guard lock(mutex_);
                size_t at = from < in.size() ? in.find(what, from) : std::string::npos;
                if (at != std::string::npos) return at + what.size();
            }
            if (PtyNowMs() >= end) return std::string::npos;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    void ReadLoop()
    {
        char buf[65536];
        while (!stop_) {
            pollfd p{master_, POLLIN, 0};
            if (poll(&p, 1, 20) <= 0) continue;
            // Read and kept under one lock: with the lock held, nothing
            // waiting on the terminal means nothing is missing here.
            std::lock_guard lock(mutex_);
            ssize_t got = read(master_, buf, sizeof buf);
            if (got > 0) {
                output_.append(buf, static_cast<size_t>(got));
                for (ssize_t i = 0; i < got; ++i) StepVisible(escape_, buf[i], text_);
            } else if (got < 0 && errno != EINTR && errno != EAGAIN) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        }
    }

    int master_ = -1;
    int slave_ = -1;
    pid_t pid_ = -1;
    bool exited_ = false;
    int status_ = 0;
    long long startedMs_ = 0;
    termios before_{};
    std::thread reader_;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::string output_;
    std::string text_;
    int escape_ = 0;  // StepVisible's state
};

// The modes that matter for a terminal handed back: every flag and control
// character (the speeds come along in the flags).
inline bool SameModes(const termios& a, const termios& b)
{
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
           a.c_lflag == b.c_lflag && std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0;
}

// Empty when the program's output ends by putting the terminal back: the
// restore sequence (with the keyboard protocol switched off when it was
// switched on) and after it at most plain text (a farewell note). Else what
// is wrong.
inline std::string CheckRestoredLast(const std::string& out)
{
    size_t at = out.rfind(TerminalRestoreSequence);
    if (at == std::string::npos) return "the restore sequence was never written";
    if (out.find('\x1b', at + TerminalRestoreSequence.size()) != std::string::npos)
        return "escape sequences came after the restore: " + out.substr(at);
    const std::string on = "\x1b[>4;2m", off = "\x1b[>4m";
    size_t switchedOn = out.rfind(on);
    if (switchedOn != std::string::npos && out.rfind(off, at) < switchedOn)
        return "modifyOtherKeys was left on";
    return {};
}

// The environment of an editor under test: nothing from the caller's but
// what the sanitizers read; its side files under `home`.
inline std::vector<std::string> EditorEnvironment(const std::string& home)
{
    std::vector<std::string> env = {"PATH=/usr/bin:/bin", "HOME=" + home, "TERM=xterm-256color", "LANG=C.UTF-8",
                                    "XDG_STATE_HOME=" + home + "/state", "XDG_CONFIG_HOME=" + home + "/config"};
    for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS"})
        if (const char* v = std::getenv(name)) env.push_back(std::string(name) + "=" + v);
    return env;
}

}  // namespace lumo::e2e
