// Formatting one paragraph of 2,000 to 200,000 characters at width 72 with
// right justification (target: 20,000 characters in 5 ms, linear), alone and
// above 20,000 other lines that the write-back has to move.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "console/scripted_console.h"
#include "edit/format.h"
#include "editor/linestore.h"

namespace lumo {
namespace {

// Lines of about 100 characters: words of 1 to 10 letters, single blanks.
std::vector<std::string> ParagraphLines(size_t length)
{
    std::vector<std::string> lines;
    std::string line;
    unsigned seed = 4321;
    size_t total = 0;
    while (total < length) {
        seed = seed * 1103515245 + 12345;
        const int word = 1 + (seed >> 16) % 10;
        for (int i = 0; i < word; ++i) line += static_cast<char>('a' + (seed >> (i + 2)) % 26);
        total += word + 1;
        if (line.size() >= 100) {
            lines.push_back(line);
            line.clear();
        } else {
            line += ' ';
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

void FormatOnce(benchmark::State& state, int below)
{
    const std::vector<std::string> lines = ParagraphLines(state.range(0));
    ScriptedConsole con;
    con.OpenScreen();
    for (auto _ : state) {
        state.PauseTiming();
        Editor ed(con, 64 * 1024 * 1024);
        ed.FormatWidth = 72;
        for (const std::string& s : lines) AppendLoadedLine(ed, s);
        AppendLoadedLine(ed, "");
        for (int i = 0; i < below; ++i) AppendLoadedLine(ed, "a line below the paragraph");
        state.ResumeTiming();
        FormatParagraph(ed, true);
        benchmark::DoNotOptimize(ed.LineCount);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetComplexityN(state.range(0));
}

void BM_FormatJustified(benchmark::State& state) { FormatOnce(state, 0); }
BENCHMARK(BM_FormatJustified)->Arg(2000)->Arg(20000)->Arg(200000)->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

void BM_FormatJustifiedAboveText(benchmark::State& state) { FormatOnce(state, 20000); }
BENCHMARK(BM_FormatJustifiedAboveText)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lumo
