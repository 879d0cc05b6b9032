// The clipboard file on any bytes, pasted (Ctrl+V) into a text with the
// cursor, and a marked line block or box, where the input says: the text
// stays within its limits, and a paste that is refused changes nothing.
//
// Input: eight bytes of choices, then the file.
//   0: lines in the text (1..40); 1: their lengths; 2, 3: cursor line and
//   column; 4: what is marked (none, a line block, a box); 5-8: its corners.
#include "edit/blocks.h"
#include "files/clipboard.h"
#include "fuzz_support.h"
#include "ui/render.h"

using namespace lumo;

namespace {

std::vector<std::string> Lines(const Editor& ed)
{
    std::vector<std::string> lines;
    for (int n = 1; n <= ed.LineCount; ++n) lines.emplace_back(LineText(ed, n));
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Input in(data, size);
    uint8_t c[9];
    for (uint8_t& b : c) b = in.Byte();
    fuzz::Scratch scratch;
    fuzz::Session s;
    Editor& ed = s.ed;
    fuzz::WriteBytes(ed.ClipboardFile, in.Rest());

    const int count = 1 + c[0] % 40;
    for (int n = 1; n <= count; ++n)
        FUZZ_CHECK(AppendLoadedLine(ed, std::string((n * c[1]) % 256, static_cast<char>('a' + n % 26))), "the text does not fit");
    ed.CurrentLine = 1 + c[2] % count;
    ed.CurrentColumn = 1 + c[3];
    auto lineIn = [&](uint8_t b) { return 1 + b % count; };
    switch (c[4] % 3) {
    case 1:
        ed.LineBlockFirst = lineIn(c[5]);
        ed.LineBlockLast = std::max(ed.LineBlockFirst, lineIn(c[6]));
        break;
    case 2:
        ed.BoxFirstLine = lineIn(c[5]);
        ed.BoxLastLine = std::max(ed.BoxFirstLine, lineIn(c[6]));
        ed.BoxFirstColumn = 1 + c[7] % MaxText;
        ed.BoxLastColumn = std::max(ed.BoxFirstColumn, 1 + c[8] % MaxText);
        break;
    default: break;
    }
    fuzz::CheckEditor(ed);

    const std::vector<std::string> before = Lines(ed);
    PasteClipboard(ed);
    if (ed.OperationFailed != 0) FUZZ_CHECK(Lines(ed) == before, "a refused paste changed the text");
    fuzz::CheckEditor(ed);
    RedrawCycle(ed, Redraw::Full);

    bool ok = false;
    const std::string line = ReadClipboardLine(ed, ok);
    FUZZ_CHECK(line.size() <= MaxText, "a clipboard line of " + std::to_string(line.size()) + " characters");
    return 0;
}
