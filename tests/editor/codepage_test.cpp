#include <gtest/gtest.h>
#include <iconv.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "console/scripted_console.h"
#include "editor/codepage.h"
#include "editor/linestore.h"
#include "edit/textconvert.h"

namespace lumo {
namespace {

// One byte through the system's iconv; nothing when the target page lacks
// the character.
std::optional<uint8_t> Iconv(const char* to, const char* from, uint8_t byte)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    char in[1] = {static_cast<char>(byte)};
    char out[8];
    char* ip = in;
    char* op = out;
    size_t il = 1;
    size_t ol = sizeof out;
    size_t r = iconv(cd, &ip, &il, &op, &ol);
    iconv_close(cd);
    if (r == static_cast<size_t>(-1) || op - out != 1) return std::nullopt;
    return static_cast<uint8_t>(out[0]);
}

bool HaveIconv(const char* a, const char* b)
{
    iconv_t cd = iconv_open(a, b);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    iconv_close(cd);
    return true;
}

TEST(CodePageKoi8, AgreesWithIconvAndPairsTheEightMissingCharacters)
{
    if (!HaveIconv("KOI8-R", "CP866")) GTEST_SKIP() << "iconv lacks KOI8-R or CP866";
    const std::pair<uint8_t, uint8_t> special[] = {{0xF2, 0x93}, {0xF3, 0x9B}, {0xF4, 0x97},
                                                   {0xF5, 0x98}, {0xF6, 0x99}, {0xF7, 0x9F},
                                                   {0xFC, 0xBF}, {0xFD, 0x9D}};
    int sharedCount = 0;
    for (int c = 0x80; c <= 0xFF; ++c) {
        auto ref = Iconv("KOI8-R", "CP866", static_cast<uint8_t>(c));
        if (ref) {
            ++sharedCount;
            EXPECT_EQ(ToKoi8(c), *ref) << std::hex << c;
            EXPECT_EQ(FromKoi8(*ref), c) << std::hex << c;
        }
    }
    EXPECT_EQ(sharedCount, 120);
    for (auto [cp866, koi8] : special) {
        EXPECT_FALSE(Iconv("KOI8-R", "CP866", cp866)) << std::hex << int(cp866);
        EXPECT_EQ(ToKoi8(cp866), koi8);
        EXPECT_EQ(FromKoi8(koi8), cp866);
    }
    // KOI8-R © is read as № and written back as ©.
    EXPECT_EQ(FromKoi8(0xBF), 0xFC);
    EXPECT_EQ(ToFilePage("\x80\xFC", CodePage::KOI8), "\xE1\xBF");
}

TEST(CodePageKoi8, BothRoundTripsAreTheIdentityForEveryByte)
{
    for (int c = 0; c < 256; ++c) {
        EXPECT_EQ(FromKoi8(ToKoi8(c)), c) << c;
        EXPECT_EQ(ToKoi8(FromKoi8(c)), c) << c;
        if (c < 0x80) { EXPECT_EQ(ToKoi8(c), c); }
    }
}

TEST(CodePageAnsi, TheSeventySevenSharedCharactersMapToThemselves)
{
    if (!HaveIconv("CP1251", "CP866")) GTEST_SKIP() << "iconv lacks CP1251 or CP866";
    int shared = 0;
    for (int c = 0x80; c <= 0xFF; ++c) {
        auto ref = Iconv("CP1251", "CP866", static_cast<uint8_t>(c));
        if (ref) {
            ++shared;
            EXPECT_EQ(ToAnsi(c), *ref) << std::hex << c;
            EXPECT_EQ(FromAnsi(*ref), c) << std::hex << c;
        } else {
            // A character Windows-1251 lacks never takes the byte of one
            // that both pages have.
            EXPECT_FALSE(Iconv("CP866", "CP1251", ToAnsi(c))) << std::hex << c;
        }
    }
    EXPECT_EQ(shared, 77);
    // Box drawing keeps its look-alikes: † ┼, ¦ │, ¬ ┐, the dashes ─ ═.
    EXPECT_EQ(FromAnsi(0x86), 0xC5);
    EXPECT_EQ(FromAnsi(0xA6), 0xB3);
    EXPECT_EQ(FromAnsi(0xAC), 0xBF);
    EXPECT_EQ(FromAnsi(0x96), 0xC4);
    EXPECT_EQ(FromAnsi(0x97), 0xCD);
}

TEST(CodePageAnsi, BothRoundTripsAreTheIdentityForEveryByte)
{
    for (int c = 0; c < 256; ++c) {
        EXPECT_EQ(FromAnsi(ToAnsi(c)), c) << c;
        EXPECT_EQ(ToAnsi(FromAnsi(c)), c) << c;
        if (c < 0x80) { EXPECT_EQ(FromAnsi(c), c); }
    }
}

// What a Windows-1251 Russian text with typographic marks loads as, and what
// a save of it writes.
TEST(CodePageAnsi, TypographicMarksSurviveLoadAndSave)
{
    const std::string file = "\xAB\xCF\xF0\xE8\xE2\xE5\xF2\xBB \x97 \xB9" "5\xA0\x85 \xB8\xA8";
    std::string text = FromAnsiString(file);
    EXPECT_EQ(text.substr(1, 6), "\x8F\xE0\xA8\xA2\xA5\xE2");  // Привет in CP866
    EXPECT_EQ(static_cast<uint8_t>(text[11]), 0xFC);           // №
    EXPECT_EQ(static_cast<uint8_t>(text[13]), 0xFF);           // no-break space
    EXPECT_EQ(ToAnsiString(text), file);
    EXPECT_EQ(ToFilePage(text, CodePage::ANSI), file);
}

TEST(CodePageTables, LayoutAndFirstOccurrence)
{
    for (int i = 0; i < 128; ++i) EXPECT_EQ(CyrTable[i], 0x80 + i);
    EXPECT_EQ(std::string(CyrTable.begin() + 128, CyrTable.end()), ".,/\"\xFC;:?");
    EXPECT_EQ(std::string(LatinKeyTable.begin() + 128, LatinKeyTable.end()), "/?|@#$^&");
    EXPECT_EQ(Koi8Table[132], 0xBF);
    for (int i = 128; i < 136; ++i)
        if (i != 132) { EXPECT_EQ(Koi8Table[i], CyrTable[i]); }
    // The punctuation at the end of the tables passes the KOI8 conversion
    // unchanged, because its first occurrence pairs it with itself.
    for (char c : std::string(".,/\";:?")) EXPECT_EQ(ToKoi8(c), c);
    // Graphics and the rare letters have no key of their own.
    for (int i = 48; i < 96; ++i) EXPECT_EQ(LatinKeyTable[i], CyrTable[i]);
}

TEST(CodePageCase, LatinAndCyrillicLettersIncludingYo)
{
    for (int c = 0; c < 256; ++c) {
        bool lowerLatin = c >= 'a' && c <= 'z';
        bool lowerCyr = (c >= 0xA0 && c <= 0xAF) || (c >= 0xE0 && c <= 0xEF) || c == 0xF1;
        if (lowerLatin || lowerCyr) {
            EXPECT_NE(CyrUpCase(c), c) << c;
            EXPECT_EQ(CyrLowCase(CyrUpCase(c)), c) << c;
            // Windows-1251 keeps upper and lower case 0x20 apart: the pairs
            // must be the same letters there.
            if (lowerCyr && c != 0xF1) { EXPECT_EQ(ToAnsi(CyrUpCase(c)) + 0x20, ToAnsi(c)) << c; }
        }
    }
    EXPECT_EQ(CyrUpCase(0xF1), 0xF0);  // ё -> Ё
    EXPECT_EQ(CyrLowCase(0xF0), 0xF1);
    EXPECT_EQ(CyrUpCase(0xA0), 0x80);  // а -> А
    EXPECT_EQ(CyrUpCase(0xEF), 0x9F);  // я -> Я
    EXPECT_EQ(CyrLowCase(0x90), 0xE0);  // Р -> р
    for (int c = 0xF2; c <= 0xF7; ++c) {  // Є є Ї ї Ў ў keep their case
        EXPECT_EQ(CyrUpCase(c), c);
        EXPECT_EQ(CyrLowCase(c), c);
    }
    for (int c = 0xB0; c <= 0xDF; ++c) EXPECT_EQ(CyrUpCase(c), c);  // graphics
    EXPECT_EQ(CyrUpperCase("abc \xA8\xE2\xF1 z1"), "ABC \x88\x92\xF0 Z1");
    EXPECT_EQ(CyrLowerCase("ABC \x88\x92\xF0 Z1"), "abc \xA8\xE2\xF1 z1");
}

TEST(CodePageRusKey, EveryRowOfTheLatinKeyboard)
{
    const std::string upperKeys = "F<DULT:PBQRKVYJGHCNEA{WXIO}SM\">Z";
    const std::string lowerKeys = "f,dult;pbqrkvyjghcnea[wxio]sm'.z";
    for (int i = 0; i < 32; ++i) {
        EXPECT_EQ(RusKey(upperKeys[i]), 0x80 + i) << upperKeys[i];
        uint8_t lower = i < 16 ? 0xA0 + i : 0xE0 + i - 16;
        EXPECT_EQ(RusKey(lowerKeys[i]), lower) << lowerKeys[i];
    }
    EXPECT_EQ(RusKey('~'), 0xF0);
    EXPECT_EQ(RusKey('`'), 0xF1);
    const std::string punct = "/?|@#$^&";
    const std::string cyr = ".,/\"\xFC;:?";
    for (int i = 0; i < 8; ++i) EXPECT_EQ(RusKey(punct[i]), static_cast<uint8_t>(cyr[i]));
    for (char c : std::string("0123456789 -=+_!()*%")) EXPECT_EQ(RusKey(c), c);
    EXPECT_EQ(RusKey(0x80), 0x80);  // already Cyrillic
    std::string typed;
    for (char c : std::string("ghbdtn")) typed += static_cast<char>(RusKey(c));
    EXPECT_EQ(typed, "\xAF\xE0\xA8\xA2\xA5\xE2");  // привет
}

TEST(CodePageRusKey, LatinKeyUndoesRusKeyOnTheLetters)
{
    std::string back;
    for (char c : std::string("\xAF\xE0\xA8\xA2\xA5\xE2")) back += static_cast<char>(LatinKey(c));
    EXPECT_EQ(back, "ghbdtn");
    for (int c = 0x80; c <= 0xF1; ++c)
        if (c < 0xB0 || c >= 0xE0) { EXPECT_EQ(RusKey(LatinKey(c)), c) << c; }
    // Punctuation goes to its key as well; № stays, being a graphic of its own.
    EXPECT_EQ(LatinKey('.'), '/');
    EXPECT_EQ(LatinKey(','), '?');
    EXPECT_EQ(LatinKey('"'), '@');
    EXPECT_EQ(LatinKey(0xFC), 0xFC);
}


struct TextConvertTest : ::testing::Test {
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
    Redraw Key(int fkey)  // Shift+F<fkey>
    {
        StoreKey(ed, 0x0202FF00 | fkey);
        return CmdConvertText(ed);
    }
};

const std::string Privet = "\xAF\xE0\xA8\xA2\xA5\xE2";  // привет

TEST_F(TextConvertTest, WordAtTheCursorBetweenLayouts)
{
    Load({"abc " + Privet + " xyz"});
    ed.CurrentColumn = 7;  // inside привет
    Key(4);
    EXPECT_EQ(Text(1), "abc ghbdtn xyz");
    EXPECT_TRUE(ed.Modified);
    EXPECT_EQ(ed.RestoreRing[ed.RestoreIndex].substr(0, 14), "abc " + Privet + " xyz");

    ed.CurrentColumn = 11;  // just after the word: the word before it counts
    Key(3);
    EXPECT_EQ(Text(1), "abc " + Privet + " xyz");

    ed.CurrentColumn = 1;  // column 1: the first word
    Key(5);
    EXPECT_EQ(Text(1), "ABC " + Privet + " xyz");
}

TEST_F(TextConvertTest, WordRuleOnBlanksAndPastTheEnd)
{
    Load({"ab  cd"});
    ed.CurrentColumn = 4;  // on the second blank: the word to its right
    Key(5);
    EXPECT_EQ(Text(1), "ab  CD");
    ed.CurrentColumn = 20;  // past the end: nothing
    ed.Modified = false;
    Key(5);
    EXPECT_EQ(Text(1), "ab  CD");
    EXPECT_FALSE(ed.Modified);
}

TEST_F(TextConvertTest, LineBlockThenBox)
{
    Load({"abc def", "ghi jkl", "mno pqr"});
    ed.LineBlockFirst = 2;
    ed.LineBlockLast = 3;
    ed.CurrentColumn = 2;
    Key(5);
    EXPECT_EQ(Text(1), "abc def");
    EXPECT_EQ(Text(2), "GHI JKL");
    EXPECT_EQ(Text(3), "MNO PQR");

    ed.LineBlockFirst = ed.LineBlockLast = 0;
    ed.BoxFirstLine = 1;
    ed.BoxLastLine = 2;
    ed.BoxFirstColumn = 3;
    ed.BoxLastColumn = 5;
    Key(6);
    EXPECT_EQ(Text(1), "abc def");
    EXPECT_EQ(Text(2), "GHi jKL");
    EXPECT_EQ(Text(3), "MNO PQR");
}

}  // namespace
}  // namespace lumo
