// Every failure point of every writer. A clean run counts the file system
// calls a writer makes; then each of them in turn fails with each of a few
// errors, and whatever failed, the old file is there byte for byte or the
// new one whole, no temporary file or descriptor is left, and a failure is
// never reported as success.
#include <cerrno>
#include <cstdio>
#include <functional>
#include <optional>
#include <set>

#include "app/loop_fixture.h"
#include "app/startup.h"
#include "edit/abbreviation.h"
#include "editor/keys.h"
#include "files/abbreviations.h"
#include "files/clipboard.h"
#include "files/files_fixture.h"
#include "files/history.h"
#include "files/keystrokefile.h"
#include "files/shell.h"
#include "files/statedir.h"
#include "files/syscalls.h"

namespace lumo::filetest {
namespace {

struct FaultInjectionTest;
using Names = std::set<std::string>;

// A writer: its set-up (the file it writes already holds Old, unless the
// writer makes it new), its action (true when it reported success; a
// failure must have been told to the user, or be the function's result
// where there is no screen) and what else it must leave.
struct Writer {
    const char* name;
    const char* file;  // the file written; none where the writer picks the name
    bool makesNew;
    std::function<void(FaultInjectionTest&, Editor&)> setUp;
    std::function<bool(FaultInjectionTest&, Editor&)> act;
    std::function<void(FaultInjectionTest&, Editor&, bool ok, const Names& added)> check;
};

const std::string Old = "old contents\r\n";

struct FaultInjectionTest : FilesTest {
    using FilesTest::con;
    using FilesTest::dir;
    // The files below are named relative to the test directory: the
    // abbreviations file is always the one in the current directory.
    std::filesystem::path previous = std::filesystem::current_path();
    ScopedEnv config{"XDG_CONFIG_HOME", (std::filesystem::temp_directory_path() / "lumo-no-config").string()};
    ScopedEnv tmpdir{"TMPDIR", std::filesystem::temp_directory_path().string()};
    std::string made;  // where the emergency save went

    void SetUp() override
    {
        FilesTest::SetUp();
        std::filesystem::current_path(dir);
    }
    void TearDown() override
    {
        SysFaults = {};
        std::filesystem::current_path(previous);
        FilesTest::TearDown();
    }

    // Every file and directory below the test directory.
    Names Tree() const
    {
        Names names;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(dir))
            names.insert(std::filesystem::relative(entry.path(), dir).string());
        return names;
    }
    void Clear()
    {
        for (const auto& entry : std::filesystem::directory_iterator(dir)) std::filesystem::remove_all(entry.path());
    }
    static long OpenDescriptors()
    {
        return std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                             std::filesystem::directory_iterator());
    }
    // The key that ends the error message, then Esc for the other name a
    // failed save offers.
    void AnswerFailure()
    {
        con.Push(Dismiss);
        con.Push(Esc);
        con.Push(Esc);
    }
    bool Told() const { return con.Showed(WriteErrorMessage); }
};

// Over twice the 64 KiB a temporary file is written in at a time.
void LoadBigText(Editor& ed, const std::string& name)
{
    if (!std::filesystem::exists(name)) WriteFile(name, Old);
    ed.FileName = name;
    ASSERT_TRUE(LoadFile(ed));
    for (int n = 1; n <= 2500; ++n) {
        int at = n;
        InsertLine(ed, 60, at);
        SetLine(ed, "line " + std::to_string(n) + std::string(50, 'x'), at);
    }
    ed.Modified = true;
}

bool SaveAnswered(FaultInjectionTest& t, Editor& ed)
{
    t.AnswerFailure();
    SaveFile(ed);
    EXPECT_EQ(ed.Modified, t.Told());
    // Whatever failed, the file holds the editor's own text, old or new: the
    // next F2 must not ask as if another program had changed it.
    EXPECT_FALSE(ChangedOnDisk(ed));
    return !ed.Modified;
}

void MakeStateDirectory(Editor& ed)
{
    ed.StateDir = "state/";
    std::filesystem::create_directories("state");
}

