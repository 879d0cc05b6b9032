#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "console/scripted_console.h"
#include "app/startup_fixture.h"
#include "e2e/tmux_session.h"
#include "editor/codepage.h"
#include "editor/linestore.h"
#include "edit/textconvert.h"
#include "files/recode.h"
#include "ui/render.h"

namespace lumo {
namespace {

constexpr KeyEvent EscKey = 0x0000011B;

// A Windows-1251 Russian line with the marks the old conversion corrupted:
// « » — … № and a no-break space.
const std::string AnsiLine =
    "\xAB\xD1\xFA\xE5\xF8\xFC \xE6\xE5 \xE5\xF9\xB8 \xFD\xF2\xE8\xF5 \xEC\xFF\xE3\xEA\xE8\xF5 "
    "\xF4\xF0\xE0\xED\xF6\xF3\xE7\xF1\xEA\xE8\xF5 \xE1\xF3\xEB\xEE\xEA, \xE4\xE0 "
    "\xE2\xFB\xEF\xE5\xE9 \xF7\xE0\xFE\xBB \x97 \xB9 5\xA0\x85";
// The same words in CP866, as the editor must hold them.
const std::string Cp866Words = "\x91\xEA\xA5\xE8\xEC \xA6\xA5 \xA5\xE9\xF1";

struct RecodeTest : ::testing::Test {
    ScriptedConsole con;
    Editor ed{con};
    void SetUp() override { con.OpenScreen(); }

