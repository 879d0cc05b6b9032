// The abbreviations and key-definitions files as data: what is read of
// files with bad lines, the key-definitions file written whole, and the
// lookups that find them.
#include <filesystem>
#include <string>

#include "app/loop_fixture.h"
#include "edit/abbreviation.h"
#include "files/abbreviations.h"
#include "files/shell.h"
#include "test_support.h"

namespace lumo {
namespace {

using namespace keys;
using namespace std::string_literals;

struct SideFilesTest : LoopTest {
    TempDirectory dir;
    ScopedEnv config{"XDG_CONFIG_HOME", (std::filesystem::current_path() / "config").string()};
};

TEST_F(SideFilesTest, ShortsFileWithBadLinesLoadsWhatIsValid)
{
    std::string file;
    for (int i = 0; i < 150; ++i) file += "a" + std::to_string(i) + "\a" + std::to_string(i) + "\r\n";
    file += "nul\0line\r\n"s;
    file += std::string(300, 'w') + "\r";  // CR alone ends a line too
    file += "cr\aonly\r\n";
    for (int i = 0; i < 150; ++i) file += "entry " + std::to_string(i) + "\n";
    // Megabytes of it: reading stops once both tables are full.
    file += std::string(4 << 20, 'z');
    WriteFile("shorts.lmo", file);
    ASSERT_TRUE(ReadShorts(ed));
    ASSERT_EQ(ed.AbbrevList.size(), 100u);
    EXPECT_EQ(ed.AbbrevList[0], "a0\a0");
    EXPECT_EQ(ed.AbbrevList[99], "a99\a99");
    ASSERT_EQ(ed.CompletionList.size(), 100u);
    EXPECT_EQ(ed.CompletionList[0], std::string(255, 'w'));  // at most 255 characters of a line
    EXPECT_EQ(ed.CompletionList[99], "entry 98");
    const size_t used = ed.MemoryUsed;

    // Read again: the tables are replaced, not added to, and paid for once.
    ASSERT_TRUE(ReadShorts(ed));
    EXPECT_EQ(ed.MemoryUsed, used);
    // Without a file the tables stay; with a file that cannot be read they go.
    std::filesystem::remove("shorts.lmo");
    EXPECT_FALSE(ReadShorts(ed));
    EXPECT_EQ(ed.AbbrevList.size(), 100u);

    // A file in the user's configuration directory is found; a UTF-8 one
    // (as vim writes it) is read as CP866.
    std::filesystem::create_directories("config/lumo");
    WriteFile("config/lumo/shorts.lmo", "\xEF\xBB\xBF\xD0\xBF\xD1\x80\a\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\n");
    ASSERT_TRUE(ReadShorts(ed));
    ASSERT_EQ(ed.AbbrevList.size(), 1u);
    EXPECT_EQ(ed.AbbrevList[0], "\xAF\xE0\a\xAF\xE0\xA8\xA2\xA5\xE2");
    EXPECT_TRUE(ed.CompletionList.empty());

    // Within the memory budget: a small budget stops the reading.
    Editor small(con);
    small.MemoryBudget = small.MemoryUsed + 40;
    WriteFile("shorts.lmo", "one\r\ntwo two two two two two two two two two\r\nthree\r\n");
    ASSERT_TRUE(ReadShorts(small));
    EXPECT_LE(small.MemoryUsed, small.MemoryBudget);
    EXPECT_EQ(small.CompletionList.size(), 1u);
}

TEST_F(SideFilesTest, AddCopiesTheFoundFileAndKeepsItsEncoding)
{
    std::filesystem::create_directories("config/lumo");
    WriteFile("config/lumo/shorts.lmo", "\xD0\xBF\xD1\x80\a\xD0\xBF\xD1\x80\xD0\xB8\n" "no end");
    AddLines({"\xA2\xA5\xE1\xA5\xAB\xEB\xA9"});  // весёлый in CP866, more or less
    Push(AltScan(0x2B, true));                  // Add current line
    Run();
    EXPECT_EQ(ReadFile("shorts.lmo"),
              "\xD0\xBF\xD1\x80\a\xD0\xBF\xD1\x80\xD0\xB8\n" "no end\r\n"
              "\xD0\xB2\xD0\xB5\xD1\x81\xD0\xB5\xD0\xBB\xD1\x8B\xD0\xB9\r\n");
    EXPECT_EQ(ReadFile("config/lumo/shorts.lmo"), "\xD0\xBF\xD1\x80\a\xD0\xBF\xD1\x80\xD0\xB8\n" "no end");
    EXPECT_EQ(ed.AbbrevList.size(), 1u);
    EXPECT_EQ(ed.CompletionList.size(), 2u);
    EXPECT_TRUE(con.Showed("Added \""));
    // A line end in the text is refused; nothing is written.
    SetLine(ed, "a\nb", 1);
    Push(AltScan(0x2B, true));
    Run();
    EXPECT_TRUE(con.Showed(" Line ends cannot be stored!"));
    EXPECT_EQ(ed.CompletionList.size(), 2u);
}

// CP866 text whose bytes happen to form UTF-8 ("\xD0\x90" is ╨Р in CP866 and
// the UTF-8 of А) reads back as written, whatever the file held before; what
// the file held stays as it was.
TEST_F(SideFilesTest, Cp866TextThatLooksLikeUtf8ReadsBackAsWritten)
{
    const std::string tricky = "\xD0\x90\xD1\x8F ok";  // ╨Р╤П ok
    const std::pair<const char*, const char*> files[] = {
        {"no file", nullptr}, {"ASCII", "plain\r\n"}, {"no line end", "plain"},
        {"CP866", "\xAF\xE0\xA8\r\n"}, {"UTF-8", "\xD0\xBF\xD1\x80\r\n"}};
    for (const auto& [name, before] : files) {
        std::filesystem::remove("shorts.lmo");
        if (before) WriteFile("shorts.lmo", before);
        ASSERT_TRUE(AppendAbbreviation(tricky)) << name;
        ASSERT_TRUE(ReadShorts(ed)) << name;
        ASSERT_FALSE(ed.CompletionList.empty()) << name;
        EXPECT_EQ(ed.CompletionList.back(), tricky) << name;
        if (before) {
            EXPECT_EQ(ReadFile("shorts.lmo").rfind(before, 0), 0u) << name;
        }
    }
    AddLines({""});
    DefineMacro(ed, 5, tricky);
    ed.MacrosChanged = true;
    Push(Enter);  // the name offered: keydef.lmo
    MacroFile(ed, MacroFileWrite);
    Editor other(con);
    MacroFile(other, MacroFileStartup);
    EXPECT_EQ(other.MacroTable[5], tricky);
}

TEST_F(SideFilesTest, KeyDefinitionsFileWrittenAndRead)
{
    AddLines({""});
    DefineMacro(ed, 3, "first");
    DefineMacro(ed, 200, "second text ");
    ed.MacrosChanged = true;
    Push(Enter);  // the name offered: keydef.lmo
    MacroFile(ed, MacroFileWrite);
    EXPECT_EQ(ReadFile("keydef.lmo"), "3 first\r\n200 second text \r\n");
    EXPECT_FALSE(ed.MacrosChanged);
    EXPECT_TRUE(con.Showed(" keydef.lmo - OK!"));

    // Data, never commands: bad numbers, NUL, CR alone, long lines; a later
    // line for the same index replaces the earlier one.
    const std::string longText(300, 'L');
    WriteFile("keydef.lmo", "abc hello\r\n"
                            "7 seven\r\n"
                            "007 again\r\n"
                            "256 too big\r\n"
                            "-1 minus\r\n"
                            "+5 plus\r\n"
                            "1000 four digits\r\n"
                            "12\r\n"
                            " 13 leading blank\r\n"
                            "14\tab\r\n"
                            "15 nul\0here\r\n"s +
                            "16 x\r30 hello\r\n" +
                            "4 " + longText + "\r\n"
                            "9 keeps  trailing blanks  \n"
                            "0 zero\n");
    ASSERT_TRUE(ed.MacroDefined[3]);
    MacroFile(ed, MacroFileStartup);
    EXPECT_EQ(ed.MacroTable[7], "again");
    EXPECT_EQ(ed.MacroTable[16], "x");
    EXPECT_EQ(ed.MacroTable[30], "hello");
    EXPECT_EQ(ed.MacroTable[4], longText.substr(0, 255));
    EXPECT_EQ(ed.MacroTable[9], "keeps  trailing blanks  ");
    EXPECT_EQ(ed.MacroTable[0], "zero");
    EXPECT_EQ(ed.MacroTable[3], "first");  // not mentioned: stays
    for (int index : {5, 12, 13, 14, 15, 100, 255}) EXPECT_FALSE(ed.MacroDefined[index]) << index;
    int defined = 0;
    for (bool d : ed.MacroDefined) defined += d;
    EXPECT_EQ(defined, 8);

    // Written back, a 255-character text survives whole (the line is 257).
    ed.MacrosChanged = true;
    Push(Enter);
    MacroFile(ed, MacroFileWrite);
    EXPECT_NE(ReadFile("keydef.lmo").find("4 " + longText.substr(0, 255) + "\r\n"), std::string::npos);
    Editor other(con);
    MacroFile(other, MacroFileStartup);
    EXPECT_EQ(other.MacroTable[4], longText.substr(0, 255));
    EXPECT_FALSE(other.MacroDefined[0]);  // index 0 is never written
}

TEST_F(SideFilesTest, CancelledDialogFallsBackOnTheFoundFileAndAFailedWriteKeepsTheFlag)
{
    AddLines({""});
    WriteFile("keydef.lmo", "5 five\r\n");
    ed.KeyDefFileName = "elsewhere.lmo";
    Push(Esc);    // the dialog on elsewhere.lmo
    Push(Enter);  // the dialog again, on the keydef.lmo found
    MacroFile(ed, MacroFileRead);
    EXPECT_EQ(ed.MacroTable[5], "five");
    EXPECT_EQ(ed.KeyDefFileName, "keydef.lmo");

    // Writing where no file can be: the write error, the question again,
    // and the old file as it was; the definitions still count as unsaved.
    DefineMacro(ed, 6, "six");
    ed.MacrosChanged = true;
    std::filesystem::create_directory("adir");
    ed.KeyDefFileName = "adir";
    Push(Enter);  // adir: refused, asked again
    Push(0x00003920);  // Space ends the write error; the dialog does not take it
    Push(Esc);
    Push(Esc);    // and the fallback keydef.lmo refused too
    MacroFile(ed, MacroFileWrite);
    EXPECT_TRUE(ed.MacrosChanged);
    EXPECT_EQ(ReadFile("keydef.lmo"), "5 five\r\n");

    // Quit offers to save them.
    ed.KeyDefFileName = "keydef.lmo";
    Push('1');
    Push(Enter);
    AskSaveMacros(ed);
    EXPECT_FALSE(ed.MacrosChanged);
    EXPECT_EQ(ReadFile("keydef.lmo"), "5 five\r\n6 six\r\n");
}

}  // namespace
}  // namespace lumo
