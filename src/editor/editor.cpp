#include "editor/editor.h"

#include <algorithm>
#include "editor/charmap.h"

namespace lumo {

Editor::Editor(Console& console, size_t memoryBudget) : con(console), MemoryBudget(memoryBudget)
{
    for (int i = 1; i <= 32; ++i) TabStops[i] = 1 + (i - 1) * TabStep;
    LineTable.resize(LineSlots);
    LineTable[0].assign("", ScratchSize);
    // The table's slots and the scratch line are paid for once, at start.
    MemoryUsed = LineSlots * 4 + ScratchSize + 1;
    BlankFiller.assign(LineCapacity, ' ');
    TextCharMap = CodePageMap(CodePage::ASCII);
}

Editor::~Editor()
{
    for (LineRecord& record : LineTable) record.clear();
}

void SplitKey(Editor& ed, KeyEvent key)
{
    ed.KeyChar = key & 0xFF;
    ed.KeyScan = (key >> 8) & 0xFF;
    ed.KeyShift = (key >> 16) & 0xFF;
    ed.KeyKind = (key >> 24) & 0xFF;
    ed.RawKeyShift = ed.KeyShift;
    if (ed.KeyShift == 1 || ed.KeyShift == 3) ed.KeyShift = 2;
}

void StoreKey(Editor& ed, KeyEvent key)
{
    ed.KeyChar = key & 0xFF;
    ed.KeyScan = (key >> 8) & 0xFF;
    ed.KeyShift = (key >> 16) & 0xFF;
    ed.KeyKind = (key >> 24) & 0xFF;
}

namespace {

// The one line a window below the minimum size shows.
void ShowTooSmall(Console& con)
{
    const std::string notice = "Window too small: " + std::to_string(Console::MinColumns) + "x" +
                               std::to_string(Console::MinRows) + " needed";
    if (con.ScreenCells.size() < size_t(con.ScreenColumns) * con.ScreenRows || con.ScreenRows < 1) return;
    std::fill(con.ScreenCells.begin(), con.ScreenCells.end(), BlankCell);
    for (int c = 1; c <= con.ScreenColumns && c <= int(notice.size()); ++c)
        con.Cell(c, 1) = uint16_t(0x0F00 | uint8_t(notice[c - 1]));
    con.FlushScreen(true);
    con.PlaceCursor(0, 0);
}

void KeepTopRows(Editor& ed)
{
    const Console& con = ed.con;
    size_t cells = size_t(std::max(con.ScreenColumns, 0)) * std::min(2, std::max(con.ScreenRows, 0));
    if (con.ScreenCells.size() < cells) cells = 0;
    ed.ResizeTopRows.assign(con.ScreenCells.begin(), con.ScreenCells.begin() + cells);
    ed.ResizeTopColumns = con.ScreenColumns;
}

// A new window size: the console takes it, the editor redraws for it. A
// window below the minimum shows one line and waits until it grows; keys
// typed meanwhile go unseen and are not used, a hang-up still saves.
void TakeNewSize(Editor& ed)
{
    if (!ed.ResizeTopColumns) KeepTopRows(ed);
    while (!ed.con.ApplyNewSize()) {
        ShowTooSmall(ed.con);
        for (;;) {
            KeyEvent key = ed.con.ReadKey();
            if (key == HangupEvent && ed.OnHangup) ed.OnHangup(ed);
            if (key == PasteEvent) ed.con.TakePaste();
            if (key == ResizeEvent) break;
        }
    }
    if (ed.OnResize) ed.OnResize(ed);
    ed.ResizeTopRows.clear();
    ed.ResizeTopColumns = 0;
}

}  // namespace

KeyEvent ReadEditorKey(Editor& ed)
{
    ed.MessageKeyWaiting = false;
    KeyEvent key = ed.con.ReadKey();
    // A character the text cannot hold types nothing: the next key is read.
    while (key == HangupEvent || key == ResizeEvent || !MapTypedKey(ed, key)) {
        if (key == HangupEvent && ed.OnHangup) ed.OnHangup(ed);
        if (key == ResizeEvent) TakeNewSize(ed);
        key = ed.con.ReadKey();
    }
    // The paste's text is taken with its event whoever reads it, so a
    // prompt that ignores the paste leaves nothing behind for the next one.
    if (key == PasteEvent) ed.Paste = ed.con.TakePaste();
    SplitKey(ed, key);
    return KeyValue(ed);
}

}  // namespace lumo
