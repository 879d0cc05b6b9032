// Small path questions the file commands ask.
#pragma once

#include <string>

namespace lumo {

// True when both names lead to the same existing file (links followed).
bool SameFile(const std::string& a, const std::string& b);
// True when `path` exists and is a regular file (links followed).
bool IsRegularFile(const std::string& path);
// The part of `path` up to and including its last "/" (empty when none).
std::string DirectoryPart(const std::string& path);

// Opens `path` for reading only when it is a regular file, and never waits
// on the way: a FIFO, a device, a socket or a directory is refused (-1)
// before anything is read from it. The descriptor is blocking again when
// returned.
int OpenRegularFile(const std::string& path);

// The longest name one directory entry may have.
constexpr size_t MaxNameBytes = 255;
// A name made from the edited file's base name: `base` + `suffix` when that
// fits in one directory entry; else as much of `base` as fits (never half a
// UTF-8 character), "~", eight hexadecimal digits that depend on the whole
// of `base`, and `suffix`. The same base always gives the same name, so a
// file derived from it is found again in the next run.
std::string FitName(const std::string& base, const std::string& suffix);

// File names are UTF-8 on disk, the screen and the keyboard speak CP866. A
// name as the screen shows it (unchanged when CP866 cannot show it), and a
// name typed in CP866 as the file system knows it.
std::string NameForScreen(const std::string& name);
std::string NameFromScreen(const std::string& typed);

}  // namespace lumo
