// "shorts.lmo" on any bytes, read as start-up reads it (from the current
// directory), under a budget the input chooses: both tables keep to 100
// entries of at most 255 characters, the budget pays for them, reading the
// file again costs nothing more, and expanding the abbreviations found
// keeps the text within its limits.
//
// Input: one byte of choices (bit 0: a tight budget; the rest: how tight),
// then the file.
#include "files/abbreviations.h"
#include "files/shell.h"
#include "fuzz_support.h"

using namespace lumo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Input in(data, size);
    const uint8_t choice = in.Byte();
    fuzz::Scratch scratch;
    fuzz::WriteBytes(scratch.dir + AbbreviationsFileName, in.Rest());
    size_t budget = DefaultMemoryBudget;
    if (choice & 1) {
        fuzz::Session probe;
        budget = probe.ed.MemoryUsed + 300 + (choice >> 1) * 40u;
    }
    fuzz::Session s(budget);
    Editor& ed = s.ed;
    fuzz::AddLines(ed, "", 1);
    FUZZ_CHECK(ReadShorts(ed), "shorts.lmo was not read");
    fuzz::CheckEditor(ed);
    const size_t used = ed.MemoryUsed;
    FUZZ_CHECK(ReadShorts(ed), "shorts.lmo was not read again");
    FUZZ_CHECK(ed.MemoryUsed == used, "reading shorts.lmo again changed the memory used");

    // Each abbreviation typed and expanded at the end of a line.
    const std::vector<std::string> entries = ed.AbbrevList;
    for (size_t i = 0; i < entries.size() && i < 8; ++i) {
        const std::string word = entries[i].substr(0, entries[i].find(AbbrevMark));
        SetLine(ed, "x " + word, 1);
        ed.CurrentLine = 1;
        ed.CurrentColumn = std::min<int>(static_cast<int>(LineText(ed, 1).size()) + 1, MaxText + 1);
        ed.LineEdited = false;
        SplitKey(ed, 0x00003920);
        CmdSpace(ed);
        fuzz::CheckEditor(ed);
    }
    return 0;
}