    void Load(const std::vector<std::string>& lines)
    {
        for (const std::string& l : lines) ASSERT_TRUE(AppendLoadedLine(ed, l));
    }
    std::string Text(int n)
    {
        std::string s = GetLine(ed, n);
        return s.substr(0, TrimmedLength(s));
    }
    // What a save of line n writes, by the file's code page.
    std::string Saved(int n) { return ToFilePage(Text(n), ed.FileCodePage); }
    // `count` lines, each holding one high byte `each`.
    static std::vector<std::string> HighBytes(int count, int each)
    {
        std::vector<std::string> lines;
        for (int i = 0; i < count; ++i) lines.push_back(std::string("x") + char(each) + "y");
        return lines;
    }
};

TEST_F(RecodeTest, PromptNeedsTwentyHighBytesAveragingTwoHundred)
{
    // 19 high bytes of any value: no question (the queued key stays unread).
    Load(HighBytes(19, 0xF0));
    con.Type("1");
    RecodePrompt(ed, 1, std::min(ed.LineCount, 25), true);
    EXPECT_EQ(con.keys.size(), 1u);
    EXPECT_EQ(Text(1), "x\xF0y");
    EXPECT_EQ(ed.FileCodePage, CodePage::ASCII);

    // A 20th byte: average (19 * 0xF0 + 0x80) / 20 = 234 -> asked.
    Load({"\x80"});
    RecodePrompt(ed, 1, std::min(ed.LineCount, 25), true);
    EXPECT_TRUE(con.keys.empty());
    EXPECT_EQ(ed.FileCodePage, CodePage::ANSI);
}

TEST_F(RecodeTest, AverageIsTruncatedAndCheckedAgainstTwoHundred)
{
    // Nineteen 0xC8 (200) and one 0xC7 (199): average 199.95 -> 199, no question.
    std::vector<std::string> lines = HighBytes(19, 0xC8);
    lines.push_back("x\xC7y");
    Load(lines);
    con.Type("1");
    RecodePrompt(ed, 1, 25, true);
    EXPECT_EQ(con.keys.size(), 1u);

    // The 0xC7 becomes 0xC8: average exactly 200 -> the title shows it.
    SetLine(ed, "x\xC8y", 20);
    con.keys.clear();
    EXPECT_THROW(RecodePrompt(ed, 1, 25, true), ScriptExhausted);
    EXPECT_EQ(con.Row(1).substr(0, 24), " X = 200:  Recode from: ");
}

TEST_F(RecodeTest, OnlyTheFirstLinesAreCountedButTheWholeTextIsConverted)
{
    std::vector<std::string> lines(25, "plain");
    lines.push_back(AnsiLine);
    Load(lines);
    con.Type("1");
    RecodePrompt(ed, 1, std::min(ed.LineCount, 25), true);
    EXPECT_EQ(con.keys.size(), 1u);  // line 26 is not looked at

    ReleaseAllLines(ed);
    lines.assign(33, AnsiLine);
    Load(lines);
    RecodePrompt(ed, 1, 25, true);
    EXPECT_TRUE(con.keys.empty());
    for (int n = 1; n <= ed.LineCount; ++n) EXPECT_EQ(Text(n).substr(1, Cp866Words.size()), Cp866Words) << n;
    EXPECT_EQ(ed.FileCodePage, CodePage::ANSI);
    EXPECT_FALSE(ed.Modified);
}

TEST_F(RecodeTest, WindowsFileLoadsAsCyrillicAndSavesBackByteForByte)
{
    Load({AnsiLine, "", AnsiLine + "  end"});
    con.Type("1");
    RecodePrompt(ed, 1, 3, true);
    EXPECT_EQ(Text(1).substr(1, Cp866Words.size()), Cp866Words);
    EXPECT_EQ(Saved(1), AnsiLine);
    EXPECT_EQ(Saved(2), "");
    EXPECT_EQ(Saved(3), AnsiLine + "  end");
}

TEST_F(RecodeTest, Koi8CopyrightLoadsAsNumeroAndSavesBack)
{
    // KOI8-R "привет ©" repeated until the prompt is raised.
    const std::string koi = "\xD0\xD2\xC9\xD7\xC5\xD4 \xBF";
    Load({koi, koi, koi, koi});
    con.Type("2");
    RecodePrompt(ed, 1, 4, true);
    EXPECT_EQ(Text(1), "\xAF\xE0\xA8\xA2\xA5\xE2 \xFC");
    EXPECT_EQ(ed.FileCodePage, CodePage::KOI8);
    EXPECT_EQ(Saved(1), koi);
}

TEST_F(RecodeTest, EscapeChangesNothing)
{
    Load({AnsiLine});
    con.Push(EscKey);
    RecodePrompt(ed, 1, 1, true);
    EXPECT_EQ(Text(1), AnsiLine);
    EXPECT_EQ(ed.FileCodePage, CodePage::ASCII);
}

TEST_F(RecodeTest, InsertedLinesAloneAreConvertedAndThePageStays)
{
    Load({AnsiLine, AnsiLine, AnsiLine, AnsiLine});
    con.Type("1");
    RecodePrompt(ed, 2, 3, false);
    EXPECT_EQ(Text(1), AnsiLine);
    EXPECT_EQ(Text(2).substr(1, Cp866Words.size()), Cp866Words);
    EXPECT_EQ(Text(3).substr(1, Cp866Words.size()), Cp866Words);
    EXPECT_EQ(Text(4), AnsiLine);
    EXPECT_EQ(ed.FileCodePage, CodePage::ASCII);
}

// Every byte value, in lines of 16 (the low half too, except the line ends).
std::vector<std::string> AllBytes()
{
    std::vector<std::string> lines;
    for (int row = 0; row < 16; ++row) {
        std::string l;
        for (int c = row * 16; c < row * 16 + 16; ++c)
            if (c != '\r' && c != '\n' && c != ' ' && c != 0 && c != '\t') l += char(c);
        lines.push_back(l);
    }
    return lines;
}

TEST_F(RecodeTest, EveryRecodeOfTheWholeTextKeepsTheFileBytes)
{
    const std::vector<std::string> file = AllBytes();
    Load(file);
    struct Step {
        const char* key;
        CodePage page;
        std::string (*text)(const std::string&);
    };
    auto same = [](const std::string& s) { return s; };
    const Step steps[] = {
        {"2", CodePage::KOI8, FromKoi8String},   // ASCII -> koi8-r
        {"1", CodePage::ANSI, FromAnsiString},   // KOI8 -> ANSI, direct
        {"2", CodePage::KOI8, FromKoi8String},   // ANSI -> koi8-r, direct
        {"2", CodePage::ASCII, same},            // KOI8 -> ASCII
        {"1", CodePage::ANSI, FromAnsiString},   // ASCII -> ANSI
        {"1", CodePage::ASCII, same},            // ANSI -> ASCII
    };
    for (const Step& step : steps) {
        con.Type(step.key);
        CmdRecode(ed);
        ASSERT_EQ(ed.FileCodePage, step.page) << step.key;
        for (int n = 1; n <= ed.LineCount; ++n) {
            ASSERT_EQ(Text(n), step.text(file[n - 1])) << "line " << n;
            ASSERT_EQ(Saved(n), file[n - 1]) << "line " << n;
        }
        EXPECT_FALSE(ed.Modified);
    }
}

TEST_F(RecodeTest, LineBlockIsConvertedAloneAndMarksTheTextModified)
{
    Load({AnsiLine, AnsiLine, AnsiLine, AnsiLine});
    ed.LineBlockFirst = 2;
    ed.LineBlockLast = 3;
    con.Type("1");
    CmdRecode(ed);
    EXPECT_EQ(Text(1), AnsiLine);
    EXPECT_EQ(Text(2).substr(1, Cp866Words.size()), Cp866Words);
    EXPECT_EQ(Text(3).substr(1, Cp866Words.size()), Cp866Words);
    EXPECT_EQ(Text(4), AnsiLine);
    EXPECT_EQ(ed.FileCodePage, CodePage::ASCII);
    EXPECT_TRUE(ed.Modified);
    EXPECT_TRUE(con.keys.empty());  // no save question with a block
}

TEST_F(RecodeTest, ModifiedWholeTextAsksToSaveFirst)
{
    Load({AnsiLine});
    ed.Modified = true;
    con.Type("3");  // not to change: the recode menu never comes
    CmdRecode(ed);
    EXPECT_EQ(Text(1), AnsiLine);
    EXPECT_EQ(ed.FileCodePage, CodePage::ASCII);

    con.Type("21");  // no save, then "1 - ANSI"
    CmdRecode(ed);
    EXPECT_EQ(Text(1).substr(1, Cp866Words.size()), Cp866Words);
    EXPECT_EQ(ed.FileCodePage, CodePage::ANSI);
    EXPECT_TRUE(ed.Modified);
}

TEST_F(RecodeTest, SaveAnswerWritesTheFileBeforeRecoding)
{
    std::string path = ::testing::TempDir() + "recode_save_first.txt";
    std::remove(path.c_str());
    ed.FileName = path;
    Load({"\x80\x81", AnsiLine});
    ed.Modified = true;
    con.Type("11");
    CmdRecode(ed);
    std::ifstream in(path, std::ios::binary);
    std::stringstream got;
    got << in.rdbuf();
    std::string bytes = got.str();
    std::erase(bytes, '\r');  // whichever line end the file layer chose
    EXPECT_EQ(bytes, "\x80\x81\n" + AnsiLine + "\n");
    EXPECT_FALSE(ed.Modified);
    EXPECT_EQ(ed.FileCodePage, CodePage::ANSI);
    EXPECT_EQ(Saved(2), AnsiLine);
    std::remove(path.c_str());
}

TEST_F(RecodeTest, MenuFollowsTheFilePageAndUtf8IsOfferedWhatAsciiIs)
{
    Load({"x"});
    const std::pair<CodePage, const char*> menus[] = {
        {CodePage::ASCII, "1 - ANSI \xB3 2 - koi8-r"},
        {CodePage::UTF8, "1 - ANSI \xB3 2 - koi8-r"},
        {CodePage::KOI8, "1 - ANSI \xB3 2 - ASCII"},
        {CodePage::ANSI, "1 - ASCII \xB3 2 - koi8-r"},
    };
    for (auto [page, items] : menus) {
        ed.FileCodePage = page;
        con.keys.clear();
        EXPECT_THROW(CmdRecode(ed), ScriptExhausted);
        EXPECT_NE(con.Row(1).find(items), std::string::npos) << con.Row(1);
    }
}

TEST_F(RecodeTest, Utf8TextRecodedWholeNeedsSaving)
{
    // A UTF-8 file held as CP866 would be written in another page now.
    Load({"\xE0\xE1"});
    ed.FileCodePage = CodePage::UTF8;
    con.Type("2");
    CmdRecode(ed);
    EXPECT_EQ(ed.FileCodePage, CodePage::KOI8);
    EXPECT_TRUE(ed.Modified);
}

TEST_F(RecodeTest, ToggleRusShowsAndHidesTheIndicator)
{
    Load({"x"});
    ToggleRus(ed);
    EXPECT_TRUE(ed.RusMode);
    EXPECT_EQ(con.Char(76, 1), 'R');
    EXPECT_EQ(con.Attr(76, 1), 0x70);
    EXPECT_EQ(CmdToggleRus(ed), Redraw::Status);
    EXPECT_FALSE(ed.RusMode);
    EXPECT_EQ(con.Char(76, 1), ' ');
}

}  // namespace
}  // namespace lumo

