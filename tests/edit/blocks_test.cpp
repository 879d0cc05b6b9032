// Block marking and the block commands over line blocks and boxes: the
// text and the marks each leaves, the refusals that change nothing.
#include <string>
#include <vector>

#include "blocks_fixture.h"
#include "edit/lineedit.h"
#include "edit/movement.h"
#include "edit/textconvert.h"

namespace lumo {
namespace {

constexpr KeyEvent AltC = 0x03082E00, AltK = 0x03082500, AltZ = 0x03082C00, AltV = 0x03082F00;
constexpr KeyEvent ShiftDown = 0x0202FF27, ShiftUp = 0x0202FF21;

using BlockTest = BlockFixture;

TEST_F(BlockTest, LineBlockCopyAndMoveFollowTheCursor)
{
    struct Case {
        const char* name;
        bool move;
        KeyEvent key;
        int first, last, cursor;
        const char* text;
        const char* marks;
        const char* message;
    };
    const Case cases[] = {
        {"copy above keeps marks on the moved source", false, AltK, 2, 4, 1, "1|2|3|4|2|3|4|5|6", "L5-7", ""},
        {"copy on the block's last line goes below it", false, AltK, 2, 4, 4, "1|2|3|4|2|3|4|5|6", "L2-4", ""},
        {"copy below", false, AltC, 2, 4, 6, "1|2|3|4|5|6|2|3|4", "-", ""},
        {"copy on the first line overlaps", false, AltC, 2, 4, 2, "1|2|3|4|5|6", "L2-4", OverlapMessage},
        {"copy inside overlaps", false, AltC, 2, 4, 3, "1|2|3|4|5|6", "L2-4", OverlapMessage},
        {"move down", true, 0, 2, 4, 5, "1|5|2|3|4|6", "-", ""},
        {"move to the end", true, 0, 2, 4, 6, "1|5|6|2|3|4", "-", ""},
        {"move up", true, 0, 4, 5, 1, "1|4|5|2|3|6", "-", ""},
        {"move onto itself overlaps and deletes nothing", true, 0, 2, 4, 3, "1|2|3|4|5|6", "L2-4", OverlapMessage},
        {"move below its own last line", true, 0, 2, 4, 4, "1|2|3|4|5|6", "-", ""},
        {"move the whole text below itself", true, 0, 1, 6, 6, "1|2|3|4|5|6", "-", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadNumbers(6);
        con.shown.clear();
        Lines(c.first, c.last);
        At(c.cursor);
        Run(c.move ? CmdMoveBlock : CmdCopyBlock, c.key);
        EXPECT_EQ(Text(), c.text);
        EXPECT_EQ(Marks(), c.marks);
        EXPECT_EQ(LastMessage(), c.message);
        EXPECT_EQ(ed.OperationFailed, *c.message ? 1 : 0);
        EXPECT_EQ(ed.Modified, !*c.message);
    }
}

TEST_F(BlockTest, MovedLinesKeepTheCursorLineAndLoseTheirBookmarks)
{
    LoadNumbers(6);
    Lines(2, 3);
    ed.LineBookmarks[1] = 2;  // on a moved line: it goes, as with a delete
    ed.LineBookmarks[2] = 5;  // below: follows its line
    At(5);
    Run(CmdMoveBlock);
    EXPECT_EQ(Text(), "1|4|5|2|3|6");
    EXPECT_EQ(ed.CurrentLine, 3);  // still on "5"
    EXPECT_EQ(ed.LineBookmarks[1], 0);
    EXPECT_EQ(ed.LineBookmarks[2], 3);
}

TEST_F(BlockTest, MarkingSequences)
{
    struct Step {
        Redraw (*command)(Editor&);
        KeyEvent key;
        int line, column;  // where the cursor is first (0: as it stands)
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        const char* marks;
        int line;  // cursor line afterwards
    };
    const Case cases[] = {
        {"Shift+Down twice then Shift+Up", {{CmdDown, ShiftDown, 5, 1}, {CmdDown, ShiftDown, 0, 0}, {CmdUp, ShiftUp, 0, 0}}, "L5-6", 6},
        {"Shift+Up from below", {{CmdUp, ShiftUp, 5, 1}, {CmdUp, ShiftUp, 0, 0}}, "L3-5", 3},
        {"Alt+L twice", {{CmdMarkLineBlock, 0, 2, 1}, {CmdMarkLineBlock, 0, 7, 1}}, "L2-7", 7},
        {"Alt+L turns a box into lines", {{CmdMarkBoxCorner, 0, 2, 3}, {CmdMarkBoxCorner, 0, 4, 5}, {CmdMarkLineBlock, 0, 3, 1}}, "L2-4", 3},
        {"Alt+B with a line block extends it", {{CmdMarkLineBlock, 0, 2, 1}, {CmdMarkBoxCorner, 0, 6, 4}}, "L2-6", 6},
        {"Alt+B corners in any order", {{CmdMarkBoxCorner, 0, 4, 6}, {CmdMarkBoxCorner, 0, 2, 2}}, "B2-4/2-6", 2},
        {"Alt+V takes the word and the blank after it", {{CmdBoxWord, AltV, 1, 6}}, "B1-1/6-9", 1},
        {"Alt+Z takes the word alone", {{CmdBoxWord, AltZ, 1, 6}}, "B1-1/6-8", 1},
        {"Alt+Z on a lone blank marks nothing", {{CmdBoxWord, AltZ, 1, 5}}, "-", 1},
        {"Alt+E to the text's end", {{CmdBoxToLineEnd, 0, 1, 3}}, "B1-1/3-15", 1},
        {"Alt+N the whole line", {{CmdBoxWholeLine, 0, 2, 9}}, "B2-2/3-5", 2},
        {"Alt+B on a line of width 0 stays in column 1", {{CmdMarkBoxCorner, 0, 8, 1}}, "B8-8/1-1", 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Load({});
        for (const char* s : {"one  two three", "  ab", "3", "4", "5", "6", "7"}) ASSERT_TRUE(AppendLoadedLine(ed, s));
        int at = 8;
        InsertLine(ed, 0, at);  // a record of width 0
        for (const Step& s : c.steps) {
            if (s.line) At(s.line, s.column);
            Run(s.command, s.key);
        }
        EXPECT_EQ(Marks(), c.marks);
        EXPECT_EQ(ed.CurrentLine, c.line);
    }
}

TEST_F(BlockTest, BoxCopyMoveAndDelete)
{
    struct Case {
        const char* name;
        std::vector<std::string> text;
        int box[4];  // first line, last line, first column, last column
        int line, column;
        enum { Copy, Keep, Move, Delete } what;
        bool overwrite;
        const char* result;
        const char* marks;
        const char* message;
    };
    const Case cases[] = {
        {"copy below", {"abcd", "efgh", "", ""}, {1, 2, 2, 3}, 3, 1, Case::Copy, false, "abcd|efgh|bc|fg", "-", ""},
        {"copy appends the lines it needs", {"abcd", "efgh"}, {1, 2, 2, 3}, 2, 6, Case::Copy, false, "abcd|efgh bc|     fg", "-", ""},
        {"copy in overwrite mode replaces as many", {"abcd", "efgh", "123456", "123456"}, {1, 2, 1, 2}, 3, 2, Case::Copy, true, "abcd|efgh|1ab456|1ef456", "-", ""},
        {"copy past a short line's end pads it", {"abcd", "efgh", "x", "y"}, {1, 2, 1, 2}, 3, 6, Case::Copy, false, "abcd|efgh|x    ab|y    ef", "-", ""},
        {"copy onto its own first line, left of it", {"abcdEF", "ghijKL"}, {1, 2, 5, 6}, 1, 1, Case::Copy, false, "EFabcdEF|KLghijKL", "-", ""},
        {"copy below-left takes every row from its place", {"abcdEFgh", "ijklMNop", "qrst"}, {1, 2, 5, 6}, 2, 1, Case::Copy, false, "abcdEFgh|EFijklMNop|MNqrst", "-", ""},
        {"copy into the box overlaps", {"abcd", "efgh"}, {1, 2, 2, 3}, 2, 3, Case::Copy, false, "abcd|efgh", "B1-2/2-3", OverlapMessage},
        {"one-line copy right of the box", {"x abc"}, {1, 1, 3, 5}, 1, 7, Case::Keep, false, "x abc abc", "B1-1/3-5", ""},
        {"one-line Alt+K left of the box moves the mark once", {"x abc"}, {1, 1, 3, 5}, 1, 1, Case::Keep, false, "abcx abc", "B1-1/6-8", ""},
        {"one-line copy inside the box overlaps", {"x abc"}, {1, 1, 3, 5}, 1, 4, Case::Copy, false, "x abc", "B1-1/3-5", OverlapMessage},
        {"sideways move right", {"abcdef", "ghijkl"}, {1, 2, 1, 2}, 1, 5, Case::Move, false, "cdabef|ijghkl", "-", ""},
        {"sideways move inside overlaps", {"abcdef", "ghijkl"}, {1, 2, 2, 4}, 1, 3, Case::Move, false, "abcdef|ghijkl", "B1-2/2-4", OverlapMessage},
        {"move to other lines always inserts", {"abcd", "efgh", "1234", "5678"}, {1, 2, 1, 2}, 3, 2, Case::Move, true, "cd|gh|1ab234|5ef678", "-", ""},
        {"move below-left cuts the shifted rows", {"abcdEFgh", "ijklMNop", "qrst"}, {1, 2, 5, 6}, 2, 1, Case::Move, false, "abcdgh|EFijklop|MNqrst", "-", ""},
        {"one-line move to another line", {"ab cd", "xy"}, {1, 1, 4, 5}, 2, 2, Case::Move, false, "ab|xcdy", "-", ""},
        {"delete closes the lines up", {"abcdef", "gh", "ijklmn"}, {1, 3, 2, 4}, 1, 1, Case::Delete, false, "aef|g|imn", "-", ""},
        {"a copy past 255 characters is refused whole", {std::string(250, 'z'), "abcdefghij", "abcdefghij"}, {2, 3, 1, 10}, 1, 251, Case::Copy, false, "", "B2-3/1-10", LineTooLongMessage},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Load(c.text);
        con.shown.clear();
        Box(c.box[0], c.box[1], c.box[2], c.box[3]);
        At(c.line, c.column);
        ed.InsertMode = !c.overwrite;
        const std::string before = Text();
        switch (c.what) {
        case Case::Copy: Run(CmdCopyBlock, AltC); break;
        case Case::Keep: Run(CmdCopyBlock, AltK); break;
        case Case::Move: Run(CmdMoveBlock); break;
        case Case::Delete: Run(CmdDeleteBlock); break;
        }
        EXPECT_EQ(Text(), *c.result ? std::string(c.result) : before);
        EXPECT_EQ(Marks(), c.marks);
        EXPECT_EQ(LastMessage(), c.message);
        EXPECT_EQ(ed.Modified, !*c.message);
    }
}

TEST_F(BlockTest, OneLineCopyWrapsAtTheWidthAndLosesNothing)
{
    // The box goes in with one insertion, then wraps as a typed character
    // would: nothing is refused and nothing lost, also on a full line.
    Load({"ab cd", std::string(20, 'x')});
    ed.FormatWidth = 20;
    Box(1, 1, 4, 5);
    At(2, 21);
    Run(CmdMoveBlock);
    EXPECT_EQ(Text(), "ab|" + std::string(20, 'x') + "cd");
    EXPECT_EQ(Marks(), "-");

    Load({"aaaa bbbb cccc dddd", "xyz"});
    ed.FormatWidth = 20;
    Box(2, 2, 1, 3);
    At(1, 20);
    Run(CmdCopyBlock, AltC);
    EXPECT_EQ(Text(), "aaaa bbbb cccc|ddddxyz xyz");
}

TEST_F(BlockTest, DeletesAndBadMarks)
{
    // A block over the whole text leaves one blank line and no mark.
    LoadNumbers(5);
    Lines(1, 5);
    At(3);
    Run(CmdDeleteBlock);
    EXPECT_EQ(ed.LineCount, 1);
    EXPECT_EQ(Text(), "");
    EXPECT_EQ(Marks(), "-");
    EXPECT_EQ(ed.CurrentLine, 1);

    // Marks that point past the text, reversed or past column 255 are put
    // in order first: nothing is read or written outside the text.
    LoadNumbers(5);
    Lines(4, 99);
    Run(CmdDeleteBlock);
    EXPECT_EQ(Text(), "1|2|3");
    LoadNumbers(5);
    Box(9, 3, 300, 2);
    At(1);
    Run(CmdCopyBlock, AltC);
    EXPECT_EQ(ed.LineCount, 5);
    EXPECT_EQ(Text(), "1|2|3|4|5");
    for (int n = 1; n <= ed.LineCount; ++n) EXPECT_LE(LineText(ed, n).size(), 255u);
    LoadNumbers(5);
    Lines(7, 9);
    Run(CmdDeleteBlock);
    EXPECT_EQ(Text(), "1|2|3|4|5");
    EXPECT_EQ(LastMessage(), NoBlockMessage);

    // Del asks first; "1 - yes" deletes the block through the hook.
    LoadNumbers(4);
    ed.DeleteMarkedBlock = [](Editor& e) { DeleteBlock(e); };
    Lines(2, 3);
    con.Push('1');
    Run(CmdDel);
    EXPECT_EQ(Text(), "1|4");
}

TEST_F(BlockTest, IndentFillAndCase)
{
    LoadNumbers(3);
    Run(CmdIndentBlock);
    EXPECT_EQ(LastMessage(), NoBlockMessage);
    Load({"ab", "", "cd"});
    Lines(1, 3);
    Run(CmdIndentBlock);
    Run(CmdIndentBlock);
    EXPECT_EQ(Text(), "  ab||  cd");
    Load({"ab", "xcd"});
    Lines(1, 2);
    Run(CmdUnindentBlock);
    EXPECT_EQ(Text(), "b|cd");  // whatever stands in column 1 goes
    // A full line would lose its last character: the indent is refused.
    Load({"ab", std::string(255, 'y')});
    Lines(1, 2);
    Run(CmdIndentBlock);
    EXPECT_EQ(Text(), "ab|" + std::string(255, 'y'));
    EXPECT_EQ(LastMessage(), LineTooLongMessage);
    EXPECT_FALSE(ed.Modified);

    // Fill pads a short line to the box; Esc fills with its code.
    Load({"abcdef", "g", "hijklm"});
    Box(1, 3, 2, 4);
    con.Push('*');
    Run(CmdFillBox);
    EXPECT_EQ(Text(), "a***ef|g***|h***lm");
    EXPECT_EQ(Marks(), "B1-3/2-4");
    con.Push(0x0000011B);
    Run(CmdFillBox);
    EXPECT_EQ(Text(), "a\x1b\x1b\x1b" "ef|g\x1b\x1b\x1b|h\x1b\x1b\x1blm");

    // Upper case over a Cyrillic box changes its columns only.
    Load({"\xA0\xA1\xA2 \xA3\xA4\xA5", "\xA0\xA1\xA2 \xA3\xA4\xA5"});
    Box(1, 2, 2, 5);
    ConvertText(ed, TextConversion::Upper);
    EXPECT_EQ(Text(), "\xA0\x81\x82 \x83\xA4\xA5|\xA0\x81\x82 \x83\xA4\xA5");
    // A box on the current line alone: the line can be restored.
    Load({"abc def"});
    Box(1, 1, 5, 7);
    ConvertText(ed, TextConversion::Upper);
    EXPECT_EQ(Text(), "abc DEF");
    EXPECT_EQ(ed.RestoreRing[ed.RestoreIndex].substr(0, 7), "abc def");
}

TEST_F(BlockTest, CopiesTheLineLimitCannotTakeChangeNothing)
{
    std::vector<std::string> lines(MaxLines - 5, "x");
    Load(lines);
    Lines(1, 10);
    At(3);
    ed.LineBlockFirst = 4;
    At(20);
    Run(CmdCopyBlock, AltC);
    EXPECT_EQ(ed.LineCount, MaxLines - 5);
    EXPECT_EQ(LastMessage(), " TOO MANY LINES! DO NOT SAVE THIS FILE!");
    EXPECT_FALSE(ed.Modified);
    EXPECT_EQ(ed.RestoreIndex, 255);  // the restore ring is untouched too
    EXPECT_EQ(Marks(), "L4-10");
}

TEST_F(BlockTest, BoxAppendsTheMemoryBudgetCannotPayForAreRefused)
{
    MessageConsole small;
    small.OpenScreen();
    Editor tight(small, LineSlots * 4 + ScratchSize + 1 + 1200);
    for (int n = 1; n <= 3; ++n) {
        int at = n;
        InsertLine(tight, 254, at);
        SetLine(tight, "abc", at);
    }
    tight.Modified = false;
    tight.BoxFirstLine = 1;
    tight.BoxLastLine = 3;
    tight.BoxFirstColumn = 1;
    tight.BoxLastColumn = 2;
    tight.CurrentLine = 3;
    tight.CurrentColumn = 10;
    CopyBlock(tight, false);  // needs two more lines of 254
    EXPECT_EQ(tight.OperationFailed, 1);
    EXPECT_EQ(tight.LineCount, 3);
    EXPECT_EQ(std::string(LineText(tight, 3)), "abc");
    EXPECT_FALSE(tight.Modified);
    EXPECT_TRUE(small.Showed(" NOT ENOUGH MEMORY!"));
}

}  // namespace
}  // namespace lumo
