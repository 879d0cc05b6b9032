#include <gtest/gtest.h>

#include "app/startup.h"
#include "ui/inputline.h"
#include "files/statedir.h"
#include "startup_fixture.h"

namespace lumo {
namespace {

using testing::EnvGuard;
using testing::FillText;
using testing::Mode;
using testing::TempDir;

std::string Lines(std::initializer_list<const char*> values)
{
    std::string s;
    for (const char* v : values) s += std::string(v) + "\r\n";
    return s;
}

class SettingsFile : public ::testing::Test {
protected:
    TempDir tmp;
    ScriptedConsole con;
    Editor ed{con};
    void SetUp() override
    {
        con.OpenScreen();
        ed.StateDir = tmp / "state/";
        FillText(ed, 20);
    }
};

TEST_F(SettingsFile, RoundTripInItsFormat)
{
    ed.TopLine = 4;
    ed.CurrentLine = 9;
    ed.CurrentColumn = 17;
    ed.LineBookmarks = {0, 2, 0, 20};
    ed.PositionBookmarks[1] = {.line = 7, .column = 3, .top = 5};
    ed.PositionBookmarks[2] = {.line = 15, .column = 200, .top = 12};
    ed.InsertMode = false;
    ed.RusMode = true;
    ed.FillCell = 0x0FB0;
    ed.ColumnBookmark = 33;
    std::string path = ed.StateDir + "notes.txt.LmIni";
    ASSERT_TRUE(WriteSettingsFile(ed, path));
    EXPECT_EQ(ReadFile(path), Lines({"4", "9", "17", "2", "0", "20", "5", "7", "3", "12", "15", "200", "0", "1",
                                     "4016", "33"}));
    // The state directory is created private; the file is the user's alone.
    EXPECT_EQ(Mode(ed.StateDir), 0700u);
    EXPECT_EQ(Mode(path), 0600u);

    ScriptedConsole con2;
    Editor back{con2};
    FillText(back, 20);
    back.FillCell = 0x07B0;
    ASSERT_TRUE(ReadSettingsFile(back, path));
    EXPECT_EQ(back.TopLine, 4);
    EXPECT_EQ(back.CurrentLine, 9);
    EXPECT_EQ(back.CurrentColumn, 17);
    EXPECT_EQ(back.LineBookmarks, ed.LineBookmarks);
    EXPECT_EQ(back.PositionBookmarks[1].line, 7);
    EXPECT_EQ(back.PositionBookmarks[1].top, 5);
    EXPECT_EQ(back.PositionBookmarks[1].column, 3);
    EXPECT_EQ(back.PositionBookmarks[2].column, 200);
    EXPECT_FALSE(back.InsertMode);
    EXPECT_TRUE(back.RusMode);
    EXPECT_EQ(back.FillCell, 0x0FB0);
    EXPECT_EQ(back.ColumnBookmark, 33);
}

TEST_F(SettingsFile, CurrentLineBeyondTheTextBecomesTheLastLine)
{
    std::string path = tmp / "s";
    WriteFile(path, Lines({"495", "500", "1", "0", "0", "0", "0", "0", "0", "0", "0", "0", "1", "0", "0", "1"}));
    ASSERT_TRUE(ReadSettingsFile(ed, path));
    EXPECT_EQ(ed.CurrentLine, 20);
    EXPECT_LE(ed.TopLine, ed.CurrentLine);
}

TEST_F(SettingsFile, FillCellOnlyEverSwitchesWrapOffOn)
{
    std::string path = tmp / "s";
    WriteFile(path, Lines({"1", "1", "1", "0", "0", "0", "0", "0", "0", "0", "0", "0", "1", "0", "2048", "1"}));
    ed.FillCell = 0x07B0;
    ReadSettingsFile(ed, path);
    EXPECT_EQ(ed.FillCell, 0x07B0 | WrapOff);
    WriteFile(path, Lines({"1", "1", "1", "0", "0", "0", "0", "0", "0", "0", "0", "0", "1", "0", "0", "1"}));
    ReadSettingsFile(ed, path);
    EXPECT_EQ(ed.FillCell, 0x07B0 | WrapOff);
}

TEST_F(SettingsFile, MalformedAndOutOfRangeFieldsKeepTheirDefaults)
{
    std::string path = tmp / "s";
    // LF line ends, text, overflow, bad flags, a column past 255, a bookmark
    // past the end, a top line below the current line's range, a short file.
    WriteFile(path, "12\n5\nabc\n25\n-3\n3\n0\n99999999999999999999999\n7\n1\n2\n3\n2\n");
    ed.CurrentColumn = 9;
    ed.LineBookmarks = {0, 0, 0, 0};
    ASSERT_TRUE(ReadSettingsFile(ed, path));
    EXPECT_EQ(ed.CurrentLine, 5);
    EXPECT_EQ(ed.TopLine, 1);        // 12 is past the current line
    EXPECT_EQ(ed.CurrentColumn, 9);  // "abc"
    EXPECT_EQ(ed.LineBookmarks[1], 0);  // 25 is past the end
    EXPECT_EQ(ed.LineBookmarks[2], 0);  // negative
    EXPECT_EQ(ed.LineBookmarks[3], 3);
    EXPECT_EQ(ed.PositionBookmarks[1].line, 0);  // overflow
    EXPECT_EQ(ed.PositionBookmarks[2].line, 2);
    EXPECT_TRUE(ed.InsertMode);  // 2 is no flag
    EXPECT_FALSE(ed.RusMode);    // missing lines
    EXPECT_EQ(ed.ColumnBookmark, 1);

    WriteFile(path, "1\n1\n300\n");
    ReadSettingsFile(ed, path);
    EXPECT_EQ(ed.CurrentColumn, 9);

    // Garbage of any kind never crashes.
    WriteFile(path, std::string("\0\xff\r\r\n--1\n+\n 7 \n", 14));
    EXPECT_TRUE(ReadSettingsFile(ed, path));
    EXPECT_FALSE(ReadSettingsFile(ed, tmp / "missing"));
}

TEST(StateDirectory, FromTheEnvironment)
{
    {
        EnvGuard home("LUMO_HOME", "/x/lumo");
        EXPECT_EQ(StateDirectory(), "/x/lumo/");
    }
    EnvGuard home("LUMO_HOME", nullptr);
    {
        EnvGuard xdg("XDG_STATE_HOME", "/y/state");
        EXPECT_EQ(StateDirectory(), "/y/state/lumo/");
    }
    EnvGuard xdg("XDG_STATE_HOME", nullptr);
    EnvGuard user("HOME", "/home/u");
    EXPECT_EQ(StateDirectory(), "/home/u/.local/state/lumo/");

    ScriptedConsole con;
    Editor ed{con};
    SetDefaultSidePaths(ed);
    EXPECT_EQ(ed.SettingsFile, "/home/u/.local/state/lumo/LumoINI");
    EXPECT_EQ(ed.SavedStateFile, "/home/u/.local/state/lumo/LumoSS");
    EXPECT_EQ(ed.ClipboardFile, "/home/u/.local/state/lumo/LumoClip");
    EXPECT_EQ(SettingsPathFor(ed.StateDir, "/home/u/letter.txt"), "/home/u/.local/state/lumo/letter.txt.LmIni");
}

TEST(StateDirectory, ReplacingAFileKeepsTheOldOneOnFailure)
{
    TempDir tmp;
    std::string path = tmp / "f";
    WriteFile(path, "old");
    chmod(path.c_str(), 0640);
    EXPECT_TRUE(ReplaceFileContents(path, "new"));
    EXPECT_EQ(ReadFile(path), "new");
    EXPECT_EQ(Mode(path), 0640u);  // an existing file keeps its bits
    EXPECT_FALSE(ReplaceFileContents(tmp / "no/such/dir/f", "x"));
    EXPECT_FALSE(ReplaceFileContents(tmp.Dir(), "x"));  // not a regular file
    // No temporary file is left behind.
    int entries = 0;
    for (auto& e : std::filesystem::directory_iterator(tmp.Dir())) entries += e.is_regular_file();
    EXPECT_EQ(entries, 1);
}

}  // namespace
}  // namespace lumo
