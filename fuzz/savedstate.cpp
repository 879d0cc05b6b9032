// The saved-state file (search history and case setting) on any bytes, read
// at any history position: every entry keeps to the history's width, the
// case setting stays one of its three values, the search text is the
// current entry, and the file written from that state reads back the same.
//
// Input: one byte for the history position, then the file.
#include "files/history.h"
#include "fuzz_support.h"

using namespace lumo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Input in(data, size);
    const int index = in.Byte() % HistorySize;
    fuzz::Scratch scratch;
    fuzz::Session s;
    Editor& ed = s.ed;
    fuzz::WriteBytes(ed.SavedStateFile, in.Rest());
    fuzz::AddLines(ed, "", 1);
    ed.HistoryIndex = index;
    ReadHistory(ed);
    fuzz::CheckEditor(ed);
    for (const std::string& entry : ed.SearchHistory)
        FUZZ_CHECK(entry.size() <= HistoryWidth, "a history entry of " + std::to_string(entry.size()) + " characters");
    FUZZ_CHECK(ed.SearchString == ed.SearchHistory[ed.HistoryIndex], "the search text is not the current entry");

    WriteHistory(ed);
    fuzz::Session again;
    again.ed.HistoryIndex = index;
    ReadHistory(again.ed);
    FUZZ_CHECK(again.ed.SearchHistory == ed.SearchHistory, "the history does not read back as written");
    if (index == 0) FUZZ_CHECK(again.ed.SearchCase == ed.SearchCase, "the case setting does not read back as written");
    return 0;
}
