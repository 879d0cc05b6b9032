// Get file (insert a file after the cursor line) and its undo, Un-get.
#include <algorithm>

#include "editor/charmap.h"
#include "editor/codepage.h"
#include "editor/keptparts.h"
#include "files/fileinternal.h"
#include "files/linesource.h"
#include "editor/linestore.h"
#include "ui/render.h"
#include "files/recode.h"

namespace lumo {

namespace {

// A UTF-8 file with characters CP866 lacks goes into a UTF-8 text with the
// bytes that text gives them (the ones it has already, else spare ones that
// neither holds); into any other text, or when the bytes run out, as its
// bytes.
void GiveInsertedCharacters(Editor& ed, LineSource& source)
{
    if (ed.FileCodePage != CodePage::UTF8) {
        source.ReadAsBytes();
        return;
    }
    Utf8Extras extras;
    for (const auto& [c, unused] : source.extras()) {
        int b = TextByteFor(ed, c, &source.present());
        if (b < 0) {
            source.ReadAsBytes();
            return;
        }
        extras.emplace_back(c, static_cast<uint8_t>(b));
    }
    source.UseExtras(extras);
}

}  // namespace

void GetFile(Editor& ed)
{
    ForgetUnGet(ed);
    if (ed.SideFileName.empty()) ed.SideFileName = ed.FileName;
    std::string name = ed.SideFileName;
    TextFile file;
    OpenFileDialog(ed, name, file, OpenReadAsk);
    if (ed.OperationFailed != 0) return;
    ed.SideFileName = name;

    LineSource& source = *file.reader;
    if (!source.extras().empty()) GiveInsertedCharacters(ed, source);
    std::string line;
    int first = 0;
    int last = 0;
    while (source.Next(line)) {
        int at = (last != 0 ? last : std::min(ed.CurrentLine, ed.LineCount)) + 1;
        InsertLine(ed, std::max<int>(ed.LineCapacity, static_cast<int>(line.size())), at);
        // A refused line stops the insertion before anything is stored.
        if (ed.OperationFailed != 0) break;
        SetLine(ed, line, at);
        // The line keeps its trailing blanks and its part beyond 255 as read.
        KeepReadLine(ed, at, line, source.rest());
        if (first == 0) first = at;
        last = at;
    }
    if (source.error()) ShowMessage(ed, " Read error: the file was not inserted whole.", 1);
    if (source.cut()) ShowMessage(ed, LinesGoOnMessage, 1);
    const Utf8Kind kind = source.kind();
    file.Close();
    ed.OperationFailed = 0;
    if (last == 0) return;
    ed.Modified = true;
    ed.UnGetFirst = first;
    ed.UnGetLast = last;
    if (kind == Utf8Kind::Unmappable) ShowMessage(ed, Utf8UnmappableMessage, 1);
    else if (kind == Utf8Kind::Bytes && ed.CodePageDetect) RecodePrompt(ed, first, last, false);
}

void UnGet(Editor& ed)
{
    int first = ed.UnGetFirst;
    int last = std::min(ed.UnGetLast, ed.LineCount);
    ForgetUnGet(ed);
    if (first < 1 || last < first) return;
    for (int i = first; i <= last; ++i) {
        int at = first;
        DeleteLine(ed, at);
    }
    ed.Modified = true;
}

void ForgetUnGet(Editor& ed)
{
    ed.UnGetFirst = 0;
    ed.UnGetLast = 0;
}

}  // namespace lumo
