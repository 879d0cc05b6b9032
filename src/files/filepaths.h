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

// File names are UTF-8 on disk, the screen and the keyboard speak CP866. A
// name as the screen shows it (unchanged when CP866 cannot show it), and a
// name typed in CP866 as the file system knows it.
std::string NameForScreen(const std::string& name);
std::string NameFromScreen(const std::string& typed);

}  // namespace lumo
