// The message line's note on a line that went on beyond 255 characters.
#include "editor/keptparts.h"
#include "ui/render.h"

namespace lumo {

namespace {

const char* const GoesOnNote = " Line goes on beyond column 255: its end is kept and saved while unchanged.";
const char* const CutChangedNote = " Line cut at column 255 and changed: it cannot be saved over its file.";

}  // namespace

void DrawCutLineNote(Editor& ed)
{
    const int n = ed.CurrentLine;
    const bool goesOn = LineGoesOn(ed, n);
    if (goesOn || CutLineChanged(ed, n)) {
        ShowMessage(ed, goesOn ? GoesOnNote : CutChangedNote, 0);
        ed.CutNoteShown = true;
    } else if (ed.CutNoteShown) {
        ed.CutNoteShown = false;
        DrawMessageLine(ed);
    }
}

}  // namespace lumo
