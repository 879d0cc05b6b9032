// What the terminal's own events cost: a bracketed paste of 1 MB through the
// decoder and into the text, and the full redraw after a window resize (the
// bytes it writes are reported as a counter).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

#include "console/scripted_console.h"
#include "console/termdecode.h"
#include "edit/pastetext.h"
#include "editor/linestore.h"
#include "ui/render.h"

namespace lumo {
namespace {

// About 1 MB of pasted text: lines of 50 characters with Cyrillic (UTF-8)
// and a TAB in each, CR line ends as terminals send them.
std::string PasteBytes()
{
    std::string line = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\tpasted text of a typical line here\r";
    std::string s = "\x1b[200~";
    while (s.size() < (1u << 20)) s += line;
    return s + "\x1b[201~";
}

void BM_DecodePaste1MB(benchmark::State& state)
{
    const std::string bytes = PasteBytes();
    for (auto _ : state) {
        TermDecoder d;
        std::vector<KeyRecord> out;
        for (size_t pos = 0; pos < bytes.size(); pos += 4096)
            d.Feed(bytes.data() + pos, std::min<size_t>(4096, bytes.size() - pos), 0, out);
        benchmark::DoNotOptimize(d.pastes.back().text.size());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}
BENCHMARK(BM_DecodePaste1MB)->Unit(benchmark::kMillisecond);

void BM_InsertPaste1MB(benchmark::State& state)
{
    TermDecoder d;
    std::vector<KeyRecord> out;
    d.Feed(PasteBytes(), 0, out);
    const std::string text = d.pastes.back().text;
    ScriptedConsole con(80, 25);
    con.OpenScreen();
    for (auto _ : state) {
        state.PauseTiming();
        auto ed = std::make_unique<Editor>(con);
        for (int i = 1; i <= 1000; ++i) AppendLoadedLine(*ed, "an existing line of the text");
        ed->CurrentLine = 500;
        ed->CurrentColumn = 5;
        ed->Paste.text = text;
        state.ResumeTiming();
        CmdPasteText(*ed);
        benchmark::DoNotOptimize(ed->LineCount);
        state.PauseTiming();
        ed.reset();
        state.ResumeTiming();
    }
    state.counters["lines"] = double(std::count(text.begin(), text.end(), '\n'));
}
BENCHMARK(BM_InsertPaste1MB)->Unit(benchmark::kMillisecond);

void BM_RedrawAfterResize(benchmark::State& state)
{
    ScriptedConsole con(80, 25);
    con.OpenScreen();
    Editor ed(con);
    for (int i = 1; i <= 200; ++i)
        AppendLoadedLine(ed, "line " + std::to_string(i) + " with some words of text in it, as prose has");
    ed.CurrentLine = 100;
    ed.OnResize = RedrawAfterResize;
    RedrawCycle(ed, Redraw::Full);
    size_t bytes[2] = {0, 0};
    bool wide = false;
    for (auto _ : state) {
        wide = !wide;
        con.PushResize(wide ? 132 : 80, wide ? 50 : 25);
        con.Push(0x00001E61);
        size_t before = con.writtenBytes.size();
        ed.ReadingAtRest = true;
        ReadEditorKey(ed);
        bytes[wide] = con.writtenBytes.size() - before;
        if (con.writtenBytes.size() > (16u << 20)) con.writtenBytes.clear();
    }
    state.counters["bytes_to_132x50"] = double(bytes[1]);
    state.counters["bytes_to_80x25"] = double(bytes[0]);
}
BENCHMARK(BM_RedrawAfterResize);

}  // namespace
}  // namespace lumo
