// Change by file. The pairs file is chosen with the file dialog (its name
// is kept for the next use) and read as loading reads a file: lines cut at
// 255 characters, a UTF-8 file that CP866 can hold converted. It is read
// once, a pair at a time, while the replace loop runs the pairs one after
// another over the same scope.
#include "files/changebyfile.h"

#include <memory>

#include "edit/search.h"
#include "files/fileio.h"
#include "files/linesource.h"
#include "ui/render.h"

namespace lumo {

Redraw CmdChangeByFile(Editor& ed)
{
    const bool evenToOdd = (ed.KeyShift & 3) != 0;
    ed.ReplaceCase = 0;  // asked at the first text with a lower-case letter, then kept for all pairs
    std::string name = ed.PairsFileName;
    TextFile file;
    OpenFileDialog(ed, name, file, OpenReadAsk);
    if (ed.OperationFailed != 0 || !file.reader) return Redraw::Full;
    ed.PairsFileName = name;

    std::shared_ptr<LineSource> source(std::move(file.reader));
    ed.NextPair = [source, evenToOdd](Editor& e) {
        std::string first;
        std::string second;
        if (!source->Next(first)) {
            if (source->error()) ShowMessage(e, " Read error: the rest of the pairs file was not read.", 1);
            return 0;
        }
        if (!source->Next(second)) return source->error() ? 0 : 2;
        e.FindString = evenToOdd ? second : first;
        e.ReplaceString = evenToOdd ? first : second;
        return 1;
    };
    const int got = ed.NextPair(ed);
    if (got == 1) return BeginReplace(ed);
    ed.NextPair = nullptr;
    if (got == 2) ShowMessage(ed, "Odd number of strings in file!", 1);
    return Redraw::Full;
}

}  // namespace lumo
