// Start-up, the command line, the per-file settings file and the ways the
// editor ends: Quit with its question, the emergency end of
// Ctrl+Alt+Backspace and the end forced by a hang-up.
#pragma once

#include <string>
#include <vector>

#include "console/console.h"
#include "editor/editor.h"

namespace lumo {

// Exit codes of the process.
constexpr int ExitUnchanged = 0;
constexpr int ExitSaved = 1;
constexpr int ExitFailed = 2;
constexpr int ExitDiscarded = 3;

// The whole run: start-up, the main loop, the end. Returns the exit code;
// main() ends the process with it. --help and --version are answered here.
// `openError`, when given, says why the console could not be opened (it is
// read only after OpenScreen failed). With `endProcess` the process ends
// right after the terminal is restored, without tearing the text down.
int RunEditor(Console& con, int argc, char** argv, const std::string* openError = nullptr,
              bool endProcess = false);

// Start-up up to and including the first redraw. `args` are the command-line
// parameters without the program name. Returns true when the editor can go
// on to the main loop; false when it must end (ed.ExitCode holds the code and
// the console has been closed).
bool Startup(Editor& ed, const std::vector<std::string>& args, const std::string* openError = nullptr);

// The options string: every parameter but the last, each followed by a blank.
std::string JoinOptions(const std::vector<std::string>& args);
// Applies an options string ("-w-j -T4 -X/tmp/ ") to the settings. `fileName`
// is the file to edit (for -I). Returns the options given with -K (true when
// the keystroke file is to be read).
bool ApplyOptions(Editor& ed, const std::string& options, const std::string& fileName);
// TabStops[2..32] from TabStops[1] and TabStep; no stop passes 255.
void ComputeTabStops(Editor& ed);

// The settings file: 16 decimal numbers, CR LF. Reading range-checks every
// field and keeps the current value for a missing, malformed or out-of-range
// one; false when the file cannot be opened. Writing: false when it cannot be
// created (nothing is reported).
bool ReadSettingsFile(Editor& ed, const std::string& path);
bool WriteSettingsFile(Editor& ed, const std::string& path);

// Quit (Esc, Main "7 Quit"): asks whether to save a modified text, saves,
// writes the settings and saved-state files. Returns true when the editor is
// to end: ed.Ending is set and ed.ExitCode holds 0, 1 or 3. Returns false
// (ed.Ending clear) when the user goes back to editing or the save failed.
// The console is closed by RunEditor, not here.
bool Quit(Editor& ed);
// Ctrl+Alt+Backspace: no question, no settings or saved-state file; a
// modified text goes to the emergency save file first. Sets ed.Ending with
// exit code 0. When the text could be written nowhere, it says so and
// stays; the next call ends without the text.
void EmergencyEnd(Editor& ed);
// The binding-table commands for the two. The main loop returns when it
// finds ed.Ending set after a command.
Redraw CmdQuit(Editor& ed);          // Esc with nothing pending, Main "7 Quit"
Redraw CmdEmergencyEnd(Editor& ed);  // Ctrl+Alt+Backspace

// Clears the screen, closes keyboard and screen (the terminal is restored)
// and prints ed.FarewellNote, if any, on standard error.
void CloseConsole(Editor& ed);

// WriteEmergencySave (files/statedir.h) puts the text where EmergencyEnd
// and HangupEnd say it went.
// What the console's hang-up report (SIGTERM, SIGHUP, end of terminal input)
// runs: the emergency save of a modified text, the terminal restored, the
// process ended. RunEditor installs it as ed.OnHangup.
void HangupEnd(Editor& ed);

// Counts one key read from the keyboard and runs the automatic save when
// AutoSaveEvery says so (never a prompt).
void CountKeystroke(Editor& ed);

// The start-up notice: "Menu - F10" and " Press any key. ", then waits for
// a key and discards it.
void ShowStartupNotice(Editor& ed);

// The memory budget: LUMO_MEMORY_KB when set and sensible, else the default.
size_t MemoryBudgetFromEnvironment();

}  // namespace lumo
