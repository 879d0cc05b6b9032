// The emergency save: the unsaved text in a new file of its own, when the
// session ends without a save or the file it belongs to cannot take it.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "console/partialfile.h"
#include "files/fileio.h"
#include "files/safewrite.h"
#include "files/statedir.h"
#include "files/syscalls.h"

namespace lumo {

namespace {

// Makes `path` and writes `data` there. Done: the text is synced there and
// its name is in its directory for good. Failed: no file is left. Synced
// but not its name: the file stays (it holds the whole text), but the save
// does not count as done there.
enum class NewFile { Done, Failed, NameUnsynced };

NewFile WriteNewFile(const std::string& path, const std::string& data)
{
    // O_EXCL: an older save file or anything else of that name is never
    // overwritten; O_NOFOLLOW: nor is a file a link points to.
    int fd = SysOpen(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0600);
    if (fd < 0) return NewFile::Failed;
    MarkPartialFile(path.c_str());
    bool ok = SysWriteAll(fd, data) && SysFsync(fd) == 0;
    ok = SysClose(fd) == 0 && ok;
    UnmarkPartialFile();
    if (!ok) {
        int why = errno;
        unlink(path.c_str());
        errno = why;
        return NewFile::Failed;
    }
    return SyncDirectoryOf(path) ? NewFile::Done : NewFile::NameUnsynced;
}

}  // namespace

std::string WriteEmergencySave(Editor& ed)
{
    std::string data = EncodeLines(ed, 1, ed.LineCount, SaveAsIs);
    // The state directory first; when that cannot be used, beside the
    // edited file, and last the temporary directory, so the text is not
    // lost whatever one of them lacks.
    std::string fileDir = ed.FileName.find('/') == std::string::npos
                              ? std::string("./")
                              : ed.FileName.substr(0, ed.FileName.rfind('/') + 1);
    const char* tmpdir = std::getenv("TMPDIR");
    std::string tempDir = tmpdir && tmpdir[0] == '/' ? std::string(tmpdir) + "/" : std::string("/tmp/");
    for (const std::string& dir : {ed.StateDir, fileDir, tempDir}) {
        if (dir == ed.StateDir && !CreateStateDirectory(dir)) continue;
        // A few tries: another editor may take the same name between the
        // look and the create.
        for (int attempt = 0; attempt < 5; ++attempt) {
            std::string path = EmergencySavePath(dir, ed.FileName);
            NewFile made = WriteNewFile(path, data);
            if (made == NewFile::Done) return path;
            // A copy whose name may not last is kept, and the next place
            // tried for one that will.
            if (made == NewFile::NameUnsynced || errno != EEXIST) break;
        }
    }
    return {};
}

}  // namespace lumo
