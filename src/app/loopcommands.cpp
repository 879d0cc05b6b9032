#include "app/loopcommands.h"

#include <algorithm>

#include "editor/keyreading.h"
#include "app/startup.h"
#include "edit/abbreviation.h"
#include "files/abbreviations.h"
#include "edit/typing.h"
#include "editor/codepage.h"
#include "edit/format.h"
#include "files/fileio.h"
#include "files/shell.h"
#include "edit/lineedit.h"
#include "editor/linestore.h"
#include "edit/movement.h"
#include "ui/render.h"

namespace lumo {

namespace {

bool BlockMarked(const Editor& ed) { return ed.LineBlockFirst != 0 || ed.BoxFirstLine != 0; }

// Inserts `text` at the cursor; `back` columns then leave the cursor inside
// the brackets of "Writeln(); ".
Redraw InsertText(Editor& ed, const std::string& text, int back = 0)
{
    ed.CompletionCount = 0;
    TypeString(ed, text);
    ed.CurrentColumn = std::max(1, ed.CurrentColumn - back);
    return Redraw::Window;
}

bool IsWordChar(uint8_t c) { return c > 0x20 && !IsDelimiter(c); }

// Replaces character `column` of the current line by `c`.
void StoreChar(Editor& ed, int column, uint8_t c)
{
    std::string s = GetLine(ed, ed.CurrentLine);
    if (column < 1 || column > static_cast<int>(s.size())) return;
    if (static_cast<uint8_t>(s[column - 1]) == c) return;
    BeginLineChange(ed, ed.CurrentLine);
    s[column - 1] = static_cast<char>(c);
    SetLine(ed, s, ed.CurrentLine);
    ed.Modified = true;
}

}  // namespace

Redraw CmdEscape(Editor& ed)
{
    if (ed.CompletionCount > 0) {
        ed.CompletionCount = 0;
        return Redraw::Status;
    }
    if (BlockMarked(ed)) {
        ed.LineBlockFirst = ed.LineBlockLast = 0;
        ed.BoxFirstLine = ed.BoxLastLine = ed.BoxFirstColumn = ed.BoxLastColumn = 0;
        return Redraw::Full;
    }
    return CmdQuit(ed);
}

Redraw CmdMarkAllOrAbsolute(Editor& ed)
{
    if (ed.PascalMode) return InsertText(ed, "Absolute ");
    ed.BoxFirstLine = ed.BoxLastLine = ed.BoxFirstColumn = ed.BoxLastColumn = 0;
    ed.LineBlockFirst = 1;
    ed.LineBlockLast = std::max(1, ed.LineCount);
    return Redraw::Full;
}

Redraw CmdTheOrThen(Editor& ed) { return InsertText(ed, ed.PascalMode ? "then " : "the "); }
Redraw CmdAndOrEnd(Editor& ed) { return InsertText(ed, ed.PascalMode ? "End; " : "and "); }

Redraw CmdBlankOrAssign(Editor& ed)
{
    if (ed.PascalMode) return InsertText(ed, " := ");
    return TypeCharacter(ed, ' ');
}

Redraw CmdTypeBackslash(Editor& ed) { return TypeCharacter(ed, '\\'); }

Redraw CmdPascalKeyword(Editor& ed)
{
    struct Keyword {
        uint8_t key;  // the control character
        const char* text;
        int back;
    };
    static const Keyword keywords[] = {
        {0x17, "Writeln(); ", 3}, {0x05, "else ", 0},     {0x12, "Readln(); ", 3}, {0x15, "Until ", 0},
        {0x09, "Integer", 0},     {0x10, "Repeat ", 0},   {0x1B, "(* ", 0},        {0x1D, " *) ", 0},
        {0x13, "Assign(); ", 3},  {0x04, "debug(); ", 3}, {0x06, "Function ", 0},  {0x07, "Goto ", 0},
        {0x08, "While ", 0},      {0x0A, "Procedure ", 0}, {0x02, "Begin ", 0},
    };
    if (ed.PascalMode) {
        for (const Keyword& k : keywords)
            if (k.key == ed.KeyChar) return InsertText(ed, k.text, k.back);
    }
    return TypeKeyChar(ed, ed.KeyChar);
}

Redraw CmdFormatOrFunction(Editor& ed)
{
    if (ed.PascalMode) return CmdPascalKeyword(ed);
    return CmdFormatPlain(ed);
}

Redraw CmdRightAlignOrReadln(Editor& ed)
{
    if (ed.PascalMode) return CmdPascalKeyword(ed);
    if (RightAlignLine(ed)) return Redraw::Window;
    return TypeKeyChar(ed, ed.KeyChar);
}

Redraw CmdAltT(Editor& ed)
{
    if (ed.PascalMode) return InsertText(ed, "String");
    return Redraw::Status;
}

Redraw CmdBoxDrawingKey(Editor& ed)
{
    uint8_t c;
    switch (ed.KeyScan) {
        case 0x02: c = 0xC0; break;  // Ctrl+1 └
        case 0x03: c = 0xC1; break;  // Ctrl+2 ┴
        case 0x04: c = 0xD9; break;  // Ctrl+3 ┘
        case 0x05: c = 0xC3; break;  // Ctrl+4 ├
        case 0x06: c = 0xC5; break;  // Ctrl+5 ┼
        case 0x07: c = 0xB4; break;  // Ctrl+6 ┤
        case 0x08: c = 0xDA; break;  // Ctrl+7 ┌
        case 0x09: c = 0xC2; break;  // Ctrl+8 ┬
        case 0x0A: c = 0xBF; break;  // Ctrl+9 ┐
        case 0x0B: c = 0xC4; break;  // Ctrl+0 ─
        case 0x90: c = 0xB3; break;  // Ctrl+keypad plus │
        default: return Redraw::Status;
    }
    const int b = DrawingByte(ed, c);
    return b < 0 ? Redraw::Status : TypeCharacter(ed, static_cast<uint8_t>(b));
}

Redraw ChangeCaseAtCursor(Editor& ed, bool upper)
{
    std::string s = GetLine(ed, ed.CurrentLine);
    int column = ed.CurrentColumn;
    // Nothing past the text.
    if (column < 1 || column > TrimmedLength(s)) return Redraw::Status;
    uint8_t c = static_cast<uint8_t>(s[column - 1]);
    StoreChar(ed, column, upper ? CyrUpCase(c) : CyrLowCase(c));
    return Redraw::Window;
}

// Works on the word that holds the cursor only: the first of its characters
// that has two cases gets the one asked for.
Redraw ChangeWordInitialCase(Editor& ed, bool upper)
{
    std::string s = GetLine(ed, ed.CurrentLine);
    int column = ed.CurrentColumn;
    int length = TrimmedLength(s);
    if (column < 1 || column > length || !IsWordChar(static_cast<uint8_t>(s[column - 1]))) return Redraw::Status;
    int first = column;
    while (first > 1 && IsWordChar(static_cast<uint8_t>(s[first - 2]))) --first;
    int last = column;
    while (last < length && IsWordChar(static_cast<uint8_t>(s[last]))) ++last;
    for (int p = first; p <= last; ++p) {
        uint8_t c = static_cast<uint8_t>(s[p - 1]);
        if (CyrUpCase(c) != CyrLowCase(c)) {
            StoreChar(ed, p, upper ? CyrUpCase(c) : CyrLowCase(c));
            break;
        }
    }
    return Redraw::Window;
}

Redraw CmdUpCaseChar(Editor& ed) { return ChangeCaseAtCursor(ed, true); }
Redraw CmdLowCaseChar(Editor& ed) { return ChangeCaseAtCursor(ed, false); }
Redraw CmdUpCaseWordInitial(Editor& ed) { return ChangeWordInitialCase(ed, true); }
Redraw CmdLowCaseWordInitial(Editor& ed) { return ChangeWordInitialCase(ed, false); }

// The user's RUN command gets the file as saved; when the save did not
// happen it does not run on an older copy.
Redraw CmdRun(Editor& ed)
{
    SaveFile(ed);
    if (ed.OperationFailed != 0 || ed.FileName.empty()) return Redraw::Full;
    RunShell(ed, " /C RUN " + ShellQuote(ed.FileName));
    return Redraw::Full;
}

Redraw CmdReloadAbbreviations(Editor& ed)
{
    // "OK" only when a file was read.
    if (ReadShorts(ed)) ShowMessage(ed, " shorts.lmo - OK!", 1);
    else ShowMessage(ed, " File not found: shorts.lmo", 1);
    return Redraw::Status;
}

std::string KeyCodeText(KeyEvent key)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (int shift = 28; shift >= 0; shift -= 4) text += digits[(key >> shift) & 0xF];
    return text;
}

Redraw CmdInsertKeyCode(Editor& ed)
{
    // The key comes the way every key of the loop comes, so a recording that
    // holds Ctrl+Alt+Tab and its key plays back whole.
    if (!NextKey(ed)) return Redraw::Full;
    ed.CompletionCount = 0;
    TypeString(ed, KeyCodeText(KeyValue(ed)));
    return Redraw::Window;
}

Redraw CtrlAltKey(Editor& ed)
{
    KeyEvent key = KeyValue(ed);
    if (key == 0x030C0E00) return CmdEmergencyEnd(ed);
    if (key == 0x030C0F00) return CmdInsertKeyCode(ed);
    // Ctrl+Alt+Shift+Tab, with either Shift.
    if (ed.KeyScan == 0x0F && ed.KeyChar == 0 && (ed.KeyShift & 3)) return CmdExpandTabs(ed);
    // The other Ctrl+Alt keys take (with Shift) and play key definitions;
    // with macros off they are ignored.
    if (ed.KeyShift & 3) return CmdTakeMacroKey(ed);
    return CmdPlayMacroKey(ed);
}

}  // namespace lumo
