// Placeholder until the renderer lands: only what the line store needs.
#include "text/render.h"

namespace lumo {

void ShowMessage(Editor& ed, const std::string& text, int)
{
    for (int c = 1; c <= ed.con.ScreenColumns; ++c) {
        unsigned char ch = c <= static_cast<int>(text.size()) ? text[c - 1] : ' ';
        ed.con.Cell(c, 2) = 0x0F00 | ch;
    }
}

}  // namespace lumo
