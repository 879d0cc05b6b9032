// A detached tmux session of a fixed size for end-to-end tests: start a
// command, send keys, read the screen back. Tests skip when tmux is missing.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <unistd.h>

namespace lumo::e2e {

inline std::string RunCapture(const std::string& command)
{
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        pclose(p);
    }
    return out;
}

inline std::string Quote(const std::string& s)
{
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

inline bool HaveTmux() { return std::system("command -v tmux >/dev/null 2>&1") == 0; }

class TmuxSession {
public:
    // Starts `command` through the shell in a new session of columns x rows.
    TmuxSession(const std::string& command, int columns = 80, int rows = 25)
        : name_("lumo-test-" + std::to_string(getpid()) + "-" + std::to_string(counter_++))
    {
        std::string cmd = "tmux -f /dev/null new-session -d -s " + name_ + " -x " +
                          std::to_string(columns) + " -y " + std::to_string(rows) +
                          " " + Quote("TERM=xterm-256color; " + command + "; echo LUMO-EXIT=$?; sleep 30");
        started_ = std::system(cmd.c_str()) == 0;
    }
    ~TmuxSession() { std::system(("tmux kill-session -t " + name_ + " 2>/dev/null").c_str()); }

    bool started() const { return started_; }

    // Keys in tmux send-keys syntax, each argument one key name or literal text.
    void Send(const std::string& keys)
    {
        std::system(("tmux send-keys -t " + name_ + " " + keys).c_str());
    }
    void SendLiteral(const std::string& text)
    {
        std::system(("tmux send-keys -l -t " + name_ + " " + Quote(text)).c_str());
    }
    std::string Screen() { return RunCapture("tmux capture-pane -p -t " + name_); }

    // Resizes the window, as a user dragging the terminal's corner would.
    void Resize(int columns, int rows)
    {
        std::system(("tmux resize-window -t " + name_ + " -x " + std::to_string(columns) + " -y " +
                     std::to_string(rows))
                        .c_str());
    }
    // Pastes `bytes` as the terminal would (bracketed, line ends as CR),
    // when the program asked for bracketed paste.
    void Paste(const std::string& bytes)
    {
        std::string file = "/tmp/" + name_ + ".paste";
        if (FILE* f = std::fopen(file.c_str(), "wb")) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
        std::system(("tmux load-buffer -b " + name_ + " " + file + " && tmux paste-buffer -p -d -b " +
                     name_ + " -t " + name_)
                        .c_str());
        std::remove(file.c_str());
    }

    // Polls the screen until it contains `text` or the time runs out.
    bool WaitFor(const std::string& text, int milliseconds = 5000)
    {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        while (std::chrono::steady_clock::now() < end) {
            if (Screen().find(text) != std::string::npos) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
        }
        return false;
    }

private:
    static inline int counter_ = 0;
    std::string name_;
    bool started_ = false;
};

}  // namespace lumo::e2e
