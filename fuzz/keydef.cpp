// "keydef.lmo" on any bytes, read as start-up reads it: every definition
// keeps to 255 characters, the budget pays for them, typing them keeps the
// text within its limits, and the file the editor writes from the table
// reads back to the same table.
//
// Input: the file.
#include "files/abbreviations.h"
#include "fuzz_support.h"

using namespace lumo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Scratch scratch;
    const std::string& dir = scratch.dir;
    fuzz::WriteBytes(dir + "keydef.lmo", std::string_view(reinterpret_cast<const char*>(data), size));
    fuzz::Session s;
    Editor& ed = s.ed;
    fuzz::AddLines(ed, "", 1);
    ReadKeyDefinitions(ed);
    fuzz::CheckEditor(ed);

    // Written to a file of its own (the dialog's name taken with Enter) and
    // read back by another editor.
    ed.KeyDefFileName = dir + "out.lmo";
    s.con.Push(fuzz::EnterKey);
    MacroFile(ed, MacroFileWrite);
    s.con.keys.clear();
    FUZZ_CHECK(ed.OperationFailed == 0, "the key definitions were not written");
    // Whatever the bytes (CP866 that would pass for UTF-8 is written in
    // UTF-8), the table reads back the same.
    {
        fuzz::Session again;
        fuzz::AddLines(again.ed, "", 1);
        again.ed.KeyDefFileName = dir + "out.lmo";
        again.con.Push(fuzz::EnterKey);
        MacroFile(again.ed, MacroFileRead);
        // Index 0 is read but never written.
        for (int index = 1; index < 256; ++index) {
            FUZZ_CHECK(again.ed.MacroDefined[index] == ed.MacroDefined[index], "key " + std::to_string(index) + " defined or not after writing and reading back");
            FUZZ_CHECK(again.ed.MacroTable[index] == ed.MacroTable[index], "key " + std::to_string(index) + " changed by writing and reading back");
        }
    }

    // The first few definitions typed into the text.
    int played = 0;
    for (int index = 0; index < 256 && played < 6; ++index) {
        if (!ed.MacroDefined[index]) continue;
        ++played;
        PlayMacro(ed, index);
        fuzz::CheckEditor(ed);
    }
    return 0;
}
