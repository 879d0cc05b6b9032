// Write to other (a copy of the text elsewhere, and the brace copies) and
// Write block.
#include <algorithm>

#include "files/fileinternal.h"
#include "files/filepaths.h"
#include "ui/inputline.h"
#include "files/safewrite.h"
#include "files/statedir.h"
#include "ui/render.h"

namespace lumo {

namespace {

constexpr uint8_t TargetColour = 11;  // light cyan on black

bool IsLatinLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
char LowerLatin(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The directory an answer to " New drive letter or path: " names. There are
// no drive letters here: drive X is /mnt/x; other answers are directories,
// taken from the root when they do not begin with "/".
std::string DirectoryFromAnswer(std::string answer)
{
    // Ф and ф sit on the A key of a Russian keyboard.
    if (answer == "\xD0\xA4" || answer == "\xD1\x84") answer = "A";
    std::string dir;
    if (answer.size() == 1 && IsLatinLetter(answer[0])) {
        dir = std::string("/mnt/") + LowerLatin(answer[0]) + "/";
    } else if (answer.size() >= 2 && IsLatinLetter(answer[0]) && answer[1] == ':') {
        // "D:\texts\" is a DOS habit: its backslashes separate directories.
        std::string rest = answer.substr(2);
        std::replace(rest.begin(), rest.end(), '\\', '/');
        while (!rest.empty() && rest[0] == '/') rest.erase(0, 1);
        dir = std::string("/mnt/") + LowerLatin(answer[0]) + "/" + rest;
    } else if (answer[0] == '/') {
        dir = answer;
    } else {
        dir = "/" + answer;
    }
    if (dir.back() != '/') dir += '/';
    return dir;
}

}  // namespace

void WriteToOther(Editor& ed, int mode, const std::string& givenTarget)
{
    ed.OperationFailed = 0;
    std::string target = givenTarget;
    if (mode == 0) {
        if (ed.FileName.empty()) {
            ShowMessage(ed, " The text has no file name yet: save it with F2 first.", 1);
            ed.OperationFailed = 1;
            return;
        }
        std::string answer;
        for (;;) {
            ShowMessage(ed, " New drive letter or path: ", 0);
            InputLine(ed, answer, InputPlain);
            if (ed.OperationFailed != 0) {
                ed.OperationFailed = 1;
                DrawMessageLine(ed);
                return;
            }
            if (!answer.empty()) break;
        }
        DrawMessageLine(ed);
        target = DirectoryFromAnswer(NameFromScreen(answer)) + BaseName(ed.FileName);
        WriteText(ed, 1, 1, NameForScreen(target) + std::string(11, ' '), TargetColour);
        ed.con.FlushScreen(false);
    }
    const std::string invalid = "Invalid drive letter or path: " + NameForScreen(target) + " !";
    // A copy is never written over the file being edited.
    if (SameFile(target, ed.FileName)) {
        ShowMessage(ed, mode == 0 ? invalid : std::string(WriteErrorMessage), 1);
        ed.OperationFailed = 1;
        return;
    }
    TextFile file;
    WriteOpen opened = OpenForWriting(ed, target, file, false);
    if (opened != WriteOpen::Opened) {
        if (opened == WriteOpen::Failed) ShowMessage(ed, mode == 0 ? invalid : std::string(WriteErrorMessage), 1);
        ed.OperationFailed = 1;
        return;
    }
    SaveLines(ed, 1, ed.LineCount, file, mode);
}

void WriteBlock(Editor& ed)
{
    ed.OperationFailed = 0;
    if (ed.LineBlockFirst < 1 || ed.LineBlockLast < ed.LineBlockFirst) {
        ShowMessage(ed, "No marked block!", 1);
        ed.OperationFailed = 1;
        return;
    }
    if (ed.SideFileName.empty()) ed.SideFileName = ed.FileName;
    std::string name = ed.SideFileName;
    TextFile file;
    OpenFileDialog(ed, name, file, OpenWriteAsk);
    if (ed.OperationFailed != 0) return;
    ed.SideFileName = name;
    bool replaced = !file.writer->appending();
    bool ownFile = SameFile(name, ed.FileName);
    int first = ed.LineBlockFirst;
    int last = std::min(ed.LineBlockLast, ed.LineCount);
    SaveLines(ed, first, last, file, SaveAsIs);
    if (ed.OperationFailed != 0) return;
    bool whole = replaced && first == 1 && last == ed.LineCount;
    // The block's file becomes the edited file only when it now holds the
    // whole text.
    if (whole) ed.FileName = ed.SideFileName;
    // A part of the text written over (or added to) the edited file: the
    // file no longer holds the text, so quitting must not call it unchanged.
    else if (ownFile) ed.Modified = true;
    // What is on disk now is the editor's own writing, not another program's.
    if (whole || ownFile) RememberFileStamp(ed);
}

}  // namespace lumo
