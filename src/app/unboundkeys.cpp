#include "app/unboundkeys.h"

#include "app/loopcommands.h"
#include "edit/lineedit.h"
#include "edit/typing.h"
#include "files/abbreviations.h"
#include "files/keystrokefile.h"
#include "files/shell.h"

namespace lumo {

namespace {

// The character an Alt key types, chosen by its scan code; -1 when the scan
// code types nothing. Letters are Latin whatever the keyboard mode.
int AltTypedChar(uint8_t scan, bool shifted)
{
    static const char* const top = "QWERTYUIOP";     // 0x10..0x19
    static const char* const home = "ASDFGHJKL";     // 0x1E..0x26
    static const char* const bottom = "ZXCVBNM";     // 0x2C..0x32
    auto letter = [shifted](char c) { return shifted ? c : c - 'A' + 'a'; };
    if (scan >= 0x10 && scan <= 0x19) return letter(top[scan - 0x10]);
    if (scan >= 0x1E && scan <= 0x26) return letter(home[scan - 0x1E]);
    if (scan >= 0x2C && scan <= 0x32) return letter(bottom[scan - 0x2C]);
    switch (scan) {
        case 0x1A: return shifted ? '{' : '[';
        case 0x1B: return shifted ? '}' : ']';
        case 0x27: return shifted ? ':' : ';';
        case 0x28: return shifted ? '"' : '\'';
        case 0x29: return shifted ? '~' : '`';
        case 0x33: return shifted ? '<' : ',';
        case 0x34: return shifted ? '>' : '.';
        case 0x35: return '?';
        case 0x79: return '@';
        case 0x7A: return '#';
        case 0x7B: return '$';
        case 0x7C: return '%';
        case 0x7D: return '^';
        case 0x7E: return '&';
        default: return -1;
    }
}

// Alt keys the binding table does not take: Alt letters and punctuation,
// and the Alt function keys done here.
Redraw AltTyping(Editor& ed)
{
    bool shifted = (ed.KeyShift & 3) != 0;
    int c = AltTypedChar(ed.KeyScan, shifted);
    if (c >= 0) return TypeCharacter(ed, static_cast<uint8_t>(c));
    // Alt+\ and Alt+Shift+\ add the word asked for, or the current line,
    // to the abbreviations file.
    if (ed.KeyScan == 0x2B) return shifted ? CmdAddCurrentLine(ed) : CmdAddCurrentWord(ed);
    // Alt+Space comes with or without its blank, depending on the terminal.
    if (ed.KeyScan == 0x39) return CmdReloadAbbreviations(ed);
    switch (KeyValue(ed) & 0xFFFF) {
        case 0xFF02: return CmdRun(ed);
        case 0xFF04: return CmdEditShorts(ed);
        case 0xFF05: return ChangeWordInitialCase(ed, true);
        case 0xFF06: return ChangeWordInitialCase(ed, false);
        case 0xFF09: return CmdWriteKeystrokeFile(ed);
        case 0xFF0A: return TypeCharacter(ed, 0);
        default: return Redraw::Status;  // ignored
    }
}

}  // namespace

Redraw Typing(Editor& ed)
{
    if (ed.KeyShift & 8) return AltTyping(ed);
    // Function keys and keys without a character type nothing.
    if (ed.KeyKind != 0) return Redraw::Status;
    return TypeKeyChar(ed, ed.KeyChar);
}

}  // namespace lumo
