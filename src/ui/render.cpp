// Small cell writers shared by the renderer and the prompts.
#include "ui/render.h"

namespace lumo {

void PutCell(Editor& ed, int column, int row, uint8_t character, uint8_t attribute)
{
    Console& con = ed.con;
    if (column < 1 || column > con.ScreenColumns || !ScreenHasRow(con, row)) return;
    con.Cell(column, row) = uint16_t(attribute << 8 | character);
}

void WriteText(Editor& ed, int column, int row, const std::string& text, uint8_t attribute)
{
    // Clipped to the row: text never runs on into the next one.
    for (size_t i = 0; i < text.size(); ++i)
        PutCell(ed, column + static_cast<int>(i), row, static_cast<uint8_t>(text[i]), attribute);
    ed.con.FlushScreen(false);
}

std::string HexByte(uint8_t byte)
{
    static const char digits[] = "0123456789ABCDEF";
    return {digits[byte >> 4], digits[byte & 0x0F]};
}

}  // namespace lumo
