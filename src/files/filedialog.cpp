// The file-name dialog every file command uses.
#include "console/cp866.h"
#include "editor/keys.h"
#include "editor/keyreading.h"
#include "files/fileinternal.h"
#include "files/filepaths.h"
#include "ui/inputline.h"
#include "ui/render.h"

namespace lumo {

void FileDialog(Editor& ed, std::string& name, TextFile& file, int mode, bool allowAppend)
{
    file.Close();
    for (;;) {
        ed.OperationFailed = 0;
        if (mode == OpenReadAsk || mode == OpenWriteAsk || mode == OpenNameOnly) {
            // Asking again after a message: the key that ended it is no
            // part of the new name.
            DropMessageKey(ed);
            ShowMessage(ed, " ENTER FILE NAME OR ESC: ", 0);
            // Esc keeps the name as it was.
            std::string shown;
            const bool readable = Utf8ToCp866(name, shown);
            if (!readable) shown = name;
            std::string typed = shown;
            InputLine(ed, typed, InputPlain);
            DrawStatusLine(ed);
            if (ed.OperationFailed != 0) {
                if (ed.OperationFailed == 127) StopRecording(ed);
                ed.OperationFailed = 1;
                DrawMessageLine(ed);
                return;
            }
            // The prompt holds 255 characters; a longer name offered and
            // taken unchanged stays whole rather than naming another file.
            if (typed == shown.substr(0, MaxText)) {
                // Taken unchanged.
            } else {
                // A name the screen could not show is kept as its bytes.
                name = readable ? NameFromScreen(typed) : typed;
            }
        }
        bool again = mode == OpenReadAsk || mode == OpenWriteAsk;
        if (name.empty()) {
            ShowMessage(ed, " File not found: ", 1);
            if (mode == OpenReadAsk) continue;
            ed.OperationFailed = 1;
            break;
        }
        if (mode == OpenNameOnly) break;
        if (mode == OpenWriteAsk || mode == OpenWrite) {
            WriteOpen opened = OpenForWriting(ed, name, file, allowAppend);
            if (opened == WriteOpen::Opened) break;
            if (opened == WriteOpen::Failed) ShowMessage(ed, WriteErrorMessage, 1);
        } else {
            if (OpenForReading(ed, name, file)) break;
            ShowMessage(ed, " File not found: " + NameForScreen(name), 1);
        }
        if (again) continue;
        ed.OperationFailed = 1;
        break;
    }
    DrawMessageLine(ed);
}

void OpenFileDialog(Editor& ed, std::string& name, TextFile& file, int mode)
{
    FileDialog(ed, name, file, mode, KeyValue(ed) == KeyShiftF2);
}

}  // namespace lumo
