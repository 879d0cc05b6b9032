// Start-up in its fixed order and the run as a whole.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/mainloop.h"
#include "app/startup.h"
#include "files/abbreviations.h"
#include "files/fileio.h"
#include "ui/inputline.h"
#include "files/keystrokefile.h"
#include "files/statedir.h"
#include "editor/linestore.h"
#include "ui/render.h"
#include "files/history.h"

#ifndef LUMO_VERSION
#define LUMO_VERSION "1.0"
#endif

namespace lumo {

namespace {

constexpr const char* UsageText =
    "Usage: lumo [options] FILE\n"
    "\n"
    "A full-screen text editor for CP866 text (Cyrillic).\n"
    "\n"
    "Options (letters in either case; several may share one argument, as in -w-j):\n"
    "  -#      exchange the clipboard through the program Porter.exe\n"
    "  -+      no column marker\n"
    "  -Cd     comment colour d (one digit)\n"
    "  -G      drawing mode off\n"
    "  -Idir/  keep the settings file of FILE in dir/\n"
    "  -J      scroll sideways by single columns instead of half screens\n"
    "  -K      read the keystroke buffer from kbdbufer.lmo\n"
    "  -Mn     save automatically after every n keystrokes (0..32767)\n"
    "  -P      no code-page detection after loading\n"
    "  -Td     tab stops every d columns (one digit)\n"
    "  -W      no start-up notice\n"
    "  -Xdir/  keep the clipboard and saved-state files in dir/\n"
    "\n"
    "Menu: F10. Quit: Esc.\n"
    "Exit codes: 0 unchanged, 1 saved, 3 changes discarded, 2 start-up failed.\n"
    "Side files live in $LUMO_HOME, else $XDG_STATE_HOME/lumo/, else ~/.local/state/lumo/.\n"
    "LUMO_MEMORY_KB sets the memory budget of the text (default 8192).\n"
    "The manual page: man lumo.\n";

// The text's budget must at least pay for the line table and one full line.
bool EnoughMemory(const Editor& ed) { return FreeMemory(ed) > static_cast<size_t>(MaxText) + 1; }

void StartCursor(Editor& ed)
{
    ed.CurrentColumn = ed.TabStops[1];
    ed.ColumnBookmark = ed.TabStops[1];
    ed.Modified = false;
    ed.TopLine = 1;
    ed.CurrentLine = 1;
    ed.CursorScreenRow = 3;
}

}  // namespace

size_t MemoryBudgetFromEnvironment()
{
    const char* text = std::getenv("LUMO_MEMORY_KB");
    if (!text || !*text) return DefaultMemoryBudget;
    char* end = nullptr;
    unsigned long long kb = std::strtoull(text, &end, 10);
    if (*end != '\0' || kb == 0 || kb > 1024ULL * 1024) return DefaultMemoryBudget;
    return static_cast<size_t>(kb) * 1024;
}

bool Startup(Editor& ed, const std::vector<std::string>& args, const std::string* openError)
{
    ed.ExitCode = ExitFailed;
    if (!ed.con.OpenScreen()) {
        ed.FarewellNote = "lumo: " + (openError && !openError->empty()
                                          ? *openError
                                          : std::string("the terminal must be at least 80 columns wide and 6 rows high"));
        return false;
    }
    ed.con.OpenKeyboard();
    ed.con.SetCursorShape(99, true);

    if (!EnoughMemory(ed)) {
        ShowMessage(ed, " NOT ENOUGH MEMORY!", 1);
        ed.FarewellNote = "lumo: not enough memory";
        CloseConsole(ed);
        return false;
    }
    SetDefaultSidePaths(ed);

    if (!args.empty()) {
        ed.FileName = args.back();
        ed.SettingsFile = SettingsPathFor(ed.StateDir, ed.FileName);
        ed.StartupOptions.assign(args.begin(), args.end() - 1);
        // "--" only says that the name follows; a second editor gets its own.
        std::erase(ed.StartupOptions, std::string("--"));
        if (ApplyOptions(ed, JoinOptions(args), ed.FileName)) KeyBufferFile(ed, 2);
        if (ed.ShowNotice) ShowStartupNotice(ed);
        ed.con.ClearScreen();
        ed.con.PlaceCursor(0, 0);
        if (!LoadFile(ed)) {
            ed.ExitCode = ExitFailed;
            if (ed.FarewellNote.empty()) ed.FarewellNote = "lumo: " + ed.FileName + ": the text does not fit in memory";
            CloseConsole(ed);
            return false;
        }
    }

    ComputeTabStops(ed);
    StartCursor(ed);
    if (ed.LineCount == 0) {
        int at = 1;
        InsertLine(ed, ed.LineCapacity, at);
    }
    ReadSettingsFile(ed, ed.SettingsFile);
    ed.CurrentLine = std::clamp(ed.CurrentLine, 1, std::max(ed.LineCount, 1));
    ReadHistory(ed);
    if (!(ed.FillCell & 0x100)) ed.FillCell = 0x07B0;
    LoadAbbreviations(ed);
    ReadKeyDefinitions(ed);

    ed.RecordCount = 0;
    ed.PlaybackIndex = 0;
    ed.ExitCode = ExitUnchanged;
    RedrawCycle(ed, Redraw::Full);
    return true;
}

int RunEditor(Console& con, int argc, char** argv, const std::string* openError, bool endProcess)
{
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(UsageText, stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("lumo %s\n", LUMO_VERSION);
        return 0;
    }
    // A full disk or a file-size limit is a write error, never a death.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);

    std::vector<std::string> args(argv + std::min(argc, 1), argv + argc);
    Editor ed(con, MemoryBudgetFromEnvironment());
    ed.OnHangup = HangupEnd;
    ed.OnResize = RedrawAfterResize;
    if (!Startup(ed, args, openError)) {
        if (!ed.FarewellNote.empty()) std::fprintf(stderr, "%s\n", ed.FarewellNote.c_str());
        return ed.ExitCode;
    }
    MainLoop(ed);
    CloseConsole(ed);
    int code = ed.Ending ? ed.ExitCode : ExitUnchanged;
    // Handing 24,575 line records back one by one would cost the user a
    // noticeable pause at quit; the process ending frees them all at once.
    if (endProcess) std::exit(code);
    return code;
}

}  // namespace lumo
