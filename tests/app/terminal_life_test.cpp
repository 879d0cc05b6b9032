// Window resizes and bracketed pastes through the main loop, on the
// scripted console.
#include "loop_fixture.h"

#include "console/cp866.h"
#include "edit/pastetext.h"
#include "editor/charmap.h"
#include "ui/choice.h"
#include "ui/inputline.h"
#include "ui/render.h"

namespace lumo {
namespace {

struct TerminalLifeTest : LoopTest {
    TerminalLifeTest() { ed.OnResize = RedrawAfterResize; }
    std::vector<std::string> Lines() const
    {
        std::vector<std::string> v;
        for (int i = 1; i <= ed.LineCount; ++i) v.push_back(Text(i));
        return v;
    }
    std::string Trimmed(int row) const
    {
        std::string s = con.Row(row);
        while (!s.empty() && s.back() == ' ') s.pop_back();
        return s;
    }
};

TEST_F(TerminalLifeTest, PasteIsInsertedAsTextInOneStep)
{
    const std::string longWord(300, 'w');
    const std::string words = std::string(250, 'a') + " bbbbbbbbbb cc";
    struct Case {
        const char* what;
        std::vector<std::string> lines;
        int line, column;
        std::string paste;
        std::vector<std::string> expect;
        int cursorLine, cursorColumn;
    };
    const Case cases[] = {
        {"lines are split at the cursor, the rest follows the paste, no indent",
         {"    one two", "three"}, 1, 9, "X\nY\n  Z", {"    one X", "Y", "  Ztwo", "three"}, 3, 4},
        {"a TAB goes to the next tab stop, past the end of a line the gap is blanks",
         {"ab"}, 1, 5, "\tc\td", {"ab      c       d"}, 1, 18},
        {"no abbreviation, no command, no Rus remapping: the bytes as they came",
         {""}, 1, 1, "th \\dir 1 \xD0\x99", {"th \\dir 1 \x89"}, 1, 12},
        {"a line longer than 255 wraps at its last blank that fits, else at 255",
         {"x"}, 1, 2, words + "\n" + longWord,
         {"x" + std::string(250, 'a'), "bbbbbbbbbb cc", std::string(255, 'w'), std::string(45, 'w')},
         4, 46},
        {"a trailing line end leaves the cursor at the start of the rest",
         {"abc"}, 1, 2, "1\n", {"a1", "bc"}, 2, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ReleaseAllLines(ed);
        AddLines(c.lines);
        ed.CurrentLine = c.line;
        ed.CurrentColumn = c.column;
        ed.RusMode = true;
        ed.LineEdited = false;
        con.PushPaste(c.paste);
        Run();
        EXPECT_EQ(Lines(), c.expect);
        EXPECT_EQ(ed.CurrentLine, c.cursorLine);
        EXPECT_EQ(ed.CurrentColumn, c.cursorColumn);
        EXPECT_TRUE(ed.Modified);
    }
    // Characters arrive as UTF-8 and take the bytes the text's map gives
    // them; a character the text cannot hold is left out.
    const struct {
        CodePage page;
        std::u32string paste, expect;
    } pages[] = {
        {CodePage::ASCII, U"a\u00ABЁ\u2014b", U"aЁb"},
        {CodePage::ANSI, U"\u00ABЁ\u2014\u00BB", U"\u00ABЁ\u2014\u00BB"},
        {CodePage::KOI8, U"Ё\u2248\u00A9\u00AB", U"Ё\u2248\u00A9"},
        {CodePage::UTF8, U"\u00ABЁ\u2014\u20AC\u00BB", U"\u00ABЁ\u2014\u20AC\u00BB"},
    };
    for (const auto& c : pages) {
        SCOPED_TRACE(static_cast<int>(c.page));
        ReleaseAllLines(ed);
        AddLines({""});
        ed.FileCodePage = c.page;
        UseCodePageMap(ed, c.page);
        ed.CurrentLine = ed.CurrentColumn = 1;
        std::string utf8;
        for (char32_t ch : c.paste) AppendUtf8(utf8, ch);
        con.PushPaste(utf8);
        Run();
        std::u32string shown;
        for (char b : Text(1)) shown += TextCharOf(ed, static_cast<uint8_t>(b));
        EXPECT_EQ(shown, c.expect);
    }
    ed.FileCodePage = CodePage::ASCII;
    UseCodePageMap(ed, CodePage::ASCII);

    // A one-line paste is one step for Cancel last change.
    ReleaseAllLines(ed);
    AddLines({"keep me"});
    ed.CurrentLine = 1;
    ed.CurrentColumn = 6;
    con.PushPaste("pasted ");
    Push(keys::AltBackspace);
    Run();
    EXPECT_EQ(Lines(), std::vector<std::string>{"keep me"});
}

TEST_F(TerminalLifeTest, PasteThatCannotFitIsRefusedWhole)
{
    AddLines({"a", "b"});
    for (int i = 3; i <= MaxLines - 2; ++i) ASSERT_TRUE(AppendLoadedLine(ed, ""));
    const std::vector<std::string> before = Lines();
    ed.CurrentLine = 1;
    ed.CurrentColumn = 2;
    con.PushPaste("1\n2\n3\n");  // three more lines: one too many
    con.PushPaste("", true);     // longer than the console keeps
    Run();
    EXPECT_EQ(Lines(), before);
    EXPECT_TRUE(con.Showed(" TOO MANY LINES! The paste was not inserted."));
    EXPECT_TRUE(con.Showed(" The pasted text is too large: nothing was inserted."));
    EXPECT_FALSE(ed.Modified);
    // Two more lines fit.
    con.PushPaste("1\n2\n");
    Run();
    EXPECT_EQ(ed.LineCount, MaxLines);
    EXPECT_EQ(Text(1), "a1");
    EXPECT_EQ(Text(3), "");
}

TEST_F(TerminalLifeTest, PasteWhileAQuestionWaitsIsIgnoredAndNeverRecorded)
{
    AddLines({"text"});
    con.PushPaste("1");
    Push(keys::Esc);
    try {
        ShowChoice(ed, "Q|1 yes|2 no|");
    } catch (const ScriptExhausted&) {
    }
    EXPECT_EQ(ed.ChoiceResult, 0);  // the paste answered nothing; Esc did
    // In the input line it gives its first line.
    con.PushPaste("dir\\name\nsecond");
    Push(keys::Enter);
    std::string answer;
    InputLine(ed, answer, InputPlain);
    EXPECT_EQ(answer, "dir\\name");
    // Recorded and played back, a paste inserts nothing more.
    ed.CurrentColumn = 1;
    Push(keys::ShiftF9);
    con.PushPaste("p");
    Push(keys::ShiftF9);
    Push(keys::F9);
    Run();
    EXPECT_EQ(Text(1), "ptext");
}

TEST_F(TerminalLifeTest, NoKeyTypesALineEnd)
{
    // Ctrl+J (kitty, modifyOtherKeys), Ctrl+Enter, Ctrl+M and Alt+Ctrl+J
    // carry 0x0A or 0x0D; outside Pascal mode none of them may put it into
    // the line, where saving would split it.
    AddLines({"ab"});
    ed.CurrentColumn = 2;
    for (KeyEvent key : {0x0004240Au, 0x00041C0Au, 0x0004320Du, 0x00001C0Au, 0x00000A0Au, 0x00000D0Du})
        Push(key);
    Run();
    EXPECT_EQ(Text(1).find_first_of("\n\r"), std::string::npos) << Text(1);
}

TEST_F(TerminalLifeTest, ResizeRedrawsEverythingInEveryState)
{
    AddNumberedLines(40);
    ed.CurrentLine = 20;
    RedrawCycle(ed, Redraw::Full);
    // Editing: grow, shrink below the minimum (a notice, keys unused), grow.
    con.PushResize(100, 30);
    Run();
    EXPECT_EQ(con.ScreenColumns, 100);
    EXPECT_EQ(con.ScreenRows, 30);
    EXPECT_EQ(con.ScreenCells.size(), 3000u);
    EXPECT_EQ(Trimmed(3 + ed.CurrentLine - ed.TopLine), "line 20");
    EXPECT_EQ(Trimmed(30), "line " + std::to_string(ed.TopLine + 27));

    con.PushResize(60, 10);
    Type("zz");
    con.PushResize(80, 6);
    Run();
    EXPECT_NE(con.writtenBytes.find("Window too small: 80x6 needed"), std::string::npos);
    EXPECT_EQ(Text(20), "line 20");  // the keys typed while too small did nothing
    EXPECT_EQ(con.ScreenRows, 6);
    EXPECT_EQ(Trimmed(3 + ed.CurrentLine - ed.TopLine), "line 20");

    // Wider than 132 is capped.
    con.PushResize(200, 25);
    Run();
    EXPECT_EQ(con.ScreenColumns, 132);

    // A question on rows 1-2 stays through a resize, widened.
    con.PushResize(80, 25);
    Run();
    ed.ReadingAtRest = false;  // the script's end left the loop mid-read
    con.PushResize(100, 30);
    try {
        ShowChoice(ed, "Save?|1 yes|2 no|", "hint line");
    } catch (const ScriptExhausted&) {
    }
    EXPECT_EQ(con.ScreenColumns, 100);
    EXPECT_NE(con.Row(1).find("1 yes"), std::string::npos);
    EXPECT_NE(con.Row(2).find("hint line"), std::string::npos);
    EXPECT_EQ(con.Attr(100, 1), con.Attr(80, 1));
    EXPECT_EQ(con.Attr(100, 2), con.Attr(80, 2));
    EXPECT_EQ(Trimmed(3 + ed.CurrentLine - ed.TopLine), "line 20");

    // The input line keeps its prompt and text.
    Type("abc");
    con.PushResize(120, 40);
    std::string text;
    try {
        InputLine(ed, text, InputSearch);
    } catch (const ScriptExhausted&) {
    }
    EXPECT_EQ(con.ScreenColumns, 120);
    EXPECT_NE(con.Row(2).find("Enter search string: abc"), std::string::npos);
    EXPECT_EQ(Trimmed(3 + ed.CurrentLine - ed.TopLine), "line 20");
}

}  // namespace
}  // namespace lumo
