// The one-line formatting commands: aligning a line's start (Alt+A, Ctrl+L,
// Ctrl+R), the line length for formatting, tab expansion of the whole text,
// and the end-of-line marker (Ctrl+F12 sets or removes it, F12 goes to the
// next marked line).
#include <algorithm>

#include "edit/bookmarks.h"
#include "edit/format.h"
#include "edit/lineedit.h"
#include "editor/keyreading.h"
#include "editor/linestore.h"
#include "ui/inputline.h"
#include "ui/render.h"

namespace lumo {

namespace {

constexpr int MaxRightAlignCapacity = 132;  // wider lines type Ctrl+R's character instead

std::string MarkerLine(std::string_view text) { return std::string(text) + ' ' + '\0'; }

// " How many columns per line? ": a whole number of at most three digits.
bool ParseLineLength(const std::string& text, int& value)
{
    if (text.empty() || text.size() > 3) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

}  // namespace

bool AlignLineStart(Editor& ed, int line, int column)
{
    if (line < 1 || line > ed.LineCount) return false;
    const std::string s(LineText(ed, line));
    if (TrimmedLength(s) == 0) return false;
    const int p = FirstNonBlank(s);
    // The column is taken whole: a cursor in column 256 must not wrap to 0
    // and take away a character.
    column = std::max(column, 1);
    if (column == p) return false;
    // Blanks put in front never push text (or a colour code) off the line.
    if (static_cast<int>(s.size()) + column - p > MaxText) return false;
    const std::string moved = std::string(column - 1, ' ') + s.substr(p - 1);
    BeginLineChange(ed, line);
    if (!StoreLine(ed, moved, line)) return false;
    ed.Modified = true;
    return true;
}

bool RightAlignLine(Editor& ed)
{
    if (ed.LineCapacity > MaxRightAlignCapacity) return false;
    const std::string s(LineText(ed, ed.CurrentLine));
    const int end = TrimmedLength(s);
    // The text itself (without its indent) is what has to end at the
    // capacity: counting the indent too would move an indented line short of
    // the edge, and a second Ctrl+R back to the left.
    const int length = end == 0 ? 0 : end - FirstNonBlank(s) + 1;
    const int n = ed.LineCapacity - length + 1;
    if (n <= 0) return false;
    AlignLineStart(ed, ed.CurrentLine, n);
    return true;
}

bool ExpandTabsInText(const std::string& text, std::string& result)
{
    result.clear();
    for (char c : text) {
        if (c != '\t') {
            result += c;
        } else {
            // The blank, then more until the next character starts at 8k + 1.
            result += ' ';
            while (result.size() % 8 != 0) result += ' ';
        }
        if (result.size() > static_cast<size_t>(MaxText)) return false;
    }
    return true;
}

bool ExpandLineTabs(std::string_view line, std::string& result)
{
    const std::string s(line);
    const int end = TrimmedLength(s);
    if (!ExpandTabsInText(s.substr(0, end), result)) return false;
    result += s.substr(end);  // blanks and a line-colour code, TAB included
    return result.size() <= static_cast<size_t>(MaxText);
}

bool CarriesMarker(std::string_view line)
{
    while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
    return !line.empty() && line.back() == '\0';
}

Redraw CmdAlignToCursor(Editor& ed)
{
    AlignLineStart(ed, ed.CurrentLine, ed.CurrentColumn);
    return Redraw::Window;
}

Redraw CmdAlignToMargin(Editor& ed)
{
    AlignLineStart(ed, ed.CurrentLine, ed.TabStops[1]);
    return Redraw::Window;
}

bool AskLineLengthForFormat(Editor& ed)
{
    for (;;) {
        ShowMessage(ed, " How many columns per line? ", 22);
        std::string text;  // asked afresh each time
        InputLine(ed, text, InputPlain);
        if (ed.OperationFailed == 127) StopRecording(ed);
        if (ed.OperationFailed != 0) return false;
        text.erase(text.find_last_not_of(' ') + 1);
        text.erase(0, std::min(text.size(), text.find_first_not_of(' ')));
        if (text.empty()) return false;
        int width = 0;
        if (ParseLineLength(text, width) && width >= 2 && width <= ed.LineCapacity) {
            ed.FormatWidth = width;
            return true;
        }
    }
}

Redraw CmdLineLengthForFormat(Editor& ed)
{
    AskLineLengthForFormat(ed);
    return Redraw::Full;
}

Redraw CmdExpandTabs(Editor& ed)
{
    int left = 0;
    for (int n = 1; n <= ed.LineCount; ++n) {
        const std::string_view view = LineText(ed, n);
        if (view.find('\t') == std::string_view::npos) continue;
        std::string expanded;
        // A line that would pass 255 characters keeps its TABs.
        if (!ExpandLineTabs(view, expanded)) {
            ++left;
            continue;
        }
        if (expanded == view) continue;
        if (StoreLine(ed, expanded, n)) ed.Modified = true;
        else ++left;
    }
    if (left > 0)
        ShowMessage(ed, " " + std::to_string(left) + " line(s) would pass 255 characters: their TABs stay.", 1);
    return Redraw::Full;
}

Redraw CmdToggleMarker(Editor& ed)
{
    const int line = ed.CurrentLine;
    const std::string_view text = LineText(ed, line);
    std::string changed;
    if (CarriesMarker(text)) {
        changed = std::string(text);
        changed.erase(changed.find_last_not_of(' ') + 1);
        changed.back() = ' ';
    } else {
        // After everything the line holds, a colour code included: in front
        // of the code the 0x00 would be read as the code's background.
        changed = MarkerLine(text);
        if (changed.size() > static_cast<size_t>(MaxText)) {
            ShowMessage(ed, " The line is full: no room for the F12 mark.", 1);
            return Redraw::Status;
        }
    }
    // The marker is a mark for this session, not a change of the text: the
    // save drops it, so Modified and LineEdited keep their values.
    const bool modified = ed.Modified;
    const bool edited = ed.LineEdited;
    BeginLineChange(ed, line);
    StoreLine(ed, changed, line);
    ed.Modified = modified;
    ed.LineEdited = edited;
    return Redraw::Window;
}

Redraw CmdNextMarkedLine(Editor& ed)
{
    const int from = ed.CurrentLine;
    for (int step = 1; step < ed.LineCount; ++step) {
        const int n = (from - 1 + step) % ed.LineCount + 1;
        if (!CarriesMarker(LineText(ed, n))) continue;
        PushGetBack(ed);
        ed.CurrentLine = ed.TopLine = n;
        ed.LineEdited = false;
        return Redraw::Full;
    }
    return Redraw::Status;
}

}  // namespace lumo
