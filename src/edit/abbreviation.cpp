#include "edit/abbreviation.h"

#include <algorithm>

#include "edit/lineedit.h"
#include "edit/typing.h"
#include "editor/keyreading.h"
#include "editor/keys.h"
#include "editor/linestore.h"
#include "editor/words.h"
#include "ui/inputline.h"
#include "ui/render.h"

namespace lumo {

const char* const LineEndsMessage = " Line ends cannot be stored!";
const char* const NotEnoughMemoryMessage = " NOT ENOUGH MEMORY!";

namespace {

// Entries and definitions are paid for from the memory budget like line
// records: their characters and a length byte.
size_t EntryCost(const std::string& s) { return s.size() + 1; }

void Charge(Editor& ed, size_t bytes) { ed.MemoryUsed += bytes; }
void Release(Editor& ed, size_t bytes) { ed.MemoryUsed -= std::min(bytes, ed.MemoryUsed); }

bool HasLineEnd(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

}  // namespace

void ClearShorts(Editor& ed)
{
    Release(ed, ed.ShortsCharge);
    ed.ShortsCharge = 0;
    ed.AbbrevList.clear();
    ed.CompletionList.clear();
    ed.AbbrevIndex.clear();
    ed.AbbrevList.shrink_to_fit();
    ed.CompletionList.shrink_to_fit();
}

bool AddShortsLine(Editor& ed, const std::string& line)
{
    if (line.size() >= FreeMemory(ed)) return false;
    std::vector<std::string>& list =
        line.find(AbbrevMark) != std::string::npos ? ed.AbbrevList : ed.CompletionList;
    if (list.size() >= static_cast<size_t>(ShortsListSize)) return true;
    list.push_back(line);
    list.back().shrink_to_fit();
    const size_t bel = line.find(AbbrevMark);
    // The first entry with an abbreviation wins; an entry that begins with
    // its BEL has none.
    if (&list == &ed.AbbrevList && bel > 0)
        ed.AbbrevIndex.emplace(line.substr(0, bel), static_cast<int>(list.size()) - 1);
    ed.ShortsCharge += EntryCost(line);
    Charge(ed, EntryCost(line));
    return true;
}

bool ExpandAbbreviation(Editor& ed)
{
    if (ed.AbbrevList.empty() || ed.KeyScan == 0) return false;
    const int line = ed.CurrentLine;
    const int column = ed.CurrentColumn;
    std::string_view text = LineText(ed, line);
    // Only right after a word: the character left of the cursor (a blank
    // when there is none) ends it.
    if (column < 2 || column - 2 >= static_cast<int>(text.size()) || text[column - 2] == ' ') return false;
    const std::string word = WordAtCursor(ed, 1);
    if (word.empty()) return false;
    const auto it = ed.AbbrevIndex.find(word);
    if (it == ed.AbbrevIndex.end()) return false;
    const size_t n = word.size();
    std::string expansion = ed.AbbrevList[it->second].substr(n + 1);
    if (!expansion.empty() && expansion.back() == NoBlankMark) expansion.pop_back();
    else expansion += ' ';
    // A line that could not take the whole expansion keeps its abbreviation
    // (the blank is typed instead): deleting the word first and then being
    // refused half-way would lose it.
    if (static_cast<int>(text.size() - n + expansion.size()) > MaxText) return false;

    // The restore ring gets the line with its abbreviation.
    BeginLineChange(ed, line);
    const int start = column - static_cast<int>(n);
    if (ed.InsertMode) DeleteChars(ed, line, start, static_cast<int>(n));
    ed.CurrentColumn = start;
    ed.Modified = true;
    TypeString(ed, expansion);
    return true;
}

Redraw CmdSpace(Editor& ed)
{
    if (ExpandAbbreviation(ed)) return Redraw::Window;
    return TypeCharacter(ed, ' ');
}

int MacroKeyIndex(const Editor& ed, KeyEvent key)
{
    const uint8_t scan = (key >> 8) & 0xFF;
    int index = scan == 0xFF ? key & 0xFF : scan;
    if (ed.RusMode) index = (index + 0x80) & 0xFF;
    return index;
}

void DefineMacro(Editor& ed, int index, const std::string& text)
{
    if (index < 0 || index > 255) return;
    std::string& slot = ed.MacroTable[index];
    if (ed.MacroDefined[index]) Release(ed, EntryCost(slot));
    slot = text;
    slot.shrink_to_fit();
    ed.MacroDefined[index] = true;
    Charge(ed, EntryCost(slot));
}

Redraw TakeMacro(Editor& ed, int index)
{
    std::string text;
    InputLine(ed, text, InputMacroWord);
    if (ed.OperationFailed == 127) StopRecording(ed);
    if (ed.OperationFailed != 0 || text.empty()) return Redraw::Full;
    if (HasLineEnd(text)) {
        ShowMessage(ed, LineEndsMessage, 1);
        return Redraw::Full;
    }
    if (text.size() >= FreeMemory(ed)) {
        ShowMessage(ed, NotEnoughMemoryMessage, 1);
        return Redraw::Full;
    }
    ed.MacrosChanged = true;
    DefineMacro(ed, index, text);
    return Redraw::Full;
}

Redraw PlayMacro(Editor& ed, int index)
{
    if (index < 0 || index > 255 || !ed.MacroDefined[index]) {
        ShowMessage(ed, "Macro not defined!", 1);
        return Redraw::Status;
    }
    ed.CompletionCount = 0;
    TypeString(ed, ed.MacroTable[index]);
    return Redraw::Full;
}

Redraw CmdTakeMacroKey(Editor& ed)
{
    if (!ed.MacrosOn) return Redraw::Status;
    return TakeMacro(ed, MacroKeyIndex(ed, KeyValue(ed)));
}

Redraw CmdPlayMacroKey(Editor& ed)
{
    if (!ed.MacrosOn) return Redraw::Status;
    return PlayMacro(ed, MacroKeyIndex(ed, KeyValue(ed)));
}

namespace {

// " Press a key for identification of macro: " and one key from the
// keyboard; -1 when it was Esc.
int AskMacroKey(Editor& ed)
{
    ShowMessage(ed, " Press a key for identification of macro: ", 22);
    KeyEvent key = ReadEditorKey(ed);
    DrawMessageLine(ed);
    if (key == KeyEsc) return -1;
    return MacroKeyIndex(ed, key);
}

}  // namespace

Redraw CmdMacroTakeWord(Editor& ed)
{
    int index = AskMacroKey(ed);
    if (index < 0) return Redraw::Full;
    return TakeMacro(ed, index);
}

Redraw CmdMacroPlayWord(Editor& ed)
{
    int index = AskMacroKey(ed);
    if (index < 0) return Redraw::Full;
    return PlayMacro(ed, index);
}

Redraw CmdMacrosOn(Editor& ed)
{
    ed.MacrosOn = true;
    return Redraw::Status;
}

Redraw CmdMacrosOff(Editor& ed)
{
    ed.MacrosOn = false;
    return Redraw::Status;
}

}  // namespace lumo
