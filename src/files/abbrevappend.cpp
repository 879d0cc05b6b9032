// "Add currnt word" and "Add currnt line": a new line for the abbreviations
// file, written by the editor itself.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "edit/abbreviation.h"
#include "editor/keyreading.h"
#include "editor/linestore.h"
#include "files/abbreviations.h"
#include "files/fileio.h"
#include "files/filepaths.h"
#include "files/safewrite.h"
#include "files/shell.h"
#include "files/sidefilereader.h"
#include "files/syscalls.h"
#include "files/utf8file.h"
#include "ui/inputline.h"
#include "ui/render.h"

namespace lumo {

namespace {

// The entry's line as the file will hold it after `before`, the file's
// bytes so far: UTF-8 in a UTF-8 file, and where its CP866 bytes would turn
// the file into one.
std::string EntryLine(const std::string& before, bool fileUtf8, const std::string& text)
{
    std::string line = text + "\r\n";
    if (!fileUtf8 && !ReadsAsUtf8(before + line)) return line;
    line.clear();
    AppendCp866AsUtf8(line, text);
    return line + "\r\n";
}

// A "shorts.lmo" made whole: a temporary file renamed into its place.
bool WriteNewShorts(const std::string& data)
{
    SafeWriter writer;
    if (!writer.Open(AbbreviationsFileName, false)) return false;
    writer.Write(data);
    return writer.Commit();
}

// The first Add in a directory without its own "shorts.lmo" starts it as a
// copy of the one the editor reads (from the configuration or program
// directory), so that the new entry does not hide all the others.
bool CopyFoundShortsWith(const std::string& found, const std::string& text)
{
    std::string data;
    {
        int fd = open(found.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) return false;
        struct stat st{};
        bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
                  static_cast<size_t>(st.st_size) <= SideFileReader::MaxBytes;
        char buffer[16 * 1024];
        while (ok) {
            ssize_t n = read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 || data.size() > SideFileReader::MaxBytes) ok = false;
            if (n <= 0) break;
            data.append(buffer, static_cast<size_t>(n));
        }
        close(fd);
        if (!ok) return false;
    }
    // Judged on the bytes already read, as the reader would judge the file.
    const bool utf8 = ReadsAsUtf8(data);
    if (!data.empty() && data.back() != '\n' && data.back() != '\r') data += "\r\n";
    data += EntryLine(data, utf8, text);
    return WriteNewShorts(data);
}

Redraw AddAbbreviation(Editor& ed, const std::string& text)
{
    if (text.empty()) return Redraw::Full;
    // A line end would split the entry in two.
    if (text.find_first_of("\r\n") != std::string::npos) {
        ShowMessage(ed, LineEndsMessage, 1);
        return Redraw::Full;
    }
    if (!AppendAbbreviation(text)) {
        ShowMessage(ed, WriteErrorMessage, 1);
        return Redraw::Full;
    }
    ShowMessage(ed, "Added \"" + text + "\"", 1);
    ReadShorts(ed);
    return Redraw::Full;
}

}  // namespace

bool AppendAbbreviation(const std::string& text)
{
    std::string found;
    if (!IsRegularFile(AbbreviationsFileName) && FindSideFile(AbbreviationsFileName, found) &&
        found != AbbreviationsFileName)
        return CopyFoundShortsWith(found, text);
    // O_NONBLOCK: a FIFO of that name must not hold the editor; it is refused below.
    int fd = SysOpen(AbbreviationsFileName, O_RDWR | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    // The first entry of all makes the file whole, so that a failure
    // leaves no empty file behind.
    if (fd < 0) return errno == ENOENT && WriteNewShorts(EntryLine("", false, text));
    struct stat st{};
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    // What the file holds (as much of it as is ever read, and a byte more
    // when there is more, as the reader sees it) decides how the entry is
    // written: judged on these bytes, the file is not read again.
    std::string before;
    char last = '\n';
    if (ok && st.st_size > 0) {
        before.resize(std::min(static_cast<size_t>(st.st_size), SideFileReader::MaxBytes + 1));
        ok = pread(fd, before.data(), before.size(), 0) == static_cast<ssize_t>(before.size()) &&
             pread(fd, &last, 1, st.st_size - 1) == 1;
    }
    std::string line;
    if (ok) {
        const std::string lineEnd = last != '\n' && last != '\r' ? "\r\n" : "";
        line = lineEnd + EntryLine(before + lineEnd, ReadsAsUtf8(before), text);
    }
    if (ok && (!SysWriteAll(fd, line) || SysFsync(fd) != 0)) {
        // A half-written entry would be read as an abbreviation of its own.
        if (SysFtruncate(fd, st.st_size) == 0) SysFsync(fd);
        ok = false;
    }
    // The entry is synced before it counts: a close that fails after that
    // has lost nothing.
    SysClose(fd);
    return ok;
}

Redraw CmdAddCurrentWord(Editor& ed)
{
    std::string text;
    InputLine(ed, text, InputMacroWord);
    if (ed.OperationFailed == 127) StopRecording(ed);
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

Redraw CmdEditShorts(Editor& ed)
{
    std::string path;
    if (!FindSideFile(AbbreviationsFileName, path)) path = AbbreviationsFileName;
    EditOtherFile(ed, path);
    return Redraw::Full;
}

}  // namespace lumo