// ---- the built program in a real terminal ----

namespace lumo::e2e {
namespace {

TEST(RecodeE2E, WindowsFileShowsCyrillicAndSavesBackUnchanged)
{
    if (!HaveTmux()) GTEST_SKIP() << "tmux is not installed";
    lumo::testing::TempDir tmp;
    const std::string file = tmp / "win.txt";
    const std::string bytes = AnsiLine + "\n" + AnsiLine + "\nend\n";
    WriteFile(file, bytes);
    struct stat before{};
    ASSERT_EQ(stat(file.c_str(), &before), 0);
    TmuxSession s("cd " + Quote(tmp.Dir()) + " && LUMO_HOME=" + Quote(tmp / "state") + " " +
                  Quote(LUMO_BINARY) + " -w win.txt");
    ASSERT_TRUE(s.started());
    ASSERT_TRUE(s.WaitFor("X = 2")) << s.Screen();
    s.SendLiteral("1");
    // The letters show as Cyrillic on the UTF-8 terminal, and « — … as
    // themselves (their bytes in memory are ╒ ═ ╢).
    ASSERT_TRUE(s.WaitFor("«Съешь же ещё этих мягких французских булок")) << s.Screen();
    EXPECT_NE(s.Screen().find("\u2014"), std::string::npos) << s.Screen();
    EXPECT_NE(s.Screen().find("\u2026"), std::string::npos) << s.Screen();
    // An edit undone, so that F2 really writes the text back.
    s.SendLiteral("X");
    ASSERT_TRUE(s.WaitFor("X«Съешь")) << s.Screen();
    s.Send("BSpace");
    s.Send("F2");
    s.Send("Escape");
    ASSERT_TRUE(s.WaitFor("LUMO-EXIT=")) << s.Screen();
    struct stat after{};
    ASSERT_EQ(stat(file.c_str(), &after), 0);
    EXPECT_NE(after.st_ino, before.st_ino);  // the file was written anew
    EXPECT_EQ(ReadFile(file), bytes);
}

}  // namespace
}  // namespace lumo::e2e
