// Block commands on large blocks: copy, move and delete of line blocks,
// indent, and count over a tall box. The screen is never drawn: the
// commands are called as the binding table calls them, without the redraw.
#include <benchmark/benchmark.h>

#include "console/scripted_console.h"
#include "edit/blocks.h"
#include "edit/countblock.h"
#include "editor/linestore.h"

namespace lumo {
namespace {

void Fill(Editor& ed, int lines)
{
    for (int i = 1; i <= lines; ++i)
        AppendLoadedLine(ed, "  " + std::to_string(i % 1000) + ".25 The quick brown fox jumps over the lazy dog, line " +
                                 std::to_string(i));
}

void MarkLines(Editor& ed, int first, int last)
{
    UnmarkBlock(ed);
    ed.LineBlockFirst = first;
    ed.LineBlockLast = last;
}

// The largest copy the line table can take: half the table below itself.
void BM_CopyLineBlock12287(benchmark::State& state)
{
    ScriptedConsole con;
    Editor ed(con);
    const int half = (MaxLines + 1) / 2;  // 12,288 lines, of which 12,287 are copied
    Fill(ed, half);
    for (auto _ : state) {
        MarkLines(ed, 2, half);
        ed.CurrentLine = 1;
        ed.LineEdited = false;
        CopyBlock(ed, true);
        if (ed.LineCount != MaxLines) state.SkipWithError("copy refused");
        state.PauseTiming();
        DeleteLines(ed, 2, half - 1);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CopyLineBlock12287)->Unit(benchmark::kMillisecond);

// The first 20,000 lines of the full text go to its end, one move each.
void BM_MoveLineBlock20000(benchmark::State& state)
{
    ScriptedConsole con;
    Editor ed(con);
    Fill(ed, MaxLines);
    for (auto _ : state) {
        MarkLines(ed, 1, 20000);
        ed.CurrentLine = MaxLines;
        ed.LineEdited = false;
        MoveBlock(ed);
    }
}
BENCHMARK(BM_MoveLineBlock20000)->Unit(benchmark::kMillisecond);

void BM_DeleteLineBlock20000(benchmark::State& state)
{
    ScriptedConsole con;
    Editor ed(con);
    Fill(ed, MaxLines);
    for (auto _ : state) {
        MarkLines(ed, 2001, 22000);
        ed.CurrentLine = 1;
        DeleteBlock(ed);
        state.PauseTiming();
        InsertLines(ed, 2001, 20000, [](int i) { return NewLine{i % 2 ? "some text of the line" : "", 254}; });
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DeleteLineBlock20000)->Unit(benchmark::kMillisecond);

// Indent and unindent in turn: every line of the block changes each time.
void BM_IndentLineBlock20000(benchmark::State& state)
{
    ScriptedConsole con;
    Editor ed(con);
    Fill(ed, MaxLines);
    int direction = 1;
    for (auto _ : state) {
        MarkLines(ed, 1, 20000);
        IndentBlock(ed, direction);
        direction = -direction;
    }
}
BENCHMARK(BM_IndentLineBlock20000)->Unit(benchmark::kMillisecond);

void BM_CountBox20000(benchmark::State& state)
{
    ScriptedConsole con;
    Editor ed(con);
    Fill(ed, MaxLines);
    UnmarkBlock(ed);
    ed.BoxFirstLine = 1;
    ed.BoxLastLine = 20000;
    ed.BoxFirstColumn = 1;
    ed.BoxLastColumn = 9;
    for (auto _ : state) {
        int64_t total = 0;
        std::string bad;
        if (!CountBox(ed, total, bad)) state.SkipWithError("count refused");
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_CountBox20000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lumo
