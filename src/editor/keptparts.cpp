#include "editor/keptparts.h"

#include <algorithm>

namespace lumo {

namespace {

// The length of the text as a save writes it: without trailing blanks and
// NULs.
size_t SavedLength(std::string_view text)
{
    size_t n = text.size();
    while (n > 0 && (text[n - 1] == ' ' || text[n - 1] == '\0')) --n;
    return n;
}

bool MoreThanBlanks(std::string_view rest)
{
    return rest.find_first_not_of(' ') != std::string_view::npos;
}

}  // namespace

size_t KeptSize(std::string_view text, std::string_view rest)
{
    text = text.substr(0, std::min<size_t>(text.size(), MaxText));
    return text.size() - SavedLength(text) + rest.size();
}

bool KeepReadLine(Editor& ed, int n, std::string_view text, std::string_view rest)
{
    if (n < 1 || n > ed.LineCount) return false;
    text = text.substr(0, std::min<size_t>(text.size(), MaxText));
    const size_t saved = SavedLength(text);
    if (saved == text.size() && rest.empty()) return true;  // the common case: nothing to keep
    LineRecord& record = ed.LineTable[n];
    DropKeptPart(ed, record);
    const size_t size = text.size() - saved + rest.size();
    // A cut line whose end cannot be kept counts as changed: its text can
    // then never be saved over the file it lacks.
    record.markCut(MoreThanBlanks(rest));
    if (size > (ed.MemoryBudget > ed.MemoryUsed ? ed.MemoryBudget - ed.MemoryUsed : 0)) return false;
    std::string& kept = ed.KeptParts[record.id()];
    kept.reserve(size);
    kept.assign(text.substr(saved));
    kept.append(rest);
    ed.KeptBytes += size;
    ed.MemoryUsed += size;
    record.markKept(true);
    return true;
}

void DropKeptPart(Editor& ed, LineRecord& record)
{
    if (!record.kept()) return;
    auto it = ed.KeptParts.find(record.id());
    if (it != ed.KeptParts.end()) {
        size_t size = std::min(it->second.size(), ed.KeptBytes);
        ed.KeptBytes -= size;
        ed.MemoryUsed -= std::min(size, ed.MemoryUsed);
        ed.KeptParts.erase(it);
    }
    record.markKept(false);
}

void DropAllKeptParts(Editor& ed)
{
    ed.MemoryUsed -= std::min(ed.KeptBytes, ed.MemoryUsed);
    ed.KeptBytes = 0;
    ed.KeptParts.clear();
}

std::string_view KeptPart(const Editor& ed, int n)
{
    if (n < 1 || n > ed.LineCount || !ed.LineTable[n].kept()) return {};
    auto it = ed.KeptParts.find(ed.LineTable[n].id());
    return it == ed.KeptParts.end() ? std::string_view() : std::string_view(it->second);
}

bool LineGoesOn(const Editor& ed, int n)
{
    return n >= 1 && n <= ed.LineCount && ed.LineTable[n].cut() && ed.LineTable[n].kept();
}

bool CutLineChanged(const Editor& ed, int n)
{
    return n >= 1 && n <= ed.LineCount && ed.LineTable[n].cut() && !ed.LineTable[n].kept();
}

int FirstChangedCutLine(const Editor& ed)
{
    for (int n = 1; n <= ed.LineCount; ++n)
        if (CutLineChanged(ed, n)) return n;
    return 0;
}

void ReinterpretReadLine(Editor& ed, int n, const uint8_t (&table)[256])
{
    if (n < 1 || n > ed.LineCount) return;
    LineRecord& record = ed.LineTable[n];
    char* p = record.characters();
    for (int i = 0; i < record.length(); ++i) p[i] = static_cast<char>(table[static_cast<uint8_t>(p[i])]);
    if (!record.kept()) return;
    auto it = ed.KeptParts.find(record.id());
    if (it == ed.KeptParts.end()) return;
    for (char& c : it->second) c = static_cast<char>(table[static_cast<uint8_t>(c)]);
}

}  // namespace lumo
