// What the edited file looked like on disk when the editor last read or
// wrote it, so that a save never writes over another program's work
// unasked.
#include <sys/stat.h>

#include "files/fileio.h"
#include "files/filepaths.h"
#include "files/statedir.h"
#include "ui/choice.h"
#include "ui/render.h"

namespace lumo {

namespace {

constexpr const char* ChangedQuestion =
    " The file was changed on disk! To save over it ? | 1 - no | 2 - yes |";

Editor::FileStamp StampOf(const std::string& path)
{
    Editor::FileStamp stamp;
    struct stat st;
    if (path.empty() || stat(path.c_str(), &st) != 0) return stamp;
    stamp.known = true;
    stamp.device = st.st_dev;
    stamp.inode = st.st_ino;
    stamp.size = st.st_size;
    stamp.mtimeSeconds = st.st_mtim.tv_sec;
    stamp.mtimeNanoseconds = st.st_mtim.tv_nsec;
    return stamp;
}

}  // namespace

void RememberFileStamp(Editor& ed) { ed.LoadedStamp = StampOf(ed.FileName); }

bool ChangedOnDisk(const Editor& ed)
{
    if (!ed.LoadedStamp.known) return false;
    Editor::FileStamp now = StampOf(ed.FileName);
    // A file that is gone is simply written again: nothing of it is lost.
    return now.known && now != ed.LoadedStamp;
}

bool MaySaveOverChangedFile(Editor& ed)
{
    if (!ChangedOnDisk(ed)) return true;
    // "No" comes first, so that Enter, like Esc, keeps the other program's text.
    ed.MenuCursor = 1;
    ShowChoice(ed, ChangedQuestion);
    return ed.ChoiceResult == 2;
}

bool AutoSaveCopyOfChangedFile(Editor& ed)
{
    if (!ChangedOnDisk(ed)) return false;
    std::string data = EncodeLines(ed, 1, ed.LineCount, SaveAsIs);
    // One copy for the whole session: each automatic save replaces it.
    struct stat st;
    bool ok = !ed.AutoSaveCopy.empty() && lstat(ed.AutoSaveCopy.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
              ReplaceFileContents(ed.AutoSaveCopy, data, 0600);
    if (!ok) {
        ed.AutoSaveCopy = WriteEmergencySave(ed);
        ok = !ed.AutoSaveCopy.empty();
    }
    if (ok)
        ShowMessage(ed, " The file was changed on disk! Automatic save went to: " + NameForScreen(ed.AutoSaveCopy), 1);
    else
        ShowMessage(ed, WriteErrorMessage, 1);
    return true;
}

}  // namespace lumo
