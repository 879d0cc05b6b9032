// The start-up notice shown before the file is loaded.
#include "app/startup.h"
#include "ui/render.h"

namespace lumo {

void ShowStartupNotice(Editor& ed)
{
    int shift = ed.con.ScreenColumns > 80 ? 10 : 0;
    WriteText(ed, 34 + shift, 6, "Menu - F10", 0x0C);
    WriteText(ed, 32 + shift, 16, " Press any key. ", 0x0D);
    ed.con.FlushScreen(false);
    ReadEditorKey(ed);
}

}  // namespace lumo
