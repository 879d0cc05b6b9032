// "Add currnt word" and "Add currnt line": a new line for the abbreviations
// file, written by the editor itself.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "files/abbreviations.h"
#include "files/fileio.h"
#include "ui/inputline.h"
#include "files/shell.h"
#include "editor/linestore.h"
#include "ui/render.h"

namespace lumo {

namespace {

bool WriteAllAt(int fd, const std::string& data)
{
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

Redraw AddAbbreviation(Editor& ed, const std::string& text)
{
    if (text.empty()) return Redraw::Full;
    if (!AppendAbbreviation(text)) {
        ShowMessage(ed, WriteErrorMessage, 1);
        return Redraw::Full;
    }
    ShowMessage(ed, "Added \"" + text + "\"", 1);
    LoadAbbreviations(ed);
    return Redraw::Full;
}

}  // namespace

bool AppendAbbreviation(const std::string& text)
{
    int fd = open(AbbreviationsFileName, O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    struct stat st{};
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    std::string line = text + "\r\n";
    if (ok && st.st_size > 0) {
        char last = 0;
        ok = pread(fd, &last, 1, st.st_size - 1) == 1;
        if (ok && last != '\n' && last != '\r') line = "\r\n" + line;
    }
    if (ok && !WriteAllAt(fd, line)) {
        // A half-written entry would be read as an abbreviation of its own.
        [[maybe_unused]] int undone = ftruncate(fd, st.st_size);
        ok = false;
    }
    return close(fd) == 0 && ok;
}

Redraw CmdAddCurrentWord(Editor& ed)
{
    std::string text;
    InputLine(ed, text, InputMacroWord);
    if (ed.OperationFailed != 0) return Redraw::Full;
    return AddAbbreviation(ed, text);
}

Redraw CmdAddCurrentLine(Editor& ed)
{
    std::string line = GetLine(ed, ed.CurrentLine);
    size_t first = line.find_first_not_of(' ');
    if (first == std::string::npos) return Redraw::Full;
    size_t last = line.find_last_not_of(' ');
    return AddAbbreviation(ed, line.substr(first, last - first + 1));
}

// Not read yet: the abbreviation and key-definition tables come later.
void LoadAbbreviations(Editor&) {}
void ReadKeyDefinitions(Editor&) {}
void AskSaveMacros(Editor&) {}
// Until the key-definition table exists there is nothing to read or write;
// the user is told so instead of being shown a success.
void MacroFile(Editor& ed, int) { ShowMessage(ed, " Key definitions are not available yet.", 1); }

}  // namespace lumo