const Writer Writers[] = {
    // Another user's file (when the tests run as root): the new file is
    // given its owner.
    {"save", "text.txt", false,
     [](auto&, Editor& ed) {
         GiveToOrdinaryUser("text.txt");
         LoadBigText(ed, "text.txt");
     },
     SaveAnswered, nullptr},
    // Several hard links: written in place, the old text put back on failure.
    {"save in place", "text.txt", false,
     [](auto&, Editor& ed) {
         ASSERT_EQ(link("text.txt", "link.txt"), 0);
         LoadBigText(ed, "text.txt");
     },
     SaveAnswered, nullptr},
    // Shift+F2: the marked block added to the end of another file.
    {"append block", "other.txt", false,
     [](auto&, Editor& ed) {
         LoadBigText(ed, "text.txt");
         ed.LineBlockFirst = 1;
         ed.LineBlockLast = ed.LineCount;
         ed.SideFileName = "other.txt";
         StoreKey(ed, KeyShiftF2);
     },
     [](auto& t, Editor& ed) {
         t.con.Push(Enter);
         t.AnswerFailure();
         WriteBlock(ed);
         EXPECT_EQ(ed.OperationFailed != 0, t.Told());
         return ed.OperationFailed == 0;
     },
     nullptr},
    // Never over an older save: a new file in the state directory, else
    // beside the text, else in $TMPDIR.
    {"emergency save", nullptr, true,
     [](auto&, Editor& ed) {
         LoadBigText(ed, "text.txt");
         MakeStateDirectory(ed);
         WriteFile("state/text.txt.save", Old);
         std::filesystem::create_directories("tmp");
         setenv("TMPDIR", (std::filesystem::current_path() / "tmp").c_str(), 1);
     },
     [](auto& t, Editor& ed) {
         t.made = WriteEmergencySave(ed);
         return !t.made.empty();
     },
     [](auto& t, Editor& ed, bool ok, const Names& added) {
         // One failure leaves two more places: the text always goes somewhere.
         EXPECT_TRUE(ok);
         EXPECT_EQ(added.count(std::filesystem::relative(t.made, t.dir).string()), 1u) << t.made;
         EXPECT_EQ(ReadFile("state/text.txt.save"), Old);
         // Any copy left is whole.
         const std::string text = EncodeLines(ed, 1, ed.LineCount, SaveAsIs);
         for (const std::string& name : added)
             if (!std::filesystem::is_directory(name)) {
                 EXPECT_EQ(ReadFile(name), text) << name;
             }
     }},
    {"settings file", "state/t.LmIni", false,
     [](auto&, Editor& ed) {
         MakeStateDirectory(ed);
         ed.CurrentColumn = 7;
     },
     [](auto&, Editor& ed) { return WriteSettingsFile(ed, "state/t.LmIni"); }, nullptr},
    {"saved state", "state/LumoSS", false,
     [](auto&, Editor& ed) {
         MakeStateDirectory(ed);
         ed.SavedStateFile = "state/LumoSS";
         ed.SearchHistory[ed.HistoryIndex] = "found";
     },
     [](auto&, Editor& ed) { return WriteHistory(ed); }, nullptr},
    {"keystroke file", KeystrokeFileName, false, [](auto&, Editor& ed) { ed.KeystrokeBuffer[1] = 0x41424344; },
     [](auto&, Editor& ed) { return WriteKeystrokeFile(ed, KeystrokeFileName); }, nullptr},
    {"key definitions", "keydef.lmo", false,
     [](auto&, Editor& ed) {
         DefineMacro(ed, 6, "six");
         ed.MacrosChanged = true;
         ed.KeyDefFileName = "keydef.lmo";
     },
     [](auto& t, Editor& ed) {
         t.con.Push(Enter);
         t.AnswerFailure();
         MacroFile(ed, MacroFileWrite);
         EXPECT_EQ(ed.MacrosChanged, t.Told());
         return !ed.MacrosChanged;
     },
     nullptr},
    {"clipboard", "state/LumoClip", false,
     [](auto&, Editor& ed) {
         MakeStateDirectory(ed);
         ed.ClipboardFile = "state/LumoClip";
     },
     [](auto&, Editor& ed) { return WriteClipboardFile(ed, "L\r\nnew line\r\n"); }, nullptr},
    {"abbreviation added", AbbreviationsFileName, false, [](auto&, Editor&) {},
     [](auto&, Editor&) { return AppendAbbreviation("new entry"); }, nullptr},
    // The first entry of all: the file is made whole or not at all.
    {"first abbreviation", AbbreviationsFileName, true, [](auto&, Editor&) {},
     [](auto&, Editor&) { return AppendAbbreviation("new entry"); }, nullptr},
};

