// Child processes: the editor starts other programs one way only, through the
// command interpreter, and waits for them.
#pragma once

#include <string>

#include "core/editor.h"

namespace lumo {

// Runs `commandLine` (it begins " /C ") and waits for the child to end.
// With COMSPEC set and not empty, that program gets the two arguments "/C"
// and the rest of the command line; otherwise /bin/sh -c gets the rest. The
// terminal belongs to the child meanwhile (Console Suspend/Resume); the exit
// code is not used and a failure to start is not reported. The caller
// redraws afterwards.
void RunShell(Editor& ed, const std::string& commandLine);

// `word` as one shell word: single-quoted unless it consists only of
// characters the shell never interprets. Anything taken from a file name or
// the text goes through this before it becomes part of a command line.
std::string ShellQuote(const std::string& word);

// The path of the running program (for the second editor).
std::string OwnProgramPath();

}  // namespace lumo
