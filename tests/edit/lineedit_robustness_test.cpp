// Every editing and movement command, from every cursor column, on lines
// that are full, empty, short or full of control bytes and colour marks:
// nothing may pass 255 characters, no line may be lost, the cursor stays
// inside the text and the window, and (under the sanitizer build) nothing is
// read or written outside a record.
#include "edit/lineedit_test_fixture.h"
#include "edit/movement.h"

namespace lumo {
namespace {

using Command = Redraw (*)(Editor&);

Redraw TypeX(Editor& ed) { TypeChar(ed, 'x'); return Redraw::Window; }
Redraw TypeBlank(Editor& ed) { TypeChar(ed, ' '); return Redraw::Window; }
Redraw TypeTab(Editor& ed) { TypeChar(ed, '\t'); return Redraw::Window; }
Redraw TypeNul(Editor& ed) { TypeChar(ed, 0); return Redraw::Window; }
Redraw TypeHigh(Editor& ed) { TypeChar(ed, 0xFF); return Redraw::Window; }
Redraw TypeMark(Editor& ed) { TypeString(ed, "\x03\x01"); return Redraw::Window; }
Redraw TypeLineColour(Editor& ed) { TypeString(ed, "\x0E\x01\t"); return Redraw::Window; }
Redraw TypeWords(Editor& ed) { TypeString(ed, "ab cd, ef-gh 12. ij"); return Redraw::Window; }
Redraw Words(Editor& ed)
{
    for (int mode = 0; mode <= 2; ++mode) {
        const std::string word = WordAtCursor(ed, mode);
        if (word.size() > 255) ADD_FAILURE() << "word of " << word.size();
    }
    return Redraw::Window;
}

struct Case {
    const char* name;
    Command command;
    KeyEvent key;           // the key bytes the command sees (Shift variants)
    const char* input;      // keys a prompt reads, then Enter
};

constexpr KeyEvent Plain = 0;
constexpr KeyEvent Shift = 0x00020000;

const Case Cases[] = {
    {"type x", TypeX, Plain, nullptr},
    {"type blank", TypeBlank, Plain, nullptr},
    {"type TAB", TypeTab, Plain, nullptr},
    {"type NUL", TypeNul, Plain, nullptr},
    {"type FF", TypeHigh, Plain, nullptr},
    {"colour mark", TypeMark, Plain, nullptr},
    {"line colour", TypeLineColour, Plain, nullptr},
    {"type words", TypeWords, Plain, nullptr},
    {"word at cursor", Words, Plain, nullptr},
    {"Ins", CmdInsertToggle, Plain, nullptr},
    {"Shift+Enter", CmdWrapToggle, Plain, nullptr},
    {"Del", CmdDel, Plain, nullptr},
    {"Backspace", CmdBackspace, Plain, nullptr},
    {"F3", CmdAddEmptyLine, Plain, nullptr},
    {"F8", CmdDuplicateLine, Plain, nullptr},
    {"Alt+S", CmdSplitLine, Plain, nullptr},
    {"Alt+J", CmdJoinLines, Plain, nullptr},
    {"Ctrl+Y", CmdDeleteLine, Plain, nullptr},
    {"Alt+W", CmdDeleteWord, Plain, nullptr},
    {"Ctrl+BkSpace", CmdDeleteWordLeft, Plain, nullptr},
    {"Ctrl+K", CmdDeleteToEnd, Plain, nullptr},
    {"Shift+F10", CmdRestoreLine, Plain, nullptr},
    {"Alt+R", CmdNextChangedLine, Plain, nullptr},
    {"Alt+BackSpace", CmdCancelLastChange, Plain, nullptr},
    {"Left", CmdLeft, Plain, nullptr},
    {"Right", CmdRight, Plain, nullptr},
    {"Shift+Left", CmdLeft, Shift, nullptr},
    {"Shift+Right", CmdRight, Shift, nullptr},
    {"Up", CmdUp, Plain, nullptr},
    {"Down", CmdDown, Plain, nullptr},
    {"Shift+Up", CmdUp, Shift, nullptr},
    {"Shift+Down", CmdDown, Shift, nullptr},
    {"Home", CmdHome, Plain, nullptr},
    {"End", CmdEnd, Plain, nullptr},
    {"Tab", CmdTab, Plain, nullptr},
    {"Shift+Tab", CmdShiftTab, Plain, nullptr},
    {"Enter", CmdEnter, Plain, nullptr},
    {"keypad Enter", CmdKeypadEnter, Plain, nullptr},
    {"PgUp", CmdPageUp, Plain, nullptr},
    {"PgDn", CmdPageDown, Plain, nullptr},
    {"Word<", CmdWordLeft, Plain, nullptr},
    {"Word>", CmdWordRight, Plain, nullptr},
    {"Ctrl+Shift+Left", CmdWordLeft, Shift, nullptr},
    {"Ctrl+Shift+Right", CmdWordRight, Shift, nullptr},
    {"Alt+Left", CmdAltWordLeft, Plain, nullptr},
    {"Alt+Right", CmdAltWordRight, Plain, nullptr},
    {"Alt+Up", CmdUp4, Plain, nullptr},
    {"Alt+Down", CmdDown4, Plain, nullptr},
    {"Alt+Shift+Down", CmdDown4, Shift, nullptr},
    {"Ctrl+Up", CmdUp8, Plain, nullptr},
    {"Ctrl+Down", CmdDown8, Plain, nullptr},
    {"Scr.top", CmdScreenTop, Plain, nullptr},
    {"Scr.bottom", CmdScreenBottom, Plain, nullptr},
    {"^Tab", CmdScreenTopBottom, Plain, nullptr},
    {"F5", CmdLineToTop, Plain, nullptr},
    {"Ctrl+Home", CmdFileTopScreen, Plain, nullptr},
    {"Ctrl+End", CmdFileBottom, Plain, nullptr},
    {"F4 2", CmdLineByNumber, Plain, "2"},
    {"F4 99999", CmdLineByNumber, Plain, "99999"},
    {"Ctrl+PgUp", CmdScrollTextUp, Plain, nullptr},
    {"Ctrl+PgDn", CmdScrollTextDown, Plain, nullptr},
};

struct RobustnessTest : TextFixture, ::testing::WithParamInterface<int> {
    std::string Dump() const
    {
        std::string all;
        for (int n = 1; n <= ed.LineCount; ++n) all += "[" + Text(n) + "]\n";
        return all;
    }
};

TEST_P(RobustnessTest, NoCommandBreaksTheLineLimits)
{
    const std::string contents[] = {
        std::string(255, 'w'),
        std::string(254, 'w') + "\t",
        "ab\x01\x05\tcd\x02\t",
        std::string(120, '.') + " " + std::string(134, ','),
        "a b c d e f g h i j k l m n o p q r s t u v w x y z",
        "",
        std::string(250, 'q') + "\x03\x01\t",
        "3. " + std::string(60, 'z') + " \x1F\x1A",
    };
    const int capacities[] = {255, 255, 12, 255, 60, 0, 255, 80};
    const Case& c = Cases[GetParam()];
    SCOPED_TRACE(c.name);
    for (int wrapOff = 0; wrapOff <= 1; ++wrapOff) {
        for (int insert = 0; insert <= 1; ++insert) {
            for (size_t k = 0; k < std::size(contents); ++k) {
                for (int column = 1; column <= 256; column += (column < 20 || column > 240) ? 1 : 7) {
                    // The empty third line keeps wraps (which make a new line
                    // in front of an empty one) away from the last line.
                    Load({contents[k], contents[(k + 1) % std::size(contents)], "", "tail"}, capacities[k]);
                    ed.FormatWidth = 40;
                    ed.TabStops[1] = 1 + static_cast<int>(k % 3);
                    ed.FillCell = wrapOff ? (ed.FillCell | WrapOff) : (ed.FillCell & ~WrapOff);
                    ed.InsertMode = insert;
                    At(1 + static_cast<int>(k % 2), column);
                    ed.LineBlockFirst = ed.LineBlockLast = 0;
                    ed.BoxFirstLine = ed.BoxLastLine = ed.BoxFirstColumn = ed.BoxLastColumn = 0;
                    con.keys.clear();
                    if (c.input) {
                        con.Type(c.input);
                        con.Push(0x00001C0D);
                    }
                    const int before = ed.LineCount;
                    Run(c.command, c.key);
                    SCOPED_TRACE("line " + std::to_string(k) + " column " + std::to_string(column));
                    ASSERT_GE(ed.LineCount, before - 1);
                    ASSERT_LE(ed.LineCount, before + 4);  // a typed string may wrap more than once
                    ASSERT_GE(ed.CurrentLine, 1);
                    ASSERT_LE(ed.CurrentLine, ed.LineCount);
                    ASSERT_GE(ed.CurrentColumn, 1);
                    ASSERT_LE(ed.CurrentColumn, 256);
                    ASSERT_GE(ed.TopLine, 1);
                    ASSERT_LE(ed.TopLine, ed.LineCount);
                    for (int n = 1; n <= ed.LineCount; ++n) ASSERT_LE(GetLine(ed, n).size(), 255u);
                    ASSERT_EQ(Text(ed.LineCount), "tail") << Dump();
                    // The block marks name lines of the text.
                    ASSERT_LE(ed.LineBlockLast, ed.LineCount);
                    ASSERT_LE(ed.BoxLastLine, ed.LineCount);
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryCommand, RobustnessTest,
                         ::testing::Range(0, static_cast<int>(std::size(Cases))));

}  // namespace
}  // namespace lumo