const struct {
    unsigned kind;
    const char* name;
    std::vector<int> errors;
} Calls[] = {
    {SysCallOpen, "open", {ENOSPC, EIO, EACCES}},
    {SysCallWrite, "write", {ENOSPC, EIO, EACCES}},
    {SysCallFsync, "fsync", {ENOSPC, EIO, EACCES}},
    {SysCallFchmod, "fchmod", {ENOSPC, EIO, EACCES}},
    {SysCallFchown, "fchown", {ENOSPC, EIO, EACCES}},
    {SysCallTruncate, "ftruncate", {ENOSPC, EIO, EACCES}},
    {SysCallRename, "rename", {ENOSPC, EIO, EACCES, EXDEV}},
    {SysCallClose, "close", {ENOSPC, EIO, EACCES}},
};

TEST_F(FaultInjectionTest, EveryFailurePointOfEveryWriterLeavesTheOldFileOrTheNew)
{
    for (const Writer& writer : Writers) {
        SCOPED_TRACE(writer.name);
        int points = 0;
        std::string counts;
        for (const auto& call : Calls) {
            // The clean run: how many calls of this kind, and the file it leaves.
            long count = 0;
            std::string fresh;
            for (long n = 0; n <= count; ++n) {
                for (int error : n == 0 ? std::vector<int>{0} : call.errors) {
                    SCOPED_TRACE(std::string(call.name) + " call " + std::to_string(n) + " fails with " +
                                 (error ? std::strerror(error) : "nothing"));
                    Clear();
                    con.keys.clear();
                    con.shown.clear();
                    Editor ed(con);
                    ed.CodePageDetect = false;
                    if (writer.file && !writer.makesNew) {
                        std::filesystem::create_directories(std::filesystem::path("./" + std::string(writer.file)).parent_path());
                        WriteFile(writer.file, Old);
                    }
                    writer.setUp(*this, ed);
                    const Names before = Tree();
                    const long descriptors = OpenDescriptors();
                    SysFaults = {call.kind, n, error, 0};
                    const bool ok = writer.act(*this, ed);
                    const long calls = SysFaults.calls;
                    SysFaults = {};
                    EXPECT_EQ(OpenDescriptors(), descriptors);
                    const Names after = Tree();
                    Names added;
                    for (const std::string& name : before) EXPECT_EQ(after.count(name), 1u) << name << " is gone";
                    for (const std::string& name : after)
                        if (!before.count(name)) added.insert(name);
                    std::optional<std::string> now;
                    if (writer.file && std::filesystem::exists(writer.file)) now = ReadFile(writer.file);
                    if (n == 0) {
                        ASSERT_TRUE(ok);
                        count = calls;
                        if (count > 0) counts += " " + std::to_string(count) + " " + call.name;
                        if (writer.file) fresh = now.value_or("");
                        EXPECT_NE(fresh, Old);
                    } else {
                        ++points;
                    }
                    if (writer.file) {
                        // Success left the new file; a failure the old one, or
                        // the new one when it came after the new file took
                        // its place. Nothing else is left.
                        const std::optional<std::string> old =
                            writer.makesNew ? std::nullopt : std::optional<std::string>(Old);
                        if (ok) EXPECT_EQ(now, fresh);
                        else EXPECT_TRUE(now == old || now == fresh) << (now ? now->size() : 0) << " bytes";
                        for (const std::string& name : added) EXPECT_EQ(name, writer.file) << "left behind";
                        // Nothing that may not be on disk is reported saved.
                        if (n > 0 && (call.kind == SysCallWrite || call.kind == SysCallFsync)) {
                            EXPECT_FALSE(ok) << "a lost write reported as saved";
                        }
                    }
                    if (writer.check) writer.check(*this, ed, ok, added);
                }
            }
        }
        std::printf("[ points   ] %s:%s: %d failure points\n", writer.name, counts.c_str(), points);
    }
}

}  // namespace
}  // namespace lumo::filetest
