#include <gtest/gtest.h>

#include "console/scripted_console.h"
#include "app/startup.h"
#include "files/statedir.h"
#include "files/shell.h"

namespace lumo {
namespace {

class StartupOptions : public ::testing::Test {
protected:
    ScriptedConsole con;
    Editor ed{con};
    void SetUp() override
    {
        ed.StateDir = "/state/";
        ed.SettingsFile = "/state/LumoINI";
        ed.ClipboardFile = "/state/LumoClip";
        ed.SavedStateFile = "/state/LumoSS";
    }
};

TEST_F(StartupOptions, JoinsEveryParameterButTheFileName)
{
    EXPECT_EQ(JoinOptions({"-w", "-T4", "text.pas"}), "-w -T4 ");
    EXPECT_EQ(JoinOptions({"file"}), "");
    EXPECT_EQ(JoinOptions({}), "");
}

TEST_F(StartupOptions, CombinedAndCaseInsensitive)
{
    ApplyOptions(ed, JoinOptions({"-w-j", "-g", "-P", "-+", "-#", "f"}), "f");
    EXPECT_FALSE(ed.ShowNotice);
    EXPECT_FALSE(ed.HalfScreenScroll);
    EXPECT_FALSE(ed.DrawingMode);
    EXPECT_FALSE(ed.CodePageDetect);
    EXPECT_FALSE(ed.ColumnMarker);
    EXPECT_TRUE(ed.ExternalClipboard);
    EXPECT_TRUE(ed.InsertMode);
}

TEST_F(StartupOptions, UnknownLettersAndLoneDashesChangeNothing)
{
    Editor fresh{con};
    ApplyOptions(ed, "-z -Q -! - -- -1 ", "f");
    EXPECT_EQ(ed.ShowNotice, fresh.ShowNotice);
    EXPECT_EQ(ed.TabStep, fresh.TabStep);
    EXPECT_EQ(ed.AutoSaveEvery, 0);
    EXPECT_EQ(ed.SettingsFile, "/state/LumoINI");
    EXPECT_EQ(ed.ClipboardFile, "/state/LumoClip");
}

TEST_F(StartupOptions, DigitArguments)
{
    ApplyOptions(ed, "-C5 -t4 ", "f");
    EXPECT_EQ(ed.CommentColour, 5);
    EXPECT_EQ(ed.TabStep, 4);
    // A non-digit is no argument: the setting stays and the next option still counts.
    ApplyOptions(ed, "-Cx -T-w -T0 ", "f");
    EXPECT_EQ(ed.CommentColour, 5);
    EXPECT_EQ(ed.TabStep, 4);
    EXPECT_FALSE(ed.ShowNotice);
}

TEST_F(StartupOptions, DirectoryArguments)
{
    ApplyOptions(ed, "-Xd/tmp/ -I/home/u/ini/ ", "/texts/letter.txt");
    EXPECT_EQ(ed.ClipboardFile, "d/tmp/LumoClip");
    EXPECT_EQ(ed.SavedStateFile, "d/tmp/LumoSS");
    EXPECT_EQ(ed.SettingsFile, "/home/u/ini/letter.txt.LmIni");
}

TEST_F(StartupOptions, ScanningResumesAfterAnArgument)
{
    // Dashes inside a path are not options.
    ApplyOptions(ed, "-X/tmp/a-m5-w/ -I/x-k-j/ ", "f");
    EXPECT_EQ(ed.ClipboardFile, "/tmp/a-m5-w/LumoClip");
    EXPECT_EQ(ed.SettingsFile, "/x-k-j/f.LmIni");
    EXPECT_EQ(ed.AutoSaveEvery, 0);
    EXPECT_TRUE(ed.ShowNotice);
    EXPECT_TRUE(ed.HalfScreenScroll);
    EXPECT_FALSE(ApplyOptions(ed, "-X/a-k/ ", "f"));
    EXPECT_TRUE(ApplyOptions(ed, "-k ", "f"));
}

TEST_F(StartupOptions, AutoSaveCountIsBounded)
{
    ApplyOptions(ed, "-M100 ", "f");
    EXPECT_EQ(ed.AutoSaveEvery, 100);
    ApplyOptions(ed, "-m99999 ", "f");
    EXPECT_EQ(ed.AutoSaveEvery, 32767);
    ApplyOptions(ed, "-M99999999999999999999 -M-5 -Mabc ", "f");
    EXPECT_EQ(ed.AutoSaveEvery, 32767);
    ApplyOptions(ed, "-M0 ", "f");
    EXPECT_EQ(ed.AutoSaveEvery, 0);
}

TEST_F(StartupOptions, TabStopsFollowTheStepAndStopAt255)
{
    ApplyOptions(ed, "-T4 ", "f");
    ed.TabStops[1] = 3;
    ComputeTabStops(ed);
    EXPECT_EQ(ed.TabStops[2], 7);
    EXPECT_EQ(ed.TabStops[3], 11);
    EXPECT_EQ(ed.TabStops[32], 3 + 31 * 4);

    ed.TabStep = 9;
    ed.TabStops[1] = 1;
    ComputeTabStops(ed);
    EXPECT_EQ(ed.TabStops[28], 244);
    EXPECT_EQ(ed.TabStops[29], 253);
    EXPECT_EQ(ed.TabStops[30], 255);
    EXPECT_EQ(ed.TabStops[32], 255);
}

TEST_F(StartupOptions, ChildGetsTheOptionsQuoted)
{
    ed.StartupOptions = {"-w", "-X/tmp/a b/"};
    EXPECT_EQ(OptionsForChild(ed), " -w '-X/tmp/a b/'");
}

}  // namespace
}  // namespace lumo
