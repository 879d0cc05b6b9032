// Typing with word wrap, and joining and splitting lines in the largest text.
#include <benchmark/benchmark.h>

#include <string>

#include "console/scripted_console.h"
#include "edit/lineedit.h"
#include "editor/linestore.h"

namespace lumo {
namespace {

// A paragraph of `length` characters: words of 2 to 10 letters and blanks.
std::string Paragraph(size_t length)
{
    std::string text;
    unsigned seed = 12345;
    while (text.size() < length) {
        seed = seed * 1103515245 + 12345;
        int word = 2 + (seed >> 16) % 9;
        for (int i = 0; i < word; ++i) text += static_cast<char>('a' + (seed >> (i + 3)) % 26);
        text += ' ';
    }
    text.resize(length);
    return text;
}

// 20,000 characters typed into an empty text, wrapping at column 72.
void BM_TypeWrappedParagraph(benchmark::State& state)
{
    const std::string text = Paragraph(20000);
    ScriptedConsole con;
    con.OpenScreen();
    for (auto _ : state) {
        state.PauseTiming();
        Editor ed(con);
        ed.FormatWidth = 72;
        int at = 1;
        InsertLine(ed, ed.LineCapacity, at);
        state.ResumeTiming();
        for (char c : text) TypeChar(ed, static_cast<uint8_t>(c));
        benchmark::DoNotOptimize(ed.LineCount);
    }
    state.SetItemsProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_TypeWrappedParagraph)->Unit(benchmark::kMillisecond);

void FillFull(Editor& ed)
{
    for (int i = 1; i <= MaxLines; ++i) {
        std::string line = "Line " + std::to_string(i) + " of the full text, with some words to fill it";
        line.resize(60 + i % 21, 'x');
        AppendLoadedLine(ed, line);
    }
}

// Joins the next line to `line` and splits it again at the junction: the
// text is the same afterwards, so every pass does the same work. Line 1
// moves the most slot references.
void JoinAndSplit(benchmark::State& state, int line)
{
    ScriptedConsole con;
    con.OpenScreen();
    Editor ed(con);
    FillFull(ed);
    ed.CurrentLine = line;
    for (auto _ : state) {
        const int junction = TrimmedLength(GetLine(ed, line)) + 1;
        ed.CurrentColumn = junction;
        JoinLines(ed);
        ed.CurrentColumn = junction;
        BeginLineChange(ed, line);
        SplitLine(ed);
        ed.LineEdited = false;
    }
    if (ed.LineCount != MaxLines) state.SkipWithError("the text changed");
    state.SetItemsProcessed(state.iterations() * 2);
}

void BM_JoinSplitTopOfFullText(benchmark::State& state) { JoinAndSplit(state, 1); }
void BM_JoinSplitMiddleOfFullText(benchmark::State& state) { JoinAndSplit(state, MaxLines / 2); }
BENCHMARK(BM_JoinSplitTopOfFullText);
BENCHMARK(BM_JoinSplitMiddleOfFullText);

// Every line of the full text joined to the next and split again, top to
// bottom: one pass over the text.
void BM_JoinSplitEveryLine(benchmark::State& state)
{
    ScriptedConsole con;
    con.OpenScreen();
    Editor ed(con);
    FillFull(ed);
    for (auto _ : state) {
        for (int line = 1; line < MaxLines; ++line) {
            ed.CurrentLine = line;
            const int junction = TrimmedLength(GetLine(ed, line)) + 1;
            ed.CurrentColumn = junction;
            JoinLines(ed);
            ed.CurrentColumn = junction;
            SplitLine(ed);
            ed.LineEdited = false;
        }
    }
    if (ed.LineCount != MaxLines) state.SkipWithError("the text changed");
    state.SetItemsProcessed(state.iterations() * (MaxLines - 1) * 2);
}
BENCHMARK(BM_JoinSplitEveryLine)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lumo
