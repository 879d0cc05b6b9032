// The program-wide state of one editor. Subsystems are plain functions that
// take an Editor&; tests build as many editors as they like.
//
// Lines and columns are counted from 1 and held in int; 0 means "not set" for
// every remembered line (block marks, bookmarks).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <memory>
#include <unordered_map>
#include <vector>

#include "console/console.h"
#include "editor/linerecord.h"

namespace lumo {

constexpr int LineSlots = 24576;
constexpr int MaxLines = 24575;
constexpr int MaxText = 255;  // longest text string and line
constexpr int ScratchSize = 132;
constexpr uint16_t WrapOff = 0x800;  // bit of FillCell
constexpr size_t DefaultMemoryBudget = 8192 * 1024;

enum class CodePage : uint8_t { ASCII, ANSI, KOI8, UTF8 };

// Continuation chosen by a command: how the main loop goes on.
enum class Redraw : uint8_t {
    Full,      // redraw everything
    Window,    // the text window (and what follows)
    View,      // keep the cursor visible, status line, cursor
    Status,    // status line and cursor only
    Cursor,    // only place the cursor
    NextKey,   // read the next key without drawing
    Dispatch,  // dispatch the key bytes again as they now stand
};

struct PositionMark {
    int line = 0;
    int column = 0;
    int top = 0;
};

struct LineSnapshot {
    std::string text;
    int column = 1;
};

struct Editor {
    explicit Editor(Console& console, size_t memoryBudget = DefaultMemoryBudget);
    ~Editor();
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    Console& con;

    // ---- settings (start-up defaults) ----
    int LineCapacity = 254;
    int FormatWidth = 254;
    std::array<int, 33> TabStops{};  // 1..32 used
    int TabStep = 8;
    bool PascalMode = false;
    std::string CommentBrackets = "??";
    uint8_t CommentColour = 3;
    bool ColumnMarker = true;
    bool HalfScreenScroll = true;
    bool DrawingMode = true;
    bool CodePageDetect = true;
    int AutoSaveEvery = 0;
    bool ExternalClipboard = false;
    bool ShowNotice = true;
    CodePage FileCodePage = CodePage::ASCII;
    bool InsertMode = true;
    bool RusMode = false;
    bool MacrosOn = true;
    bool Modified = false;
    int ExitCode = 2;
    uint16_t FillCell = 0x07B0;
    std::string ClipboardFile;
    std::string SavedStateFile;
    std::string SettingsFile;
    std::string FileName;  // the edited file
    std::string OtherFileName = "keydef.lmo";
    std::string KeyDefFileName = "keydef.lmo";
    std::string SideFileName;
    std::string StateDir;  // where the settings, saved-state and clipboard files live

    // ---- line store ----
    // Slot 0 is the scratch line; slots 1..LineCount hold the text. Read and
    // change lines only through the line store's functions (editor/linestore.h).
    std::vector<LineRecord> LineTable;
    int LineCount = 0;
    // Blocks that a loaded text's records are packed into (one allocation
    // for many lines); freed when the whole text is released.
    std::vector<std::unique_ptr<char, void (*)(void*)>> LineBlocks;
    size_t LineBlockFree = 0;  // unused bytes at the end of the last block
    size_t MemoryBudget;  // bytes the line records may use in all
    size_t MemoryUsed = 0;
    std::string BlankFiller;  // LineCapacity blanks
    bool LineEdited = false;
    int OperationFailed = 0;

    // ---- cursor and window ----
    int CurrentLine = 1;
    int CurrentColumn = 1;
    int TopLine = 1;
    int HorizontalScroll = 0;
    int CursorScreenColumn = 1;
    int CursorScreenRow = 3;

    // ---- blocks ----
    int LineBlockFirst = 0;
    int LineBlockLast = 0;
    int BoxFirstLine = 0;
    int BoxLastLine = 0;
    int BoxFirstColumn = 0;
    int BoxLastColumn = 0;

    // ---- bookmarks and history ----
    std::array<int, 4> LineBookmarks{};           // 1..3 used
    std::array<PositionMark, 3> PositionBookmarks{};  // 1..2 used
    int ColumnBookmark = 1;
    std::array<PositionMark, 16> GetBackRing{};
    int GetBackIndex = 0;

    // ---- line restore ----
    std::array<std::string, 16> RestoreRing{};
    int RestoreIndex = 255;  // most recently filled slot; 255 = none yet
    std::array<LineSnapshot, 2> ChangeSnapshots{};
    int SnapshotToggle = 1;
    int WrapShift = 0;

