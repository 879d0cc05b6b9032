// The movement commands of the binding table and the Cursor and Screen menus.
#include <algorithm>
#include <cctype>
#include <climits>

#include "edit/bookmarks.h"
#include "editor/keyreading.h"
#include "ui/inputline.h"
#include "edit/lineedit.h"
#include "editor/linestore.h"
#include "edit/movement.h"
#include "ui/render.h"

namespace lumo {

namespace {

bool ShiftHeld(const Editor& ed) { return (ed.KeyShift & 3) != 0; }
int PageHeight(const Editor& ed) { return std::max(ed.con.ScreenRows - 3, 1); }
int LastLine(const Editor& ed) { return std::max(ed.LineCount, 1); }
// The cursor's screen row as the window now stands (3 = the first text row).
int CursorRow(const Editor& ed)
{
    return std::clamp(ed.CurrentLine - ed.TopLine + 3, 3, std::max(ed.con.ScreenRows, 3));
}
std::string CurrentText(const Editor& ed) { return GetLine(ed, ed.CurrentLine); }

// Alt+Right's step from `column`: after the word, and over one blank or
// delimiter that follows it.
int AltWordStep(const std::string& line, int column)
{
    column = WordEnd(line, column, 1);
    if (column <= static_cast<int>(line.size())) {
        auto c = static_cast<unsigned char>(CharAt(line, column));
        if (c == ' ' || IsDelimiter(c)) ++column;
    }
    return std::clamp(column, 1, 256);
}

// Reads the answer to "Enter line number:": a whole number with an optional
// sign. Numbers too large for a line number count as beyond the last line.
bool ParseLineNumber(const std::string& text, long& n)
{
    size_t i = 0, end = text.size();
    while (i < end && text[i] == ' ') ++i;
    while (end > i && text[end - 1] == ' ') --end;
    bool negative = false;
    if (i < end && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i == end) return false;
    long value = 0;
    for (; i < end; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
        value = std::min(value * 10 + (text[i] - '0'), long(INT_MAX));
    }
    n = negative ? -value : value;
    return true;
}

}  // namespace

Redraw CmdLeft(Editor& ed)
{
    CursorLeft(ed);
    return ShiftHeld(ed) ? Redraw::Full : Redraw::Window;
}

Redraw CmdRight(Editor& ed)
{
    CursorRight(ed);
    return ShiftHeld(ed) ? Redraw::Full : Redraw::Window;
}

Redraw CmdUp(Editor& ed)
{
    if (ed.CurrentLine > 1) LinesUp(ed, 1);
    return ShiftHeld(ed) ? Redraw::Full : Redraw::Window;
}

Redraw CmdDown(Editor& ed)
{
    LinesDown(ed, 1);
    return Redraw::Full;
}

Redraw CmdHome(Editor& ed)
{
    const std::string line = CurrentText(ed);
    const int margin = ed.TabStops[1];
    int p = FirstNonBlank(line);
    if (p == 0) p = margin;
    if (ed.CurrentColumn > p) ed.CurrentColumn = p;
    else if (ed.CurrentColumn > margin) ed.CurrentColumn = margin;
    else ed.CurrentColumn = 1;
    ed.CurrentColumn = std::clamp(ed.CurrentColumn, 1, 256);
    return Redraw::Window;
}

Redraw CmdEnd(Editor& ed)
{
    ed.CurrentColumn = TrimmedLength(CurrentText(ed)) + 1;
    return Redraw::Window;
}

Redraw CmdTab(Editor& ed)
{
    for (int i = 1; i <= 32; ++i) {
        if (ed.TabStops[i] > ed.CurrentColumn) {
            ed.CurrentColumn = std::min(ed.TabStops[i], 256);
            break;
        }
    }
    return Redraw::Window;
}

Redraw CmdShiftTab(Editor& ed)
{
    if (ed.CurrentColumn <= 1) return Redraw::Window;
    int best = 0;
    for (int i = 32; i >= 1; --i)
        if (ed.TabStops[i] < ed.CurrentColumn && ed.TabStops[i] >= 1) best = std::max(best, ed.TabStops[i]);
    if (best > 0) ed.CurrentColumn = best;
    return Redraw::Window;
}

static Redraw EnterTo(Editor& ed, int column)
{
    if (ed.CurrentLine >= ed.LineCount) return CmdAddEmptyLine(ed);
    ed.CurrentColumn = std::clamp(column, 1, 256);
    LinesDown(ed, 1);
    return Redraw::Full;
}

Redraw CmdEnter(Editor& ed) { return EnterTo(ed, ed.TabStops[1]); }
Redraw CmdKeypadEnter(Editor& ed) { return EnterTo(ed, ed.ColumnBookmark); }

Redraw CmdPageUp(Editor& ed)
{
    PageUp(ed);
    return Redraw::Window;
}

Redraw CmdPageDown(Editor& ed)
{
    PageDown(ed);
    return Redraw::Window;
}

Redraw CmdAltWordRight(Editor& ed)
{
    ed.CurrentColumn = AltWordStep(CurrentText(ed), std::clamp(ed.CurrentColumn, 1, 256));
    return Redraw::Window;
}

Redraw CmdAltWordLeft(Editor& ed)
{
    const std::string line = CurrentText(ed);
    int column = WordStart(line, WordStart(line, std::clamp(ed.CurrentColumn, 1, 256)));
    ed.CurrentColumn = AltWordStep(line, column);
    return Redraw::Window;
}

static Redraw UpBy(Editor& ed, int n)
{
    LinesUp(ed, std::min(n, ed.CurrentLine - 1));
    return ShiftHeld(ed) ? Redraw::Full : Redraw::Window;
}

static Redraw DownBy(Editor& ed, int n)
{
    LinesDown(ed, std::min(n, ed.LineCount - ed.CurrentLine));
    return Redraw::Full;
}

Redraw CmdUp4(Editor& ed) { return UpBy(ed, 4); }
Redraw CmdDown4(Editor& ed) { return DownBy(ed, 4); }
Redraw CmdUp8(Editor& ed) { return UpBy(ed, 8); }
Redraw CmdDown8(Editor& ed) { return DownBy(ed, 8); }

Redraw CmdScreenTop(Editor& ed)
{
    ed.LineEdited = false;
    ed.CurrentLine = std::clamp(ed.TopLine, 1, LastLine(ed));
    return Redraw::Window;
}

Redraw CmdScreenBottom(Editor& ed)
{
    ed.LineEdited = false;
    ed.CurrentLine = std::clamp(ed.TopLine + PageHeight(ed), 1, LastLine(ed));
    return Redraw::Window;
}

Redraw CmdScreenTopBottom(Editor& ed)
{
    return ed.CurrentLine > ed.TopLine ? CmdScreenTop(ed) : CmdScreenBottom(ed);
}

Redraw CmdLineToTop(Editor& ed)
{
    ed.TopLine = ed.CurrentLine;
    return Redraw::Window;
}

Redraw CmdFileTopScreen(Editor& ed)
{
    const int row = CursorRow(ed);
    PushGetBack(ed);
    ed.LineEdited = false;
    ed.TopLine = 1;
    // A short text may end above the cursor's row: stay on its last line.
    ed.CurrentLine = std::clamp(row - 2, 1, LastLine(ed));
    return Redraw::Window;
}

Redraw CmdFileBottom(Editor& ed)
{
    const int row = CursorRow(ed);
    const int top = ed.LineCount - PageHeight(ed);
    if (top <= 0) return Redraw::Window;
    ed.LineEdited = false;
    PushGetBack(ed);
    ed.TopLine = top;
    ed.CurrentLine = std::clamp(top + row - 3, 1, LastLine(ed));
    return Redraw::Window;
}

Redraw CmdLineByNumber(Editor& ed)
{
    long n = 0;
    for (;;) {
        ShowMessage(ed, "     Enter line number:", 0);
        std::string text = ed.LineNumberText;
        InputLine(ed, text, InputPlain);
        if (ed.OperationFailed == 127) StopRecording(ed);
        if (ed.OperationFailed != 0) return Redraw::Full;
        ed.LineNumberText = text;
        if (text.find_first_not_of(' ') == std::string::npos) return Redraw::Full;
        if (ParseLineNumber(text, n)) break;
    }
    if (n <= 0) return Redraw::Full;
    PushGetBack(ed);
    if (n <= ed.LineCount && n != ed.CurrentLine) {
        ed.LineEdited = false;
        ed.CurrentLine = ed.TopLine = static_cast<int>(n);
    }
    return Redraw::Full;
}

Redraw CmdScrollTextUp(Editor& ed)
{
    if (ed.TopLine < ed.LineCount && ed.CurrentLine > ed.TopLine) ++ed.TopLine;
    return Redraw::Window;
}

Redraw CmdScrollTextDown(Editor& ed)
{
    if (ed.TopLine > 1 && CursorRow(ed) < ed.con.ScreenRows) --ed.TopLine;
    return Redraw::Window;
}

}  // namespace lumo
