// The message line (row 2): its resting state, messages and prompts, timed
// messages, warnings.
#include <algorithm>

#include "ui/render.h"

namespace lumo {

namespace {

// How long a timed message stays when no key comes.
constexpr int TimedMessageMs = 3000;
// The pause of a timed message counted in redraw passes; modes above 30 are
// timed messages of (mode - 30) such passes.
constexpr long TimedMessagePasses = 196577;

constexpr uint8_t MessageAttr = 0x0E;
constexpr uint8_t BracketAttr = 0x2F;
constexpr uint8_t FirstCommaAttr = 0x4F;
constexpr uint8_t LaterCommaAttr = 0x3F;

// Draws the message text on row 2: yellow, green from the blank before "(",
// red after the first comma, cyan after each later one.
void PaintMessage(Editor& ed, const std::string& text)
{
    Console& con = ed.con;
    const int width = con.ScreenColumns;
    if (!ScreenHasRow(con, 2)) return;
    std::string s = text;
    if (static_cast<int>(s.size()) < width + 1) s.resize(width + 1, ' ');
    auto put = [&](int column, char ch, uint8_t attr) {
        if (column >= 1 && column <= width)
            con.Cell(column, 2) = uint16_t(attr << 8 | static_cast<uint8_t>(ch));
    };
    uint8_t colour = MessageAttr;
    int i = 1;
    while (i <= width) {
        if (colour == MessageAttr && s[i] == '(') {
            colour = BracketAttr;
            put(i, s[i - 1], colour);
            ++i;
        } else if (s[i - 1] == ',') {
            put(i, ',', colour);
            put(i + 1, ' ', colour);
            colour = (colour == BracketAttr || colour == MessageAttr) ? FirstCommaAttr : LaterCommaAttr;
            i += 2;
        } else {
            put(i, s[i - 1], colour);
            ++i;
        }
    }
    con.FlushScreen(false);
}

}  // namespace

void DrawMessageLine(Editor& ed)
{
    Console& con = ed.con;
    const int width = con.ScreenColumns;
    if (!ScreenHasRow(con, 2)) return;
    for (int c = 1; c <= width; ++c) con.Cell(c, 2) = ed.FillCell;
    if (ed.LineBlockFirst > 0) {
        // The block's size in lines, right-aligned; characters only, so the
        // row keeps FillCell's attribute.
        std::string size(1, ' ');
        size += std::to_string(ed.LineBlockLast - ed.LineBlockFirst + 1);
        size += ' ';
        size.resize(std::min<size_t>(size.size(), 7));
        int start = width - static_cast<int>(size.size()) + 1;
        for (size_t i = 0; i < size.size(); ++i) {
            int c = start + static_cast<int>(i);
            if (c >= 1) con.Cell(c, 2) = uint16_t((con.Cell(c, 2) & 0xFF00) | static_cast<uint8_t>(size[i]));
        }
    }
    con.FlushScreen(false);
}

void ClearBlockAndRedraw(Editor& ed)
{
    if (ed.LineBlockFirst > 0) {
        ed.LineBlockFirst = ed.LineBlockLast = 0;
    } else {
        ed.BoxFirstLine = ed.BoxLastLine = 0;
        ed.BoxFirstColumn = ed.BoxLastColumn = 0;
    }
    DrawMessageLine(ed);
    DrawTextWindow(ed);
}

void ShowMessage(Editor& ed, const std::string& text, int mode)
{
    PaintMessage(ed, text);
    if (mode == 1 || mode > 30) {
        // A timed message: it stays until a key comes (the key is left for
        // the caller to read) or the pause ends, then row 2 rests again.
        int ms = mode == 1 ? TimedMessageMs
                           : static_cast<int>((mode - 30) * long{TimedMessageMs} / TimedMessagePasses);
        ed.MessageKeyWaiting = ed.con.WaitForKey(ms);
        DrawMessageLine(ed);
    } else if (mode == 30) {
        DrawMessageLine(ed);
    }
}

void DropMessageKey(Editor& ed)
{
    if (!ed.MessageKeyWaiting) return;
    ed.MessageKeyWaiting = false;
    // A playing sequence feeds the prompt itself; a key waiting on the
    // keyboard meanwhile was typed ahead, not at the message.
    if (ed.PlaybackIndex != 0) return;
    // A hang-up is no key: it stays for the reader that ends the session.
    if (ed.con.KeyWaiting() != HangupEvent) ed.con.ReadKey();
}

void ShowWarning(Editor& ed, const std::string& text, int number, int repeats)
{
    Console& con = ed.con;
    if (!ScreenHasRow(con, 2)) return;
    for (int r = 2; r <= std::min(3, con.ScreenRows); ++r)
        for (int c = 1; c <= con.ScreenColumns; ++c) con.Cell(c, r) = BlankCell;
    std::string s = text + "  " + std::to_string(number);
    for (int pass = 0; pass < 10 * std::max(repeats, 1); ++pass) {
        WriteText(ed, 1, 2, s, 0x0C);
        if (con.WaitForKey(20)) break;
    }
}

}  // namespace lumo
