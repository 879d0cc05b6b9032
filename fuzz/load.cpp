// The start-up load on any file, through the real path (a file on disk, the
// UTF-8 judgement, the recode prompt answered as the input says): the text
// stays within the limits, and a text that is the whole file, read without
// a lossy conversion, is saved back to the very same bytes, by the encoder
// and by F2, and with one line changed loads back as it was saved. Get file
// of the same file and Un-get leave the text as it was.
//
// Input: two bytes of choices, then the file.
//   byte 0: bits 0-1 the answer to the recode prompt (Esc, 1, 2, 3); bit 2
//           code-page detection on; bits 3-4 the name's extension (.txt,
//           .pas, .72, .7); bit 5 a tight memory budget; bit 6 a run of
//           bytes in front so that the file crosses the first read; bit 7
//           lines in front up to near the line limit; also Get file when
//           bits 6 and 7 are both clear.
//   byte 1: how much (budget, run length, lines short of the limit).
#include <fcntl.h>

#include <bit>

#include "editor/keptparts.h"
#include "files/fileio.h"
#include "files/linesource.h"
#include "files/utf8file.h"
#include "fuzz_support.h"
#include "ui/render.h"

using namespace lumo;

namespace {

// The line ends of a file: a bit for each kind met (LF, CR LF, CR).
int LineEndKinds(std::string_view bytes)
{
    int kinds = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') kinds |= 1;
        else if (bytes[i] == '\r') {
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                kinds |= 2;
                ++i;
            } else {
                kinds |= 4;
            }
        }
    }
    return kinds;
}

std::string FirstEnd(std::string_view bytes)
{
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') return "\n";
        if (bytes[i] == '\r') return i + 1 < bytes.size() && bytes[i + 1] == '\n' ? "\r\n" : "\r";
    }
    return "\n";
}

