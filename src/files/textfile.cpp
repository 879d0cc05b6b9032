#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "editor/keptparts.h"
#include "files/fileinternal.h"
#include "files/filepaths.h"
#include "files/linesource.h"
#include "files/safewrite.h"
#include "ui/render.h"

namespace lumo {

const char* const WriteErrorMessage = " Write error or the file to be saved is read-only!";
const char* const TooManyLinesMessage = " TOO MANY LINES! DO NOT SAVE THIS FILE!";
const char* const LinesCutMessage = " LINES CUT AT 255 CHARACTERS! DO NOT SAVE THIS FILE!";
const char* const LinesGoOnMessage = " Lines over 255 characters: the part beyond is kept while the line is unchanged.";
const char* const ReadErrorMessage = " READ ERROR! DO NOT SAVE THIS FILE!";
const char* const Utf8UnmappableMessage = " UTF-8 TEXT WITH CHARACTERS CP866 LACKS: LOADED UNCONVERTED.";

TextFile::TextFile() = default;
TextFile::~TextFile() = default;

void TextFile::Close()
{
    reader.reset();
    writer.reset();
}

bool OpenForReading(const Editor& ed, const std::string& name, TextFile& file)
{
    file.Close();
    file.name = name;
    // Devices and FIFOs are never opened: opening one can block or act.
    if (!IsRegularFile(name)) return false;
    int fd = open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return false;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    file.reader = std::make_unique<LineSource>(fd, ed.CodePageDetect);
    return true;
}

std::string ChangedCutLineMessage(int line)
{
    return " LINE " + std::to_string(line) + " WAS CUT AT 255 CHARACTERS AND CHANGED! DO NOT SAVE THIS FILE!";
}

bool RefuseIncompleteSave(Editor& ed, const std::string& path)
{
    if (!ed.IncompleteFile.empty() && SameFile(path, ed.IncompleteFile)) {
        ShowMessage(ed, ed.IncompleteMessage.empty() ? TooManyLinesMessage : ed.IncompleteMessage, 1);
        return true;
    }
    // A changed cut line has lost its end: written over the file it came
    // from, it would lose that end there too.
    if (ed.CutLinesFile.empty() || !SameFile(path, ed.CutLinesFile)) return false;
    int cut = FirstChangedCutLine(ed);
    if (cut == 0) return false;
    ShowMessage(ed, ChangedCutLineMessage(cut), 1);
    return true;
}

WriteOpen OpenForWriting(Editor& ed, const std::string& name, TextFile& file, bool append)
{
    file.Close();
    file.name = name;
    append = append && IsRegularFile(name);
    // Appending adds to the file; only replacing it would lose the lines
    // the text lacks.
    if (!append && RefuseIncompleteSave(ed, name)) return WriteOpen::Refused;
    auto writer = std::make_unique<SafeWriter>();
    if (!writer->Open(name, append)) return WriteOpen::Failed;
    file.writer = std::move(writer);
    return WriteOpen::Opened;
}

}  // namespace lumo
