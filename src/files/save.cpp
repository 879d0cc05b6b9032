// Saving: lines to an opened file, the whole text to its file (F2, Quit,
// the automatic save) and the brace copies.
#include <algorithm>
#include <optional>

#include "editor/charmap.h"
#include "editor/codepage.h"
#include "editor/keptparts.h"
#include "files/fileinternal.h"
#include "files/filepaths.h"
#include "files/safewrite.h"
#include "files/statedir.h"
#include "files/utf8file.h"
#include "editor/linestore.h"
#include "ui/render.h"

namespace lumo {

namespace {

constexpr int LinesPerBatch = 1024;

void AppendLine(const Editor& ed, std::string& out, std::string_view text, std::string_view kept, int mode,
                bool lineEnd, const Utf8Encoding* utf8)
{
    // Trailing blanks and NULs are never written; colour codes are text.
    size_t n = text.size();
    while (n > 0 && (text[n - 1] == ' ' || text[n - 1] == '\0')) --n;
    text = text.substr(0, n);

    std::string changed;
    if (!kept.empty() && mode == SaveAsIs) {
        // An untouched line goes back as it was read.
        changed.reserve(text.size() + kept.size());
        changed.assign(text);
        changed += kept;
        text = changed;
    } else if (mode == SaveControlBlank) {
        changed.assign(text);
        for (char& c : changed)
            if (static_cast<unsigned char>(c) < 32) c = ' ';
        text = changed;
    } else if (mode == SaveControlCode) {
        for (char c : text) {
            auto b = static_cast<unsigned char>(c);
            if (b < 32) changed += '#' + std::to_string(b);
            else changed += c;
        }
        if (changed.size() > static_cast<size_t>(MaxText)) changed.resize(MaxText);
        text = changed;
    }

    const size_t start = out.size();
    switch (ed.FileCodePage) {
    case CodePage::ANSI:
        out += text;
        for (size_t i = start; i < out.size(); ++i) out[i] = static_cast<char>(ToAnsi(static_cast<uint8_t>(out[i])));
        break;
    case CodePage::KOI8:
        out += text;
        for (size_t i = start; i < out.size(); ++i) out[i] = static_cast<char>(ToKoi8(static_cast<uint8_t>(out[i])));
        break;
    case CodePage::UTF8:
        utf8->Append(out, text);
        break;
    case CodePage::ASCII:
        out += text;
        break;
    }
    if (lineEnd) out += ed.LineEnd;
}

// Writes the text (once the name is known and the file may be replaced).
// True when it is on disk.
bool WriteWholeText(Editor& ed, const std::string& name)
{
    TextFile file;
    WriteOpen opened = OpenForWriting(ed, name, file, false);
    if (opened != WriteOpen::Opened) {
        if (opened == WriteOpen::Failed) ShowMessage(ed, WriteErrorMessage, 1);
        ed.OperationFailed = 1;
        return false;
    }
    SaveLines(ed, 1, ed.LineCount, file, SaveAsIs);
    return ed.OperationFailed == 0;
}

}  // namespace

std::string EncodeLines(const Editor& ed, int first, int last, int mode)
{
    std::string out;
    first = std::max(first, 1);
    last = std::min(last, ed.LineCount);
    // A UTF-8 file is written through the text's character map.
    std::optional<Utf8Encoding> utf8;
    if (ed.FileCodePage == CodePage::UTF8) {
        utf8.emplace(SavingMap(ed));
        out.reserve(static_cast<size_t>(std::max(last - first + 1, 0)) * 160);
    }
    const Utf8Encoding* encoding = utf8 ? &*utf8 : nullptr;
    for (int i = first; i <= last; ++i)
        AppendLine(ed, out, LineText(ed, i), KeptPart(ed, i), mode, ed.FinalLineEnd || i < ed.LineCount, encoding);
    return out;
}

void SaveLines(Editor& ed, int first, int last, TextFile& file, int mode)
{
    if (!file.writer) {
        ShowMessage(ed, WriteErrorMessage, 1);
        ed.OperationFailed = 1;
        return;
    }
    ShowMessage(ed, " Saving ", 0);
    if (ed.FileCodePage == CodePage::UTF8 && ed.Utf8Bom && !file.writer->appending())
        file.writer->Write(Utf8Bom);
    if (file.writer->appending() && file.writer->endsInOpenLine()) file.writer->Write(ed.LineEnd);
    first = std::max(first, 1);
    last = std::min(last, ed.LineCount);
    for (int i = first; i <= last; i += LinesPerBatch)
        file.writer->Write(EncodeLines(ed, i, std::min(last, i + LinesPerBatch - 1), mode));
    bool ok = file.writer->Commit();
    // A failed write that still changed the edited file (a sync after the
    // rename, an in-place write undone) left the editor's own text there,
    // new or old: the next save must not take it for another program's.
    if (!ok && file.writer->touchedTarget() && SameFile(file.writer->target(), ed.FileName)) RememberFileStamp(ed);
    file.Close();
    ed.OperationFailed = ok ? 0 : 1;
    if (!ok) ShowMessage(ed, WriteErrorMessage, 1);
    DrawMessageLine(ed);
}

void SaveFile(Editor& ed)
{
    ed.OperationFailed = 0;
    bool ask = ed.FileName.empty();
    if (ed.Modified || ask) {
        std::string name = ed.FileName;
        for (;;) {
            if (ask) {
                TextFile file;
                FileDialog(ed, name, file, OpenWriteAsk, false);
                if (ed.OperationFailed != 0) {
                    ed.OperationFailed = 1;
                    return;
                }
                SaveLines(ed, 1, ed.LineCount, file, SaveAsIs);
                // The text is edited under the name it went to.
                if (ed.OperationFailed == 0) ed.FileName = name;
            } else {
                // Another program's text is not written over unasked.
                if (!MaySaveOverChangedFile(ed)) {
                    ed.OperationFailed = 1;
                    return;
                }
                WriteWholeText(ed, ed.FileName);
            }
            if (ed.OperationFailed == 0) {
                RememberFileStamp(ed);
                break;
            }
            // Another name, then: the text can still go somewhere. The key
            // that ended the message is not the name's first character.
            DropMessageKey(ed);
            ask = true;
        }
        ed.Modified = false;
        ed.LineEdited = false;
    }
    WriteBraceCopies(ed);
    ed.OperationFailed = 0;
}

void AutoSave(Editor& ed)
{
    // Never a prompt: the user is typing and did not ask for one.
    if (ed.FileName.empty()) {
        ShowMessage(ed, " Automatic save skipped: the text has no file name.", 1);
        return;
    }
    if (ed.Modified) {
        // Never over another program's text, never a question: the text
        // goes to an emergency save file instead.
        if (AutoSaveCopyOfChangedFile(ed)) return;
        if (!WriteWholeText(ed, ed.FileName)) return;
        RememberFileStamp(ed);
        ed.Modified = false;
        ed.LineEdited = false;
    }
    WriteBraceCopies(ed);
    ed.OperationFailed = 0;
}

void WriteBraceCopies(Editor& ed)
{
    std::string dir = DirectoryPart(ed.FileName);
    std::string base = BaseName(ed.FileName);
    const struct {
        char brace;
        int mode;
    } copies[] = {{'{', SaveControlBlank}, {'}', SaveControlCode}};
    for (const auto& copy : copies) {
        size_t at = base.find(copy.brace);
        if (at == std::string::npos) continue;
        std::string copyBase = base;
        copyBase.erase(at, 1);
        if (copyBase.empty()) continue;
        std::string target = dir + copyBase;
        if (SameFile(target, ed.FileName)) continue;
        WriteToOther(ed, copy.mode, target);
    }
}

}  // namespace lumo
