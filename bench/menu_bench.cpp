// Opening the F10 menu and leaving it again on an 80x25 screen of text: the
// bytes the terminal gets for each key (counters "bytes_f10", "bytes_esc";
// they do not depend on the machine) and the time of the round trip.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "app/mainloop.h"
#include "console/scripted_console.h"
#include "editor/keys.h"
#include "editor/linestore.h"

namespace lumo {
namespace {

constexpr KeyEvent F10 = 0x0200FF0A;

// Notes how many bytes had gone to the terminal each time the editor waited
// for a key (the cursor placed first, as on the terminal).
class CountingConsole : public ScriptedConsole {
public:
    using ScriptedConsole::ScriptedConsole;
    std::vector<size_t> atKey;
    KeyEvent ReadKey() override
    {
        SyncCursor();
        atKey.push_back(writtenBytes.size());
        return ScriptedConsole::ReadKey();
    }
};

void RunUntilIdle(Editor& ed)
{
    try {
        for (;;) RunOnePass(ed);
    } catch (const ScriptExhausted&) {
    }
}

void BM_MenuOpenAndEsc(benchmark::State& state)
{
    CountingConsole con(80, 25);
    con.OpenScreen();
    Editor ed(con);
    for (int i = 1; i <= 100; ++i)
        AppendLoadedLine(ed, "Line " + std::to_string(i) + " of the text, with some words to fill the row up");
    ed.CurrentLine = 10;
    ed.CurrentColumn = 7;
    ed.LoopLevel = Redraw::Full;
    RunUntilIdle(ed);
    size_t openBytes = 0, escBytes = 0;
    for (auto _ : state) {
        // The editor waits for F10, the menu for Esc, the editor again.
        con.atKey.clear();
        con.Push(F10);
        con.Push(KeyEsc);
        RunUntilIdle(ed);
        openBytes = con.atKey[1] - con.atKey[0];
        escBytes = con.atKey[2] - con.atKey[1];
    }
    state.counters["bytes_f10"] = static_cast<double>(openBytes);
    state.counters["bytes_esc"] = static_cast<double>(escBytes);
}
BENCHMARK(BM_MenuOpenAndEsc)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace lumo
