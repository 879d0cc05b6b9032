// Real temporary directories and an editor whose timed messages are kept,
// for the loading and saving tests.
#pragma once

#include <gtest/gtest.h>
#include <dirent.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "console/scripted_console.h"
#include "editor/editor.h"
#include "files/fileio.h"
#include "editor/linestore.h"
#include "test_support.h"

namespace lumo::filetest {

constexpr KeyEvent Esc = 0x0000011B;
constexpr KeyEvent Enter = 0x00001C0D;
constexpr KeyEvent F2 = 0x0200FF02;
// A key that ends a timed message; a prompt the same command opens next
// never gets it.
constexpr KeyEvent Dismiss = 0x00003920;

// The user and group an ordinary user's child runs as when the tests run as root.
constexpr uid_t OrdinaryId = 65534;

// Gives `path` to the ordinary user when the tests run as root (else nothing
// to do: the files are the user's already).
inline void GiveToOrdinaryUser(const std::string& path)
{
    if (geteuid() == 0) {
        ASSERT_EQ(chown(path.c_str(), OrdinaryId, OrdinaryId), 0) << path;
    }
}

// Runs `body` in a child process bound by permission bits: as root the child
// gives its rights up to OrdinaryId first, so that a file nobody may read
// stays unreadable. Returns body's result (0 when the child's expectations
// held), 200 when the rights could not be given up, -1 when the child died.
template <typename Body>
int AsOrdinaryUser(Body body)
{
    pid_t pid = fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        int code = 200;
        if (geteuid() != 0 ||
            (setgroups(0, nullptr) == 0 && setgid(OrdinaryId) == 0 && setuid(OrdinaryId) == 0)) {
            try {
                code = body();
            } catch (...) {
                code = 201;
            }
        }
        _exit(code);
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

class FilesTest : public ::testing::Test {
protected:
    explicit FilesTest(size_t budget = DefaultMemoryBudget) : ed(con, budget) {}

    void SetUp() override
    {
        con.OpenScreen();
        std::string pattern = (std::filesystem::temp_directory_path() / "lumo-files-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern + "/";
        ed.CodePageDetect = false;
    }
    void TearDown() override
    {
        std::error_code ec;
        std::filesystem::permissions(dir, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(dir, ec);
    }

    // Loads `bytes` from a file called `name` in the temporary directory.
    bool Load(const std::string& name, const std::string& bytes)
    {
        WriteFile(dir + name, bytes);
        ed.FileName = dir + name;
        return LoadFile(ed);
    }
    std::string Text(int n) const { return std::string(LineText(ed, n)); }
    // The names in the temporary directory, sorted.
    std::vector<std::string> Entries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    void AddLines(const std::vector<std::string>& lines)
    {
        for (const auto& s : lines) {
            int at = ed.LineCount + 1;
            InsertLine(ed, 20, at);
            SetLine(ed, s, at);
        }
    }

    MessageConsole con;
    Editor ed;
    std::string dir;
};

}  // namespace lumo::filetest
