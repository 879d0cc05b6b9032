// The main loop: binding lookup, dispatch again, the Un-get range, the
// snapshots, the Ctrl+Alt keys and a randomized run that checks the text
// stays consistent whatever keys come.
#include <sys/stat.h>

#include <deque>
#include <filesystem>
#include <random>
#include <set>

#include "app/bindings.h"
#include "app/loopcommands.h"
#include "edit/format.h"
#include "edit/typing.h"
#include "app/loop_fixture.h"
#include "app/random_keys.h"
#include "files/fileio.h"
#include "files/keystrokefile.h"

namespace lumo {
namespace {

using namespace keys;

TEST(BindingTable, RowsAreUniqueAndFound)
{
    std::span<const Binding> rows = BindingTable();
    ASSERT_FALSE(rows.empty());
    std::set<KeyEvent> seen;
    for (const Binding& b : rows) {
        EXPECT_TRUE(seen.insert(b.key).second) << std::hex << b.key << " bound twice";
        EXPECT_NE(b.command, nullptr) << b.name;
        const Binding* found = FindBinding(b.key);
        ASSERT_NE(found, nullptr) << b.name;
        EXPECT_EQ(found->key, b.key);
    }
    EXPECT_EQ(FindBinding(0x00002061), nullptr);  // "a" types
    EXPECT_STREQ(FindBinding(0x0200FF0A)->name, "F10");  // the menus
    EXPECT_STREQ(FindBinding(0x0202FF09)->name, "Shift+F9");
    // Either Shift alone is the same key.
    EXPECT_STREQ(FindBinding(0x0201FF09)->name, "Shift+F9");
    EXPECT_STREQ(FindBinding(0x0203FF09)->name, "Shift+F9");
    // ... but Shift with another modifier is not folded.
    EXPECT_EQ(FindBinding(0x0209FF09), nullptr);
}

TEST_F(LoopTest, LeftShiftKeyReachesTheShiftBinding)
{
    AddLines({""});
    Push(0x0201FF09);  // Shift+F9 with the other Shift key
    Run();
    EXPECT_EQ(ed.RecordCount, 1);
}

TEST_F(LoopTest, DispatchAgainRunsTheStoredKeyAndRecordsIt)
{
    AddLines({""});
    Push(ShiftF9);
    Run();
    ASSERT_EQ(ed.RecordCount, 1);
    // As a menu does: store a key value and ask for it to be dispatched.
    StoreKey(ed, 0x00001E61);  // "a"
    ed.LoopLevel = Redraw::Dispatch;
    RunOnePass(ed);  // must not read a key: the script is empty
    EXPECT_EQ(Text(1), "a");
    EXPECT_EQ(ed.RecordCount, 2);
    EXPECT_EQ(ed.KeystrokeBuffer[1], 0x00001E61u);
    EXPECT_NE(ed.LoopLevel, Redraw::Dispatch);
}

TEST_F(LoopTest, UngetRemovesTheInsertedLinesAndOnlyF10KeepsThem)
{
    AddNumberedLines(6);
    // As Get file leaves it: lines 3..5 inserted after the cursor line 2.
    ed.CurrentLine = 2;
    ed.UnGetFirst = 3;
    ed.UnGetLast = 5;
    int toggle = ed.SnapshotToggle;
    Push(0x0200FF0A);  // F10 keeps the range: the menu offers Un-get
    Type("15");        // File › Un-get, which dispatches Ctrl+F1
    Run();
    EXPECT_EQ(ed.LineCount, 3);
    EXPECT_EQ(Text(3), "line 6");
    EXPECT_EQ(ed.CurrentLine, 2);
    EXPECT_EQ(ed.SnapshotToggle, toggle ^ 1);  // F10 took one, Un-get none

    ed.UnGetFirst = 3;
    ed.UnGetLast = 3;
    Push(0x0200FF25);  // any other key forgets the range
    Push(0x0204FF01);
    Run();
    EXPECT_EQ(ed.LineCount, 3);
    EXPECT_EQ(ed.UnGetFirst, 0);
}

TEST_F(LoopTest, CompletionCountResetByControlAndFunctionKeys)
{
    AddLines({""});
    ed.CompletionCount = 3;
    StoreKey(ed, 0x0200FF25);  // Right
    DispatchKey(ed);
    EXPECT_EQ(ed.CompletionCount, 0);
    ed.CompletionCount = 3;
    Push(Esc);  // Esc with a completion pending only ends the completion
    Run();
    EXPECT_EQ(ed.CompletionCount, 0);
    EXPECT_FALSE(ed.Ending);
}

TEST_F(LoopTest, EscUnmarksBeforeQuitting)
{
    AddNumberedLines(5);
    ed.LineBlockFirst = 2;
    ed.LineBlockLast = 4;
    Push(Esc);
    Run();
    EXPECT_EQ(ed.LineBlockFirst, 0);
    EXPECT_EQ(ed.LineBlockLast, 0);
    EXPECT_FALSE(ed.Ending);
}

TEST_F(LoopTest, EscWithNothingPendingQuits)
{
    TempDirectory dir;
    ScopedEnv home("LUMO_HOME", (dir.path / "state").string());
    ed.SettingsFile = (dir.path / "settings").string();
    ed.SavedStateFile = (dir.path / "saved").string();
    AddLines({"unchanged"});
    Push(Esc);
    Type("never read");
    Run();
    EXPECT_TRUE(ed.Ending);
    EXPECT_EQ(ed.ExitCode, 0);
    EXPECT_EQ(con.keys.size(), 10u);  // the loop stopped reading
}

TEST_F(LoopTest, SnapshotTakenBeforeEveryKey)
{
    AddLines({"abc"});
    ed.CurrentColumn = 4;
    Type("x");
    Run();
    // The slot selected last holds the line as it was before "x".
    const LineSnapshot& last = ed.ChangeSnapshots[ed.SnapshotToggle & 1];
    EXPECT_EQ(last.text.substr(0, 3), "abc");
    EXPECT_EQ(last.column, 4);
    EXPECT_EQ(Text(1), "abcx");
}

TEST_F(LoopTest, AltBackspaceTwiceUndoesThenRedoes)
{
    AddLines({"abc"});
    ed.CurrentColumn = 4;
    Type("x");
    Push(AltBackspace);
    Run();
    EXPECT_EQ(Text(1), "abc");
    EXPECT_EQ(ed.CurrentColumn, 4);
    Push(AltBackspace);
    Run();
    EXPECT_EQ(Text(1), "abcx");
}

TEST_F(LoopTest, CtrlAltTabInsertsTheNextKeysCode)
{
    AddLines({""});
    Push(CtrlAltTab);
    Push(F1);
    Run();
    EXPECT_EQ(Text(1), "0200FF01");
    Push(CtrlAltTab);
    Push(0x03082500);  // Alt+K
    Run();
    EXPECT_EQ(Text(1), "0200FF0103082500");
}

TEST(ExpandTabs, NextCharacterStartsAtEightKPlusOne)
{
    std::string out;
    ASSERT_TRUE(ExpandTabsInText("a\tb", out));
    EXPECT_EQ(out, "a       b");
    EXPECT_EQ(out.find('b'), 8u);  // column 9
    ASSERT_TRUE(ExpandTabsInText("1234567\tx", out));
    EXPECT_EQ(out, "1234567 x");  // the blank itself reaches column 8
    ASSERT_TRUE(ExpandTabsInText("\t\t", out));
    EXPECT_EQ(out, std::string(16, ' '));
    // A line that would pass 255 characters is refused, never cut.
    EXPECT_FALSE(ExpandTabsInText(std::string(250, 'x') + "\ty", out));
}

TEST_F(LoopTest, CtrlAltShiftTabExpandsEveryLineThatFits)
{
    std::string longLine = std::string(250, 'x') + "\ty";
    AddLines({"a\tb", longLine, "\tc"});
    Push(CtrlAltShiftTab);
    Run();
    EXPECT_EQ(Text(1), "a       b");
    EXPECT_EQ(Text(2), longLine);
    EXPECT_EQ(Text(3), "        c");
    EXPECT_TRUE(ed.Modified);
}

TEST_F(LoopTest, CtrlAltKeysWithoutDefinitionsLeaveTheTextAlone)
{
    AddLines({"abc"});
    ed.MacrosOn = false;
    Push(0x030C1E00);  // Ctrl+Alt+A
    Run();
    EXPECT_EQ(Text(1), "abc");
}

TEST_F(LoopTest, CursorKeptInsideTheTextWhateverACommandLeaves)
{
    AddNumberedLines(5);
    ed.CurrentLine = 40;
    ed.CurrentColumn = 900;
    ed.TopLine = 50;
    ed.LoopLevel = Redraw::Full;
    Push(0x0200FF25);  // Right
    Run();
    EXPECT_EQ(ed.CurrentLine, 5);
    EXPECT_LE(ed.CurrentColumn, 256);
    EXPECT_LE(ed.TopLine, ed.CurrentLine);
}

TEST_F(LoopTest, CursorKeptVisibleAfterALongMove)
{
    AddNumberedLines(100);
    ed.LoopLevel = Redraw::Full;
    ed.CurrentLine = 80;  // far below the window
    Push(0x0200FF25);     // Right; the pass before it must scroll
    Run();
    int row = ed.CurrentLine - ed.TopLine + 3;
    EXPECT_GE(row, 3);
    EXPECT_LE(row, con.ScreenRows);
    EXPECT_EQ(con.cursorRow, row - 1);
}

// ---- randomized run ----

TEST_F(LoopTest, RandomKeysKeepTheTextConsistent)
{
    // Random keys save, write blocks and answer file-name prompts with
    // random names: all of that lands in a directory that goes away.
    TempDirectory dir;
    ScopedEnv home("LUMO_HOME", (dir.path / "state").string());
    ScopedEnv shell("COMSPEC", "/bin/false");
    ed.FileName = (dir.path / "random.txt").string();
    ed.ClipboardFile = (dir.path / "clip").string();
    ed.SavedStateFile = (dir.path / "saved").string();
    AddLines({"The quick brown fox", "\tjumps over", "", "the lazy dog.", std::string(200, 'z')});
    std::mt19937 random(20261207);
    const std::vector<KeyEvent> bound = BoundKeys(ExcludedFromShortRun);
    constexpr int Events = 12000;
    for (int i = 0; i < Events; ++i) {
        KeyEvent key = DrawKey(random, bound);
        if (!ExcludedFromShortRun(key)) Push(key);
    }
    size_t pushed = con.keys.size();
    // Names no file command can read, given now and then between keys: a
    // FIFO (reading it would wait for ever), a directory, a name of 255
    // bytes. Relative, so that the prompt holds the longest.
    struct Cwd {
        std::filesystem::path old = std::filesystem::current_path();
        ~Cwd() { std::filesystem::current_path(old); }
    } cwd;
    std::filesystem::current_path(dir.path);
    ASSERT_EQ(mkfifo("fifo", 0600), 0);
    std::filesystem::create_directory("folder");
    const std::vector<std::string> badNames = {"fifo", "folder", std::string(255, 'n')};
    alarm(600);  // a reader that waits on the FIFO ends the test program
    int step = 0;
    int badNamesGiven = 0;
    try {
        while (!con.keys.empty() && !ed.Ending) {
            RunOnePass(ed);
            ExpectConsistent(ed, ++step);
            if (HasFatalFailure()) return;
            if (step % 250 == 0 && ed.PlaybackIndex == 0 && !ed.KeyFromPlayback) {
                std::deque<KeyEvent> rest;
                rest.swap(con.keys);
                // The name, Enter, the key that ends " File not found: …"
                // (never typed into the prompt that asks again), Esc.
                Type(badNames[(step / 250) % badNames.size()]);
                Push(Enter);
                Push(' ');
                Push(0x0000011B);
                // The main loop reads a key between two commands, which
                // settles a message's dismissing key; calling straight in
                // must do the same.
                ed.MessageKeyWaiting = false;
                if ((step / 250) % 2) CmdGetFile(ed);
                else CmdReadKeystrokeFile(ed);
                EXPECT_TRUE(con.keys.empty()) << step;
                ++badNamesGiven;
                con.keys.swap(rest);
                ExpectConsistent(ed, step);
            }
        }
    } catch (const ScriptExhausted&) {
    }
    alarm(0);
    EXPECT_GT(badNamesGiven, 10);
    EXPECT_FALSE(ed.Ending);
    EXPECT_GT(pushed, 10000u);
    EXPECT_LT(con.keys.size(), 10u);  // every key was read
    EXPECT_GT(step, 4000);  // questions (blocks, replace, formatting) take keys of their own
}

}  // namespace
}  // namespace lumo
