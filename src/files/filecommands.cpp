// The file commands as the binding table and the File menu call them.
#include "files/fileio.h"

namespace lumo {

Redraw CmdSaveFile(Editor& ed)
{
    SaveFile(ed);
    return Redraw::Full;
}

Redraw CmdWriteToOther(Editor& ed)
{
    WriteToOther(ed, 0);
    return Redraw::Full;
}

Redraw CmdWriteBlock(Editor& ed)
{
    WriteBlock(ed);
    return Redraw::Full;
}

Redraw CmdGetFile(Editor& ed)
{
    GetFile(ed);
    return Redraw::Full;
}

Redraw CmdUnGet(Editor& ed)
{
    UnGet(ed);
    return Redraw::Full;
}

Redraw CmdEditOther(Editor& ed)
{
    EditOther(ed);
    return Redraw::Full;
}

}  // namespace lumo
