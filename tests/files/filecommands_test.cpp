#include <cstdlib>

#include "app/startup.h"
#include "files/fileinternal.h"
#include "editor/keys.h"
#include "files/files_fixture.h"
#include "files/shell.h"

namespace lumo::filetest {
namespace {

using FileCommandTest = FilesTest;

TEST_F(FileCommandTest, WriteBlockAppendsOnlyAfterShiftF2)
{
    AddLines({"one", "two", "three"});
    ed.FileName = dir + "text.txt";
    ed.LineBlockFirst = 2;
    ed.LineBlockLast = 3;
    WriteFile(dir + "block.txt", "old\n");

    StoreKey(ed, KeyShiftF2);
    con.Type(dir + "block.txt");
    con.Push(Enter);
    WriteBlock(ed);
    EXPECT_EQ(ed.OperationFailed, 0);
    EXPECT_EQ(ReadFile(dir + "block.txt"), "old\ntwo\nthree\n");
    EXPECT_EQ(ed.SideFileName, dir + "block.txt");

    StoreKey(ed, 0x0000310D);  // the File menu's item key
    con.Push(Enter);           // the name offered is the last one
    WriteBlock(ed);
    EXPECT_EQ(ReadFile(dir + "block.txt"), "two\nthree\n");
    EXPECT_EQ(ed.FileName, dir + "text.txt");

    // Appended to a file whose last line has no end, the block starts a line.
    WriteFile(dir + "block.txt", "open");
    StoreKey(ed, KeyShiftF2);
    con.Push(Enter);
    WriteBlock(ed);
    EXPECT_EQ(ReadFile(dir + "block.txt"), "open\ntwo\nthree\n");
}

TEST_F(FileCommandTest, AWholeTextBlockRenamesTheTextOnlyWhenItReplacedTheFile)
{
    AddLines({"one", "two"});
    ed.FileName = dir + "text.txt";
    ed.LineBlockFirst = 1;
    ed.LineBlockLast = 2;
    WriteFile(dir + "log.txt", "log\n");
    StoreKey(ed, KeyShiftF2);
    con.Type(dir + "log.txt");
    con.Push(Enter);
    WriteBlock(ed);
    EXPECT_EQ(ReadFile(dir + "log.txt"), "log\none\ntwo\n");
    EXPECT_EQ(ed.FileName, dir + "text.txt");

    StoreKey(ed, KeyShiftF2);  // a new file cannot be appended to: it is created
    con.Type(dir + "copy.txt");
    con.Push(Enter);
    WriteBlock(ed);
    EXPECT_EQ(ReadFile(dir + "copy.txt"), "one\ntwo\n");
    EXPECT_EQ(ed.FileName, dir + "copy.txt");
}

TEST_F(FileCommandTest, APartOfTheTextWrittenOverItsOwnFileLeavesTheTextModified)
{
    // Otherwise Esc would quit as "unchanged" with two lines lost on disk.
    WriteFile(dir + "text.txt", "one\ntwo\nthree\n");
    ed.FileName = dir + "text.txt";
    ASSERT_TRUE(LoadFile(ed));
    ed.LineBlockFirst = 2;
    ed.LineBlockLast = 2;
    StoreKey(ed, 0x0000330D);
    con.Push(Enter);  // the name offered is the edited file's
    WriteBlock(ed);
    EXPECT_EQ(ReadFile(dir + "text.txt"), "two\n");
    EXPECT_TRUE(ed.Modified);
    EXPECT_EQ(ed.FileName, dir + "text.txt");
    SaveFile(ed);
    EXPECT_EQ(ReadFile(dir + "text.txt"), "one\ntwo\nthree\n");

    // Appended to it: the same.
    StoreKey(ed, KeyShiftF2);
    con.Push(Enter);
    WriteBlock(ed);
    EXPECT_EQ(ReadFile(dir + "text.txt"), "one\ntwo\nthree\ntwo\n");
    EXPECT_TRUE(ed.Modified);
}

TEST_F(FileCommandTest, AnIncompleteTextGoesToOtherFilesButNotOverItsOwn)
{
    const std::string original = std::string(300, 'x') + "\nb\n";
    WriteFile(dir + "cut.txt", original);
    ed.FileName = dir + "cut.txt";
    ASSERT_TRUE(LoadFile(ed));
    SetLine(ed, std::string(254, 'x'), 1);  // the cut line changed: its end is lost
    ed.LineBlockFirst = 1;
    ed.LineBlockLast = 2;
    StoreKey(ed, 0x0000310D);
    con.Type(dir + "cut.txt");  // replacing its own file: refused, asked again
    con.Push(Enter);
    con.Push(Dismiss);
    con.Type(dir + "block.txt");
    con.Push(Enter);
    WriteBlock(ed);
    EXPECT_TRUE(con.Showed(ChangedCutLineMessage(1)));
    EXPECT_EQ(ReadFile(dir + "cut.txt"), original);
    EXPECT_EQ(ReadFile(dir + "block.txt"), std::string(254, 'x') + "\nb\n");
    // The whole text went to block.txt: that is the edited file now, and
    // saving over it loses nothing.
    EXPECT_EQ(ed.FileName, dir + "block.txt");

    ASSERT_EQ(mkdir((dir + "out").c_str(), 0755), 0);
    con.Type(dir + "out");
    con.Push(Enter);
    WriteToOther(ed, 0);
    EXPECT_EQ(ReadFile(dir + "out/block.txt"), std::string(254, 'x') + "\nb\n");
}

TEST_F(FileCommandTest, WriteBlockWithoutABlockSaysSo)
{
    AddLines({"one"});
    WriteBlock(ed);
    EXPECT_TRUE(con.Showed("No marked block!"));
    EXPECT_EQ(ed.OperationFailed, 1);
}

TEST_F(FileCommandTest, GetFileInsertsAfterTheCursorLineAndUnGetRemovesExactlyThose)
{
    AddLines({"a", "b", "c"});
    ed.Modified = false;
    ed.CurrentLine = 2;
    WriteFile(dir + "part.txt", "x\r\ny\r\nz");
    con.Type(dir + "part.txt");
    con.Push(Enter);
    GetFile(ed);
    ASSERT_EQ(ed.LineCount, 6);
    EXPECT_EQ(Text(2), "b");
    EXPECT_EQ(Text(3), "x");
    EXPECT_EQ(Text(5), "z");
    EXPECT_EQ(Text(6), "c");
    EXPECT_EQ(ed.CurrentLine, 2);
    EXPECT_TRUE(ed.Modified);
    EXPECT_EQ(ed.UnGetFirst, 3);
    EXPECT_EQ(ed.UnGetLast, 5);
    EXPECT_EQ(ed.SideFileName, dir + "part.txt");

    UnGet(ed);
    ASSERT_EQ(ed.LineCount, 3);
    EXPECT_EQ(Text(3), "c");
    EXPECT_EQ(ed.UnGetLast, 0);
    UnGet(ed);  // a second Un-get deletes nothing
    EXPECT_EQ(ed.LineCount, 3);
}

TEST_F(FileCommandTest, AnotherCommandMakesUnGetForgetTheLines)
{
    AddLines({"a"});
    WriteFile(dir + "part.txt", "x\n");
    con.Type(dir + "part.txt");
    con.Push(Enter);
    GetFile(ed);
    ASSERT_EQ(ed.LineCount, 2);
    ForgetUnGet(ed);
    UnGet(ed);
    EXPECT_EQ(ed.LineCount, 2);
}

TEST_F(FileCommandTest, GetFileAsksAgainForAMissingFileAndEscCancels)
{
    AddLines({"a"});
    con.Type(dir + "missing.txt");
    con.Push(Enter);
    con.Push(Dismiss);
    con.Push(Esc);
    GetFile(ed);
    EXPECT_TRUE(con.Showed(" File not found: " + dir + "missing.txt"));
    EXPECT_EQ(ed.LineCount, 1);
    EXPECT_EQ(ed.OperationFailed, 1);
}

class GetFileBudgetTest : public FilesTest {
protected:
    GetFileBudgetTest() : FilesTest(LineSlots * 4 + 200 + 3 * 255) {}
};

TEST_F(GetFileBudgetTest, GetFileStopsAtTheFirstRefusedLine)
{
    AddLines({"a"});
    WriteFile(dir + "part.txt", "1\n2\n3\n4\n5\n6\n");
    con.Type(dir + "part.txt");
    con.Push(Enter);
    GetFile(ed);
    EXPECT_TRUE(con.Showed(" NOT ENOUGH MEMORY!"));
    ASSERT_GE(ed.LineCount, 2);
    ASSERT_LT(ed.LineCount, 7);
    for (int i = 2; i <= ed.LineCount; ++i) EXPECT_EQ(Text(i), std::to_string(i - 1));
    EXPECT_EQ(ed.UnGetLast, ed.LineCount);
    UnGet(ed);
    EXPECT_EQ(ed.LineCount, 1);
    EXPECT_EQ(Text(1), "a");
}

TEST_F(FileCommandTest, GetFileConvertsAUtf8File)
{
    ed.CodePageDetect = true;
    AddLines({"a"});
    WriteFile(dir + "ru.txt", "\xD0\x94\xD0\xB0\n");
    con.Type(dir + "ru.txt");
    con.Push(Enter);
    GetFile(ed);
    EXPECT_EQ(Text(2), "\x84\xA0");
    EXPECT_EQ(ed.FileCodePage, CodePage::ASCII);
}

TEST_F(FileCommandTest, WriteToOtherWritesTheBaseNameIntoTheDirectory)
{
    ASSERT_EQ(mkdir((dir + "out").c_str(), 0755), 0);
    AddLines({"one"});
    ed.FileName = dir + "text.txt";
    ed.Modified = true;
    con.Type(dir + "out");
    con.Push(Enter);
    WriteToOther(ed, 0);
    EXPECT_EQ(ed.OperationFailed, 0);
    EXPECT_EQ(ReadFile(dir + "out/text.txt"), "one\n");
    EXPECT_EQ(ed.FileName, dir + "text.txt");
    EXPECT_TRUE(ed.Modified);
}

TEST_F(FileCommandTest, WriteToOtherRefusesTheEditedFileAndImpossibleTargets)
{
    AddLines({"one"});
    WriteFile(dir + "text.txt", "on disk\n");
    ed.FileName = dir + "text.txt";
    con.Type(dir);
    con.Push(Enter);
    WriteToOther(ed, 0);
    EXPECT_TRUE(con.Showed("Invalid drive letter or path: " + dir + "text.txt !"));
    EXPECT_EQ(ReadFile(dir + "text.txt"), "on disk\n");

    con.Type(dir + "none/");
    con.Push(Enter);
    WriteToOther(ed, 0);
    EXPECT_TRUE(con.Showed("Invalid drive letter or path: " + dir + "none/text.txt !"));
    EXPECT_EQ(ed.OperationFailed, 1);
}

TEST_F(FileCommandTest, DriveLettersStandForDirectoriesUnderMnt)
{
    AddLines({"one"});
    ed.FileName = dir + "text.txt";
    for (const char* answer : {"\x94", "\xE4", "A:"}) {
        if (access("/mnt/a", F_OK) == 0) GTEST_SKIP() << "/mnt/a exists here";
        con.shown.clear();
        con.Type(answer);
        con.Push(Enter);
        WriteToOther(ed, 0);
        EXPECT_TRUE(con.Showed("Invalid drive letter or path: /mnt/a/text.txt !")) << answer;
    }
}

TEST_F(FileCommandTest, EditOtherRunsTheEditorOnTheQuotedName)
{
    const std::string script = dir + "comspec.sh";
    WriteFile(script, "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + dir + "args'\n");
    chmod(script.c_str(), 0755);
    const char* old = std::getenv("COMSPEC");
    std::string saved = old ? old : "";
    setenv("COMSPEC", script.c_str(), 1);
    ed.FileName = dir + "text.txt";
    // A name that looks like an option is still a name: it comes after "--".
    for (std::string name : {dir + "it's $(other).txt", std::string("--help"), std::string("-m5")}) {
        ed.OtherFileName = name;
        con.Push(Enter);
        EditOther(ed);
        EXPECT_EQ(ed.OperationFailed, 0);
        EXPECT_EQ(ReadFile(dir + "args"),
                  "/C\n" + ShellQuote(OwnProgramPath()) + OptionsForChild(ed) + " -- " + ShellQuote(name) + "\n");
    }
    if (old) setenv("COMSPEC", saved.c_str(), 1);
    else unsetenv("COMSPEC");
}

TEST_F(FileCommandTest, EditOtherOnTheEditedFileIsRefused)
{
    WriteFile(dir + "text.txt", "x\n");
    ed.FileName = dir + "text.txt";
    ed.OtherFileName = dir + "text.txt";
    con.Push(Enter);
    EditOther(ed);
    EXPECT_EQ(ed.OperationFailed, 1);
    EXPECT_TRUE(con.Showed(" This file is being edited here already!"));
}

TEST_F(FileCommandTest, FindSideFileLooksHereThenBesideTheProgram)
{
    std::string found;
    WriteFile(dir + "side.lmo", "s\n");
    EXPECT_TRUE(FindSideFile(dir + "side.lmo", found));
    EXPECT_EQ(found, dir + "side.lmo");
    EXPECT_FALSE(FindSideFile(dir + "absent.lmo", found));
    EXPECT_FALSE(FindSideFile("", found));
    // The test program's own directory holds the test program; look from
    // elsewhere so that the working directory cannot answer first.
    std::string self = std::filesystem::read_symlink("/proc/self/exe").filename().string();
    std::filesystem::path here = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    bool beside = FindSideFile(self, found);
    std::filesystem::current_path(here);
    EXPECT_TRUE(beside);
    EXPECT_EQ(found, std::filesystem::read_symlink("/proc/self/exe").string());
}

TEST_F(FileCommandTest, ALongNameTakenUnchangedFromTheDialogStaysWhole)
{
    std::string name = dir + std::string(280, 'n');
    TextFile file;
    con.Push(Enter);
    OpenFileDialog(ed, name, file, OpenNameOnly);
    EXPECT_EQ(ed.OperationFailed, 0);
    EXPECT_EQ(name, dir + std::string(280, 'n'));
    con.Type("short.txt");
    con.Push(Enter);
    OpenFileDialog(ed, name, file, OpenNameOnly);
    EXPECT_EQ(name, "short.txt");
}

TEST_F(FileCommandTest, CyrillicNamesAreTypedInCp866AndLiveOnDiskInUtf8)
{
    AddLines({"text"});
    ed.Modified = true;
    con.Type(dir + "\xAE\xE2\xE7\xA5\xE2.txt");  // отчет.txt typed
    con.Push(Enter);
    SaveFile(ed);
    const std::string utf8Name = dir + "\xD0\xBE\xD1\x82\xD1\x87\xD0\xB5\xD1\x82.txt";
    EXPECT_EQ(ed.FileName, utf8Name);
    EXPECT_EQ(ReadFile(utf8Name), "text\n");

    // Offered again, it is shown in CP866 and taken back unchanged.
    std::string name = "\xD0\xBE\xD1\x82\xD1\x87\xD0\xB5\xD1\x82.txt";
    TextFile file;
    con.Push(Enter);
    OpenFileDialog(ed, name, file, OpenNameOnly);
    EXPECT_EQ(name, "\xD0\xBE\xD1\x82\xD1\x87\xD0\xB5\xD1\x82.txt");
    EXPECT_NE(con.rowAtKey.find("\xAE\xE2\xE7\xA5\xE2.txt"), std::string::npos);
}

TEST_F(FileCommandTest, AnEmptyNameIsAskedAgainOnlyWhenReading)
{
    TextFile file;
    std::string name;
    // Mode 0: the empty answer, then Esc at the second prompt.
    con.Push(Enter);
    con.Push(Dismiss);
    con.Push(Esc);
    OpenFileDialog(ed, name, file, OpenReadAsk);
    EXPECT_EQ(ed.OperationFailed, 1);
    EXPECT_EQ(std::count(con.shown.begin(), con.shown.end(), " File not found:"), 1);
    for (int mode : {OpenWriteAsk, OpenNameOnly}) {
        con.shown.clear();
        con.Push(Enter);
        OpenFileDialog(ed, name, file, mode);
        EXPECT_EQ(ed.OperationFailed, 1) << mode;
        EXPECT_TRUE(con.Showed(" File not found:")) << mode;
        EXPECT_FALSE(file.writer) << mode;
    }
    EXPECT_TRUE(Entries().empty());
}

TEST_F(FileCommandTest, TheDialogAppendsOnlyToAnExistingFileAndOnlyAfterShiftF2)
{
    WriteFile(dir + "a.txt", "a\n");
    AddLines({"b"});
    TextFile file;
    std::string name = dir + "a.txt";
    StoreKey(ed, F2);
    OpenFileDialog(ed, name, file, OpenWrite);
    ASSERT_EQ(ed.OperationFailed, 0);
    SaveLines(ed, 1, 1, file, SaveAsIs);
    EXPECT_EQ(ReadFile(dir + "a.txt"), "b\n");

    StoreKey(ed, KeyShiftF2);
    OpenFileDialog(ed, name, file, OpenWrite);
    SaveLines(ed, 1, 1, file, SaveAsIs);
    EXPECT_EQ(ReadFile(dir + "a.txt"), "b\nb\n");

    name = dir + "x/none.txt";
    OpenFileDialog(ed, name, file, OpenWrite);
    EXPECT_EQ(ed.OperationFailed, 1);
    OpenFileDialog(ed, name, file, OpenRead);
    EXPECT_EQ(ed.OperationFailed, 1);
    EXPECT_TRUE(con.Showed(" File not found: " + name));
}

}  // namespace
}  // namespace lumo::filetest
