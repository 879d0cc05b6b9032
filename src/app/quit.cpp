// The ways the editor ends: Quit with its question, the emergency end and
// the end forced by a hang-up; and the automatic save counter.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "ui/choice.h"
#include "app/startup.h"
#include "files/abbreviations.h"
#include "files/fileio.h"
#include "ui/inputline.h"
#include "files/statedir.h"
#include "ui/render.h"
#include "files/history.h"

namespace lumo {

namespace {

constexpr const char* QuitQuestion = " To save into file ? | 1 - yes | 2 - no | 3 = Esc - continue editing |";
constexpr const char* EmergencyFailedMessage =
    " The text could not be saved anywhere! Ctrl+Alt+BkSp again ends without it.";

}  // namespace

bool Quit(Editor& ed)
{
    ed.ExitCode = ExitUnchanged;
    if (ed.Modified) {
        ShowChoice(ed, QuitQuestion);
        if (ed.ChoiceResult == 1) ed.ExitCode = ExitSaved;
        else if (ed.ChoiceResult == 2) ed.ExitCode = ExitDiscarded;
        else return false;
    }
    if (ed.ExitCode == ExitSaved) {
        SaveFile(ed);
        // Code 1 promises the text is in its file: a save that failed or was
        // cancelled goes back to editing instead.
        if (ed.Modified) {
            ed.ExitCode = ExitFailed;
            return false;
        }
    }
    AskSaveMacros(ed);
    WriteSettingsFile(ed, ed.SettingsFile);
    WriteHistory(ed);
    ed.Ending = true;
    return true;
}

void EmergencyEnd(Editor& ed)
{
    if (ed.Modified) {
        std::string path = WriteEmergencySave(ed);
        if (path.empty() && !ed.EmergencySaveFailed) {
            // Ending now would lose the text: the user decides with a
            // second Ctrl+Alt+Backspace.
            ed.EmergencySaveFailed = true;
            ShowMessage(ed, EmergencyFailedMessage, 1);
            return;
        }
        ed.FarewellNote = path.empty() ? "lumo: the unsaved text could not be written anywhere"
                                       : "lumo: the unsaved text was written to " + path;
    }
    ed.ExitCode = ExitUnchanged;
    ed.Ending = true;
}

Redraw CmdQuit(Editor& ed)
{
    return Quit(ed) ? Redraw::NextKey : Redraw::Full;
}

Redraw CmdEmergencyEnd(Editor& ed)
{
    EmergencyEnd(ed);
    return ed.Ending ? Redraw::NextKey : Redraw::Full;
}

void CloseConsole(Editor& ed)
{
    ed.con.ClearScreen();
    ed.con.CloseKeyboard();
    ed.con.CloseScreen();
    if (!ed.FarewellNote.empty()) std::fprintf(stderr, "%s\n", ed.FarewellNote.c_str());
    ed.FarewellNote.clear();
}

void HangupEnd(Editor& ed)
{
    bool modified = ed.Modified;
    ed.EmergencySaveFailed = true;  // nobody is left to ask: end in any case
    EmergencyEnd(ed);
    CloseConsole(ed);
    std::exit(modified ? ExitDiscarded : ExitUnchanged);
}

void CountKeystroke(Editor& ed)
{
    ++ed.KeystrokeCounter;
    if (ed.AutoSaveEvery > 0 && ed.KeystrokeCounter > ed.AutoSaveEvery) {
        ed.KeystrokeCounter = 0;
        AutoSave(ed);
    }
}

}  // namespace lumo
