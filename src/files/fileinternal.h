// What the file commands share among themselves.
#pragma once

#include <string>

#include "editor/editor.h"
#include "files/fileio.h"

namespace lumo {

extern const char* const Utf8UnmappableMessage;

// The file-name dialog with the append decision made by the caller.
void FileDialog(Editor& ed, std::string& name, TextFile& file, int mode, bool allowAppend);
// Opens an existing regular file for reading as loading reads it (UTF-8
// detection when CodePageDetect is on). False when it cannot be read.
bool OpenForReading(const Editor& ed, const std::string& name, TextFile& file);
// Opens `name` for writing (replacing, or appending when `append` and the
// file exists). Refuses, with the warning, to replace the file an incomplete
// text came from (the warning is shown then). Failed: nothing is shown.
enum class WriteOpen { Opened, Failed, Refused };
WriteOpen OpenForWriting(Editor& ed, const std::string& name, TextFile& file, bool append);
// The copies a brace in the file's base name asks for.
void WriteBraceCopies(Editor& ed);

}  // namespace lumo
