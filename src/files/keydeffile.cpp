// The key-definitions file "keydef.lmo": one definition a line, the key
// index in decimal, a blank, the text.
#include <charconv>

#include "edit/abbreviation.h"
#include "editor/linestore.h"
#include "files/abbreviations.h"
#include "files/fileinternal.h"
#include "files/safewrite.h"
#include "files/sidefilereader.h"
#include "files/utf8file.h"
#include "ui/choice.h"
#include "ui/render.h"

namespace lumo {

namespace {

constexpr const char* KeyDefName = "keydef.lmo";
constexpr const char* KeyDefOkMessage = " keydef.lmo - OK!";

// The index in front of a definition: 1 to 3 ASCII digits (leading zeros
// allowed, no sign), at most 255; -1 otherwise.
int ParseMacroIndex(std::string_view digits)
{
    if (digits.empty() || digits.size() > 3) return -1;
    int value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    return value <= 255 ? value : -1;
}

// Reads the definitions of the file at `path` into the table (those it does
// not mention stay). False when it cannot be read.
bool ReadMacroLines(Editor& ed, const std::string& path)
{
    SideFileReader reader;
    if (!reader.Open(path)) return false;
    std::string raw;
    bool nul = false;
    while (reader.Next(raw, nul)) {
        if (nul) continue;
        size_t blank = raw.find(' ');
        if (blank == std::string::npos) continue;
        int index = ParseMacroIndex(std::string_view(raw).substr(0, blank));
        if (index < 0) continue;
        // The whole text after the blank, cut at 255 characters.
        std::string text = reader.Text(std::string_view(raw).substr(blank + 1));
        if (text.empty()) continue;
        if (text.size() >= FreeMemory(ed)) break;
        DefineMacro(ed, index, text);
    }
    return true;
}

// The file's lines, indices 1..255 in ascending order; UTF-8 when `utf8`.
std::string EncodeMacros(const Editor& ed, bool utf8)
{
    std::string out;
    for (int index = 1; index <= 255; ++index) {
        if (!ed.MacroDefined[index]) continue;
        out += std::to_string(index);
        out += ' ';
        if (utf8) AppendCp866AsUtf8(out, ed.MacroTable[index]);
        else out += ed.MacroTable[index];
        out += "\r\n";
    }
    return out;
}

// The file-name dialog for reading (asking when `ask`), then the read. False
// when the dialog was cancelled or the file could not be read.
bool ReadMacrosAt(Editor& ed, std::string& name, bool ask)
{
    if (ask) {
        TextFile file;
        FileDialog(ed, name, file, OpenReadAsk, false);
        if (ed.OperationFailed != 0) return false;
    }
    if (!ReadMacroLines(ed, name)) {
        if (ask) ShowMessage(ed, " File not found: " + name, 1);
        return false;
    }
    return true;
}

// The file-name dialog for writing, then the write: a temporary file renamed
// over the old one. The file keeps the encoding it had (a new one is CP866,
// unless its bytes would read back as UTF-8).
// False when the dialog was cancelled; `written` tells whether it succeeded.
bool WriteMacrosAt(Editor& ed, std::string& name, bool& written)
{
    written = false;
    TextFile file;
    FileDialog(ed, name, file, OpenWriteAsk, false);
    if (ed.OperationFailed != 0 || !file.writer) return false;
    std::string data = EncodeMacros(ed, false);
    if (SideFileIsUtf8(file.writer->target()) || ReadsAsUtf8(data)) data = EncodeMacros(ed, true);
    file.writer->Write(data);
    written = file.writer->Commit();
    if (!written) ShowMessage(ed, WriteErrorMessage, 1);
    file.writer.reset();
    return true;
}

}  // namespace

void MacroFile(Editor& ed, int operation)
{
    std::string name;
    if (operation == MacroFileStartup) {
        if (!FindSideFile(KeyDefName, name)) return;
    } else {
        name = ed.KeyDefFileName;
    }
    // Each refusal falls back on the file the side-file lookup finds, once.
    for (int tries = 0; tries < 4; ++tries) {
        bool done = false;
        bool written = false;
        if (operation == MacroFileWrite) done = WriteMacrosAt(ed, name, written);
        else done = ReadMacrosAt(ed, name, operation == MacroFileRead);
        if (done) {
            if (operation != MacroFileStartup) ed.KeyDefFileName = name;
            if (operation == MacroFileWrite && written) ed.MacrosChanged = false;
            if (operation == MacroFileRead || (operation == MacroFileWrite && written))
                ShowMessage(ed, KeyDefOkMessage, 1);
            return;
        }
        std::string found;
        if (!FindSideFile(KeyDefName, found) || found == name) return;
        name = found;
    }
}

void ReadKeyDefinitions(Editor& ed) { MacroFile(ed, MacroFileStartup); }

void AskSaveMacros(Editor& ed)
{
    if (!ed.MacrosChanged) return;
    ShowChoice(ed, " To save macros into file ? | 1 yes | 2 or Esc - no |");
    if (ed.ChoiceResult == 1) MacroFile(ed, MacroFileWrite);
}

Redraw CmdMacrosReread(Editor& ed)
{
    MacroFile(ed, MacroFileRead);
    return Redraw::Full;
}

Redraw CmdMacrosWrite(Editor& ed)
{
    MacroFile(ed, MacroFileWrite);
    return Redraw::Full;
}

}  // namespace lumo
