// Recoding: the prompt that offers to reinterpret a freshly loaded (or
// inserted) text as Windows-1251 or KOI8-R, and the Recode command.
#include <algorithm>

#include "files/recode.h"

#include "editor/charmap.h"
#include "editor/codepage.h"
#include "editor/keptparts.h"
#include "editor/linestore.h"
#include "files/fileio.h"
#include "ui/choice.h"
#include "ui/render.h"

namespace lumo {

namespace {

using Conversion = uint8_t (*)(uint8_t);

// The two direct changes between the non-DOS pages: the text becomes what
// it would have been had the file been loaded under the other page, so the
// file's bytes are still written back unchanged.
uint8_t Koi8ToAnsiText(uint8_t c) { return FromAnsi(ToKoi8(c)); }
uint8_t AnsiToKoi8Text(uint8_t c) { return FromKoi8(ToAnsi(c)); }

// Converts every stored character of lines first..last (the blanks that fill
// a record included, which no conversion changes).
void ConvertLines(Editor& ed, int first, int last, Conversion convert, bool justRead = false)
{
    first = std::max(first, 1);
    last = std::min(last, ed.LineCount);
    if (justRead) {
        // Lines just read are reinterpreted, not changed: they keep what
        // lets them be saved as read (in the new code page too).
        uint8_t table[256];
        for (int c = 0; c < 256; ++c) table[c] = convert(static_cast<uint8_t>(c));
        for (int n = first; n <= last; ++n) ReinterpretReadLine(ed, n, table);
        if (ed.CurrentLine >= first && ed.CurrentLine <= last) ed.LineEdited = false;
        return;
    }
    for (int n = first; n <= last; ++n) {
        std::string record = GetLine(ed, n);
        bool changed = false;
        for (char& ch : record) {
            uint8_t c = static_cast<uint8_t>(ch);
            uint8_t d = convert(c);
            if (d != c) {
                ch = static_cast<char>(d);
                changed = true;
            }
        }
        if (changed) SetLine(ed, record, n);
    }
    // A restore of the current line would bring back its text as it was
    // before the recoding, in the wrong code page.
    if (ed.CurrentLine >= first && ed.CurrentLine <= last) ed.LineEdited = false;
}

const char* const RecodeFromAsciiMenu =
    "  Recode from: | 1 - ANSI | 2 - koi8-r | 3 or Esc - not to change |";
const char* const RecodeFromKoi8Menu =
    "  Recode from: | 1 - ANSI | 2 - ASCII | 3 or Esc - not to change |";
const char* const RecodeFromAnsiMenu =
    "  Recode from: | 1 - ASCII | 2 - koi8-r | 3 or Esc - not to change |";
const char* const Utf8RecodeRefusedMessage =
    " This UTF-8 text holds characters other pages lack: recode a line block instead.";
const char* const SaveFirstQuestion =
    " No line block marked - all file! To save it? |1 - yes|2 - no|3 - not to change|";

int Ask(Editor& ed, const std::string& items)
{
    ed.MenuCursor = 1;
    ShowChoice(ed, items);
    return ed.ChoiceResult;
}

}  // namespace

void RecodePrompt(Editor& ed, int first, int last, bool whole)
{
    first = std::max(first, 1);
    last = std::min(last, ed.LineCount);
    if (first > last) return;

    long count = 0;
    long sum = 0;
    for (int n = first; n <= last; ++n) {
        for (char ch : GetLine(ed, n)) {
            uint8_t c = static_cast<uint8_t>(ch);
            if (c > 0x7F) {
                ++count;
                sum += c;
            }
        }
    }
    if (count < 20) return;
    long average = sum / count;
    // CP866 keeps its letters below 0xB0 and in 0xE0..0xF1; Windows-1251 and
    // KOI8-R keep theirs in 0xC0..0xFF.
    if (average < 200) return;

    int choice = Ask(ed, " X = " + std::to_string(average) + ":" + RecodeFromAsciiMenu);
    int lastConverted = whole ? ed.LineCount : last;
    CodePage page;
    if (choice == 1) {
        ConvertLines(ed, first, lastConverted, FromAnsi, true);
        page = CodePage::ANSI;
    } else if (choice == 2) {
        ConvertLines(ed, first, lastConverted, FromKoi8, true);
        page = CodePage::KOI8;
    } else {
        return;
    }
    if (whole && first == 1 && lastConverted == ed.LineCount) ed.FileCodePage = page;
}

Redraw CmdRecode(Editor& ed)
{
    bool block = ed.LineBlockFirst > 0 && ed.LineBlockLast >= ed.LineBlockFirst;
    int first = block ? ed.LineBlockFirst : 1;
    int last = block ? std::min(ed.LineBlockLast, ed.LineCount) : ed.LineCount;

    // The characters a UTF-8 text gave bytes of its own have no place in
    // another page: recoding the whole text would lose them.
    if (!block && ed.FileCodePage == CodePage::UTF8 && ed.TextMapExtended) {
        ShowMessage(ed, Utf8RecodeRefusedMessage, 1);
        return Redraw::Window;
    }
    if (!block && ed.Modified) {
        int answer = Ask(ed, SaveFirstQuestion);
        if (answer == 3) return Redraw::Window;
        if (answer == 1) {
            // The user asked for the text on disk first; when that did not
            // happen (refused, cancelled, write error) nothing is recoded.
            SaveFile(ed);
            if (ed.OperationFailed != 0) return Redraw::Window;
        }
    }

    CodePage from = ed.FileCodePage;
    const char* menu = from == CodePage::KOI8   ? RecodeFromKoi8Menu
                       : from == CodePage::ANSI ? RecodeFromAnsiMenu
                                                : RecodeFromAsciiMenu;  // ASCII and UTF-8
    int choice = Ask(ed, menu);
    if (choice != 1 && choice != 2) return Redraw::Window;
    // What each answer means, by the page the text is now held as.
    struct Recode {
        Conversion convert;
        CodePage to;
    };
    static const Recode fromKoi8[2] = {{Koi8ToAnsiText, CodePage::ANSI}, {ToKoi8, CodePage::ASCII}};
    static const Recode fromAnsi[2] = {{ToAnsi, CodePage::ASCII}, {AnsiToKoi8Text, CodePage::KOI8}};
    static const Recode fromAscii[2] = {{FromAnsi, CodePage::ANSI}, {FromKoi8, CodePage::KOI8}};
    const Recode& r = (from == CodePage::KOI8   ? fromKoi8
                       : from == CodePage::ANSI ? fromAnsi
                                                : fromAscii)[choice - 1];
    ConvertLines(ed, first, last, r.convert);
    if (block) {
        ed.Modified = true;
    } else {
        // The bytes a save writes stay the file's bytes, except for a UTF-8
        // file, which would now be written in another page.
        if (from == CodePage::UTF8) ed.Modified = true;
        ed.FileCodePage = r.to;
        UseCodePageMap(ed, r.to);
    }
    return Redraw::Window;
}

}  // namespace lumo
