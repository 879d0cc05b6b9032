// The start-up load: the file named on the command line into the empty line
// store.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "editor/charmap.h"
#include "editor/codepage.h"
#include "files/fileinternal.h"
#include "files/filepaths.h"
#include "files/linesource.h"
#include "files/safewrite.h"
#include "files/syscalls.h"
#include "editor/linestore.h"
#include "ui/render.h"
#include "files/recode.h"

namespace lumo {

namespace {

enum class Opening { Opened, Created, Invalid, Unreadable };

Opening OpenForLoad(const std::string& name, int& fd)
{
    fd = -1;
    struct stat st;
    if (stat(name.c_str(), &st) == 0) {
        // A directory, a device or a FIFO is no text file; opening some
        // devices would even act on them.
        if (!S_ISREG(st.st_mode)) return Opening::Invalid;
        fd = open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        if (fd < 0) return Opening::Unreadable;
        if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            close(fd);
            fd = -1;
            return Opening::Invalid;
        }
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        return Opening::Opened;
    }
    if (errno != ENOENT) return Opening::Invalid;
    // The file does not exist: create it empty, and only then. An existing
    // file is never truncated here. A dangling link gets its target created.
    int created = SysOpen(FollowLinks(name).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (created < 0) return Opening::Invalid;
    SysClose(created);
    return Opening::Created;
}

// Memory ran short: the first time, start again with compact lines; the
// second time the editor cannot go on.
bool MemoryShort(Editor& ed, LineSource& source)
{
    if (ed.MemoryShortWidth == 0) {
        ed.MemoryShortWidth = ed.LineCapacity;
        ReleaseAllLines(ed);
        SetLineCapacity(ed, 7);
        ed.FillCell ^= WrapOff;
        source.Rewind();
        return true;
    }
    ShowMessage(ed, " NOT ENOUGH MEMORY!", 1);
    ed.OperationFailed = 15;
    return false;
}

bool ReadText(Editor& ed, LineSource& source)
{
    // The file is loaded as bytes while it is judged. Should it turn out to
    // be UTF-8 to convert, the lines read are dropped and it is read again,
    // converting. Anything beyond storing a line waits for the judgement, so
    // that what the user sees is what the right reading gives.
    auto startedAgain = [&] {
        if (!source.Settle()) return false;
        ReleaseAllLines(ed);
        return true;
    };
    std::string_view line;
    bool limitHit = false;
    do {
        while (source.Next(line)) {
            // Multi-byte UTF-8: rather than loading on what is likely to be
            // dropped, judge the rest of the file now.
            if (source.likelyUtf8() && startedAgain()) continue;
            size_t width = std::max<size_t>(ed.LineCapacity, line.size()) + source.rest().size();
            if (FreeMemory(ed) <= width) {
                if (startedAgain()) continue;
                if (!MemoryShort(ed, source)) return false;
                continue;
            }
            if (ed.LineCount >= MaxLines) {
                if (startedAgain()) continue;
                ShowMessage(ed, TooManyLinesMessage, 1);
                ed.OperationFailed = 15;
                if (ed.MemoryShortWidth != 0) return false;
                limitHit = true;
                break;
            }
            if (!AppendLoadedLine(ed, line, source.rest())) {
                if (startedAgain()) continue;
                if (!MemoryShort(ed, source)) return false;
                continue;
            }
        }
    } while (startedAgain());

    if (!source.firstEnd().empty()) ed.LineEnd = source.firstEnd();
    // A file whose last line has no end is saved without one.
    ed.FinalLineEnd = limitHit || ed.LineCount == 0 || source.ended();
    std::string why;
    if (limitHit) why = TooManyLinesMessage;
    if (source.error()) {
        ShowMessage(ed, ReadErrorMessage, 1);
        if (why.empty()) why = ReadErrorMessage;
    }
    // Lines over 255 characters keep their ends while unchanged: the text
    // is still the whole file.
    if (source.cut()) {
        ShowMessage(ed, LinesGoOnMessage, 1);
        ed.CutLinesFile = ed.FileName;
    }

    if (source.converting()) {
        ed.FileCodePage = CodePage::UTF8;
        ed.Utf8Bom = source.bom();
        UseUtf8Map(ed, source.extras());
    } else if (source.kind() == Utf8Kind::Unmappable) {
        ShowMessage(ed, Utf8UnmappableMessage, 1);
    } else if (ed.CodePageDetect && ed.LineCount > 0) {
        RecodePrompt(ed, 1, std::min(ed.LineCount, 25), true);
    }
    SyncCharMap(ed);

    ed.OperationFailed = 0;
    if (!why.empty()) {
        // Saving this text over its file would lose what the load left out.
        ed.IncompleteFile = ed.FileName;
        ed.IncompleteMessage = why;
        ed.OperationFailed = 15;
    }
    return true;
}

}  // namespace

void ApplyExtensionRules(Editor& ed, const std::string& fileName)
{
    // The extension is the base name's: the dots of "./t.pas" or
    // "../x/notes.60" belong to the directories.
    const size_t slash = fileName.rfind('/');
    const std::string base = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
    size_t dot = base.find('.');
    if (dot != std::string::npos) {
        std::string ext = base.substr(dot + 1, 3);
        bool number = !ext.empty() && std::all_of(ext.begin(), ext.end(), [](char c) { return c >= '0' && c <= '9'; });
        if (number) {
            int n = std::stoi(ext);
            if (n > 0 && n < 255) {
                SetLineCapacity(ed, n);
                ed.FormatWidth = n;
            }
        } else {
            std::string upper = CyrUpperCase(ext);
            if (upper == "PAS" || upper == "INC" || upper == "PP" || upper == "DPR") {
                ed.PascalMode = true;
                int width = (ed.con.ScreenColumns + 5) & 0xFF;
                SetLineCapacity(ed, width);
                ed.FormatWidth = width;
                ed.CommentBrackets = "{}";
                ed.TabStops[1] = 3;
            }
        }
    }
    SetLineCapacity(ed, ed.LineCapacity);
}

bool LoadFile(Editor& ed)
{
    // The settings a file name may change: another name given after
    // "INVALID FILE NAME!" starts from them again, so that the rejected
    // name's extension leaves no trace.
    const int capacity = ed.LineCapacity;
    const int formatWidth = ed.FormatWidth;
    const bool pascal = ed.PascalMode;
    const std::string brackets = ed.CommentBrackets;
    const int margin = ed.TabStops[1];
    for (bool again = false;; again = true) {
        if (again) {
            SetLineCapacity(ed, capacity);
            ed.FormatWidth = formatWidth;
            ed.PascalMode = pascal;
            ed.CommentBrackets = brackets;
            ed.TabStops[1] = margin;
        }
        ReleaseAllLines(ed);
        ed.OperationFailed = 0;
        ed.MemoryShortWidth = 0;
        ed.LineEnd.assign(1, '\n');  // (a string literal here trips a false -Wrestrict in g++ 12 -O3)
        ed.Utf8Bom = false;
        ed.FinalLineEnd = true;
        ed.FileCodePage = CodePage::ASCII;
        UseCodePageMap(ed, CodePage::ASCII);
        ed.IncompleteFile.clear();
        ed.CutLinesFile.clear();
        ed.IncompleteMessage.clear();
        ed.LoadedStamp = {};
        if (ed.FileName.empty()) return true;
        ApplyExtensionRules(ed, ed.FileName);

        int fd = -1;
        Opening opening = OpenForLoad(ed.FileName, fd);
        // Taken before the text is read: a change made while it is read
        // counts as a change.
        RememberFileStamp(ed);
        if (opening == Opening::Opened) {
            LineSource source(fd, ed.CodePageDetect ? LineSource::Detection::Along : LineSource::Detection::Off);
            return ReadText(ed, source);
        }
        if (opening == Opening::Created) {
            ShowMessage(ed, " New file.", 1);
            return true;
        }
        if (opening == Opening::Unreadable)
            ShowMessage(ed, " The file cannot be read: " + NameForScreen(ed.FileName), 1);
        else
            ShowMessage(ed, "INVALID FILE NAME!", 1);
        std::string name = ed.FileName;
        TextFile unused;
        OpenFileDialog(ed, name, unused, OpenNameOnly);
        if (ed.OperationFailed != 0) {
            ed.FileName.clear();
            ed.OperationFailed = 0;
            return true;
        }
        ed.FileName = name;
    }
}

}  // namespace lumo
