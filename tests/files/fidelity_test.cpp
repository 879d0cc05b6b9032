// Lines the user did not change go back to disk exactly as they were read:
// trailing blanks, lines over 255 characters, a missing final line end, in
// every code page.
#include <random>

#include "editor/codepage.h"
#include "editor/keptparts.h"
#include "files/files_fixture.h"
#include "files/utf8file.h"

namespace lumo::filetest {
namespace {

using FidelityTest = FilesTest;

enum class Page { Cp866, Ansi, Koi8, Utf8 };

// One generated file: its lines as the file holds them (the page's bytes),
// the line end, and whether the last line has one.
struct GeneratedFile {
    std::vector<std::string> lines;
    std::string end;
    bool finalEnd;
    std::string Bytes() const
    {
        std::string s;
        for (size_t i = 0; i < lines.size(); ++i) {
            s += lines[i];
            if (i + 1 < lines.size() || finalEnd) s += end;
        }
        return s;
    }
};

// A CP866 character of a Russian text: mostly letters, some ASCII, TABs.
char RandomChar(std::mt19937& rng)
{
    int r = static_cast<int>(rng() % 100);
    if (r < 60) return static_cast<char>(r < 30 ? 0x80 + rng() % 48 : 0xE0 + rng() % 16);  // А..п р..я
    if (r < 64) return '\t';
    if (r < 70) return ' ';
    if (r < 72) return static_cast<char>(0xF0 + rng() % 2);  // Ё ё
    return static_cast<char>('a' + rng() % 26);
}

std::string ToPage(const std::string& cp866, Page page)
{
    switch (page) {
    case Page::Ansi: return ToAnsiString(cp866);
    case Page::Koi8: return ToKoi8String(cp866);
    case Page::Utf8: {
        std::string out;
        AppendCp866AsUtf8(out, cp866);
        return out;
    }
    default: return cp866;
    }
}

// The lines in CP866 and the file they make in `page`.
GeneratedFile Generate(std::mt19937& rng, Page page, std::vector<std::string>& cp866)
{
    GeneratedFile f;
    f.end = rng() % 2 ? "\r\n" : "\n";
    f.finalEnd = rng() % 2;
    cp866.clear();
    int count = 5 + static_cast<int>(rng() % 20);
    for (int i = 0; i < count; ++i) {
        int kind = static_cast<int>(rng() % 10);
        size_t length = kind < 2 ? 200 + rng() % 401 : rng() % 70;
        std::string line;
        for (size_t k = 0; k < length; ++k) line += RandomChar(rng);
        if (kind >= 6) line.append(1 + rng() % 5, ' ');  // trailing blanks
        if (kind == 9) line += '\t';
        if (kind == 8) line = std::string(rng() % 4, ' ');  // blanks only
        // An empty last line without a line end is no line at all.
        if (i + 1 == count && !f.finalEnd && line.empty()) line = "x";
        cp866.push_back(line);
        f.lines.push_back(ToPage(line, page));
    }
    return f;
}

// The line as a changed line is saved: without trailing blanks and NULs.
std::string SavedForm(std::string s)
{
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
    return s;
}

TEST_F(FidelityTest, UntouchedLinesAreSavedAsReadInEveryPage)
{
    std::mt19937 rng(20);
    const Page pages[] = {Page::Cp866, Page::Ansi, Page::Koi8, Page::Utf8};
    for (int round = 0; round < 60; ++round) {
        const Page page = pages[round % 4];
        std::vector<std::string> cp866;
        GeneratedFile f = Generate(rng, page, cp866);
        const std::string original = f.Bytes();
        SCOPED_TRACE("round " + std::to_string(round));

        // The recode prompt says which page a 1251 or KOI8 file is in.
        ed.CodePageDetect = page != Page::Cp866;
        if (page == Page::Ansi) con.Push('1');
        if (page == Page::Koi8) con.Push('2');
        ASSERT_TRUE(Load("gen.txt", original));
        ASSERT_EQ(ed.LineCount, static_cast<int>(f.lines.size()));
        con.keys.clear();

        // Unchanged: the very same bytes.
        ed.Modified = true;
        SaveFile(ed);
        ASSERT_EQ(ed.OperationFailed, 0);
        ASSERT_EQ(ReadFile(dir + "gen.txt"), original);

        // One line changed through the line store, as a command changes it.
        int n = 1 + static_cast<int>(rng() % f.lines.size());
        std::string text = GetLine(ed, n);
        int at = static_cast<int>(rng() % (TrimmedLength(text) + 1));
        if (at >= MaxText) at = MaxText - 1;
        text.insert(text.begin() + at, 'Z');
        BeginLineChange(ed, n);
        SetLine(ed, text, n);
        const bool cut = cp866[n - 1].size() > static_cast<size_t>(MaxText) &&
                         cp866[n - 1].find_first_not_of(' ', MaxText) != std::string::npos;
        if (cut) {
            con.Push(' ');  // ends the refusal; the name prompt does not take it
            con.Push(Esc);  // F2 then asks for another name
        }
        SaveFile(ed);
        if (cut) {
            // Its end is lost: the file is left alone, and the message names it.
            EXPECT_TRUE(con.Showed(ChangedCutLineMessage(n)));
            EXPECT_EQ(ReadFile(dir + "gen.txt"), original);
            EXPECT_EQ(FirstChangedCutLine(ed), n);
            con.keys.clear();
            continue;
        }
        ASSERT_EQ(ed.OperationFailed, 0);
        GeneratedFile want = f;
        want.lines[n - 1] = ToPage(SavedForm(std::string(LineText(ed, n))), page);
        EXPECT_EQ(ReadFile(dir + "gen.txt"), want.Bytes()) << "line " << n;
    }
}

TEST_F(FidelityTest, KeptPartsMoveWithTheirLinesAndGoWhenALineChanges)
{
    std::string longLine = std::string(250, 'a') + std::string(20, 'b') + "  ";
    ASSERT_TRUE(Load("move.txt", "one  \n" + longLine + "\nthree\t \nfour"));
    EXPECT_FALSE(ed.FinalLineEnd);
    EXPECT_TRUE(LineGoesOn(ed, 2));
    EXPECT_EQ(KeptPart(ed, 1), "  ");
    EXPECT_EQ(KeptPart(ed, 3), " ");
    const size_t used = ed.MemoryUsed;
    // Inserting above and deleting around keeps each line's part with it.
    int at = 1;
    InsertLine(ed, 10, at);
    SetLine(ed, "new", at);
    EXPECT_EQ(KeptPart(ed, 2), "  ");
    EXPECT_TRUE(LineGoesOn(ed, 3));
    at = 4;
    DeleteLine(ed, at);  // "three\t "
    // The new record paid for, the deleted line's record and kept blank released.
    EXPECT_EQ(ed.MemoryUsed, used + 11 - (ed.LineCapacity + 1) - 1);
    // Storing the text a line holds is no change; other text is.
    SetLine(ed, GetLine(ed, 2), 2);
    EXPECT_EQ(KeptPart(ed, 2), "  ");
    SetLine(ed, "one!", 2);
    EXPECT_EQ(KeptPart(ed, 2), "");
    ed.Modified = true;
    SaveFile(ed);
    EXPECT_EQ(ReadFile(dir + "move.txt"), "new\none!\n" + longLine + "\nfour");
    // The cut line changed: F2 refuses, Write to other still works.
    ed.CurrentLine = 3;
    ed.CurrentColumn = 1;
    ed.LineEdited = false;
    ClearToEnd(ed);
    EXPECT_TRUE(CutLineChanged(ed, 3));
    con.Push(' ');  // ends the refusal; the name prompt does not take it
    con.Push(Esc);
    SaveFile(ed);
    EXPECT_TRUE(con.Showed(ChangedCutLineMessage(3)));
    EXPECT_EQ(ReadFile(dir + "move.txt"), "new\none!\n" + longLine + "\nfour");
}

TEST_F(FidelityTest, BadInputLoadsWithinTheBudgetAndSavesBackExactly)
{
    struct Case {
        std::string name, bytes;
    } cases[] = {
        {"blanks.txt", std::string(3000, ' ') + "\n   \n" + std::string(10, ' ')},
        {"plus-one.txt", std::string(255, 'x') + " \n" + std::string(255, 'y') + " "},
        {"nuls.txt", std::string("a\0\0 \n\0", 6)},
        {"wide.txt", std::string(10000, 'w') + "\n" + std::string(10000, 'v') + "\n"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Load(c.name, c.bytes)) << c.name;
        EXPECT_TRUE(ed.IncompleteFile.empty()) << c.name;
        EXPECT_LE(ed.MemoryUsed, ed.MemoryBudget);
        ed.Modified = true;
        SaveFile(ed);
        EXPECT_EQ(ReadFile(dir + c.name), c.bytes) << c.name;
    }
    // Every line 10,000 characters long is more than the budget holds: the
    // design's refusal, never a crash.
    std::string huge;
    for (int i = 0; i < 1000; ++i) huge += std::string(10000, 'h') + "\n";
    EXPECT_FALSE(Load("huge.txt", huge));
    EXPECT_TRUE(con.Showed(" NOT ENOUGH MEMORY!"));
}

}  // namespace
}  // namespace lumo::filetest
