// The status line: file name, position, size, free memory, the character
// under the cursor and the bookmark digits, on row 1.
#include <algorithm>

#include "console/cp866.h"
#include "editor/linestore.h"
#include "ui/render.h"

namespace lumo {

namespace {

constexpr int StatusWidth = 80;
constexpr int UnderColumn = 67;  // the character under the cursor, between quotes

// Appends label, value and seven blanks, then cuts the text so that it ends
// at `last`: the fields keep their columns whatever the numbers' widths.
void AppendField(std::string& s, const char* label, long value, size_t last)
{
    s += label;
    s += std::to_string(value);
    s += "       ";
    s.resize(last, ' ');
}

// The file name as the screen shows it: a UTF-8 name (as the system gives
// it) in CP866 when every character has a CP866 byte, else its bytes.
std::string ShownName(const std::string& name)
{
    std::string cp866;
    return Utf8ToCp866(name, cp866) ? cp866 : name;
}

std::string StatusText(const Editor& ed, uint8_t under)
{
    std::string s = ShownName(ed.FileName).substr(0, 21);
    s.resize(21, ' ');
    AppendField(s, "line=", ed.CurrentLine, 31);
    AppendField(s, "column=", ed.CurrentColumn, 42);
    AppendField(s, "size=", ed.LineCount, 52);
    AppendField(s, "memory=", static_cast<long>(FreeMemory(ed) / 1024), 63);
    // Up to three digits: "K" at 63 after a blank; four: "K" at 64; more:
    // the first four digits.
    if (s[62] == ' ') s.resize(62);
    s += 'K';
    s.resize(65, ' ');
    s += '\'';
    s += static_cast<char>(under);
    s += "'=";
    s += HexByte(under);
    AppendField(s, "/", under, 76);
    s += "123 ";
    return s;
}

}  // namespace

void DrawStatusLine(Editor& ed)
{
    Console& con = ed.con;
    const int width = con.ScreenColumns;
    if (!ScreenHasRow(con, 1)) return;
    uint8_t under = ' ';
    if (ed.CurrentLine >= 1 && ed.CurrentLine <= ed.LineCount)
        under = static_cast<uint8_t>(CharAt(GetLine(ed, ed.CurrentLine), ed.CurrentColumn));

    SetLine(ed, StatusText(ed, under), 0);
    DrawLine(ed, 0, 0, 1);

    auto setAttr = [&](int column, uint8_t attr) {
        if (column >= 1 && column <= width)
            con.Cell(column, 1) = uint16_t(attr << 8 | (con.Cell(column, 1) & 0xFF));
    };
    for (int c = 1; c <= width; ++c) setAttr(c, 0x07);
    if (76 <= width) con.Cell(76, 1) = ed.RusMode ? uint16_t(0x7000 | 'R') : BlankCell;
    if (ed.InsertMode) setAttr(67, 0x70);
    for (int k = 1; k <= 3; ++k) {
        int mark = ed.LineBookmarks[k];
        setAttr(76 + k, mark == 0 ? 0x00 : mark == ed.CurrentLine ? 0x4B : 0x07);
    }
    if (ed.LineBlockFirst > 0 || ed.BoxFirstLine > 0) setAttr(StatusWidth, 0x70);
    if (ed.ColumnMarker) setAttr(ed.CurrentColumn - ed.HorizontalScroll, 0xF0);
    // The character under the cursor as the text shows it (its code stays
    // the byte in memory).
    if (under >= 0x80 && UnderColumn <= width)
        if (uint8_t* mapped = con.MappedRow(1)) mapped[UnderColumn - 1] = 1;
    con.FlushScreen(false);
}

void ToggleRus(Editor& ed)
{
    ed.RusMode = !ed.RusMode;
    DrawStatusLine(ed);  // shows "R" while the mode is on
    ed.con.FlushScreen(false);
}

}  // namespace lumo
