// The clipboard file shared by every editor the user runs: the marked block
// or an input-line string goes there (Ctrl+C, Ctrl+Ins, Ctrl+X) and comes
// back (Ctrl+V).
//
// Layout: a kind line ("L" lines, "B" a box or a string; "LA"/"BA" for an
// ANSI file with -#), then the text in CP866 as held in memory, CR LF line
// ends. A line block's lines lose their trailing blanks and each ends with
// CR LF; a box's rows and a string have no line end after the last one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "editor/editor.h"

namespace lumo {

// The clipboard file's contents for the marked block; empty when none is
// marked.
std::string ClipboardContents(const Editor& ed);
// Writes `contents` as the clipboard file, whole or not at all (a private
// temporary file beside it, renamed over it; never through a link someone
// put there). With -# the text then goes to the desktop clipboard too.
// False when it could not be written (the old file stays), or when its
// directory could not be synced after the new file took its place.
bool WriteClipboardFile(Editor& ed, const std::string& contents);

// The clipboard file read back: its kind (the first character of line 1,
// a blank when there is none) and its text lines from line 2, each at most
// 255 characters. False when it is missing or not a regular file.
struct ClipboardFileText {
    char kind = ' ';
    std::vector<std::string> lines;
};
bool ReadClipboardFile(const Editor& ed, ClipboardFileText& clip);

// The input line's Ctrl+C / Ctrl+X (the file gets "B" and the string) and
// Ctrl+V (line 2 of a file whose kind is not a blank; ok false otherwise).
bool WriteClipboardLine(Editor& ed, const std::string& text);
std::string ReadClipboardLine(Editor& ed, bool& ok);

// Ctrl+V in the text: "L" lines go in above the rest of the cursor line,
// replacing a marked line block; "B" rows go in at the cursor column,
// replacing a marked box. Whole or nothing.
void PasteClipboard(Editor& ed);

// ---- the desktop clipboard (with -#) ----
// The text of the clipboard file from line 2 as the desktop takes it: the
// characters the text's bytes stand for (its character map) in UTF-8, LF
// line ends, TAB kept, other control bytes left out.
std::string DesktopClipboardText(const Editor& ed, std::string_view contents);
// The terminal's clipboard sequence (OSC 52) for `utf8`; empty when the
// text is too large for one.
std::string Osc52Sequence(std::string_view utf8);
// Hands the clipboard file's text to the desktop: OSC 52 to the terminal,
// and wl-copy or xclip (xsel) when the session has a display and the
// program is installed. Never waits more than about a second, never fails.
void SendToDesktopClipboard(Editor& ed, const std::string& contents);

// ---- commands ----
Redraw CmdClipboardCopy(Editor& ed);   // Ctrl+C 0x00042E03, Ctrl+Ins 0x0204FF29 [Copy block "3"]
Redraw CmdClipboardCut(Editor& ed);    // Ctrl+X 0x00042D18
Redraw CmdClipboardPaste(Editor& ed);  // Ctrl+V 0x00042F16 [Copy block "4"]

}  // namespace lumo
