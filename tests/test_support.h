// Helpers shared by the test suites: whole-file reads and writes, and a
// scripted console that remembers the messages it showed.
#pragma once

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "console/scripted_console.h"

namespace lumo {

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

// Remembers the message line each time a timed message waits (a timed
// message is gone again once its pause ends).
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

}  // namespace lumo