    // ---- the last key, split ----
    uint8_t KeyChar = 0;
    uint8_t KeyScan = 0;
    uint8_t KeyShift = 0;
    uint8_t KeyKind = 0;
    uint16_t RawKeyShift = 0;

    // ---- keystroke recording ----
    std::array<KeyEvent, 33> KeystrokeBuffer{};  // 1..32 used, 0 scratch
    int RecordCount = 0;    // 0 = not recording; else the next slot to fill
    int PlaybackIndex = 0;  // 0 = not playing; else the next slot to play
    int KeystrokeCounter = 0;

    // ---- messages and prompts ----
    int MenuCursor = 1;
    int ChoiceResult = 0;

    // Called by ReadEditorKey when the console reports HangupEvent: saves what
    // would be lost, restores the terminal and ends the process.
    std::function<void(Editor&)> OnHangup;

    // Each subsystem adds the state it owns below, in its own section.

    // ---- choice prompt ----
    int ChoiceCount = 0;  // items of the last ShowChoice

    // ---- main loop ----
    Redraw LoopLevel = Redraw::Full;  // where the next pass starts
    bool KeyFromPlayback = false;     // the key in the key bytes came from a playback
    // The sequence a playback plays: a copy taken when it starts, so that a
    // recording made meanwhile cannot change the keys still to come.
    std::array<KeyEvent, 33> PlaybackBuffer{};
    int CompletionCount = 0;          // state of "Extend line/word" ("\")
    // Set by the replace command while its question waits for a redraw; the
    // loop then calls ContinueReplace instead of reading a key.
    bool ReplacePending = false;
    Redraw (*ContinueReplace)(Editor&) = nullptr;

    // ---- start-up, quit, input line ----
    // Set by Quit and EmergencyEnd when the editor is to end (ExitCode holds
    // the code); the main loop returns as soon as it sees it.
    bool Ending = false;
    std::vector<std::string> StartupOptions;  // the options as given, for a second editor
    std::string FarewellNote;  // printed on standard error once the terminal is restored
    // Set when Ctrl+Alt+Backspace found no place for the unsaved text; the
    // next Ctrl+Alt+Backspace ends without it.
    bool EmergencySaveFailed = false;
    std::array<std::string, 16> SearchHistory{};
    int HistoryIndex = 0;
    // The search commands' case setting (15 ignore, -15 match, 0 not chosen)
    // and their search text; the saved-state file carries them between runs.
    int SearchCase = 0;
    std::string SearchString;

    // ---- loading and saving ----
    std::string LineEnd = "\n";  // written after each line: the first end the load found
    bool Utf8Bom = false;        // the UTF-8 file began with a byte-order mark (kept on save)
    // Set when the text is not the whole of that file (line limit, cut lines,
    // read error): the text is never saved over it.
    std::string IncompleteFile;
    std::string IncompleteMessage;
    int MemoryShortWidth = 0;  // LineCapacity when memory ran short in the load; 0 none
    int UnGetFirst = 0;        // lines the last Get file inserted; 0 none
    int UnGetLast = 0;

    // ---- line editing and movement ----
    std::string LineNumberText;  // the last answer to "Enter line number:" (F4)
    // Deletes the marked block; Del's " Delete the marked block ?" runs it on
    // "1 - yes". Set by the block commands.
    std::function<void(Editor&)> DeleteMarkedBlock;

