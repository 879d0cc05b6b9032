// Child processes: the editor starts other programs one way only, through the
// command interpreter, and waits for them.
#pragma once

#include <string>

#include "editor/editor.h"

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

// The abbreviations file the two "Add currnt" commands append to.
constexpr const char* AbbreviationsFileName = "shorts.lmo";

// Appends `text` as one line (CR LF) to "shorts.lmo" in the current
// directory, creating it when missing. Done here rather than by a shell ECHO,
// which would run whatever the text holds. A file whose last line lacks its
// end gets one first, so the new entry never joins it. False when the file
// cannot be written; a failed append leaves the file as it was.
bool AppendAbbreviation(const std::string& text);
// Extend "3 Add currnt word" (Alt+\): asks for a text with the word prompt;
// Extend "4 Add currnt line" (Alt+Shift+\): the current line without its
// leading and trailing blanks. Esc or an empty text does nothing; otherwise
// the text is appended, "Added \"text\"" is shown and the abbreviations are
// read again.
Redraw CmdAddCurrentWord(Editor& ed);
Redraw CmdAddCurrentLine(Editor& ed);

// The running editor's options for a second editor, each preceded by a blank
// and quoted for the shell.
std::string OptionsForChild(const Editor& ed);

}  // namespace lumo
