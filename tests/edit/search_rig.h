// An editor on a scripted console for the search, replace and change by
// file tests: lines, a cursor, keys queued, the main loop run until the keys
// run out.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "app/loop_fixture.h"

namespace lumo::searchtest {

constexpr KeyEvent F6 = 0x0200FF06;
constexpr KeyEvent F7 = 0x0200FF07;
constexpr KeyEvent ShiftF7 = 0x0202FF07;
constexpr KeyEvent CtrlF7 = 0x0204FF07;
constexpr KeyEvent AltShiftF7 = 0x020BFF07;
constexpr KeyEvent CtrlEnter = 0x00041C0A;
constexpr KeyEvent AltEnter = 0x03081C00;
constexpr KeyEvent CtrlZ = 0x00042C1A;
constexpr KeyEvent CtrlQ = 0x00041011;
constexpr KeyEvent CtrlP = 0x00041910;
constexpr KeyEvent CtrlK = 0x0004250B;
constexpr KeyEvent CtrlF3 = 0x0204FF03;
constexpr KeyEvent ShiftF9 = 0x0202FF09;
constexpr KeyEvent Enter = 0x00001C0D;
constexpr KeyEvent Esc = 0x0000011B;

// One editor on a scripted console, with the keys of a case queued.
struct Rig {
    WatchingConsole con{80, 25};
    Editor ed{con};
    Rig(const std::vector<std::string>& lines, int line, int column)
    {
        con.OpenScreen();
        con.editor = &ed;
        ed.ColumnMarker = false;
        for (const std::string& s : lines) AppendLoadedLine(ed, s);
        ed.CurrentLine = line;
        ed.CurrentColumn = column;
        ed.TopLine = 1;
    }
    // A command key, then a text for the input line closed by `close`.
    void Ask(KeyEvent key, const std::string& text, KeyEvent close = Enter)
    {
        con.Push(key);
        con.Type(text);
        con.Push(close);
    }
    void Keys(std::initializer_list<KeyEvent> keys)
    {
        for (KeyEvent k : keys) con.Push(k);
    }
    void Run()
    {
        try {
            MainLoop(ed);
        } catch (const ScriptExhausted&) {
        }
    }
    std::vector<std::string> Lines() const
    {
        std::vector<std::string> v;
        for (int i = 1; i <= ed.LineCount; ++i) v.emplace_back(LineText(ed, i));
        return v;
    }
};


}  // namespace lumo::searchtest
