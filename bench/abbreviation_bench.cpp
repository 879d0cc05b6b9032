// Space with and without abbreviations loaded, and "\" completion over the
// largest text: a find on the line above, one on the last line, none.
#include <benchmark/benchmark.h>

#include <string>

#include "console/scripted_console.h"
#include "edit/abbreviation.h"
#include "edit/completion.h"
#include "editor/keys.h"
#include "editor/linestore.h"

namespace lumo {
namespace {

// Space after "hello" (no abbreviation matches: the usual case) with
// state.range(0) abbreviations loaded, each as long as the word and ending
// in the same letter.
void BM_SpaceAfterWord(benchmark::State& state)
{
    ScriptedConsole con;
    con.OpenScreen();
    Editor ed(con);
    AppendLoadedLine(ed, "hello");
    for (int i = 0; i < state.range(0); ++i) {
        std::string word = "h" + std::to_string(100 + i).substr(1) + "lo";
        AddShortsLine(ed, word + "\aexpansion of " + word);
    }
    StoreKey(ed, KeySpace);
    for (auto _ : state) {
        SetLine(ed, "hello", 1);
        ed.CurrentColumn = 6;
        CmdSpace(ed);
        benchmark::DoNotOptimize(ed.CurrentColumn);
    }
}
BENCHMARK(BM_SpaceAfterWord)->Arg(0)->Arg(100);

// Space after "h42lo", the 43rd of 100 abbreviations: the expansion typed.
void BM_SpaceExpands(benchmark::State& state)
{
    ScriptedConsole con;
    con.OpenScreen();
    Editor ed(con);
    AppendLoadedLine(ed, "h42lo");
    for (int i = 0; i < 100; ++i) {
        std::string word = "h" + std::to_string(100 + i).substr(1) + "lo";
        AddShortsLine(ed, word + "\aexpansion of " + word);
    }
    StoreKey(ed, KeySpace);
    for (auto _ : state) {
        SetLine(ed, "h42lo", 1);
        ed.CurrentColumn = 6;
        CmdSpace(ed);
        benchmark::DoNotOptimize(ed.CurrentColumn);
    }
}
BENCHMARK(BM_SpaceExpands);

void FillFull(Editor& ed)
{
    for (int i = 1; i <= MaxLines; ++i) {
        std::string line = "Line " + std::to_string(i) + " of the full text, with some words to fill it";
        line.resize(60 + i % 21, 'x');
        AppendLoadedLine(ed, line);
    }
}

// "\" on "pro" typed at `line`, with "procedure" on `target` (0: nowhere);
// the offer is answered with Esc.
void Completion(benchmark::State& state, int line, int target)
{
    ScriptedConsole con;
    con.OpenScreen();
    Editor ed(con);
    FillFull(ed);
    SetLine(ed, "pro", line);
    if (target) SetLine(ed, "the procedure", target);
    for (auto _ : state) {
        ed.CurrentLine = line;
        ed.CurrentColumn = 4;
        ed.TopLine = line;
        con.Push(KeyEsc);
        Complete(ed);
        con.keys.clear();
        benchmark::DoNotOptimize(ed.CompletionCount);
    }
}

void BM_CompleteFromLineAbove(benchmark::State& state) { Completion(state, 12000, 11999); }
void BM_CompleteFromLastLine(benchmark::State& state) { Completion(state, 1, MaxLines); }
void BM_CompleteNoFind(benchmark::State& state) { Completion(state, 12000, 0); }
BENCHMARK(BM_CompleteFromLineAbove)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CompleteFromLastLine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompleteNoFind)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lumo
