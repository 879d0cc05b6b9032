// The saved-state file: the search history and the search case setting.
#include <charconv>

#include "files/history.h"

#include "files/statedir.h"
#include "ui/inputline.h"

namespace lumo {

namespace {

bool ParseCase(const std::string& line, int& value)
{
    std::string t = line;
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.pop_back();
    size_t b = t.find_first_not_of(" \t");
    if (b == std::string::npos) return false;
    long v = 0;
    auto [end, ec] = std::from_chars(t.data() + b, t.data() + t.size(), v);
    if (ec != std::errc() || end != t.data() + t.size()) return false;
    if (v != -15 && v != 0 && v != 15) return false;
    value = static_cast<int>(v);
    return true;
}

}  // namespace

void ReadHistory(Editor& ed)
{
    std::string data;
    if (!ReadSideFile(ed.SavedStateFile, data)) return;
    std::vector<std::string> lines = SplitSideLines(data);
    int index = ed.HistoryIndex;
    for (int i = 0; i < HistorySize; ++i) {
        // A longer line keeps its first 53 characters; the rest is skipped.
        std::string entry = i < static_cast<int>(lines.size()) ? lines[i].substr(0, HistoryWidth) : std::string();
        ed.SearchHistory[(index - i + HistorySize) % HistorySize] = entry;
    }
    if (ed.HistoryIndex == 0 && lines.size() > HistorySize) ParseCase(lines[HistorySize], ed.SearchCase);
    ed.SearchString = ed.SearchHistory[ed.HistoryIndex];
}

bool WriteHistory(Editor& ed)
{
    std::string data;
    for (int i = 0; i < HistorySize; ++i) {
        std::string entry = ed.SearchHistory[(ed.HistoryIndex - i + HistorySize) % HistorySize];
        // A line end inside an entry would shift every later line of the file.
        for (char& c : entry)
            if (c == '\r' || c == '\n') c = ' ';
        data += entry + "\r\n";
    }
    data += std::to_string(ed.SearchCase) + "\r\n";
    return PrepareStatePath(ed, ed.SavedStateFile) && ReplaceFileContents(ed.SavedStateFile, data, 0600);
}

}  // namespace lumo
