// The clipboard file: what the block and the input line write there, how it
// is written (whole or not at all) and read back, and the copy and cut keys.
#include "files/clipboard.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "console/partialfile.h"
#include "edit/blocks.h"
#include "editor/linestore.h"
#include "files/safewrite.h"
#include "files/statedir.h"
#include "files/syscalls.h"
#include "ui/render.h"

namespace lumo {

namespace {

constexpr const char* WriteError = " Write error or the file to be saved is read-only!";

std::string DirectoryPart(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The kind line: "L" or "B", with "A" when the exchange is on and the file
// is an ANSI one.
std::string KindLine(const Editor& ed, char kind)
{
    std::string line(1, kind);
    if (ed.ExternalClipboard && ed.FileCodePage == CodePage::ANSI) line += 'A';
    return line + "\r\n";
}

std::string WithoutTrailingBlanks(std::string_view s)
{
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return std::string(s);
}

}  // namespace

std::string ClipboardContents(const Editor& ed)
{
    std::string out;
    if (ed.LineBlockFirst > 0) {
        out = KindLine(ed, 'L');
        const int last = std::min(ed.LineBlockLast, ed.LineCount);
        for (int n = ed.LineBlockFirst; n <= last; ++n) {
            out += WithoutTrailingBlanks(LineText(ed, n));
            out += "\r\n";
        }
    } else if (ed.BoxFirstLine > 0) {
        out = KindLine(ed, 'B');
        const int last = std::min(ed.BoxLastLine, ed.LineCount);
        for (int n = ed.BoxFirstLine; n <= last; ++n) {
            if (n > ed.BoxFirstLine) out += "\r\n";
            out += BoxText(ed, n);
        }
    }
    return out;
}

bool WriteClipboardFile(Editor& ed, const std::string& contents)
{
    const std::string& path = ed.ClipboardFile;
    if (path.empty() || !PrepareStatePath(ed, path)) return false;
    // The temporary file is made new (O_EXCL), private, beside the old one;
    // rename then replaces the name itself, so a link planted under that
    // name in a shared directory is replaced, never followed.
    std::string temp = DirectoryPart(path) + "/.LumoClip-XXXXXX";
    int fd = SysMkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return false;
    MarkPartialFile(temp.c_str());
    bool ok = SysFchmod(fd, 0600) == 0 && SysWriteAll(fd, contents) && SysFsync(fd) == 0;
    ok = SysClose(fd) == 0 && ok;
    if (!ok || SysRename(temp.c_str(), path.c_str()) != 0) {
        unlink(temp.c_str());
        UnmarkPartialFile();
        return false;
    }
    UnmarkPartialFile();
    // A cut block leaves the text only once its copy is sure to last.
    if (!SyncDirectoryOf(path)) return false;
    if (ed.ExternalClipboard) SendToDesktopClipboard(ed, contents);
    return true;
}

bool ReadClipboardFile(const Editor& ed, ClipboardFileText& clip)
{
    clip = ClipboardFileText{};
    int fd = open(ed.ClipboardFile.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st{};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return false;
    }
    // Line 1 gives the kind by its first character; the text follows. CR
    // LF, LF and CR all end a line; a line is kept to 255 characters. The
    // file is read in pieces, so a huge one costs no more memory than the
    // lines a text can take.
    bool firstLine = true;
    std::string line;
    bool any = false;       // something (even an empty line) is pending
    bool afterCr = false;   // the last byte was a CR: an LF now ends nothing
    auto finish = [&]() {
        if (firstLine) {
            clip.kind = line.empty() ? ' ' : line[0];
            firstLine = false;
        } else {
            clip.lines.push_back(line.substr(0, MaxText));
        }
        line.clear();
        any = false;
    };
    char buffer[1 << 16];
    bool full = false;
    while (!full) {
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        for (ssize_t i = 0; i < n && !full; ++i) {
            const char c = buffer[i];
            if (c == '\n' && afterCr) {
                afterCr = false;
                continue;
            }
            afterCr = c == '\r';
            if (c == '\r' || c == '\n') {
                finish();
                // No text can take more lines than the line table holds.
                full = clip.lines.size() > MaxLines;
            } else {
                if (line.size() <= MaxText) line += c;
                any = true;
            }
        }
    }
    close(fd);
    if (any) finish();
    return true;
}

bool WriteClipboardLine(Editor& ed, const std::string& text)
{
    return WriteClipboardFile(ed, "B\r\n" + text.substr(0, MaxText));
}

std::string ReadClipboardLine(Editor& ed, bool& ok)
{
    ok = false;
    ClipboardFileText clip;
    if (!ReadClipboardFile(ed, clip) || clip.kind == ' ') return {};
    ok = true;
    return clip.lines.empty() ? std::string() : clip.lines[0];
}

namespace {

Redraw BlockToClipboard(Editor& ed, bool cut)
{
    CheckBlockMarks(ed);
    const std::string contents = ClipboardContents(ed);
    if (contents.empty()) {
        ShowMessage(ed, NoBlockMessage, 1);
        ed.OperationFailed = 1;
        return Redraw::Window;
    }
    // The block leaves the text only once it is safely in the file.
    if (!WriteClipboardFile(ed, contents)) {
        ShowMessage(ed, WriteError, 1);
        ed.OperationFailed = 1;
        return Redraw::Window;
    }
    ed.OperationFailed = 0;
    if (cut) {
        DeleteBlock(ed);
        return Redraw::Full;
    }
    ClearBlockAndRedraw(ed);
    return Redraw::Full;
}

}  // namespace

Redraw CmdClipboardCopy(Editor& ed) { return BlockToClipboard(ed, false); }
Redraw CmdClipboardCut(Editor& ed) { return BlockToClipboard(ed, true); }

Redraw CmdClipboardPaste(Editor& ed)
{
    PasteClipboard(ed);
    return Redraw::Full;
}

}  // namespace lumo
