#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include "editor/keys.h"
#include "files/files_fixture.h"

namespace lumo::filetest {
namespace {

using SaveTest = FilesTest;


TEST_F(SaveTest, UnchangedTextsComeBackByteForByte)
{
    const std::string files[] = {
        "one\ntwo\n\nfour\n",
        "one\r\ntwo\r\n\r\nfour\r\n",
        "one\rtwo\r\rfour\r",
        std::string("tab\tnul\0mid\x1A\n", 13),
    };
    for (const auto& bytes : files) {
        ASSERT_TRUE(Load("rt.txt", bytes));
        ed.Modified = true;
        SaveFile(ed);
        EXPECT_EQ(ed.OperationFailed, 0);
        EXPECT_FALSE(ed.Modified);
        EXPECT_EQ(ReadFile(dir + "rt.txt"), bytes);
    }
}

TEST_F(SaveTest, TrailingBlanksAndNulsAreDroppedAndEveryLineGetsItsEnd)
{
    ASSERT_TRUE(Load("t.txt", "x\r\n"));
    SetLine(ed, std::string("abc  \0 \0", 8), 1);
    int at = 2;
    InsertLine(ed, 10, at);
    SetLine(ed, "     ", 2);
    at = 3;
    InsertLine(ed, 10, at);
    SetLine(ed, "end\x01\t", 3);  // a colour code at the end is text
    ed.Modified = true;
    SaveFile(ed);
    EXPECT_EQ(ReadFile(dir + "t.txt"), "abc\r\n\r\nend\x01\t\r\n");
}

TEST_F(SaveTest, EncodeLinesModesAndCodePages)
{
    AddLines({"a\x05z", "\x80\xA0\x01"});
    EXPECT_EQ(EncodeLines(ed, 1, 2, SaveAsIs), "a\x05z\n\x80\xA0\x01\n");
    EXPECT_EQ(EncodeLines(ed, 1, 2, SaveControlBlank), "a z\n\x80\xA0 \n");  // blanks made of codes stay
    EXPECT_EQ(EncodeLines(ed, 1, 2, SaveControlCode), "a#5z\n\x80\xA0#1\n");
    ed.FileCodePage = CodePage::ANSI;
    EXPECT_EQ(EncodeLines(ed, 2, 2, SaveAsIs), "\xC0\xE0\x01\n");
    ed.FileCodePage = CodePage::KOI8;
    EXPECT_EQ(EncodeLines(ed, 2, 2, SaveAsIs), "\xE1\xC1\x01\n");
    ed.FileCodePage = CodePage::UTF8;
    EXPECT_EQ(EncodeLines(ed, 2, 2, SaveAsIs), "\xD0\x90\xD0\xB0\x01\n");
    // The "#" codes never make a line longer than 255 characters.
    ed.FileCodePage = CodePage::ASCII;
    SetLine(ed, std::string(200, '\x1F'), 1);
    EXPECT_EQ(EncodeLines(ed, 1, 1, SaveControlCode).size(), 256u);
}

TEST_F(SaveTest, Utf8FilesAreSavedBackExactlyWithTheirByteOrderMark)
{
    ed.CodePageDetect = true;
    const std::string files[] = {
        "\xEF\xBB\xBF\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\r\n\xE2\x95\x94\xE2\x95\x90\xC2\xA0\xE2\x88\x9A\r\n",
        "\xD0\x81\xD1\x91 \xE2\x96\x91\xE2\x96\x88\n",
        "\xD0\x9F \xE4\xB8\xAD\n",  // a character CP866 lacks: a byte of the text's own
    };
    for (const auto& bytes : files) {
        ASSERT_TRUE(Load("u.txt", bytes));
        ed.Modified = true;
        SaveFile(ed);
        EXPECT_EQ(ReadFile(dir + "u.txt"), bytes);
    }
}

TEST_F(SaveTest, APermissionBitsAndSymbolicLinksAreKept)
{
    WriteFile(dir + "real.txt", "old\n");
    chmod((dir + "real.txt").c_str(), 0640);
    ASSERT_EQ(symlink("real.txt", (dir + "link.txt").c_str()), 0);
    ed.FileName = dir + "link.txt";
    ASSERT_TRUE(LoadFile(ed));
    SetLine(ed, "new", 1);
    ed.Modified = true;
    SaveFile(ed);
    struct stat st;
    ASSERT_EQ(lstat((dir + "link.txt").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(ReadFile(dir + "real.txt"), "new\n");
    ASSERT_EQ(stat((dir + "real.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"link.txt", "real.txt"}));
}

TEST_F(SaveTest, ExtendedAttributesAreKept)
{
    // Access control lists are extended attributes too; a user attribute
    // stands for them here.
    WriteFile(dir + "x.txt", "old\n");
    if (setxattr((dir + "x.txt").c_str(), "user.lumo", "kept", 4, 0) != 0)
        GTEST_SKIP() << "no user attributes on this file system";
    ed.FileName = dir + "x.txt";
    ASSERT_TRUE(LoadFile(ed));
    SetLine(ed, "new", 1);
    ed.Modified = true;
    SaveFile(ed);
    EXPECT_EQ(ReadFile(dir + "x.txt"), "new\n");
    char value[8] = {};
    EXPECT_EQ(getxattr((dir + "x.txt").c_str(), "user.lumo", value, sizeof value), 4);
    EXPECT_STREQ(value, "kept");
}

TEST_F(SaveTest, AFileWithSeveralHardLinksIsWrittenInPlace)
{
    WriteFile(dir + "a.txt", "old\n");
    ASSERT_EQ(link((dir + "a.txt").c_str(), (dir + "b.txt").c_str()), 0);
    ed.FileName = dir + "a.txt";
    ASSERT_TRUE(LoadFile(ed));
    SetLine(ed, "new text", 1);
    ed.Modified = true;
    SaveFile(ed);
    EXPECT_EQ(ReadFile(dir + "b.txt"), "new text\n");
    struct stat st;
    ASSERT_EQ(stat((dir + "a.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_nlink, 2u);
}

// Runs `body` with a file-size limit of `bytes` and SIGXFSZ ignored, as the
// editor runs.
template <typename Body>
void WithFileSizeLimit(rlim_t bytes, Body body)
{
    struct rlimit old;
    getrlimit(RLIMIT_FSIZE, &old);
    auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = old;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
    body();
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldHandler);
}

TEST_F(SaveTest, AFailedSaveLeavesTheFileAsItWasAndNoTemporaryFile)
{
    const std::string original = "small\n";
    ASSERT_TRUE(Load("f.txt", original));
    SetLine(ed, std::string(200, 'x'), 1);
    for (int i = 0; i < 50; ++i) {
        int at = ed.LineCount + 1;
        InsertLine(ed, 200, at);
        SetLine(ed, std::string(200, 'y'), at);
    }
    ed.Modified = true;
    WithFileSizeLimit(4096, [&] {
        con.Push(Dismiss);
        con.Push(Esc);  // F2 asks for another name after the failure
        SaveFile(ed);
    });
    EXPECT_EQ(ed.OperationFailed, 1);
    EXPECT_TRUE(ed.Modified);
    EXPECT_TRUE(con.Showed(WriteErrorMessage));
    EXPECT_EQ(ReadFile(dir + "f.txt"), original);
    EXPECT_EQ(Entries(), std::vector<std::string>{"f.txt"});
}

TEST_F(SaveTest, AFailedInPlaceSavePutsTheOldTextBack)
{
    const std::string original(3000, 'o');
    WriteFile(dir + "h.txt", original + "\n");
    ASSERT_EQ(link((dir + "h.txt").c_str(), (dir + "h2.txt").c_str()), 0);
    ed.FileName = dir + "h.txt";
    ASSERT_TRUE(LoadFile(ed));
    for (int i = 0; i < 40; ++i) {
        int at = ed.LineCount + 1;
        InsertLine(ed, 200, at);
        SetLine(ed, std::string(200, 'n'), at);
    }
    ed.Modified = true;
    WithFileSizeLimit(4096, [&] {
        con.Push(Dismiss);
        con.Push(Esc);
        SaveFile(ed);
    });
    EXPECT_EQ(ed.OperationFailed, 1);
    EXPECT_EQ(ReadFile(dir + "h2.txt"), original + "\n");
}

TEST_F(SaveTest, AFailedAppendCutsTheFileBackToWhatItWas)
{
    const std::string original = std::string(3000, 'o') + "\n";
    WriteFile(dir + "log.txt", original);
    for (int i = 0; i < 40; ++i) AddLines({std::string(100, 'n')});
    ed.FileName = dir + "text.txt";
    ed.LineBlockFirst = 1;
    ed.LineBlockLast = ed.LineCount;
    WithFileSizeLimit(4096, [&] {
        StoreKey(ed, KeyShiftF2);
        con.Type(dir + "log.txt");
        con.Push(Enter);
        WriteBlock(ed);
    });
    EXPECT_EQ(ed.OperationFailed, 1);
    EXPECT_TRUE(con.Showed(WriteErrorMessage));
    EXPECT_EQ(ReadFile(dir + "log.txt"), original);
    EXPECT_EQ(ed.FileName, dir + "text.txt");
}

TEST_F(SaveTest, UnwritablePlacesAreWriteErrors)
{
    AddLines({"text"});
    ed.Modified = true;
    for (std::string target : {dir + "no/such/dir.txt", std::string("/proc/lumo-test.txt"), dir}) {
        con.shown.clear();
        ed.FileName = target;
        con.Push(Dismiss);
        con.Push(Esc);
        SaveFile(ed);
        EXPECT_EQ(ed.OperationFailed, 1) << target;
        EXPECT_TRUE(con.Showed(WriteErrorMessage)) << target;
        EXPECT_TRUE(ed.Modified);
    }
    EXPECT_TRUE(Entries().empty());
}

TEST_F(SaveTest, AReadOnlyFileIsNotReplaced)
{
    // Read-only for everyone, root included; Write block's append too.
    WriteFile(dir + "ro.txt", "read only\n");
    chmod((dir + "ro.txt").c_str(), 0444);
    ed.FileName = dir + "ro.txt";
    ASSERT_TRUE(LoadFile(ed));
    SetLine(ed, "changed", 1);
    ed.Modified = true;
    con.Push(Dismiss);
    con.Push(Esc);
    SaveFile(ed);
    EXPECT_EQ(ReadFile(dir + "ro.txt"), "read only\n");
    EXPECT_EQ(ed.OperationFailed, 1);
    EXPECT_TRUE(ed.Modified);
    EXPECT_TRUE(con.Showed(WriteErrorMessage));

    con.shown.clear();
    ed.LineBlockFirst = ed.LineBlockLast = 1;
    StoreKey(ed, KeyShiftF2);
    con.Push(Enter);  // the offered name: ro.txt
    con.Push(Dismiss);
    con.Push(Esc);
    WriteBlock(ed);
    EXPECT_TRUE(con.Showed(WriteErrorMessage));
    EXPECT_EQ(ReadFile(dir + "ro.txt"), "read only\n");
    EXPECT_EQ(Entries(), std::vector<std::string>{"ro.txt"});
}

TEST_F(SaveTest, TheOwnerIsKept)
{
    if (geteuid() != 0) GTEST_SKIP() << "only root can give a file away";
    WriteFile(dir + "theirs.txt", "old\n");
    ASSERT_EQ(chown((dir + "theirs.txt").c_str(), 1234, 1234), 0);
    ed.FileName = dir + "theirs.txt";
    ASSERT_TRUE(LoadFile(ed));
    SetLine(ed, "new", 1);
    ed.Modified = true;
    SaveFile(ed);
    struct stat st;
    ASSERT_EQ(stat((dir + "theirs.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 1234u);
    EXPECT_EQ(st.st_gid, 1234u);
    EXPECT_EQ(ReadFile(dir + "theirs.txt"), "new\n");
}

TEST_F(SaveTest, AWritableFileInAReadOnlyDirectoryIsWrittenInPlace)
{
    // No temporary file can be made beside it, so the file itself is written.
    ASSERT_EQ(mkdir((dir + "ro").c_str(), 0755), 0);
    WriteFile(dir + "ro/f.txt", "old\n");
    GiveToOrdinaryUser(dir);
    GiveToOrdinaryUser(dir + "ro");
    GiveToOrdinaryUser(dir + "ro/f.txt");
    chmod((dir + "ro").c_str(), 0555);
    int result = AsOrdinaryUser([&] {
        ed.FileName = dir + "ro/f.txt";
        if (!LoadFile(ed)) return 1;
        SetLine(ed, "new", 1);
        ed.Modified = true;
        SaveFile(ed);
        if (ed.OperationFailed != 0 || ed.Modified) return 2;
        // A file that does not exist yet cannot be made there at all.
        ed.FileName = dir + "ro/new.txt";
        ed.Modified = true;
        con.Push(Dismiss);
        con.Push(Esc);
        SaveFile(ed);
        if (ed.OperationFailed != 1 || !con.Showed(WriteErrorMessage)) return 3;
        return 0;
    });
    chmod((dir + "ro").c_str(), 0755);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadFile(dir + "ro/f.txt"), "new\n");
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir + "ro"))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"f.txt"});
}

TEST_F(SaveTest, AfterAWriteErrorTheTextCanGoToAnotherName)
{
    AddLines({"text"});
    ed.Modified = true;
    ed.FileName = dir + "no/such/file.txt";
    con.Push(Dismiss);
    con.Type(dir + "other.txt");
    con.Push(Enter);
    SaveFile(ed);
    EXPECT_EQ(ed.OperationFailed, 0);
    EXPECT_EQ(ed.FileName, dir + "other.txt");
    EXPECT_EQ(ReadFile(dir + "other.txt"), "text\n");
    EXPECT_FALSE(ed.Modified);
}

TEST_F(SaveTest, AnIncompleteTextIsNeverSavedOverItsFile)
{
    std::string longLine(300, 'x');
    const std::string original = longLine + "\nsecond\n";
    ASSERT_TRUE(Load("cut.txt", original));
    // The cut line changed: its end is lost.
    SetLine(ed, std::string(254, 'x') + "y", 1);
    ed.Modified = true;
    con.shown.clear();
    con.Push(Dismiss);
    con.Push(Esc);  // F2 then offers the dialog: cancelled
    SaveFile(ed);
    EXPECT_EQ(ed.OperationFailed, 1);
    EXPECT_TRUE(con.Showed(ChangedCutLineMessage(1)));
    EXPECT_EQ(ReadFile(dir + "cut.txt"), original);

    // Neither through a link nor by the automatic save.
    ASSERT_EQ(symlink("cut.txt", (dir + "alias.txt").c_str()), 0);
    ed.FileName = dir + "alias.txt";
    AutoSave(ed);
    EXPECT_TRUE(ed.Modified);
    EXPECT_EQ(ReadFile(dir + "cut.txt"), original);

    // Another file takes it.
    ed.FileName = dir + "cut.txt";
    con.Push(Dismiss);
    con.Type(dir + "part.txt");
    con.Push(Enter);
    SaveFile(ed);
    EXPECT_EQ(ed.OperationFailed, 0);
    EXPECT_EQ(ReadFile(dir + "part.txt"), std::string(254, 'x') + "y\nsecond\n");
    EXPECT_EQ(ReadFile(dir + "cut.txt"), original);
}

TEST_F(SaveTest, F2OnAnUnchangedTextWritesOnlyTheBraceCopies)
{
    const std::string text = "a\x01" "b\nc\n";
    ASSERT_TRUE(Load("A{B.TXT", text));
    ASSERT_FALSE(ed.Modified);
    WriteFile(dir + "A{B.TXT", "changed on disk\n");
    SaveFile(ed);
    EXPECT_EQ(ReadFile(dir + "A{B.TXT"), "changed on disk\n");
    EXPECT_EQ(ReadFile(dir + "AB.TXT"), "a b\nc\n");

    ASSERT_TRUE(Load("A}B.TXT", text));
    SaveFile(ed);
    EXPECT_EQ(ReadFile(dir + "AB.TXT"), "a#1b\nc\n");
}

TEST_F(SaveTest, TheBraceRuleLooksAtTheBaseNameOnly)
{
    ASSERT_EQ(mkdir((dir + "x{y").c_str(), 0755), 0);
    WriteFile(dir + "x{y/plain.txt", "p\n");
    ed.FileName = dir + "x{y/plain.txt";
    ASSERT_TRUE(LoadFile(ed));
    SaveFile(ed);
    EXPECT_EQ(Entries(), std::vector<std::string>{"x{y"});
}

TEST_F(SaveTest, ABraceCopyThatWouldLandOnTheEditedFileIsSkipped)
{
    // A{B.TXT is another name of AB.TXT: the copy with control characters
    // made blanks would overwrite the text just saved.
    WriteFile(dir + "AB.TXT", "old\n");
    ASSERT_EQ(symlink("AB.TXT", (dir + "A{B.TXT").c_str()), 0);
    ed.FileName = dir + "A{B.TXT";
    ASSERT_TRUE(LoadFile(ed));
    SetLine(ed, "tab\there", 1);
    ed.Modified = true;
    SaveFile(ed);
    EXPECT_EQ(ed.OperationFailed, 0);
    EXPECT_EQ(ReadFile(dir + "AB.TXT"), "tab\there\n");
}

TEST_F(SaveTest, AutomaticSaveNeverAsks)
{
    AddLines({"typed"});
    ed.Modified = true;
    AutoSave(ed);  // no name: a message, no prompt (no keys are queued)
    EXPECT_TRUE(ed.Modified);
    ed.FileName = dir + "no/such/auto.txt";
    AutoSave(ed);
    EXPECT_TRUE(con.Showed(WriteErrorMessage));
    EXPECT_TRUE(ed.Modified);
    ed.FileName = dir + "auto.txt";
    AutoSave(ed);
    EXPECT_FALSE(ed.Modified);
    EXPECT_EQ(ReadFile(dir + "auto.txt"), "typed\n");
}

}  // namespace
}  // namespace lumo::filetest
