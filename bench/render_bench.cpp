// Drawing costs: a whole text window of long lines full of colour marks,
// comments and control bytes, on the smallest and the largest screen.
#include <benchmark/benchmark.h>

#include "console/scripted_console.h"
#include "editor/linestore.h"
#include "ui/render.h"

namespace lumo {
namespace {

std::string ColouredLine(int i)
{
    std::string s;
    while (s.size() < 240) {
        s += "word ";
        s += static_cast<char>(i % 3);  // a marker: 0, 1 or 2
        s += static_cast<char>(1 + i % 15);
        s += "coloured text { comment } ";
        s += static_cast<char>(7);
        s += " // tail ";
        ++i;
    }
    s.resize(250);
    return s + "\x01\x0E\t";
}

void DrawWindow(benchmark::State& state, int columns, int rows)
{
    ScriptedConsole con(columns, rows);
    con.OpenScreen();
    Editor ed(con);
    ed.PascalMode = true;
    for (int i = 1; i <= rows; ++i) AppendLoadedLine(ed, ColouredLine(i));
    ed.LineBookmarks[2] = 3;
    ed.BoxFirstLine = 2;
    ed.BoxLastLine = rows / 2;
    ed.BoxFirstColumn = 10;
    ed.BoxLastColumn = 40;
    int h = 0;
    for (auto _ : state) {
        // Alternate the scroll so every pass changes the cells.
        ed.HorizontalScroll = h;
        h = h == 0 ? 37 : 0;
        DrawTextWindow(ed);
        benchmark::DoNotOptimize(con.ScreenCells.data());
    }
}

void BM_DrawWindow80x25(benchmark::State& state) { DrawWindow(state, 80, 25); }
void BM_DrawWindow132x50(benchmark::State& state) { DrawWindow(state, 132, 50); }
BENCHMARK(BM_DrawWindow80x25)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawWindow132x50)->Unit(benchmark::kMicrosecond);

void BM_StatusLine(benchmark::State& state)
{
    ScriptedConsole con;
    con.OpenScreen();
    Editor ed(con);
    AppendLoadedLine(ed, "abc");
    ed.FileName = "notes.txt";
    for (auto _ : state) {
        ed.CurrentColumn = ed.CurrentColumn % 3 + 1;
        DrawStatusLine(ed);
    }
}
BENCHMARK(BM_StatusLine)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace lumo
