// A detached tmux session of a fixed size for end-to-end tests: start a
// command, send keys, read the screen back. Tests skip when tmux is missing.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
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

// The whole file (empty when it cannot be read).
inline std::string ReadWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Polls `path` until it holds `expected` (the program writes it in its own
// time) or the time runs out; what it holds then.
inline std::string WaitForBytes(const std::string& path, const std::string& expected, int milliseconds = 5000)
{
    for (int i = 0; i < milliseconds / 50 && ReadWhole(path) != expected; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return ReadWhole(path);
}

// Row `r` (from 1) of a captured screen, without its trailing blanks.
inline std::string ScreenRow(const std::string& screen, int r)
{
    std::istringstream in(screen);
    std::string row;
    for (int i = 0; i < r && std::getline(in, row);) ++i;
    row.erase(row.find_last_not_of(' ') + 1);
    return row;
}

// A temporary directory for one test, removed with everything in it when the
// test ends: the editor runs in it and keeps its state there too.
class EditorDirectory {
public:
    explicit EditorDirectory(const std::string& tag = "e2e")
    {
        std::string pattern = "/tmp/lumo-" + tag + "-XXXXXX";
        if (mkdtemp(pattern.data())) path_ = pattern;
    }
    ~EditorDirectory()
    {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    EditorDirectory(const EditorDirectory&) = delete;
    EditorDirectory& operator=(const EditorDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    void Write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(path_ / name, std::ios::binary) << bytes;
    }

    // The shell command that starts `program -W file` here, with the given
    // environment settings ("NAME=value ...") before it.
    std::string Command(const std::string& file, const std::string& program = LUMO_BINARY,
                        const std::string& environment = "") const
    {
        return "cd " + Quote(path_.string()) + " && LUMO_HOME=" + Quote((path_ / "state").string()) +
               " LANG=C.UTF-8 " + environment + (environment.empty() ? "" : " ") + Quote(program) + " -W " +
               Quote(file);
    }

private:
    std::filesystem::path path_;
};

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