// The budget the line table itself takes, so that a tight budget leaves a
// known amount for the text.
size_t BaseCost()
{
    static const size_t cost = [] {
        fuzz::Session s;
        return s.ed.MemoryUsed;
    }();
    return cost;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Input in(data, size);
    const uint8_t choice = in.Byte();
    const uint8_t amount = in.Byte();
    std::string bytes = in.Rest();
    if (choice & 0x40) bytes.insert(0, LineSource::BufferSize - amount, 'a');
    if (choice & 0x80) {
        std::string lines;
        const std::string end = FirstEnd(bytes);
        for (int i = 0; i < MaxLines - amount % 16; ++i) lines += end;
        bytes.insert(0, lines);
    }
    static const char* const names[] = {"t.txt", "t.pas", "t.72", "t.7"};
    fuzz::Scratch scratch;
    const std::string& dir = scratch.dir;
    const std::string path = dir + names[(choice >> 3) & 3];
    fuzz::WriteBytes(path, bytes);

    const size_t budget = choice & 0x20 ? BaseCost() + 1024 + amount * 64u : DefaultMemoryBudget;
    const KeyEvent recodeAnswer = choice & 3 ? KeyEvent('0' + (choice & 3)) : fuzz::EscKey;
    fuzz::Session s(budget);
    Editor& ed = s.ed;
    ed.CodePageDetect = choice & 4;
    s.con.Push(recodeAnswer);
    ed.FileName = path;
    if (!LoadFile(ed)) return 0;  // too large for the budget: the editor ends
    s.con.keys.clear();

    const bool whole = ed.IncompleteFile.empty() && ed.MemoryShortWidth == 0;
    if (whole) FUZZ_CHECK(ed.LineCount <= MaxLines, "more lines than the limit");
    // A file given back unchanged: only where the text holds all of it and
    // every line ended the same way (the text keeps one line end).
    if (whole && ed.LineCount > 0 && std::popcount(unsigned(LineEndKinds(bytes))) <= 1) {
        std::string expected = bytes;
        if (ed.Utf8Bom) {
            FUZZ_CHECK(expected.compare(0, Utf8Bom.size(), Utf8Bom) == 0, "a byte-order mark the file lacks");
            expected.erase(0, Utf8Bom.size());
        }
        FUZZ_CHECK(EncodeLines(ed, 1, ed.LineCount, SaveAsIs) == expected, "the encoder does not give back the file");
        ed.Modified = true;
        SaveFile(ed);
        FUZZ_CHECK(ed.OperationFailed == 0, "F2 failed on an unchanged text");
        FUZZ_CHECK(fuzz::ReadBytes(path) == bytes, "F2 does not give back the file");
    }

    if (whole && ed.CodePageDetect && !(choice & 3)) {
        // The judgement made along the load and the one made by reading the
        // file through first agree, line for line.
        LineSource first(open(path.c_str(), O_RDONLY | O_CLOEXEC), LineSource::Detection::First);
        FUZZ_CHECK(first.converting() == (ed.FileCodePage == CodePage::UTF8), "the two UTF-8 judgements differ");
        std::string line;
        int n = 0;
        while (first.Next(line)) {
            ++n;
            line.erase(line.find_last_not_of(' ') + 1);
            FUZZ_CHECK(n <= ed.LineCount && line == LineText(ed, n), "line " + std::to_string(n) + " differs between the two judgements");
        }
        FUZZ_CHECK(n == ed.LineCount, "the two judgements give " + std::to_string(n) + " and " + std::to_string(ed.LineCount) + " lines");
    }

    // One line changed and saved: loading the file again gives the text as
    // it stood, the changed line without its trailing blanks and NULs.
    if (whole && ed.LineCount > 0 && std::popcount(unsigned(LineEndKinds(bytes))) <= 1) {
        const int n = 1 + amount % ed.LineCount;
        std::string changed = "Z" + std::string(LineText(ed, n));
        if (!LineGoesOn(ed, n) && changed.size() <= MaxText) {
            std::vector<std::string> want;
            for (int k = 1; k <= ed.LineCount; ++k) want.emplace_back(LineText(ed, k));
            BeginLineChange(ed, n);
            SetLine(ed, changed, n);
            changed.erase(changed.find_last_not_of(std::string(" \0", 2)) + 1);
            want[n - 1] = changed;
            ed.Modified = true;
            SaveFile(ed);
            FUZZ_CHECK(ed.OperationFailed == 0, "F2 failed on a changed text");
            fuzz::Session again(budget);
            again.ed.CodePageDetect = ed.CodePageDetect;
            again.con.Push(recodeAnswer);
            again.ed.FileName = path;
            FUZZ_CHECK(LoadFile(again.ed), "the saved text does not load");
            FUZZ_CHECK(again.ed.LineCount == static_cast<int>(want.size()), "the saved text loads with " + std::to_string(again.ed.LineCount) + " lines of " + std::to_string(want.size()));
            for (int k = 1; k <= again.ed.LineCount; ++k)
                FUZZ_CHECK(LineText(again.ed, k) == want[k - 1], "line " + std::to_string(k) + " of the saved text loads otherwise");
        }
    }

    if (ed.LineCount == 0) {
        int at = 1;
        InsertLine(ed, ed.LineCapacity, at);
    }
    fuzz::CheckEditor(ed);
    RedrawCycle(ed, Redraw::Full);

    if ((choice & 0xC0) == 0 && ed.LineCount < MaxLines) {
        // Get file of the same file after a line the input chooses, then Un-get.
        ed.CurrentLine = 1 + amount % ed.LineCount;
        const std::string before = EncodeLines(ed, 1, ed.LineCount, SaveAsIs);
        const int count = ed.LineCount;
        s.con.Push(fuzz::EnterKey);
        s.con.Push(recodeAnswer);
        GetFile(ed);
        s.con.keys.clear();
        fuzz::CheckEditor(ed);
        RedrawCycle(ed, Redraw::Full);
        if (ed.UnGetFirst != 0) {
            UnGet(ed);
            FUZZ_CHECK(ed.LineCount == count, "Un-get left " + std::to_string(ed.LineCount) + " lines of " + std::to_string(count));
            // A recode of the inserted lines may have changed the page's map
            // only; the lines read before are the same bytes.
            FUZZ_CHECK(EncodeLines(ed, 1, ed.LineCount, SaveAsIs) == before, "Get file and Un-get changed the text");
        }
        fuzz::CheckEditor(ed);
    }
    return 0;
}
