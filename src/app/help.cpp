#include "app/help.h"

#include "app/startup.h"
#include "files/fileio.h"
#include "files/filepaths.h"
#include "files/shell.h"
#include "ui/render.h"
#include "files/abbreviations.h"

namespace lumo {

namespace {

constexpr const char* HelpFileName = "lumohelp.hlp";

}  // namespace

// The help file is an ordinary text shown in a second copy of the editor,
// started the way Edit other starts one.
Redraw CmdHelp(Editor& ed)
{
    std::string found;
    if (!FindSideFile(HelpFileName, found)) {
        ShowMessage(ed, std::string(" File not found: ") + HelpFileName, 1);
        return Redraw::Status;
    }
    // Two editors on one file would each save over the other's work.
    if (SameFile(found, ed.FileName)) {
        ShowMessage(ed, " This file is being edited here already!", 1);
        return Redraw::Status;
    }
    AskSaveMacros(ed);
    RunShell(ed, " /C " + ShellQuote(OwnProgramPath()) + OptionsForChild(ed) + " -- " + ShellQuote(found));
    ed.con.FlushScreen(true);
    return Redraw::Full;
}

}  // namespace lumo
