// Playing back a full keystroke recording (31 keys) through the main loop on
// the largest text: the keys run without drawing, then one full redraw.
#include <benchmark/benchmark.h>

#include <string>

#include "console/scripted_console.h"
#include "editor/keys.h"
#include "app/mainloop.h"
#include "editor/linestore.h"

namespace lumo {
namespace {

void FillFull(Editor& ed)
{
    for (int i = 1; i <= MaxLines; ++i) {
        std::string line = "Line " + std::to_string(i) + " of the full text, with some words to fill it";
        line.resize(60 + i % 21, 'x');
        AppendLoadedLine(ed, line);
    }
}

// 31 keys that leave the text as they found it: moves, a page down and back
// up, and letters typed and rubbed out again.
void RecordSequence(Editor& ed)
{
    const KeyEvent keys[31] = {
        KeyDown, KeyDown, KeyDown, KeyRight, KeyRight, KeyRight, KeyRight, KeyPgDn,
        KeyDown, KeyDown, 'a', 'b', 'c', 'd', 'e', KeyBackspace,
        KeyBackspace, KeyBackspace, KeyBackspace, KeyBackspace, KeyUp, KeyUp, KeyUp, KeyLeft,
        KeyLeft, KeyLeft, KeyLeft, KeyDown, KeyUp, KeyRight, KeyLeft};
    for (int slot = 1; slot <= 31; ++slot) ed.KeystrokeBuffer[slot] = keys[slot - 1];
    ed.KeystrokeBuffer[32] = 0;
}

// Runs passes until the loop wants a key from the (empty) keyboard.
void RunUntilIdle(Editor& ed)
{
    try {
        for (;;) RunOnePass(ed);
    } catch (const ScriptExhausted&) {
    }
}

// One KeyF9: from the key to the full redraw after the end marker.
void BM_PlayThirtyOneKeys(benchmark::State& state)
{
    ScriptedConsole con(80, 25);
    con.OpenScreen();
    Editor ed(con);
    FillFull(ed);
    RecordSequence(ed);
    ed.LoopLevel = Redraw::Full;
    RunUntilIdle(ed);
    for (auto _ : state) {
        ed.CurrentLine = ed.TopLine = 12000;
        ed.CurrentColumn = 1;
        StoreKey(ed, KeyF9);
        ed.LoopLevel = Redraw::Dispatch;
        RunUntilIdle(ed);
        benchmark::DoNotOptimize(ed.CurrentLine);
    }
    state.SetItemsProcessed(state.iterations() * 31);
    // Where the sequence left the cursor: a page and two lines further.
    state.counters["line"] = ed.CurrentLine;
}
BENCHMARK(BM_PlayThirtyOneKeys)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace lumo
