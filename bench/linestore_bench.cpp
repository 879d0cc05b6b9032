// Line store costs on the largest text the table holds.
#include <benchmark/benchmark.h>

#include "console/scripted_console.h"
#include "editor/linestore.h"

namespace lumo {
namespace {

void FillFull(Editor& ed)
{
    for (int i = 1; i < MaxLines; ++i)
        AppendLoadedLine(ed, "The quick brown fox jumps over the lazy dog, line " + std::to_string(i));
}

// Insert at the top and delete it again: moves 24,574 slot references each way.
void BM_InsertDeleteTopOfFullText(benchmark::State& state)
{
    ScriptedConsole con;
    con.OpenScreen();
    Editor ed(con);
    FillFull(ed);
    for (auto _ : state) {
        int at = 1;
        InsertLine(ed, 254, at);
        DeleteLine(ed, at);
        ed.LineEdited = false;
    }
    benchmark::DoNotOptimize(ed.LineCount);
}
BENCHMARK(BM_InsertDeleteTopOfFullText);

void BM_LoadFullText(benchmark::State& state)
{
    ScriptedConsole con;
    con.OpenScreen();
    for (auto _ : state) {
        Editor ed(con);
        FillFull(ed);
        benchmark::DoNotOptimize(ed.LineCount);
    }
}
BENCHMARK(BM_LoadFullText)->Unit(benchmark::kMillisecond);

void BM_GetLine(benchmark::State& state)
{
    ScriptedConsole con;
    con.OpenScreen();
    Editor ed(con);
    FillFull(ed);
    int n = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(GetLine(ed, n));
        n = n % ed.LineCount + 1;
    }
}
BENCHMARK(BM_GetLine);

}  // namespace
}  // namespace lumo
