// Reading "shorts.lmo" into the abbreviation and completion tables.
#include "edit/abbreviation.h"
#include "files/abbreviations.h"
#include "files/fileio.h"
#include "files/shell.h"
#include "files/sidefilereader.h"

namespace lumo {

bool ReadShorts(Editor& ed)
{
    std::string path;
    // Without a file the tables stay as they are.
    if (!FindSideFile(AbbreviationsFileName, path)) return false;
    ClearShorts(ed);
    SideFileReader reader;
    if (!reader.Open(path)) return false;
    std::string raw;
    bool nul = false;
    while (reader.Next(raw, nul)) {
        // A NUL byte is no text: such a line (from a binary file, most
        // likely) is skipped.
        if (nul) continue;
        if (!AddShortsLine(ed, reader.Text(raw))) break;
        if (ed.AbbrevList.size() >= ShortsListSize && ed.CompletionList.size() >= ShortsListSize) break;
    }
    return true;
}

void LoadAbbreviations(Editor& ed) { ReadShorts(ed); }

}  // namespace lumo
