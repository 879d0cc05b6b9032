// Every Russian text readable and saved back byte for byte: UTF-8 texts
// with characters CP866 lacks, Windows-1251 and KOI8-R texts shown as
// themselves, through the text's character map.
#include <random>

#include "console/cp866.h"
#include "editor/charmap.h"
#include "files/files_fixture.h"
#include "files/fileinternal.h"
#include "files/utf8file.h"
#include "ui/render.h"

namespace lumo::filetest {
namespace {

class CharMapFilesTest : public FilesTest {
protected:
    void SetUp() override
    {
        FilesTest::SetUp();
        ed.CodePageDetect = true;
    }
    // What the text window shows on row `row`, as UTF-8, trailing blanks dropped.
    std::string Shown(int row)
    {
        DrawTextWindow(ed);
        std::string s;
        for (int c = 1; c <= con.ScreenColumns; ++c) AppendUtf8(s, con.Shown(c, row));
        s.erase(s.find_last_not_of(' ') + 1);
        return s;
    }
    // Saves the text (as F2 on a modified text) and reads the file back.
    std::string Saved(const std::string& name)
    {
        ed.Modified = true;
        SaveFile(ed);
        EXPECT_EQ(ed.OperationFailed, 0);
        return ReadFile(dir + name);
    }
};

// A random Russian line in UTF-8: letters, CP866 graphics, characters only
// Windows-1251 has, and now and then one outside both.
std::string RandomUtf8Line(std::mt19937& rng, const std::vector<std::string>& rare)
{
    static const char* const common[] = {"\xD0\xBC", "\xD0\xBE", "\xD1\x80", "\xD0\xB7", " ", "a", "\xD0\x81", ","};
    static const char* const cp866Only[] = {"\xE2\x95\x90", "\xE2\x94\x80", "\xE2\x96\x91", "\xE2\x84\x96", "\xC2\xB0"};
    static const char* const ansiOnly[] = {"\xE2\x80\x94", "\xE2\x80\x93", "\xC2\xAB", "\xC2\xBB", "\xE2\x80\xA6",
                                           "\xD1\x96", "\xD2\x91", "\xE2\x80\x9E", "\xE2\x80\x9C", "\xC2\xA7"};
    std::string line;
    int length = static_cast<int>(rng() % 60);
    for (int i = 0; i < length; ++i) {
        int r = static_cast<int>(rng() % 100);
        if (r < 80) line += common[rng() % 8];
        else if (r < 88) line += cp866Only[rng() % 5];
        else if (r < 98) line += ansiOnly[rng() % 10];
        else line += rare[rng() % rare.size()];
    }
    return line;
}

TEST_F(CharMapFilesTest, Utf8TextsWithCharactersCp866LacksLoadShowAndSaveAsThemselves)
{
    std::mt19937 rng(12);
    const std::vector<std::string> rare = {"\xF0\x9F\x98\x80", "\xE2\x82\xAC", "\xE2\x84\xA2", "\xCE\xA9",
                                           "\xE2\x9C\x93"};
    for (int round = 0; round < 25; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        std::vector<std::string> lines;
        std::string file = round % 3 == 0 ? std::string(Utf8Bom) : std::string();
        const std::string end = round % 2 ? "\r\n" : "\n";
        for (int i = 0; i < 8; ++i) {
            lines.push_back("\xD0\x9C\xD0\xBE\xD1\x80\xD0\xBE\xD0\xB7 " + RandomUtf8Line(rng, rare));
            file += lines.back();
            if (i < 7 || round % 4) file += end;
        }
        ASSERT_TRUE(Load("poem.txt", file));
        ASSERT_EQ(ed.FileCodePage, CodePage::UTF8);
        // The screen shows what cat would (an emoji, two cells wide on a
        // terminal, is its own character in the cell all the same).
        for (int i = 0; i < 8; ++i) {
            std::string want = lines[i];
            want.erase(want.find_last_not_of(' ') + 1);
            EXPECT_EQ(Shown(3 + i), want) << "line " << i + 1;
        }
        EXPECT_EQ(Saved("poem.txt"), file);
    }
}

TEST_F(CharMapFilesTest, TheListedCases)
{
    // ═ and — in one text stay apart: ═ keeps its byte, — takes another.
    ASSERT_TRUE(Load("both.txt", "\xE2\x95\x90\xE2\x80\x94\xD0\xAF\n"));
    EXPECT_EQ(Shown(3), "\xE2\x95\x90\xE2\x80\x94\xD0\xAF");
    EXPECT_NE(static_cast<uint8_t>(LineText(ed, 1)[0]), static_cast<uint8_t>(LineText(ed, 1)[1]));
    EXPECT_EQ(Saved("both.txt"), "\xE2\x95\x90\xE2\x80\x94\xD0\xAF\n");
    // Without ═ in the text, — takes its 1251 partner byte (═'s, 0xCD).
    ASSERT_TRUE(Load("dash.txt", "\xD0\xAF\xE2\x80\x94\n"));
    EXPECT_EQ(static_cast<uint8_t>(LineText(ed, 1)[1]), 0xCD);

    // A typed — in a UTF-8 file saves as —; in a CP866 file it types nothing.
    ASSERT_TRUE(Load("typed.txt", "\xD0\xAF\n"));
    KeyEvent key = UnicodeKeyEvent(0x2014);
    ASSERT_TRUE(MapTypedKey(ed, key));
    SetLine(ed, std::string(LineText(ed, 1)) + static_cast<char>(key & 0xFF), 1);
    EXPECT_EQ(Saved("typed.txt"), "\xD0\xAF\xE2\x80\x94\n");
    ASSERT_TRUE(Load("plain.txt", "abc\n"));
    key = UnicodeKeyEvent(0x2014);
    EXPECT_FALSE(MapTypedKey(ed, key));

    // A Windows-1251 file shows — « » … і, and typing — there stores its byte.
    std::string ansi = "\xC0\xE1\xE2\xE3\xE4\xE5\xE6\xE7\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF\xF0\xF1\xF2\xF3 \x97 \xAB\xBB \x85 \xB3\n";
    con.Push('1');  // the recode prompt: ANSI
    ASSERT_TRUE(Load("ansi.txt", ansi));
    ASSERT_EQ(ed.FileCodePage, CodePage::ANSI);
    EXPECT_EQ(Shown(3).substr(40), " \xE2\x80\x94 \xC2\xAB\xC2\xBB \xE2\x80\xA6 \xD1\x96");
    key = UnicodeKeyEvent(0x2014);
    ASSERT_TRUE(MapTypedKey(ed, key));
    EXPECT_EQ(key & 0xFF, 0xCDu);
    key = 0xCD;  // ═ has no place in a 1251 file
    EXPECT_FALSE(MapTypedKey(ed, key));
    EXPECT_EQ(Saved("ansi.txt"), ansi);

    // KOI8-R: © (0xBF) shows as ©, not as №.
    std::string koi8 = "\xE1\xE2\xF7\xE7\xE4\xE5\xF6\xFA\xE9\xEA\xEB\xEC\xED\xEE\xEF\xF0\xF2\xF3\xF4\xF5\xE6 \xBF\n";
    con.Push('2');
    ASSERT_TRUE(Load("koi8.txt", koi8));
    ASSERT_EQ(ed.FileCodePage, CodePage::KOI8);
    EXPECT_EQ(Shown(3).substr(Shown(3).size() - 3), " \xC2\xA9");
    EXPECT_EQ(Saved("koi8.txt"), koi8);
}

TEST_F(CharMapFilesTest, TextsBeyondTheSpareBytesOrNotUtf8LoadUnconvertedAndSaveBackUnchanged)
{
    // Sixty distinct CJK characters: more than there are spare bytes.
    std::string chinese = "\xD0\xAF ";
    for (char32_t c = 0x4E00; c < 0x4E00 + 60; ++c) AppendUtf8(chinese, c);
    chinese += "\n";
    // Invalid UTF-8 is never converted.
    const std::string invalid = "\xD0\xAF \xE2\x80\x94 \xFF\xFE\n";
    const std::string cases[] = {chinese, invalid};
    for (int i = 0; i < 2; ++i) {
        const std::string& bytes = cases[i];
        con.shown.clear();
        ASSERT_TRUE(Load("odd.txt", bytes));
        EXPECT_EQ(ed.FileCodePage, CodePage::ASCII);
        EXPECT_EQ(con.Showed(Utf8UnmappableMessage), i == 0);
        EXPECT_EQ(ReadFile(dir + "odd.txt"), bytes);
        EXPECT_EQ(Saved("odd.txt"), bytes);
    }
}

}  // namespace
}  // namespace lumo::filetest
