#include "editor/editor.h"

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

KeyEvent ReadEditorKey(Editor& ed)
{
    KeyEvent key = ed.con.ReadKey();
    // A character the text cannot hold types nothing: the next key is read.
    while (key == HangupEvent || !MapTypedKey(ed, key)) {
        if (key == HangupEvent && ed.OnHangup) ed.OnHangup(ed);
        key = ed.con.ReadKey();
    }
    SplitKey(ed, key);
    return KeyValue(ed);
}

}  // namespace lumo
