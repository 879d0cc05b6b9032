// Edit other: a second editor on another file, and the search for side files.
#include <unistd.h>

#include "files/abbreviations.h"
#include "files/fileinternal.h"
#include "files/filepaths.h"
#include "files/shell.h"
#include "files/statedir.h"
#include "ui/render.h"

namespace lumo {

namespace {

std::string ProgramDirectory()
{
    std::string path(4096, '\0');
    ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
    if (n <= 0 || static_cast<size_t>(n) >= path.size()) return {};
    path.resize(static_cast<size_t>(n));
    return DirectoryPart(path);
}

}  // namespace

bool FindSideFile(const std::string& name, std::string& found)
{
    if (name.empty()) return false;
    if (IsRegularFile(name)) {
        found = name;
        return true;
    }
    if (name[0] == '/') return false;
    // The user's own files come before those installed with the program.
    std::string places[] = {ConfigDirectory(), ProgramDirectory(), ""};
    if (!places[1].empty()) places[2] = places[1] + "../share/lumo/";
    for (const std::string& place : places) {
        if (place.empty()) continue;
        if (IsRegularFile(place + name)) {
            found = place + name;
            return true;
        }
    }
    return false;
}

void EditOther(Editor& ed)
{
    std::string name = ed.OtherFileName;
    TextFile unused;
    OpenFileDialog(ed, name, unused, OpenNameOnly);
    if (ed.OperationFailed != 0) return;
    ed.OtherFileName = name;
    EditOtherFile(ed, name);
}

void EditOtherFile(Editor& ed, const std::string& name)
{
    std::string path;
    if (!FindSideFile(name, path)) path = name;
    // Two editors on one file would each save over the other's work.
    if (SameFile(path, ed.FileName)) {
        ShowMessage(ed, " This file is being edited here already!", 1);
        ed.OperationFailed = 1;
        return;
    }
    AskSaveMacros(ed);
    RunShell(ed, " /C " + ShellQuote(OwnProgramPath()) + OptionsForChild(ed) +
                     // "--": a file called "--help" is a file, not an option.
                     " -- " + ShellQuote(path));
    // The side files are read again whichever directory they were found in.
    const std::string base = BaseName(path);
    if (base == "shorts.lmo") ReadShorts(ed);
    else if (base == "keydef.lmo") MacroFile(ed, MacroFileStartup);
    ed.con.FlushScreen(true);
    ed.OperationFailed = 0;
}

}  // namespace lumo
