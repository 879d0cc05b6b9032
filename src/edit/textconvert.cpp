// Converting text already typed: Latin keys to Cyrillic and back (text typed
// with the wrong keyboard layout), upper and lower case - over the line
// block, the box, or the word at the cursor.
#include <algorithm>

#include "edit/textconvert.h"

#include "editor/codepage.h"
#include "editor/linestore.h"
#include "ui/render.h"

namespace lumo {

namespace {

uint8_t Convert(TextConversion how, uint8_t c)
{
    switch (how) {
    case TextConversion::LatinToCyr: return RusKey(c);
    case TextConversion::CyrToLatin: return LatinKey(c);
    case TextConversion::Upper: return CyrUpCase(c);
    case TextConversion::Lower: return CyrLowCase(c);
    }
    return c;
}

// Converts columns first..last of line n (within its record); true when
// anything changed.
bool ConvertColumns(Editor& ed, int n, int first, int last, TextConversion how)
{
    std::string record = GetLine(ed, n);
    first = std::max(first, 1);
    last = std::min(last, static_cast<int>(record.size()));
    bool changed = false;
    for (int p = first; p <= last; ++p) {
        uint8_t c = static_cast<uint8_t>(record[p - 1]);
        uint8_t d = Convert(how, c);
        if (d != c) {
            record[p - 1] = static_cast<char>(d);
            changed = true;
        }
    }
    if (changed) SetLine(ed, record, n);
    return changed;
}

// The word the conversion takes without a block: it starts at the character
// before the cursor (at the cursor when that is a blank), runs left over
// everything from "!" up, and ends at the next blank.
void WordRange(const Editor& ed, const std::string& line, int& first, int& last)
{
    int col = ed.CurrentColumn;
    if (col > 1 && CharAt(line, col - 1) != ' ') --col;
    while (static_cast<uint8_t>(CharAt(line, col)) >= '!' && col > 1) --col;
    if (static_cast<uint8_t>(CharAt(line, col)) < '!') ++col;
    first = col;
    last = col - 1;
    while (last + 1 <= static_cast<int>(line.size()) && CharAt(line, last + 1) != ' ') ++last;
}

}  // namespace

void ConvertText(Editor& ed, TextConversion how)
{
    // A block that is the current line alone can be restored like any
    // other change of that line.
    const int current = ed.CurrentLine;
    if ((ed.LineBlockFirst == current && ed.LineBlockLast == current) ||
        (ed.BoxFirstLine == current && ed.BoxLastLine == current))
        BeginLineChange(ed, current);
    if (ed.LineBlockFirst > 0) {
        int last = std::min(ed.LineBlockLast, ed.LineCount);
        for (int n = ed.LineBlockFirst; n <= last; ++n) ConvertColumns(ed, n, 1, MaxText, how);
        ed.Modified = true;
        return;
    }
    if (ed.BoxFirstLine > 0) {
        int last = std::min(ed.BoxLastLine, ed.LineCount);
        for (int n = ed.BoxFirstLine; n <= last; ++n)
            ConvertColumns(ed, n, std::min(ed.BoxFirstColumn, ed.BoxLastColumn),
                           std::max(ed.BoxFirstColumn, ed.BoxLastColumn), how);
        ed.Modified = true;
        return;
    }
    int n = ed.CurrentLine;
    std::string line = GetLine(ed, n);
    int first = 0;
    int last = 0;
    WordRange(ed, line, first, last);
    if (first > last) return;
    // Only the current line changes: keep what it was for the line restore.
    BeginLineChange(ed, n);
    ConvertColumns(ed, n, first, last, how);
    ed.Modified = true;
}

Redraw CmdConvertText(Editor& ed)
{
    switch (ed.KeyChar) {  // the function-key number of Shift+F3..Shift+F6
    case 3: ConvertText(ed, TextConversion::LatinToCyr); break;
    case 4: ConvertText(ed, TextConversion::CyrToLatin); break;
    case 5: ConvertText(ed, TextConversion::Upper); break;
    case 6: ConvertText(ed, TextConversion::Lower); break;
    default: return Redraw::NextKey;
    }
    return Redraw::Window;
}

Redraw CmdUpCaseText(Editor& ed)
{
    ConvertText(ed, TextConversion::Upper);
    return Redraw::Window;
}

Redraw CmdLowCaseText(Editor& ed)
{
    ConvertText(ed, TextConversion::Lower);
    return Redraw::Window;
}

Redraw CmdToggleRus(Editor& ed)
{
    ToggleRus(ed);
    return Redraw::Status;
}

}  // namespace lumo
