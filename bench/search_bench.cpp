// FindText from line 1 to a word on the last line of the largest text, and
// a replace of one word on every line without questions.
#include <benchmark/benchmark.h>

#include <string>

#include "app/mainloop.h"
#include "console/scripted_console.h"
#include "edit/search.h"
#include "editor/linestore.h"

namespace lumo {
namespace {

// 24,575 lines of 60 to 80 characters, "the" once on each, "zanzibar"
// only on the last.
void FillFull(Editor& ed)
{
    for (int i = 1; i <= MaxLines; ++i) {
        std::string line = "word " + std::to_string(i) + " some filler text and the middle of a line here";
        line.resize(60 + i % 21, 'x');
        if (i == MaxLines) line += " zanzibar";
        AppendLoadedLine(ed, line);
    }
}

void BM_FindToLastLine(benchmark::State& state)
{
    ScriptedConsole con;
    con.OpenScreen();
    Editor ed(con);
    FillFull(ed);
    const bool ignoreCase = state.range(0) != 0;
    for (auto _ : state) {
        ed.CurrentLine = 1;
        ed.CurrentColumn = 1;
        int setting = ignoreCase ? 15 : -15;
        FindText(ed, "zanzibar", 1, ed.LineCount, 1, false, setting, false);
        benchmark::DoNotOptimize(ed.CurrentLine);
    }
}
BENCHMARK(BM_FindToLastLine)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// F6, "the" by "THE", no questions, case matched: through the main loop,
// as a user runs it (the screen drawn once at the end).
void BM_ReplaceEveryLine(benchmark::State& state)
{
    ScriptedConsole con;
    con.OpenScreen();
    for (auto _ : state) {
        state.PauseTiming();
        Editor ed(con);
        FillFull(ed);
        con.Push(0x0200FF06);
        con.Type("the");
        con.Push(0x00001C0D);
        con.Type("THE");
        con.Push(0x00001C0D);
        con.Type("22");
        state.ResumeTiming();
        try {
            MainLoop(ed);
        } catch (const ScriptExhausted&) {
        }
        benchmark::DoNotOptimize(ed.LineCount);
    }
}
BENCHMARK(BM_ReplaceEveryLine)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lumo