    // ---- terminal life ----
    // Called by ReadEditorKey once the console has taken a new window size:
    // redraws everything for the state the editor is in (set at start-up).
    std::function<void(Editor&)> OnResize;
    // Rows 1 and 2 as they were before the resize (a menu, a question or the
    // input line may be showing there), ResizeTopColumns cells a row.
    std::vector<uint16_t> ResizeTopRows;
    int ResizeTopColumns = 0;
    // True while the main loop waits for a key between commands: nothing but
    // the text window, status and message lines is on the screen.
    bool ReadingAtRest = false;
    // The last bracketed paste; ReadEditorKey takes it with its PasteEvent.
    PastedText Paste;
    // ---- files on disk: changes made by others, emergency copies ----
    // The edited file as the load or the last save left it on disk; a save
    // over a file that differs asks first.
    struct FileStamp {
        bool known = false;
        uint64_t device = 0;
        uint64_t inode = 0;
        int64_t size = 0;
        int64_t mtimeSeconds = 0;
        int64_t mtimeNanoseconds = 0;
        bool operator==(const FileStamp&) const = default;
    };
    FileStamp LoadedStamp;
    // Where the automatic save put the text when the file had changed on
    // disk; later automatic saves replace that copy rather than add more.
    std::string AutoSaveCopy;
    // A timed message was ended by a key that nobody has read yet: a prompt
    // the same command opens next must not take that key as typed.
    bool MessageKeyWaiting = false;
    // ---- search and replace ----
    bool SearchUpward = false;  // the direction of the last F7-family search, for Next
    std::string FindString;     // F6's text to find and its replacement
    std::string ReplaceString;
    int ReplaceCase = 0;          // the running replace's case setting (15, -15, 0 not chosen)
    bool ReplaceInBlock = false;  // scope: the line block, else the whole text
    bool ReplaceAskEach = false;  // the answer to " To ask OK for every case ?"
    bool ReplaceAsk = false;      // asking now ("3 - all" stops it for this pass)
    int ReplaceFrom = 0;          // the column after which the next search begins (0: whole line)
    int PreviousLine = 0;         // the last occurrence left unchanged (0: none)
    int PreviousColumn = 0;
    PositionMark ReplaceReturn;   // where F6 was pressed; follows lines a carry-over inserts
    // Change by file: puts the next pair into FindString/ReplaceString.
    // 1 a pair, 0 no more lines, 2 the file ended inside a pair. Holds the
    // open pairs file; empty when no change by file runs.
    std::function<int(Editor&)> NextPair;
    std::string PairsFileName;  // offered by the file dialog, kept between uses
    // ---- abbreviations, key definitions and completion ----
    // The two tables of "shorts.lmo", each of at most 100 entries:
    // abbreviations (lines holding BEL: abbreviation, BEL, expansion) and the
    // completion entries "\" offers first (every other line).
    std::vector<std::string> AbbrevList;
    std::vector<std::string> CompletionList;
    // Each abbreviation (the text before its first BEL) with the index of
    // the first entry that has it, so that Space finds it in one look.
    std::unordered_map<std::string, int> AbbrevIndex;
    // Key definitions by key index (scan code, or the character of a
    // function key; + 0x80 in Rus mode); MacroDefined tells which hold one.
    std::array<std::string, 256> MacroTable{};
    std::array<bool, 256> MacroDefined{};
    bool MacrosChanged = false;  // defined since the last write: Quit offers to save
    // Bytes of the memory budget the tables hold (charged like line records).
    size_t ShortsCharge = 0;
    // The candidate "" takes characters from (CompletionCount is the
    // position of the next one), and the completion's search direction
    // (0, 1 towards the start; 2, 4 towards the end; 1 and 4 turned with
    // Down) and case pass (0 exact, 1 ignoring case).
    std::string CompletionText;
    int CompletionDirection = 0;
    int CompletionPass = 0;
    // ---- line fidelity ----
    // What a save writes after an untouched line's text so that the line goes
    // back as it was read (its trailing blanks and NULs, the part beyond 255
    // characters), in the text's code, filed under the record's id(). Held
    // outside the records and paid for from the memory budget (KeptBytes).
    std::unordered_map<const char*, std::string> KeptParts;
    size_t KeptBytes = 0;
    bool FinalLineEnd = true;   // false: the file's last line had no line end, and is saved so
    std::string CutLinesFile;   // the file whose lines over 255 characters the text holds cut
    bool CutNoteShown = false;  // the message line tells that the cursor's line goes on

    // ---- character map ----
    // Byte -> the character it stands for in the text's file (editor/charmap.h).
    std::array<char32_t, 256> TextCharMap{};
    CodePage TextMapPage = CodePage::ASCII;  // the page the map was made for
    bool TextMapExtended = false;            // a UTF-8 text gave bytes to characters CP866 lacks
};

// Reassembles the four key bytes into the 32-bit value bindings compare.
inline KeyEvent KeyValue(const Editor& ed)
{
    return ed.KeyChar | (ed.KeyScan << 8) | (ed.KeyShift << 16) | (uint32_t(ed.KeyKind) << 24);
}

// Splits a key event into the four key bytes, folding a lone Shift (1 or 3) to 2.
void SplitKey(Editor& ed, KeyEvent key);
// Stores a 32-bit key value into the key bytes, as a menu does before
// dispatching again.
void StoreKey(Editor& ed, KeyEvent key);
// ReadKey from the console, split into the key bytes; returns the folded value.
// Every key the editor reads goes through here (main loop, prompts, input line).
KeyEvent ReadEditorKey(Editor& ed);

}  // namespace lumo
