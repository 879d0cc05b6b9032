#include "files/clipboard.h"

#include "files/shell.h"
#include "files/statedir.h"

namespace lumo {

std::string ReadClipboardLine(Editor& ed, bool& ok)
{
    std::string data;
    ok = false;
    if (!ReadSideFile(ed.ClipboardFile, data)) return {};
    std::vector<std::string> lines = SplitSideLines(data);
    if (lines.empty() || lines[0].empty() || lines[0][0] == ' ') return {};
    ok = true;
    return lines.size() > 1 ? lines[1].substr(0, MaxText) : std::string();
}

bool WriteClipboardLine(Editor& ed, const std::string& text)
{
    if (!PrepareStatePath(ed, ed.ClipboardFile)) return false;
    if (!ReplaceFileContents(ed.ClipboardFile, "B\r\n" + text + "\r\n", 0600)) return false;
    if (ed.ExternalClipboard) RunShell(ed, " /C Porter.exe " + ShellQuote("#" + ed.ClipboardFile));
    return true;
}

}  // namespace lumo
