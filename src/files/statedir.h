// The editor's own directory for the files it keeps between runs: the
// per-file settings files, the saved-state (history) file, the clipboard file
// and the emergency save files.
//
// It is $LUMO_HOME when set, else $XDG_STATE_HOME/lumo/, else
// ~/.local/state/lumo/. It is created (mode 0700) only when something is
// first written there.
#pragma once

#include <string>
#include <vector>

#include "editor/editor.h"

namespace lumo {

constexpr const char* SettingsDefaultName = "LumoINI";
constexpr const char* SavedStateName = "LumoSS";
constexpr const char* ClipboardName = "LumoClip";
constexpr const char* SettingsSuffix = ".LmIni";
constexpr const char* EmergencySuffix = ".save";

// The state directory as the environment names it, always ending with "/".
std::string StateDirectory();
// The user's configuration directory for the editor's side files:
// $XDG_CONFIG_HOME/lumo/, else ~/.config/lumo/ (ending with "/").
std::string ConfigDirectory();
// Creates `dir` and its missing parents; the directory itself gets mode 0700.
// True when it exists afterwards.
bool CreateStateDirectory(const std::string& dir);
// Call before creating a side file: when `path` lies in ed.StateDir, that
// directory is created first. True when the directory of `path` can be used.
bool PrepareStatePath(const Editor& ed, const std::string& path);

// The name after the last "/" (the whole name when there is none).
std::string BaseName(const std::string& path);
// dir + base name of fileName + ".LmIni"
std::string SettingsPathFor(const std::string& dir, const std::string& fileName);

// Sets ed.StateDir and the default settings, saved-state and clipboard paths.
void SetDefaultSidePaths(Editor& ed);

// Where the text of `fileName` goes when the session ends without a save:
// dir + <base name>.save (dir is the state directory, ending with "/"), or
// "<base name>.save.N" when that exists already (an older save is never
// overwritten). "untitled" stands for an empty name.
std::string EmergencySavePath(const std::string& dir, const std::string& fileName);

// Writes the text to EmergencySavePath (new file, mode 0600) in the state
// directory, else beside the edited file, else in $TMPDIR or /tmp. Returns
// the path written, or an empty string when all of them failed. A copy
// whose directory could not be synced after it was made stays, but the
// next place is tried for one that will surely last.
std::string WriteEmergencySave(Editor& ed);

// Replaces `path` with `content` as a whole: written to a temporary file in
// the same directory, flushed and renamed over it, so a failure leaves the
// old file as it was, or the whole new one when only the directory's sync
// failed (and no temporary file behind). A new file gets `mode`; an
// existing one keeps its permission bits. False on any failure.
bool ReplaceFileContents(const std::string& path, const std::string& content, unsigned mode = 0600);

// Reads a small side file whole (at most 64 KiB of it). False when it cannot
// be opened.
bool ReadSideFile(const std::string& path, std::string& data);
// The lines of a side file; CR LF, LF and CR all end a line.
std::vector<std::string> SplitSideLines(const std::string& data);

}  // namespace lumo
