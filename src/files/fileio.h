// Loading and saving: the text between disk and the line store, the
// file-name dialog every file command uses, and the file commands (Write,
// Write to other, Write block, Get file, Un-get, Edit other).
//
// Saving never destroys the file it replaces: the new text goes to a
// temporary file in the same directory, is flushed to disk, gets the
// original's permission bits, owner and extended attributes and is renamed
// over it. A symbolic link is
// followed (its target gets the text, the link stays). A file with several
// hard links, or one whose owner a new file could not keep, is written in
// place after the whole new text is prepared, and the old text is put back
// when that write fails. When anything fails, the message is
// " Write error or the file to be saved is read-only!" and the file on disk
// is as it was, or holds the whole new text when only the sync of its
// directory after the rename failed (the save is not counted done then,
// since the new name might not survive a crash).
#pragma once

#include <memory>
#include <string>

#include "editor/editor.h"

namespace lumo {

// Modes of the file-name dialog.
constexpr int OpenReadAsk = 0;   // prompts; opens for reading; asks again on failure
constexpr int OpenWriteAsk = 1;  // prompts; opens for writing (append only after Shift+F2)
constexpr int OpenRead = 2;      // no prompt; opens for reading; OperationFailed 1 on failure
constexpr int OpenWrite = 3;     // no prompt; opens for writing; OperationFailed 1 on failure
constexpr int OpenNameOnly = 4;  // prompts; opens nothing, only the name is returned

// Modes of SaveLines.
constexpr int SaveAsIs = 0;         // lines as they are
constexpr int SaveControlBlank = 2; // every character below 32 becomes a blank
constexpr int SaveControlCode = 4;  // every character below 32 becomes "#" and its code


// Messages of this area.
extern const char* const WriteErrorMessage;     // " Write error or the file to be saved is read-only!"
extern const char* const TooManyLinesMessage;   // " TOO MANY LINES! DO NOT SAVE THIS FILE!"
extern const char* const LinesCutMessage;       // the same warning for lines cut at 255 characters
extern const char* const ReadErrorMessage;      // the same warning for a read error
// Shown when a load or Get file met lines over 255 characters (their ends are kept).
extern const char* const LinesGoOnMessage;
// The refusal to save over the text's file while line `line`, cut at 255
// characters when read, has been changed.
std::string ChangedCutLineMessage(int line);

class LineSource;  // a file being read line by line (load.cpp)
class SafeWriter;  // a file being written (safewrite.cpp)

// A file opened by the dialog or by Write to other: read side or write side.
struct TextFile {
    TextFile();
    ~TextFile();
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;
    void Close();  // abandons a write that was not completed

    std::string name;
    std::unique_ptr<LineSource> reader;
    std::unique_ptr<SafeWriter> writer;
};

// The file-name dialog: `name` is in/out (the prompt starts with it), `mode`
// one of the Open* values. OperationFailed 0 when the file is open (or, in
// mode 4, a name was given), 1 when the user gave up or the file could not be
// opened in modes 2, 3 and 4.
void OpenFileDialog(Editor& ed, std::string& name, TextFile& file, int mode);

// The start-up load of ed.FileName into the empty line store: width rules
// from the extension, " New file.", "INVALID FILE NAME!" with the dialog, the
// compact reload when memory runs short, the line limit, UTF-8 detection and
// the recode prompt. Returns false when the editor must end at once (memory
// short or the line limit during the compact reload: exit code 2,
// OperationFailed 15); true otherwise (OperationFailed 15 when the text is
// not the whole file).
bool LoadFile(Editor& ed);
// The width rules of the file name's extension (done by LoadFile before it
// reads): NAME.72 gives width 72; .PAS .INC .PP .DPR give Pascal mode.
void ApplyExtensionRules(Editor& ed, const std::string& fileName);

// Writes lines first..last to `file` (opened for writing) in mode 0, 2 or 4
// and closes it; the file's code page and line end are the edited text's.
// OperationFailed 1 (and the write-error message) when that failed; the file
// on disk is then as it was (or whole and new; see above).
void SaveLines(Editor& ed, int first, int last, TextFile& file, int mode);
// The bytes SaveLines writes for lines first..last (mode 0, 2 or 4, the
// edited text's code page and line end), without a byte-order mark.
std::string EncodeLines(const Editor& ed, int first, int last, int mode);

// F2 / File "1 Write" / Quit's save: the file itself when Modified, then the
// brace copies. OperationFailed 0 when the text is on disk, 1 when the user
// gave up.
void SaveFile(Editor& ed);
// The automatic save: SaveFile without any prompt. Without a name, on an
// incomplete text or when the write fails it shows the message and skips.
void AutoSave(Editor& ed);
// The edited file as it is on disk now becomes the one the text is known
// to match (after the load and after each save of it).
void RememberFileStamp(Editor& ed);
// True when the edited file exists and differs (size, modification time,
// inode) from what the load or the last save left.
bool ChangedOnDisk(const Editor& ed);
// Before a save over the edited file: when another program changed it,
// asks whether to save over it (default no). True when the save may go on.
bool MaySaveOverChangedFile(Editor& ed);
// The automatic save's way round a file changed on disk: the text goes to
// an emergency save file instead (one per session, replaced each time) and
// a message says where. False when the file has not changed (nothing done).
bool AutoSaveCopyOfChangedFile(Editor& ed);
// True when saving the text over `path` would lose lines the text lacks (the
// load was cut short or cut lines); shows the warning when it is so.
bool RefuseIncompleteSave(Editor& ed, const std::string& path);

// Write to other: mode 0 asks for a directory (^F2); modes 2 and 4 write the
// brace copy to `target` (control characters as blanks / as "#" codes).
void WriteToOther(Editor& ed, int mode, const std::string& target = std::string());
// Write block (Shift+F2, File "3"): appends only when the key was Shift+F2.
void WriteBlock(Editor& ed);
// Get file (Shift+F1): inserts a file after the cursor line.
void GetFile(Editor& ed);
// Un-get (^F1): deletes the lines the last Get file inserted.
void UnGet(Editor& ed);
// Any command but Un-get (and the menu key F10) forgets the inserted lines.
void ForgetUnGet(Editor& ed);
// Edit other (Ctrl+F4): a second editor on another file, as a child process.
void EditOther(Editor& ed);
// Edit other from after its dialog: the second editor on `name` (found as a
// side file, else as given); the abbreviations or key definitions are read
// again afterwards when that is their file.
void EditOtherFile(Editor& ed, const std::string& name);

// Looks for a side file: `name` as given (current directory), then in the
// user's configuration directory ($XDG_CONFIG_HOME/lumo/, by default
// ~/.config/lumo/), then in the directory of the editor's program, then in
// <that directory>/../share/lumo/.
// On success `found` holds the path that exists.
bool FindSideFile(const std::string& name, std::string& found);

// The binding-table commands.
Redraw CmdSaveFile(Editor& ed);      // F2, File "1"
Redraw CmdWriteToOther(Editor& ed);  // Ctrl+F2, File "2"
Redraw CmdWriteBlock(Editor& ed);    // Shift+F2, File "3"
Redraw CmdGetFile(Editor& ed);       // Shift+F1, File "4"
Redraw CmdUnGet(Editor& ed);         // Ctrl+F1, File "5"
Redraw CmdEditOther(Editor& ed);     // Ctrl+F4, File "6"

}  // namespace lumo
