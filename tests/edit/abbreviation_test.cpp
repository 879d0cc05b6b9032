// Abbreviations on Space, key definitions on Ctrl+Alt keys and the "\"
// completion, driven through the main loop.
#include <string>
#include <vector>

#include "app/loop_fixture.h"
#include "edit/abbreviation.h"
#include "files/abbreviations.h"
#include "test_support.h"

namespace lumo {
namespace {

using namespace keys;

constexpr KeyEvent Space = 0x00003920;
constexpr KeyEvent Backslash = 0x00002B5C;
constexpr KeyEvent ShiftF10 = 0x0202FF0A;
constexpr KeyEvent CtrlAltF5 = 0x020CFF05;
constexpr KeyEvent CtrlAltShiftF5 = 0x020EFF05;
constexpr KeyEvent CtrlAltD = 0x030C2000;
constexpr KeyEvent CtrlAltShiftD = 0x030E2000;

// Abbreviations from a "shorts.lmo" in the current directory.
struct AbbrevTest : LoopTest {
    TempDirectory dir;
    void Shorts(const std::string& content)
    {
        WriteFile("shorts.lmo", content);
        ASSERT_TRUE(ReadShorts(ed));
    }
};

TEST_F(AbbrevTest, SpaceExpandsTheWordLeftOfTheCursor)
{
    struct Case {
        const char* line;
        int column;
        bool insert;
        const char* want;
        int wantColumn;
    };
    const Case cases[] = {
        {"th", 3, true, "the", 5},              // abbreviation, BEL, expansion: a blank follows
        {"see ths", 8, true, "see them", 9},     // code 8 at the end: no blank
        {"Th", 3, true, "Th", 4},               // the comparison is exact
        {"x th", 3, true, "x  th", 4},          // a blank left of the cursor: just the blank
        {"(th)", 4, true, "(the )", 6},         // after a delimiter, before the text right of it
        {"t", 2, true, "two", 5},               // the first entry that matches is used
        {"thXYZ", 3, true, "the XYZ", 5},
        {"thXYZ", 3, false, "the Z", 5},        // overwrite mode types over the text
        {"ath", 4, true, "ath", 5},             // the word is "ath", no entry
        {"", 1, true, "", 2},
    };
    Shorts("th\athe\r\nths\athem\b\r\nt\atwo\r\nt\athree\r\n\aorphan\r\nplain completion entry\r\n");
    EXPECT_EQ(ed.AbbrevList.size(), 5u);
    EXPECT_EQ(ed.CompletionList.size(), 1u);
    AddLines({""});
    for (const Case& c : cases) {
        SetLine(ed, c.line, 1);
        ed.CurrentLine = 1;
        ed.CurrentColumn = c.column;
        ed.InsertMode = c.insert;
        Push(Space);
        Run();
        EXPECT_EQ(Text(1), c.want) << c.line;
        EXPECT_EQ(ed.CurrentColumn, c.wantColumn) << c.line;
    }
}

TEST_F(AbbrevTest, RestoreLineGivesBackTheAbbreviation)
{
    Shorts("th\athe\r\n");
    AddLines({"first", "see th"});
    Push(Down);
    Push(0x0200FF26);  // End
    Push(Space);
    Run();
    EXPECT_EQ(Text(2), "see the");
    EXPECT_EQ(ed.CurrentColumn, 9);
    Push(ShiftF10);
    Run();
    EXPECT_EQ(Text(2), "see th");
}

TEST_F(AbbrevTest, AnExpansionThatCannotFitLeavesTheWord)
{
    Shorts("th\a" + std::string(200, 'e') + "\r\n");
    AddLines({std::string(100, 'x') + " th"});
    ed.FillCell |= WrapOff;
    ed.CurrentColumn = 104;
    Push(Space);
    Run();
    EXPECT_EQ(Text(1), std::string(100, 'x') + " th");
    EXPECT_EQ(ed.CurrentColumn, 105);
}

TEST_F(AbbrevTest, AltSpaceRereadsOrSaysTheFileIsMissing)
{
    AddLines({"abc"});
    Push(0x03083900);
    Run();
    EXPECT_TRUE(con.Showed(" File not found: shorts.lmo"));
    EXPECT_FALSE(con.Showed(" shorts.lmo - OK!"));
    WriteFile("shorts.lmo", "ab\aabc\n");
    Push(0x03083900);
    Run();
    EXPECT_TRUE(con.Showed(" shorts.lmo - OK!"));
    ASSERT_EQ(ed.AbbrevList.size(), 1u);
    // Add word: the entry is appended and read at once.
    Push(AltScan(0x2B));
    Push(0x0200FF26);  // End of the offered word "abc"
    Type("d\ax");
    Push(Enter);
    ed.CurrentColumn = 4;
    Run();
    EXPECT_EQ(ReadFile("shorts.lmo"), "ab\aabc\nabcd\ax\r\n");
    EXPECT_EQ(ed.AbbrevList.size(), 2u);
}

TEST_F(AbbrevTest, KeyDefinitionsByIndexAndKeyboardMode)
{
    AddLines({""});
    ed.RusMode = true;
    Push(CtrlAltShiftF5);
    Type("123");
    Push(Enter);
    Run();
    EXPECT_TRUE(ed.MacroDefined[5 + 0x80]);
    EXPECT_FALSE(ed.MacroDefined[5]);
    EXPECT_TRUE(ed.MacrosChanged);
    const std::string text = ed.MacroTable[5 + 0x80];
    ASSERT_FALSE(text.empty());

    // Rus off: the same key has another index.
    ed.RusMode = false;
    Push(CtrlAltF5);
    Run();
    EXPECT_TRUE(con.Showed("Macro not defined!"));
    EXPECT_EQ(Text(1), "");
    ed.RusMode = true;
    Push(CtrlAltF5);
    Run();
    EXPECT_EQ(Text(1), text);

    // A letter key: its scan code is the index; Esc or an empty text
    // defines nothing; Macros "4 Off" makes the keys ordinary ones.
    ed.RusMode = false;
    SetLine(ed, "", 1);
    ed.CurrentColumn = 1;
    Push(CtrlAltShiftD);
    Type("dd");
    Push(Enter);
    Push(CtrlAltShiftD);
    Push(Esc);
    Run();
    EXPECT_EQ(ed.MacroTable[0x20], "dd");
    CmdMacrosOff(ed);
    Push(CtrlAltD);
    Run();
    EXPECT_EQ(Text(1), "");
    CmdMacrosOn(ed);
    Push(CtrlAltD);
    Run();
    EXPECT_EQ(Text(1), "dd");

    // The menu items ask for the key; they work with macros off too.
    CmdMacrosOff(ed);
    SetLine(ed, "", 1);
    ed.CurrentColumn = 1;
    Push(0x0200FF07);  // F7: index 7
    Type("seven");
    Push(Enter);
    CmdMacroTakeWord(ed);
    EXPECT_EQ(ed.MacroTable[7], "seven");
    Push(0x0200FF07);
    CmdMacroPlayWord(ed);
    EXPECT_EQ(Text(1), "seven");
    Push(Esc);
    EXPECT_EQ(CmdMacroPlayWord(ed), Redraw::Full);
    EXPECT_EQ(Text(1), "seven");
}

TEST_F(AbbrevTest, MacroTextsWithLineEndsAreRefused)
{
    AddLines({""});
    Push(CtrlAltShiftD);
    Type("x\n30 hello");
    Push(Enter);
    Run();
    EXPECT_TRUE(con.Showed(" Line ends cannot be stored!"));
    EXPECT_FALSE(ed.MacroDefined[0x20]);
}

// ---- completion ----

struct CompletionCase {
    const char* name;
    std::vector<std::string> lines;
    int line, column;
    std::vector<std::string> entries;
    std::vector<KeyEvent> keys;  // after the first "\"
    int checkLine;
    std::string want;
};

TEST_F(LoopTest, CompletionCases)
{
    std::vector<std::string> far = {"pro"};
    for (int i = 0; i < 20000; ++i) far.push_back("x");
    far.push_back("procedure");
    const std::string privet = "\xAF\xE0\xA8\xA2\xA5\xE2";  // привет
    const std::string longWord = "p" + std::string(254, 'a');
    const std::vector<CompletionCase> cases = {
        {"entry first", {"procedure", "pro"}, 2, 4, {"pr", "pro", "program Foo;"}, {Enter}, 2, "program Foo;"},
        {"entry skipped to the text", {"procedure", "pro"}, 2, 4, {"program"}, {Backspace, Enter}, 2, "procedure"},
        {"line above", {"procedure", "", "pro"}, 3, 4, {}, {Enter}, 3, "procedure"},
        {"line far below", far, 1, 4, {}, {Enter}, 1, "procedure"},
        {"one character a key", {"procedure", "pro"}, 2, 4, {}, {Backslash, Backslash, Backslash}, 2, "proced"},
        {"past the word to the end of that line", {"procedure Foo;", "pro"}, 2, 4, {},
         {Enter, Backslash, Backslash, Backslash}, 2, "procedure Fo"},
        {"Cyrillic without its ending", {privet, "\xAF\xE0"}, 2, 3, {}, {Enter}, 2, "\xAF\xE0\xA8\xA2"},
        {"case-insensitive second pass", {"procedure", "Pro"}, 2, 4, {}, {Enter}, 2, "Procedure"},
        {"Cyrillic ignoring case", {"\x8F\xE0\xA8\xA2\xA5\xE2", "\xAF\xE0"}, 2, 3, {}, {Enter}, 2,
         "\xAF\xE0\xA8\xA2"},
        {"inside a word is no find", {"approve", "pro"}, 2, 4, {}, {Enter}, 2, "pro"},
        {"short words are no finds", {"ab abc", "ab"}, 2, 3, {}, {Enter}, 2, "abc"},
        {"Backspace: next find", {"program", "procedure", "pro"}, 3, 4, {}, {Backspace, Enter}, 3, "program"},
        {"Down turns downwards", {"procedure", "pro", "protect"}, 2, 4, {}, {Down, Enter}, 2, "protect"},
        {"Esc leaves the word as it was", {"procedure", "proXYZ"}, 2, 4, {}, {Esc}, 2, "proXYZ"},
        {"another key ends it and is typed", {"procedure", "pro"}, 2, 4, {}, {'x'}, 2, "prox"},
        {"the cursor character is no part of the find", {"proXYZ"}, 1, 4, {}, {Enter}, 1, "proXYZ"},
        {"colour mark ends the word", {"procedure\x02\x0e\x01next", "pro"}, 2, 4, {}, {Enter}, 2, "procedure"},
        {"a prefix of 0xB2 does not hang", {"\xB2\xB2 x", "\xB2\xB2"}, 2, 3, {}, {Enter}, 2, "\xB2\xB2"},
        {"255-character word", {longWord, "pa"}, 2, 3, {}, {Enter}, 2, longWord},
        {"no room on the line", {longWord, std::string(250, 'y') + " pa"}, 2, 254, {}, {Enter}, 2,
         std::string(250, 'y') + " paaa"},
        {"empty line", {"procedure", ""}, 2, 1, {}, {Enter}, 2, ""},
        {"after Enter the count is gone", {"procedure Foo;", "pro", ""}, 2, 4, {},
         {Enter, Enter, Backslash, Backslash}, 3, ""},
    };
    for (const CompletionCase& c : cases) {
        SCOPED_TRACE(c.name);
        ReleaseAllLines(ed);
        AddLines(c.lines);
        ed.CompletionList = c.entries;
        ed.CurrentLine = c.line;
        ed.CurrentColumn = c.column;
        ed.TopLine = c.line;
        ed.CompletionCount = 0;
        ed.FillCell |= WrapOff;
        Push(Backslash);
        for (KeyEvent k : c.keys) Push(k);
        Run();
        EXPECT_EQ(Text(c.checkLine), c.want);
        EXPECT_LE(Text(c.checkLine).size(), 255u);
    }
}

TEST_F(LoopTest, CompletionOfferShowsTheCandidate)
{
    AddLines({"procedure Foo;", "", "pro"});
    ed.CurrentLine = 3;
    ed.CurrentColumn = 4;
    Push(Backslash);
    Push(Esc);
    Run();
    EXPECT_TRUE(con.Showed("  Appropriate line:  procedure Foo;"));
    EXPECT_TRUE(con.Showed("    1"));
    EXPECT_EQ(ed.CompletionCount, 0);
}

}  // namespace
}  // namespace lumo
