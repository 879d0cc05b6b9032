// The per-file settings file on any bytes, read over a text of a length the
// input chooses, as start-up reads it: the cursor, the window and every
// bookmark end up inside the text, and the file written from that state
// reads back to the same state.
//
// Input: two bytes for the number of lines (1..24,575), then the file.
#include "app/startup.h"
#include "fuzz_support.h"
#include "ui/render.h"

using namespace lumo;

namespace {

struct Fields {
    int top, line, column, columnBookmark;
    std::array<int, 4> lineBookmarks;
    std::array<PositionMark, 3> positions;
    bool insert, rus;
    uint16_t fill;
};

Fields Take(const Editor& ed)
{
    return {ed.TopLine, ed.CurrentLine, ed.CurrentColumn, ed.ColumnBookmark, ed.LineBookmarks,
            ed.PositionBookmarks, ed.InsertMode, ed.RusMode, ed.FillCell};
}

bool Same(const Fields& a, const Fields& b)
{
    for (int i = 1; i <= 2; ++i)
        if (a.positions[i].line != b.positions[i].line || a.positions[i].column != b.positions[i].column ||
            a.positions[i].top != b.positions[i].top)
            return false;
    return a.top == b.top && a.line == b.line && a.column == b.column && a.columnBookmark == b.columnBookmark &&
           a.lineBookmarks == b.lineBookmarks && a.insert == b.insert && a.rus == b.rus && a.fill == b.fill;
}

// A text of `count` short lines.
void MakeText(Editor& ed, int count)
{
    for (int n = 1; n <= count; ++n) FUZZ_CHECK(AppendLoadedLine(ed, "x"), "the text does not fit");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Input in(data, size);
    const uint16_t word = in.Word();
    // Mostly short texts; the top bit asks for one near the line limit.
    const int count = word & 0x8000 ? MaxLines - (word & 0xFF) : 1 + (word & 0x3FF);
    fuzz::Scratch scratch;
    const std::string path = scratch.dir + "t.txt.LmIni";
    fuzz::WriteBytes(path, in.Rest());

    fuzz::Session s;
    Editor& ed = s.ed;
    MakeText(ed, count);
    ed.ColumnBookmark = ed.TabStops[1];
    FUZZ_CHECK(ReadSettingsFile(ed, path), "the settings file was not read");
    ed.CurrentLine = std::clamp(ed.CurrentLine, 1, std::max(ed.LineCount, 1));
    if (!(ed.FillCell & 0x100)) ed.FillCell = 0x07B0;
    fuzz::CheckEditor(ed);
    RedrawCycle(ed, Redraw::Full);
    fuzz::CheckEditor(ed);

    // What the editor writes it reads back the same.
    const Fields shown = Take(ed);
    FUZZ_CHECK(WriteSettingsFile(ed, path), "the settings file was not written");
    fuzz::Session again;
    MakeText(again.ed, count);
    FUZZ_CHECK(ReadSettingsFile(again.ed, path), "the written settings file was not read");
    FUZZ_CHECK(Same(Take(again.ed), shown), "the settings file does not read back as written");
    return 0;
}
