#include <fcntl.h>
#include <sys/stat.h>

#include "editor/keptparts.h"
#include "files/fileinternal.h"
#include "files/files_fixture.h"
#include "files/linesource.h"

namespace lumo::filetest {
namespace {

using LoadTest = FilesTest;

// Sixty distinct CJK characters: more than a text has spare bytes.
std::string ManyCjk()
{
    std::string s;
    for (int i = 0; i < 60; ++i) s += "\xE4\xB8" + std::string(1, static_cast<char>(0x80 + i));
    return s;
}

TEST_F(LoadTest, EveryLineEndIsReadAndTheFirstOneIsKeptForSaving)
{
    struct Case {
        std::string bytes, end;
    } cases[] = {
        {"one\ntwo\n\nfour", "\n"},
        {"one\r\ntwo\r\n\r\nfour\r\n", "\r\n"},
        {"one\rtwo\r\rfour\r", "\r"},
        {"one\r\ntwo\n\rfour", "\r\n"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Load("ends.txt", c.bytes));
        ASSERT_EQ(ed.LineCount, 4) << c.end.size();
        EXPECT_EQ(Text(1), "one");
        EXPECT_EQ(Text(2), "two");
        EXPECT_EQ(Text(3), "");
        EXPECT_EQ(Text(4), "four");
        EXPECT_EQ(ed.LineEnd, c.end);
    }
    ASSERT_TRUE(Load("empty.txt", ""));
    EXPECT_EQ(ed.LineCount, 0);
    EXPECT_EQ(ed.LineEnd, "\n");
}

TEST_F(LoadTest, ACrLfSplitBetweenTwoReadsIsOneLineEnd)
{
    // The CR is the last byte of the first read, the LF the first of the next.
    const std::string before(LineSource::BufferSize - 1, 'x');
    ASSERT_TRUE(Load("split.txt", before + "\r\nnext\r\n"));
    ASSERT_EQ(ed.LineCount, 2);
    EXPECT_EQ(Text(2), "next");
    EXPECT_EQ(ed.LineEnd, "\r\n");
    ASSERT_TRUE(Load("split.txt", before + "\rnext"));
    ASSERT_EQ(ed.LineCount, 2);
    EXPECT_EQ(Text(2), "next");
    EXPECT_EQ(ed.LineEnd, "\r");
}

TEST_F(LoadTest, ControlBytesNulAndEofMarkStayInTheText)
{
    ASSERT_TRUE(Load("ctl.txt", std::string("a\0b\x1A\tc\n", 7)));
    EXPECT_EQ(Text(1), std::string("a\0b\x1A\tc", 6));
}

TEST_F(LoadTest, LongLinesAreCutButKeepTheirEndsSoTheTextIsComplete)
{
    std::string longLine(300, 'x');
    longLine[254] = 'L';
    longLine[255] = 'R';
    ASSERT_TRUE(Load("long.txt", longLine + "\nnext\n"));
    ASSERT_EQ(ed.LineCount, 2);
    EXPECT_EQ(Text(1).size(), 255u);
    EXPECT_EQ(Text(1).back(), 'L');
    EXPECT_EQ(Text(2), "next");
    EXPECT_EQ(ed.OperationFailed, 0);
    EXPECT_TRUE(con.Showed(LinesGoOnMessage));
    EXPECT_TRUE(ed.IncompleteFile.empty());
    EXPECT_TRUE(LineGoesOn(ed, 1));
    EXPECT_EQ(KeptPart(ed, 1), longLine.substr(255));
}

TEST_F(LoadTest, LinesGetTheCapacityOfTheExtension)
{
    ASSERT_TRUE(Load("notes.60", "short\n"));
    EXPECT_EQ(ed.LineCapacity, 60);
    EXPECT_EQ(ed.FormatWidth, 60);
    EXPECT_EQ(LineCapacityOf(ed, 1), 60);
}

TEST_F(LoadTest, ExtensionRules)
{
    struct Case {
        std::string name;
        int width;
        bool pascal;
    } cases[] = {
        {"notes.60", 60, false}, {"notes.255", 254, false}, {"notes.0", 254, false},
        {"unit.pas", 85, true},  {"UNIT.Pp", 85, true},     {"/x/my.dir/file", 254, false},
        {"/x/my.072", 72, false}, {"noext", 254, false},
        // The extension is the base name's, whatever dots the directories have.
        {"./t.pas", 85, true}, {"../x/notes.60", 60, false}, {"/x/v1.2/unit.pas", 85, true},
        {"/x/notes.60/readme", 254, false},
    };
    for (const auto& c : cases) {
        ScriptedConsole console;
        console.OpenScreen();
        Editor fresh(console);
        ApplyExtensionRules(fresh, c.name);
        EXPECT_EQ(fresh.LineCapacity, c.width) << c.name;
        EXPECT_EQ(fresh.FormatWidth, c.width) << c.name;
        EXPECT_EQ(fresh.PascalMode, c.pascal) << c.name;
        EXPECT_EQ(fresh.BlankFiller.size(), static_cast<size_t>(c.width)) << c.name;
        if (c.pascal) {
            EXPECT_EQ(fresh.CommentBrackets, "{}");
            EXPECT_EQ(fresh.TabStops[1], 3);
        }
    }
}

TEST_F(LoadTest, AMissingFileIsCreatedEmpty)
{
    ed.FileName = dir + "new.txt";
    ASSERT_TRUE(LoadFile(ed));
    EXPECT_EQ(ed.LineCount, 0);
    EXPECT_TRUE(con.Showed(" New file."));
    struct stat st;
    ASSERT_EQ(stat((dir + "new.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 0);
    EXPECT_EQ(ed.LineEnd, "\n");
}

TEST_F(LoadTest, ANameThatCannotBeATextFileAsksForAnotherName)
{
    mkdir((dir + "sub").c_str(), 0755);
    mkfifo((dir + "fifo").c_str(), 0644);
    for (std::string bad : {dir + "missing/dir/file.txt", dir + "sub", dir + "fifo", std::string("/dev/null")}) {
        con.shown.clear();
        ed.FileName = bad;
        con.Push(Dismiss);
        con.Push(Esc);  // the dialog is cancelled
        ASSERT_TRUE(LoadFile(ed)) << bad;
        EXPECT_TRUE(con.Showed("INVALID FILE NAME!")) << bad;
        EXPECT_EQ(ed.FileName, "") << bad;
        EXPECT_EQ(ed.LineCount, 0);
    }
    // With another name the load starts again, from the settings the
    // rejected name's extension had not changed.
    WriteFile(dir + "good.txt", "good\n");
    ed.FileName = dir + "missing/x.pas";
    con.Push(Dismiss);
    con.Type(dir + "good.txt");
    con.Push(Enter);
    ASSERT_TRUE(LoadFile(ed));
    EXPECT_EQ(ed.FileName, dir + "good.txt");
    EXPECT_EQ(Text(1), "good");
    EXPECT_FALSE(ed.PascalMode);
    EXPECT_EQ(ed.LineCapacity, 254);
    EXPECT_EQ(ed.CommentBrackets, "??");
}

TEST_F(LoadTest, AnUnreadableFileIsNeverEmptied)
{
    // The file may be written but not read: a load that "created" it anew
    // would empty it.
    WriteFile(dir + "secret.txt", "keep me\n");
    chmod((dir + "secret.txt").c_str(), 0200);
    GiveToOrdinaryUser(dir);
    GiveToOrdinaryUser(dir + "secret.txt");
    int result = AsOrdinaryUser([&] {
        ed.FileName = dir + "secret.txt";
        con.Push(Dismiss);
        con.Push(Esc);
        if (!LoadFile(ed)) return 1;
        if (!con.Showed(" The file cannot be read: " + dir + "secret.txt")) return 2;
        if (!ed.FileName.empty() || ed.LineCount != 0) return 3;
        return 0;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadFile(dir + "secret.txt"), "keep me\n");
    EXPECT_EQ(Entries(), std::vector<std::string>{"secret.txt"});
}

TEST_F(LoadTest, NamesWithBlanksQuotesAndShellCharactersAreJustNames)
{
    // No shell ever sees the name; the temporary file beside it must not
    // trip over it either.
    const std::string name = "a b 'c' \"d\" $(touch x);|&`y`*?.txt";
    ASSERT_TRUE(Load(name, "text\n"));
    EXPECT_EQ(Text(1), "text");
    SetLine(ed, "saved", 1);
    ed.Modified = true;
    SaveFile(ed);
    EXPECT_EQ(ed.OperationFailed, 0);
    EXPECT_EQ(ReadFile(dir + name), "saved\n");
    EXPECT_EQ(Entries(), std::vector<std::string>{name});
}

TEST_F(LoadTest, AReadErrorStopsTheLoadAndMarksTheTextIncomplete)
{
    // Reading the start of one's own memory fails with an I/O error.
    ed.CodePageDetect = true;
    ed.FileName = "/proc/self/mem";
    ASSERT_TRUE(LoadFile(ed));
    EXPECT_TRUE(con.Showed(ReadErrorMessage));
    EXPECT_EQ(ed.OperationFailed, 15);
    EXPECT_EQ(ed.IncompleteMessage, ReadErrorMessage);
    EXPECT_EQ(ed.FileName, "/proc/self/mem");
}

TEST_F(LoadTest, TheLineLimitKeepsTheFirstLinesAndMarksTheTextIncomplete)
{
    std::string bytes;
    for (int i = 1; i <= MaxLines + 3; ++i) bytes += std::to_string(i) + "\n";
    ASSERT_TRUE(Load("many.txt", bytes));
    EXPECT_EQ(ed.LineCount, MaxLines);
    EXPECT_EQ(Text(MaxLines), std::to_string(MaxLines));
    EXPECT_EQ(ed.OperationFailed, 15);
    EXPECT_TRUE(con.Showed(TooManyLinesMessage));
    EXPECT_EQ(ed.IncompleteMessage, TooManyLinesMessage);

    // Exactly as many lines as the table holds is the whole file.
    bytes.resize(bytes.find("\n" + std::to_string(MaxLines + 1) + "\n") + 1);
    con.shown.clear();
    ASSERT_TRUE(Load("many.txt", bytes));
    EXPECT_EQ(ed.LineCount, MaxLines);
    EXPECT_EQ(ed.OperationFailed, 0);
    EXPECT_TRUE(ed.IncompleteFile.empty());
    EXPECT_FALSE(con.Showed(TooManyLinesMessage));
}

// The table and scratch line cost about 98.4 KB of the budget at start.
constexpr size_t FixedCost = LineSlots * 4 + 200;

class SmallBudgetTest : public FilesTest {
protected:
    SmallBudgetTest() : FilesTest(FixedCost + 40 * 256) {}
};

TEST_F(SmallBudgetTest, MemoryShortReloadsWithCompactLinesAndTogglesWrap)
{
    std::string bytes;
    for (int i = 1; i <= 100; ++i) bytes += "line " + std::to_string(i) + "\n";
    uint16_t fill = ed.FillCell;
    ASSERT_TRUE(Load("big.txt", bytes));
    EXPECT_EQ(ed.LineCount, 100);
    EXPECT_EQ(ed.LineCapacity, 7);
    EXPECT_EQ(ed.MemoryShortWidth, 254);
    EXPECT_EQ(ed.FillCell, fill ^ WrapOff);
    EXPECT_EQ(Text(1), "line 1");
    EXPECT_EQ(Text(100), "line 100");
    EXPECT_EQ(ed.OperationFailed, 0);
}

TEST_F(SmallBudgetTest, TheCompactReloadOfAUtf8FileSkipsItsByteOrderMarkAgain)
{
    ed.CodePageDetect = true;
    std::string bytes = "\xEF\xBB\xBF";
    for (int i = 1; i <= 100; ++i) bytes += "\xD0\xAF " + std::to_string(i) + "\n";
    ASSERT_TRUE(Load("ru.txt", bytes));
    EXPECT_EQ(ed.LineCapacity, 7);
    EXPECT_EQ(ed.LineCount, 100);
    EXPECT_EQ(Text(1), "\x9F 1");
    EXPECT_TRUE(ed.Utf8Bom);
}

TEST_F(SmallBudgetTest, MemoryShortAgainEndsTheEditor)
{
    std::string bytes;
    for (int i = 1; i <= 2000; ++i) bytes += "line " + std::to_string(i) + "\n";
    EXPECT_FALSE(Load("huge.txt", bytes));
    EXPECT_EQ(ed.OperationFailed, 15);
    EXPECT_TRUE(con.Showed(" NOT ENOUGH MEMORY!"));
}

class LimitBudgetTest : public FilesTest {
protected:
    // Not enough for 24,575 lines of 254, enough for them at 7.
    LimitBudgetTest() : FilesTest(FixedCost + 24575 * 8 + 64 * 1024) {}
};

TEST_F(LimitBudgetTest, TheLineLimitDuringTheCompactReloadEndsTheEditor)
{
    std::string bytes;
    for (int i = 1; i <= MaxLines + 1; ++i) bytes += "l\n";
    EXPECT_FALSE(Load("many.txt", bytes));
    EXPECT_EQ(ed.OperationFailed, 15);
    EXPECT_TRUE(con.Showed(TooManyLinesMessage));
}

TEST_F(LoadTest, Utf8FilesThatCp866HoldsAreConverted)
{
    ed.CodePageDetect = true;
    // "Привет, мир ─" with a byte-order mark
    std::string utf8 = "\xEF\xBB\xBF\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82, \xD0\xBC\xD0\xB8\xD1\x80 \xE2\x94\x80\r\nabc\r\n";
    ASSERT_TRUE(Load("ru.txt", utf8));
    EXPECT_EQ(ed.FileCodePage, CodePage::UTF8);
    EXPECT_TRUE(ed.Utf8Bom);
    EXPECT_EQ(Text(1), "\x8F\xE0\xA8\xA2\xA5\xE2, \xAC\xA8\xE0 \xC4");
    EXPECT_EQ(Text(2), "abc");

    // A character split between two reads, in the detection and in the load.
    std::string lines;
    while (lines.size() + 100 < LineSource::BufferSize - 1) lines += std::string(99, 'x') + "\n";
    lines += std::string(LineSource::BufferSize - 1 - lines.size(), 'y');
    ASSERT_TRUE(Load("split.txt", lines + "\xD0\x96\n"));
    EXPECT_EQ(ed.FileCodePage, CodePage::UTF8);
    EXPECT_EQ(Text(ed.LineCount), std::string(LineSource::BufferSize - 1 - lines.rfind('\n') - 1, 'y') + "\x86");
}

TEST_F(LoadTest, Utf8DetectionNeedsTheSwitchAndEveryCharacter)
{
    std::string utf8 = "\xD0\x9F\xD1\x80\xD0\xB8\n";
    ASSERT_TRUE(Load("off.txt", utf8));  // CodePageDetect is off in the fixture
    EXPECT_EQ(ed.FileCodePage, CodePage::ASCII);
    EXPECT_EQ(Text(1), "\xD0\x9F\xD1\x80\xD0\xB8");

    ed.CodePageDetect = true;
    std::string foreign = "\xD0\x9F " + ManyCjk() + "\n";  // П and more characters than spare bytes
    ASSERT_TRUE(Load("cjk.txt", foreign));
    EXPECT_EQ(ed.FileCodePage, CodePage::ASCII);
    EXPECT_EQ(Text(1), foreign.substr(0, foreign.size() - 1));
    EXPECT_TRUE(con.Showed(Utf8UnmappableMessage));

    std::string invalid = "\xD0\n\x9F\xC0\x80\n";
    ASSERT_TRUE(Load("bad.txt", invalid));
    EXPECT_EQ(ed.FileCodePage, CodePage::ASCII);
    EXPECT_EQ(Text(1), "\xD0");
}

TEST_F(LoadTest, ALongUtf8LineIsCutAt255Characters)
{
    ed.CodePageDetect = true;
    std::string line;
    for (int i = 0; i < 300; ++i) line += "\xD0\xAF";  // Я
    ASSERT_TRUE(Load("longru.txt", line + "\nend\n"));
    EXPECT_EQ(ed.FileCodePage, CodePage::UTF8);
    EXPECT_EQ(Text(1), std::string(255, '\x9F'));
    EXPECT_EQ(Text(2), "end");
    EXPECT_TRUE(con.Showed(LinesGoOnMessage));
}

// The file read as it was before the one-pass load: judged whole first,
// then read in the right mode (as Get file still reads).
struct Reading {
    std::vector<std::string> lines;
    Utf8Kind kind = Utf8Kind::Bytes;
    bool cut = false;
};

Reading ReadJudgedFirst(const std::string& path)
{
    Reading r;
    LineSource source(open(path.c_str(), O_RDONLY | O_CLOEXEC), LineSource::Detection::First);
    std::string line;
    while (static_cast<int>(r.lines.size()) < MaxLines && source.Next(line)) {
        r.lines.push_back(line);
    }
    r.kind = source.kind();
    r.cut = source.cut();
    return r;
}

// Loads `bytes` with detection on and checks the text against the reading above.
void ExpectLoadedAsJudgedFirst(const Editor& ed, const MessageConsole& con, const std::string& path, Utf8Kind kind)
{
    Reading want = ReadJudgedFirst(path);
    ASSERT_EQ(want.kind, kind);
    ASSERT_EQ(ed.LineCount, static_cast<int>(want.lines.size()));
    for (int i = 1; i <= ed.LineCount; ++i) {
        ASSERT_EQ(std::string(LineText(ed, i)), want.lines[i - 1]) << "line " << i;
    }
    EXPECT_EQ(ed.FileCodePage, kind == Utf8Kind::Convertible ? CodePage::UTF8 : CodePage::ASCII);
    EXPECT_EQ(std::count(con.shown.begin(), con.shown.end(), LinesGoOnMessage), want.cut ? 1 : 0);
}

std::string Cyrillic(int letters)
{
    std::string s;
    for (int i = 0; i < letters; ++i) s += i % 2 ? "\xD1\x8F" : "\xD0\xAF";  // я Я
    return s;
}

TEST_F(LoadTest, AUtf8FileIsConvertedWhereverItsFirstLetterComes)
{
    ed.CodePageDetect = true;
    // Many reads of ASCII first, then 200 letters: 400 bytes, which read
    // as bytes would be cut at 255.
    std::string ascii;
    for (int i = 1; i <= 3000; ++i) ascii += "line " + std::to_string(i) + " of plain ASCII text\n";
    ASSERT_TRUE(Load("late.txt", ascii + Cyrillic(200) + "\nend"));
    ExpectLoadedAsJudgedFirst(ed, con, dir + "late.txt", Utf8Kind::Convertible);
    EXPECT_EQ(ed.LineCount, 3002);
    EXPECT_EQ(Text(3001).size(), 200u);
    EXPECT_EQ(Text(3001).substr(0, 2), "\x9F\xEF");
    EXPECT_EQ(ed.OperationFailed, 0);
    EXPECT_TRUE(ed.IncompleteFile.empty());

    // Lines of exactly 255 bytes are whole either way; a longer ASCII line
    // is cut either way, and said so once.
    con.shown.clear();
    std::string full;
    for (int i = 0; i < 100; ++i) full += std::string(255, static_cast<char>('a' + i % 26)) + "\r\n";
    full += std::string(300, 'z') + "\r\n";
    ASSERT_TRUE(Load("full.txt", full + Cyrillic(250) + "\r\n"));
    ExpectLoadedAsJudgedFirst(ed, con, dir + "full.txt", Utf8Kind::Convertible);
    EXPECT_EQ(Text(100), std::string(255, 'v'));
    EXPECT_EQ(Text(101), std::string(255, 'z'));
    EXPECT_EQ(Text(102).size(), 250u);
    EXPECT_EQ(ed.LineEnd, "\r\n");
    EXPECT_TRUE(ed.IncompleteMessage.empty());
    EXPECT_TRUE(LineGoesOn(ed, 101));

    // A byte-order mark, and a first letter split between two reads.
    con.shown.clear();
    std::string split = "\xEF\xBB\xBF";
    while (split.size() + 100 < LineSource::BufferSize - 1) split += std::string(99, 'x') + "\n";
    split += std::string(LineSource::BufferSize - 1 - split.size(), 'y');
    ASSERT_TRUE(Load("split.txt", split + "\xD0\x96\n"));
    ExpectLoadedAsJudgedFirst(ed, con, dir + "split.txt", Utf8Kind::Convertible);
    EXPECT_TRUE(ed.Utf8Bom);
    EXPECT_EQ(Text(1), std::string(99, 'x'));
    EXPECT_EQ(Text(ed.LineCount).back(), '\x86');
}

TEST_F(LoadTest, AFileThatStopsBeingUtf8NearItsEndIsLoadedAsBytes)
{
    ed.CodePageDetect = true;
    std::string letters;
    for (int i = 0; i < 200; ++i) letters += Cyrillic(200) + "\n";
    for (const std::string& tail : {std::string("\xFF\n"), std::string("\xD0\xAF\xD0"),
                                     ManyCjk() + "\n"}) {
        con.shown.clear();
        ASSERT_TRUE(Load("bad.txt", letters + "end " + tail));
        bool unmappable = tail[0] == '\xE4';
        ExpectLoadedAsJudgedFirst(ed, con, dir + "bad.txt", unmappable ? Utf8Kind::Unmappable : Utf8Kind::Bytes);
        // As bytes, the 400-byte lines are cut at 255 and keep their ends.
        EXPECT_EQ(Text(1), Cyrillic(200).substr(0, 255));
        EXPECT_TRUE(ed.IncompleteMessage.empty());
        EXPECT_TRUE(LineGoesOn(ed, 1));
        EXPECT_EQ(con.Showed(Utf8UnmappableMessage), unmappable);
    }
}

TEST_F(LoadTest, LinesBeyondTheLineLimitStillDecideTheCodePage)
{
    ed.CodePageDetect = true;
    std::string bytes;
    for (int i = 1; i <= MaxLines + 3; ++i) bytes += i == MaxLines + 2 ? Cyrillic(3) + "\n" : "x\n";
    ASSERT_TRUE(Load("many.txt", bytes));
    ExpectLoadedAsJudgedFirst(ed, con, dir + "many.txt", Utf8Kind::Convertible);
    EXPECT_EQ(ed.LineCount, MaxLines);
    EXPECT_EQ(std::count(con.shown.begin(), con.shown.end(), TooManyLinesMessage), 1);
    EXPECT_EQ(ed.IncompleteMessage, TooManyLinesMessage);

    // Far beyond what the table can take, nothing is judged any more.
    con.shown.clear();
    bytes.clear();
    for (int i = 1; i <= 3 * MaxLines; ++i) bytes += "x\n";
    ASSERT_TRUE(Load("huge.txt", bytes + Cyrillic(3) + "\n"));
    ExpectLoadedAsJudgedFirst(ed, con, dir + "huge.txt", Utf8Kind::Bytes);
    EXPECT_EQ(ed.FileCodePage, CodePage::ASCII);
    EXPECT_EQ(ed.IncompleteMessage, TooManyLinesMessage);

    // Where the judgement stops: at the end of the read in which the line
    // ends (CR and LF each) outnumber twice the table's lines. With three
    // bytes and two line ends a line, that is past byte 73,731, in the read
    // of bytes 65,536 to 81,919.
    struct Case {
        size_t letterAt;
        Utf8Kind kind;
    } cases[] = {{70000, Utf8Kind::Convertible}, {81000, Utf8Kind::Convertible}, {83000, Utf8Kind::Bytes}};
    for (const Case& c : cases) {
        bytes.clear();
        while (bytes.size() < c.letterAt) bytes += "x\r\n";
        bytes += Cyrillic(1) + "\r\n";
        while (bytes.size() < 120000) bytes += "x\r\n";
        ASSERT_TRUE(Load("edge.txt", bytes));
        ExpectLoadedAsJudgedFirst(ed, con, dir + "edge.txt", c.kind);
        EXPECT_EQ(ed.LineCount, MaxLines) << c.letterAt;
    }
}

TEST_F(SmallBudgetTest, MemoryRunningShortBeforeTheFirstLetterReloadsOnceConverting)
{
    ed.CodePageDetect = true;
    std::string bytes;
    for (int i = 1; i <= 99; ++i) bytes += "line " + std::to_string(i) + "\n";
    bytes += Cyrillic(4) + "\n";
    uint16_t fill = ed.FillCell;
    ASSERT_TRUE(Load("late.txt", bytes));
    EXPECT_EQ(ed.FileCodePage, CodePage::UTF8);
    EXPECT_EQ(ed.LineCount, 100);
    EXPECT_EQ(ed.LineCapacity, 7);
    EXPECT_EQ(ed.MemoryShortWidth, 254);
    EXPECT_EQ(ed.FillCell, fill ^ WrapOff);  // toggled once, not once per reading
    EXPECT_EQ(Text(100), "\x9F\xEF\x9F\xEF");
    EXPECT_EQ(ed.OperationFailed, 0);
    EXPECT_FALSE(con.Showed(" NOT ENOUGH MEMORY!"));
}

}  // namespace
}  // namespace lumo::filetest
