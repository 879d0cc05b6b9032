// An editor on a scripted console, driven through the main loop, for the
// main-loop, typing, recording and bookmark tests.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "console/scripted_console.h"
#include "editor/editor.h"
#include "app/mainloop.h"
#include "editor/linestore.h"

namespace lumo {

// Key values used by the tests (folded, as the binding table sees them).
namespace keys {
constexpr KeyEvent Esc = 0x0000011B;
constexpr KeyEvent Enter = 0x00001C0D;
constexpr KeyEvent Backspace = 0x00000E08;
constexpr KeyEvent Tab = 0x00000F09;
constexpr KeyEvent F1 = 0x0200FF01;
constexpr KeyEvent F9 = 0x0200FF09;
constexpr KeyEvent ShiftF9 = 0x0202FF09;
constexpr KeyEvent CtrlF3 = 0x0204FF03;
constexpr KeyEvent CtrlF9 = 0x0204FF09;
constexpr KeyEvent Home = 0x0200FF20;
constexpr KeyEvent Up = 0x0200FF21;
constexpr KeyEvent Down = 0x0200FF27;
constexpr KeyEvent CtrlUp = 0x0204FF21;
constexpr KeyEvent CtrlDown = 0x0204FF27;
constexpr KeyEvent AltUp = 0x03089800;
constexpr KeyEvent AltDown = 0x0308A000;
constexpr KeyEvent CtrlT = 0x00041414;
constexpr KeyEvent CtrlN = 0x0004310E;
constexpr KeyEvent CtrlW = 0x00041117;
constexpr KeyEvent AltBackspace = 0x03080E00;
constexpr KeyEvent CtrlAltTab = 0x030C0F00;
constexpr KeyEvent CtrlAltShiftTab = 0x030F0F00;
constexpr KeyEvent CtrlAltBackspace = 0x030C0E00;
constexpr KeyEvent AltMinus = 0x03088200;
constexpr KeyEvent AltEquals = 0x03080D00;
// Alt+digit bookmarks: Alt+1 .. Alt+9, Alt+0.
constexpr KeyEvent AltDigit(int d) { return 0x03087800u + ((d == 0 ? 10 : d) - 1) * 0x100u; }
// An Alt letter key by scan code; shift 8, or 0x0A with Shift.
constexpr KeyEvent AltScan(uint8_t scan, bool shift = false)
{
    return 0x03000000u | (shift ? 0x0A0000u : 0x080000u) | (uint32_t(scan) << 8);
}
// A character key with Shift held (e.g. the keypad digits with Shift).
constexpr KeyEvent Shifted(uint8_t c, uint8_t scan) { return 0x00020000u | (uint32_t(scan) << 8) | c; }
}  // namespace keys

// Sets an environment variable for the lifetime of the object.
struct ScopedEnv {
    std::string name;
    bool had;
    std::string old;
    ScopedEnv(const char* n, const std::string& value) : name(n)
    {
        const char* v = std::getenv(n);
        had = v != nullptr;
        if (had) old = v;
        setenv(n, value.c_str(), 1);
    }
    ~ScopedEnv()
    {
        if (had) setenv(name.c_str(), old.c_str(), 1);
        else unsetenv(name.c_str());
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;
};

// A fresh directory that is the current directory for the lifetime of the
// object and is removed with everything in it afterwards, so that commands
// that write files never leave them in the source tree.
struct TempDirectory {
    std::filesystem::path path;
    std::filesystem::path previous = std::filesystem::current_path();
    TempDirectory()
    {
        char name[] = "/tmp/lumo-loop-XXXXXX";
        path = mkdtemp(name);
        std::filesystem::current_path(path);
    }
    ~TempDirectory()
    {
        std::filesystem::current_path(previous);
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;
    bool Empty() const { return std::filesystem::is_empty(path); }
};

// Notes what row 2 showed at every flush, and whether a flush happened
// while a playback ran.
class WatchingConsole : public ScriptedConsole {
public:
    using ScriptedConsole::ScriptedConsole;
    const Editor* editor = nullptr;
    std::vector<std::string> messages;
    int flushesDuringPlayback = 0;

    void FlushScreen(bool force) override
    {
        if (editor && editor->PlaybackIndex != 0) ++flushesDuringPlayback;
        std::string row = Row(2);
        while (!row.empty() && row.back() == ' ') row.pop_back();
        if (!row.empty() && (messages.empty() || messages.back() != row)) messages.push_back(row);
        ScriptedConsole::FlushScreen(force);
    }
    bool Showed(const std::string& text) const
    {
        for (const std::string& m : messages)
            if (m.find(text) != std::string::npos) return true;
        return false;
    }
};

struct LoopTest : ::testing::Test {
    WatchingConsole con{80, 25};
    Editor ed{con};

    LoopTest()
    {
        con.OpenScreen();
        con.editor = &ed;
        ed.ColumnMarker = false;
    }

    void AddLines(const std::vector<std::string>& lines)
    {
        for (const std::string& s : lines) ASSERT_TRUE(AppendLoadedLine(ed, s));
    }
    void AddNumberedLines(int count)
    {
        for (int i = 1; i <= count; ++i) ASSERT_TRUE(AppendLoadedLine(ed, "line " + std::to_string(i)));
    }
    void Push(KeyEvent key) { con.Push(key); }
    void Type(const std::string& text) { con.Type(text); }
    // Runs the main loop until the script has no more keys.
    void Run()
    {
        try {
            MainLoop(ed);
        } catch (const ScriptExhausted&) {
        }
    }
    std::string Text(int line) const { return std::string(LineText(ed, line)); }
};

}  // namespace lumo
