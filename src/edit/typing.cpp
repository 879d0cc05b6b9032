#include "edit/typing.h"

#include "console/cp866.h"
#include "editor/charmap.h"
#include "editor/codepage.h"
#include "edit/lineedit.h"
#include "edit/movement.h"
#include "editor/linestore.h"
#include "ui/render.h"

namespace lumo {

namespace {

constexpr uint8_t VerticalBar = 0xB3;  // │

// Shift with a digit or "." in drawing mode: box-drawing characters laid out
// like the numeric keypad.
uint8_t DrawingChar(uint8_t c)
{
    switch (c) {
        case '7': return 0xDA;
        case '8': return 0xC2;
        case '9': return 0xBF;
        case '4': return 0xC3;
        case '5': return 0xC5;
        case '6': return 0xB4;
        case '1': return 0xC0;
        case '2': return 0xC1;
        case '3': return 0xD9;
        case '0': return 0xC4;
        case '.': return VerticalBar;
        default: return c;  // "/" and "-" stay
    }
}

}  // namespace

Redraw TypeKeyChar(Editor& ed, uint8_t ch)
{
    // A line end is never text: saved, it would split the line.
    if (ch == 0x0A || ch == 0x0D) return Redraw::Status;
    if ((ed.KeyShift & 3) && ed.DrawingMode && ch >= 0x2E && ch <= 0x39) {
        const uint8_t box = DrawingChar(ch);
        if (box != ch) {
            const int b = DrawingByte(ed, box);
            return b < 0 ? Redraw::Status : TypeCharacter(ed, static_cast<uint8_t>(b));
        }
    }
    if (ed.RusMode) ch = RusKey(ch);
    return TypeCharacter(ed, ch);
}

Redraw TypeCharacter(Editor& ed, uint8_t ch)
{
    ed.CompletionCount = 0;
    const int column = ed.CurrentColumn;
    bool stored = TypeChar(ed, ch);
    // A character the 255-character limit keeps out is refused where the
    // user sees it, not dropped without a word.
    if (!stored && ed.CurrentLine >= 1 && ed.CurrentLine <= ed.LineCount &&
        (column > MaxText || TrimmedLength(GetLine(ed, ed.CurrentLine)) >= MaxText))
        ShowMessage(ed, " The line would pass 255 characters: not typed.", 1);
    // The character, not the byte: in a UTF-8 text the bar's byte may stand
    // for another character, and the bar may have another byte.
    if (ed.DrawingMode && TextCharOf(ed, ch) == Cp866TextChar(VerticalBar)) {
        // A vertical line is drawn downwards: back under the bar, then down.
        if (stored && ed.CurrentColumn > 1) --ed.CurrentColumn;
        ed.KeyShift = 0;
        ed.RawKeyShift = 0;
        return CmdDown(ed);
    }
    return Redraw::Window;
}

int DrawingByte(Editor& ed, uint8_t box)
{
    if (ed.FileCodePage != CodePage::UTF8) return box;
    return TextByteFor(ed, Cp866TextChar(box));
}

}  // namespace lumo
