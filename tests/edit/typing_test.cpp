// Typing through the main loop: plain keys, Alt keys, the Rus keyboard, box
// drawing, and the typing commands of the binding table.
#include <fstream>
#include <iterator>

#include "app/startup.h"
#include "app/loop_fixture.h"
#include "app/unboundkeys.h"
#include "editor/charmap.h"

namespace lumo {
namespace {

using namespace keys;

TEST_F(LoopTest, AltLettersAreLatinEvenInRusMode)
{
    AddLines({""});
    ed.RusMode = true;
    Push(AltScan(0x20));        // Alt+D
    Push(AltScan(0x20, true));  // Alt+Shift+D
    Type("d");                  // a plain d in Rus mode is the Cyrillic letter
    Run();
    std::string text = Text(1);
    ASSERT_EQ(text.size(), 3u);
    EXPECT_EQ(text.substr(0, 2), "dD");
    EXPECT_EQ(static_cast<uint8_t>(text[2]), 0xA2);  // в
    EXPECT_EQ(con.Char(1, 3), 'd');
    EXPECT_EQ(con.Char(2, 3), 'D');
    EXPECT_EQ(con.Char(3, 3), 0xA2);
    EXPECT_EQ(con.cursorColumn, 3);
}

TEST_F(LoopTest, AltPunctuationTable)
{
    AddLines({""});
    Push(AltScan(0x1A));        // [
    Push(AltScan(0x1A, true));  // {
    Push(AltScan(0x28));        // '
    Push(AltScan(0x28, true));  // "
    Push(AltScan(0x34, true));  // >
    Push(AltScan(0x35, true));  // ?
    Push(AltScan(0x79, true));  // Alt+Shift+2: @
    Push(AltScan(0x7E, true));  // Alt+Shift+7: &
    Push(AltScan(0x3B));        // nothing for this scan code
    Run();
    EXPECT_EQ(Text(1), "[{'\">?@&");
}

TEST_F(LoopTest, ShiftKeypadDigitsDrawBoxesInDrawingMode)
{
    AddLines({"", "", ""});
    ed.DrawingMode = true;
    Push(Shifted('8', 0x48));
    Push(Shifted('7', 0x47));
    Push(Shifted('/', 0x35));
    Run();
    EXPECT_EQ(Text(1), "\xC2\xDA/");
    ApplyOptions(ed, "-G ", "file.txt");
    ASSERT_FALSE(ed.DrawingMode);
    Push(Shifted('8', 0x48));
    Run();
    EXPECT_EQ(Text(1), "\xC2\xDA/8");
}

TEST_F(LoopTest, VerticalBarStepsDownInTheSameColumn)
{
    AddLines({"abc", "def", "ghi"});
    ed.DrawingMode = true;
    ed.InsertMode = false;
    ed.CurrentColumn = 2;
    Push(Shifted('.', 0x53));
    Push(Shifted('.', 0x53));
    Run();
    EXPECT_EQ(Text(1), "a\xB3" "c");
    EXPECT_EQ(Text(2), "d\xB3" "f");
    EXPECT_EQ(ed.CurrentLine, 3);
    EXPECT_EQ(ed.CurrentColumn, 2);
    EXPECT_EQ(con.Char(2, 3), 0xB3);
    EXPECT_EQ(con.Char(2, 4), 0xB3);
    EXPECT_EQ(con.cursorRow, 4);
    EXPECT_EQ(con.cursorColumn, 1);
}

TEST_F(LoopTest, RefusedVerticalBarStepsDownWithoutGoingBack)
{
    AddLines({std::string(MaxText, 'x'), ""});
    ed.DrawingMode = true;
    ed.CurrentColumn = 5;
    Push(Shifted('.', 0x53));  // a full line takes nothing more
    Run();
    EXPECT_EQ(Text(1), std::string(MaxText, 'x'));
    EXPECT_EQ(ed.CurrentLine, 2);
    EXPECT_EQ(ed.CurrentColumn, 5);
}

TEST_F(LoopTest, CtrlDigitsTypeBoxCharacters)
{
    AddLines({"", ""});
    Push(0x03040200);  // Ctrl+1 └
    Push(0x03040B00);  // Ctrl+0 ─
    Push(0x03040800);  // Ctrl+7 ┌
    Run();
    EXPECT_EQ(Text(1), "\xC0\xC4\xDA");
}

TEST_F(LoopTest, BoxCharactersKeepTheirLookInAUtf8TextWhoseCharactersTookTheirBytes)
{
    AddLines({"", "", ""});
    ed.FileCodePage = CodePage::UTF8;
    UseUtf8Map(ed, {{U'\u2014', 0xC4}, {U'\u20AC', 0xB3}});  // ─ and │'s bytes are — and €
    ed.DrawingMode = true;
    ed.InsertMode = false;
    Push(Shifted('0', 0x52));  // ─
    Push(0x03040B00);          // Ctrl+0 ─
    Push(UnicodeKeyEvent(U'\u20AC'));  // €: typed as its byte 0xB3, no step down
    Push(Shifted('.', 0x53));  // │: drawn, then down
    Run();
    const std::string line = Text(1);
    ASSERT_EQ(line.size(), 4u);
    std::u32string shown;
    for (char b : line) shown += TextCharOf(ed, static_cast<uint8_t>(b));
    EXPECT_EQ(shown, U"\u2500\u2500\u20AC\u2502");
    EXPECT_EQ(ed.CurrentLine, 2);
    EXPECT_EQ(ed.CurrentColumn, 4);
}

TEST_F(LoopTest, RusModeMapsPlainKeys)
{
    AddLines({""});
    ed.RusMode = true;
    Type("ghbdtn");
    Run();
    EXPECT_EQ(Text(1), "\xAF\xE0\xA8\xA2\xA5\xE2");  // привет
}

TEST_F(LoopTest, CtrlTAndCtrlNInsertWordsByPascalMode)
{
    AddLines({"", ""});
    Push(CtrlT);
    Push(CtrlN);
    Run();
    EXPECT_EQ(Text(1), "the and");
    EXPECT_EQ(ed.CurrentColumn, 9);
    ed.PascalMode = true;
    ed.CurrentLine = 2;
    ed.CurrentColumn = 1;
    Push(CtrlT);
    Push(CtrlN);
    Run();
    EXPECT_EQ(Text(2), "then End;");
    EXPECT_EQ(ed.CurrentColumn, 11);
}

TEST_F(LoopTest, PascalKeywordsLeaveTheCursorInsideBrackets)
{
    AddLines({""});
    ed.PascalMode = true;
    Push(CtrlW);
    Type("x");
    Run();
    EXPECT_EQ(Text(1), "Writeln(x);");
    EXPECT_EQ(ed.CurrentColumn, 10);
}

TEST_F(LoopTest, CaseKeysKnowCyrillicAndStopAtTheText)
{
    AddLines({"abc \xAF\xE0\xA8\xA2\xA5\xE2 (x)"});  // abc привет (x)
    ed.CurrentColumn = 2;
    Push(0x0204FF05);  // Ctrl+F5 on "b"
    ed.LoopLevel = Redraw::Full;
    Run();
    EXPECT_EQ(Text(1).substr(0, 3), "aBc");
    EXPECT_TRUE(ed.Modified);
    ed.CurrentColumn = 8;  // inside привет
    Push(0x0208FF05);      // Alt+F5: the word's first letter
    Run();
    EXPECT_EQ(static_cast<uint8_t>(Text(1)[4]), 0x8F);  // П
    Push(0x0207FF06);  // Ctrl+Shift+F6 lowers it again
    Run();
    EXPECT_EQ(static_cast<uint8_t>(Text(1)[4]), 0xAF);
    // On a delimiter, and past the text, nothing changes.
    std::string before = Text(1);
    ed.CurrentColumn = 12;  // "("
    Push(0x0207FF05);
    Run();
    ed.CurrentColumn = 40;
    Push(0x0204FF05);
    Run();
    EXPECT_EQ(Text(1), before);
}

TEST_F(LoopTest, UnboundFunctionKeysTypeNothing)
{
    AddLines({"abc"});
    Push(0x0200FF0C);  // F12 (not bound yet)
    Push(0x0300FE00);  // a key without character
    Run();
    EXPECT_EQ(Text(1), "abc");
}

TEST_F(LoopTest, ShiftFunctionKeysConvertTheWordAtTheCursor)
{
    AddLines({"say ghbdtn now"});
    ed.CurrentColumn = 7;  // inside "ghbdtn"
    Push(0x0202FF03);      // Shift+F3: typed with the Latin layout
    Run();
    EXPECT_EQ(Text(1), "say \xAF\xE0\xA8\xA2\xA5\xE2 now");  // привет
    Push(0x0202FF05);  // Shift+F5: upper case
    Run();
    EXPECT_EQ(Text(1), "say \x8F\x90\x88\x82\x85\x92 now");  // ПРИВЕТ
    EXPECT_EQ(con.Char(5, 3), 0x8F);
    Push(0x0202FF06);  // Shift+F6: lower case
    Push(0x0202FF04);  // Shift+F4: back to the Latin keys
    Run();
    EXPECT_EQ(Text(1), "say ghbdtn now");
    EXPECT_TRUE(ed.Modified);
}

TEST_F(LoopTest, InsertAndWrapToggles)
{
    AddLines({"abc"});
    bool insert = ed.InsertMode;
    Push(0x0200FF29);  // Ins
    Run();
    EXPECT_NE(ed.InsertMode, insert);
    uint16_t wrap = ed.FillCell & WrapOff;
    const KeyEvent toggles[] = {0x00021C0D, 0x0202FF29, 0x0202FF2A};  // Shift+Enter, Shift+Ins, Shift+Del
    for (KeyEvent key : toggles) {
        Push(key);
        Run();
        EXPECT_NE(ed.FillCell & WrapOff, wrap) << std::hex << key;
        wrap = ed.FillCell & WrapOff;
    }
    EXPECT_EQ(Text(1), "abc");
}

TEST_F(LoopTest, AltSpaceReloadsTheAbbreviations)
{
    TempDirectory dir;
    std::ofstream("shorts.lmo") << "ab\aabc\r\n";
    AddLines({"abc"});
    Push(0x03083900);  // Alt+Space as the terminal delivers it
    Run();
    EXPECT_TRUE(con.Showed(" shorts.lmo - OK!"));
    EXPECT_EQ(Text(1), "abc");
}

TEST_F(LoopTest, AltF10TypesTheCharacterZero)
{
    AddLines({"ab"});
    ed.CurrentColumn = 2;
    Push(0x0208FF0A);
    Run();
    ASSERT_EQ(Text(1).size(), 3u);
    EXPECT_EQ(Text(1)[1], '\0');
}

TEST_F(LoopTest, AltBackslashAddsToTheAbbreviationsFile)
{
    TempDirectory dir;
    AddLines({"   see you later  "});
    Push(AltScan(0x2B, true));  // Alt+Shift+\: the current line, trimmed
    Run();
    EXPECT_TRUE(con.Showed("Added \"see you later\""));
    Push(AltScan(0x2B));  // Alt+\: the text asked for
    Type("brb");
    Push(Enter);
    Run();
    std::ifstream in(dir.path / "shorts.lmo", std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "see you later\r\nbrb\r\n");
    EXPECT_EQ(Text(1), "   see you later");
}

TEST_F(LoopTest, ACharacterTypedInColumn256WrapsOrIsRefusedVisibly)
{
    const std::string full = "word " + std::string(250, 'x');  // 255 characters
    const struct Case {
        bool wrapOff;
        bool insert;
    } cases[] = {{false, true}, {false, false}, {true, true}, {true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.wrapOff * 2 + c.insert);
        ReleaseAllLines(ed);
        AddLines({full, "short", "after"});
        ed.FillCell = c.wrapOff ? (0x07B0 | WrapOff) : 0x07B0;
        ed.InsertMode = c.insert;
        con.messages.clear();
        // End on the long line, then Down: column 256 on a short line.
        ed.CurrentLine = 1;
        Push(0x0200FF26);  // End
        Push(keys::Down);
        Type("z");
        Run();
        EXPECT_EQ(Text(1), full);
        if (c.wrapOff) {
            EXPECT_TRUE(con.Showed(" The line would pass 255 characters: not typed."));
            EXPECT_EQ(ed.LineCount, 3);
            EXPECT_EQ(TrimmedLength(GetLine(ed, 2)), 5);
            EXPECT_EQ(ed.CurrentColumn, 256);
        } else {
            // The wrap takes it on to the next line, as past the width.
            EXPECT_EQ(ed.LineCount, 3);
            EXPECT_EQ(TrimmedLength(GetLine(ed, 2)), 5);
            EXPECT_EQ(Text(3).substr(0, 7), "z after");
            EXPECT_EQ(ed.CurrentLine, 3);
            EXPECT_EQ(ed.CurrentColumn, 2);
            EXPECT_TRUE(ed.Modified);
        }
    }
}

}  // namespace
}  // namespace lumo
