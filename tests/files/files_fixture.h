// Real temporary directories and an editor whose timed messages are kept,
// for the loading and saving tests.
#pragma once

#include <gtest/gtest.h>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "console/scripted_console.h"
#include "core/editor.h"
#include "files/fileio.h"
#include "text/linestore.h"

namespace lumo::filetest {

constexpr KeyEvent Esc = 0x0000011B;
constexpr KeyEvent Enter = 0x00001C0D;
constexpr KeyEvent F2 = 0x0200FF02;

// Remembers every timed message (a timed message waits for a key).
class MessageConsole : public ScriptedConsole {
public:
    std::vector<std::string> shown;
    bool WaitForKey(int milliseconds) override
    {
        std::string row = Row(2);
        row.erase(row.find_last_not_of(' ') + 1);
        shown.push_back(row);
        return ScriptedConsole::WaitForKey(milliseconds);
    }
    // Row 2 as it stood when the last key was read (a prompt's field).
    std::string rowAtKey;
    KeyEvent ReadKey() override
    {
        rowAtKey = Row(2);
        return ScriptedConsole::ReadKey();
    }
    bool Showed(const std::string& text) const
    {
        return std::find(shown.begin(), shown.end(), text) != shown.end();
    }
};

inline void WriteFile(const std::string& path, const std::string& data)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << data;
}

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
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
