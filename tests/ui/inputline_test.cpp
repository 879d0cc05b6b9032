#include <gtest/gtest.h>

#include "editor/keyreading.h"
#include "app/startup_fixture.h"
#include "ui/inputline.h"
#include "files/statedir.h"
#include "ui/render.h"
#include "edit/recording.h"
#include "files/history.h"

namespace lumo {
namespace {

using testing::TempDir;

constexpr KeyEvent Enter = 0x00001C0D;
constexpr KeyEvent ShiftEnter = 0x00021C0D;
constexpr KeyEvent CtrlEnter = 0x00041C0A;
constexpr KeyEvent Esc = 0x0000011B;
constexpr KeyEvent CtrlP = 0x00041910;
constexpr KeyEvent CtrlK = 0x0004250B;
constexpr KeyEvent CtrlC = 0x00042E03;
constexpr KeyEvent CtrlX = 0x00042D18;
constexpr KeyEvent CtrlV = 0x00042F16;
constexpr KeyEvent CtrlW = 0x00041117;
constexpr KeyEvent CtrlR = 0x00041312;
constexpr KeyEvent Left = 0x0200FF23;
constexpr KeyEvent Right = 0x0200FF25;
constexpr KeyEvent Home = 0x0200FF20;
constexpr KeyEvent End = 0x0200FF26;
constexpr KeyEvent Up = 0x0200FF21;
constexpr KeyEvent Down = 0x0200FF27;
constexpr KeyEvent Del = 0x0200FF2A;
constexpr KeyEvent Backspace = 0x00000E08;
constexpr KeyEvent ShiftLeft = 0x0202FF23;
constexpr KeyEvent ShiftRight = 0x0202FF25;
constexpr KeyEvent ShiftF9 = 0x0202FF09;
constexpr KeyEvent AltX = 0x03082D00;
constexpr KeyEvent AltK = 0x03082500;
constexpr KeyEvent AltOpenBracket = 0x03081A00;
constexpr KeyEvent AltShiftOpenBracket = 0x030B1A00;
constexpr KeyEvent Alt2 = 0x03087900;
constexpr KeyEvent F1 = 0x0200FF01;

class InputLineTest : public ::testing::Test {
protected:
    TempDir tmp;
    ScriptedConsole con;
    Editor ed{con};
    void SetUp() override
    {
        con.OpenScreen();
        ed.StateDir = tmp.Dir();
        ed.SavedStateFile = tmp / "LumoSS";
        ed.ClipboardFile = tmp / "LumoClip";
        testing::FillText(ed, 5);
    }
    std::string Run(std::string text, int mode = InputPlain)
    {
        InputLine(ed, text, mode);
        return text;
    }
    std::string Field() const { return con.Row(2).substr(InputFieldColumn - 1); }
};

TEST_F(InputLineTest, EndingKeysAndResults)
{
    con.Type("ab");
    con.Push(Enter);
    EXPECT_EQ(Run(""), "ab");
    EXPECT_EQ(ed.OperationFailed, 0);

    con.Type("zz");
    con.Push(Esc);
    EXPECT_EQ(Run("keep"), "zz");  // the string as it stands; Esc tells the caller to ignore it
    EXPECT_EQ(ed.OperationFailed, 1);

    con.Push(CtrlP);
    Run("x");
    EXPECT_EQ(ed.OperationFailed, 31);
}

TEST_F(InputLineTest, FirstTypedCharacterReplacesUntouchedText)
{
    con.Type("x");
    con.Push(Enter);
    EXPECT_EQ(Run("hello"), "x");

    // Moving first "touches" the string, so typing inserts.
    con.Push(Right);
    con.Type("x");
    con.Push(Enter);
    EXPECT_EQ(Run("hello"), "hxello");

    con.Push(End);
    con.Type("!");
    con.Push(Enter);
    EXPECT_EQ(Run("hello"), "hello!");
}

TEST_F(InputLineTest, EditingKeys)
{
    con.Push(Home);
    con.Push(Del);
    con.Push(Right);
    con.Push(Right);
    con.Push(Backspace);
    con.Push(Right);
    con.Push(CtrlK);
    con.Push(Enter);
    EXPECT_EQ(Run("abcdef"), "bd");

    // Backspace at the first column and Del past the end change nothing.
    con.Push(Home);
    con.Push(Backspace);
    con.Push(End);
    con.Push(Del);
    con.Push(Enter);
    EXPECT_EQ(Run("abc"), "abc");
}

TEST_F(InputLineTest, ShiftLeftThenShiftRightRestoresTheString)
{
    con.Push(ShiftLeft);
    con.Push(ShiftLeft);
    con.Push(ShiftRight);
    con.Push(ShiftRight);
    con.Push(Enter);
    EXPECT_EQ(Run("abcdef"), "abcdef");

    con.Push(ShiftLeft);
    con.Push(ShiftLeft);
    con.Push(Enter);
    EXPECT_EQ(Run("abcdef"), "abcd");
}

TEST_F(InputLineTest, DrawsTheFieldAtColumn28)
{
    ShowMessage(ed, " ENTER FILE NAME OR ESC: ", 0);
    con.Push(End);
    con.Push(Esc);
    // Look at the screen while the last key is read: the scripted console
    // throws when the script runs out, and the screen then shows the field.
    con.keys.pop_back();
    std::string text = "name.txt";
    EXPECT_THROW(InputLine(ed, text, InputPlain), ScriptExhausted);
    EXPECT_EQ(con.Row(2).substr(0, 25), " ENTER FILE NAME OR ESC: ");
    EXPECT_EQ(Field().substr(0, 9), "name.txt ");
    EXPECT_EQ(con.Attr(InputFieldColumn, 2), 0x5A);
    EXPECT_EQ(con.cursorColumn, InputFieldColumn - 1 + 8);
    EXPECT_EQ(con.cursorRow, 1);
}

TEST_F(InputLineTest, TypingStopsWhenTheFieldIsFull)
{
    con.Type(std::string(60, 'q'));
    con.Push(Enter);
    EXPECT_EQ(Run(""), std::string(52, 'q'));
}

TEST_F(InputLineTest, AStringLongerThanTheFieldScrollsAndStaysWhole)
{
    std::string path = "/" + std::string(120, 'p') + "/name.txt";
    con.Push(End);
    con.Push(Backspace);
    con.Type("X");  // the field is full: refused
    con.Push(Enter);
    EXPECT_EQ(Run(path), path.substr(0, path.size() - 1));
    EXPECT_LT(con.cursorColumn, con.ScreenColumns);
}

TEST_F(InputLineTest, ControlCodesAreTypedButFunctionKeysAreNot)
{
    con.Push(0x00041E01);  // Ctrl+A
    con.Push(F1);
    con.Push(AltK);
    con.Push(AltOpenBracket);
    con.Push(AltShiftOpenBracket);
    con.Push(Enter);
    EXPECT_EQ(Run(""), "\x01[{");
}

TEST_F(InputLineTest, AltXInsertsTheNextKeyInHex)
{
    con.Push(AltX);
    con.Push(AltK);
    con.Push(Enter);
    EXPECT_EQ(Run(""), "03082500");
}

TEST_F(InputLineTest, RusModeMapsTypedLetters)
{
    ed.RusMode = true;
    con.Type("f");
    con.Push(Enter);
    EXPECT_EQ(Run(""), "\xA0");  // CP866 а
}

TEST_F(InputLineTest, AltDigitSetsABookmark)
{
    ed.CurrentLine = 4;
    con.Push(Alt2);
    con.Push(Enter);
    Run("");
    EXPECT_EQ(ed.LineBookmarks[2], 4);
}

TEST_F(InputLineTest, SearchModeStartsFromTheHistoryAndStoresTouchedText)
{
    ed.SearchHistory[0] = "first";
    con.Push(Right);
    con.Type("X");
    con.Push(Enter);
    std::string s = "ignored";
    InputLine(ed, s, InputSearch);
    EXPECT_EQ(s, "fXirst");
    // The edited text goes to the next empty entry, which becomes current.
    EXPECT_EQ(ed.SearchHistory[0], "first");
    EXPECT_EQ(ed.SearchHistory[1], "fXirst");
    EXPECT_EQ(ed.HistoryIndex, 1);
    EXPECT_EQ(con.Row(2).substr(0, 5), std::string(5, char(ed.FillCell & 0xFF)));  // row 2 restored

    // Up goes back one entry; an untouched Enter stores nothing.
    con.Push(Up);
    con.Push(Enter);
    InputLine(ed, s, InputSearch);
    EXPECT_EQ(s, "first");
    EXPECT_EQ(ed.HistoryIndex, 0);
    EXPECT_EQ(ed.SearchHistory[2], "");

    con.Push(Down);
    con.Push(Enter);
    InputLine(ed, s, InputReplacement);
    EXPECT_EQ(s, "fXirst");
}

TEST_F(InputLineTest, HistoryEntriesAreCutAt53)
{
    AddToHistory(ed, std::string(80, 'h'));
    EXPECT_EQ(ed.SearchHistory[0], std::string(53, 'h'));
}

TEST_F(InputLineTest, ModifiedEnterMarksTheSearchVariantOnlyInSearchMode)
{
    ed.SearchHistory[0] = "w";
    con.Push(CtrlEnter);
    std::string s;
    InputLine(ed, s, InputSearch);
    EXPECT_EQ(ed.OperationFailed, 0);
    EXPECT_EQ(ed.KeyScan, 0xF0);

    con.Push(ShiftEnter);
    con.Push(Enter);
    InputLine(ed, s, InputPlain);
    EXPECT_EQ(ed.OperationFailed, 0);
    EXPECT_TRUE(con.keys.empty());  // Shift+Enter was ignored, plain Enter ended
}

TEST_F(InputLineTest, SavedStateFileRoundTrip)
{
    for (int i = 0; i < HistorySize; ++i) ed.SearchHistory[i] = "entry" + std::to_string(i);
    ed.HistoryIndex = 3;
    ed.SearchCase = -15;
    WriteHistory(ed);
    std::string data = ReadFile(ed.SavedStateFile);
    EXPECT_EQ(data.substr(0, 24), "entry3\r\nentry2\r\nentry1\r\n");
    EXPECT_NE(data.find("entry4\r\n-15\r\n"), std::string::npos);
    EXPECT_EQ(testing::Mode(ed.SavedStateFile), 0600u);

    ScriptedConsole con2;
    Editor back{con2};
    back.SavedStateFile = ed.SavedStateFile;
    ReadHistory(back);
    // A fresh start reads the entries back around its own current index 0.
    for (int i = 0; i < HistorySize; ++i)
        EXPECT_EQ(back.SearchHistory[(HistorySize - i) % HistorySize], ed.SearchHistory[(3 - i + HistorySize) % HistorySize]);
    EXPECT_EQ(back.SearchCase, -15);
    EXPECT_EQ(back.SearchString, "entry3");
}

TEST_F(InputLineTest, SavedStateFileWithLongLinesAndGarbage)
{
    WriteFile(ed.SavedStateFile, std::string(70, 'a') + "\nb\n" + std::string(14, '\n') + "7\n");
    ed.SearchCase = 15;
    ReadHistory(ed);
    EXPECT_EQ(ed.SearchHistory[0], std::string(53, 'a'));
    EXPECT_EQ(ed.SearchHistory[15], "b");  // the ring goes backwards
    EXPECT_EQ(ed.SearchCase, 15);          // 7 is no case setting

    // A missing file changes nothing.
    ed.SavedStateFile = tmp / "missing";
    ReadHistory(ed);
    EXPECT_EQ(ed.SearchHistory[15], "b");
}

TEST_F(InputLineTest, ClipboardKeys)
{
    con.Push(End);
    con.Push(CtrlC);
    con.Push(Enter);
    Run("copied");
    EXPECT_EQ(ReadFile(ed.ClipboardFile), "B\r\ncopied");  // no line end after the string

    con.Push(CtrlX);
    con.Push(Enter);
    EXPECT_EQ(Run("cut"), "");
    EXPECT_EQ(ReadFile(ed.ClipboardFile), "B\r\ncut");

    WriteFile(ed.ClipboardFile, "L\r\npasted text\r\nmore\r\n");
    con.Push(CtrlV);
    con.Push(Enter);
    EXPECT_EQ(Run("old"), "pasted text");

    // A clipboard whose kind line starts with a blank offers nothing.
    WriteFile(ed.ClipboardFile, " \r\nnope\r\n");
    con.Push(CtrlV);
    con.Push(Enter);
    EXPECT_EQ(Run("old"), "old");
}

TEST_F(InputLineTest, HistoryFileKeys)
{
    ed.SearchHistory[0] = "saved";
    con.Push(CtrlW);
    con.Push(Enter);
    Run("");
    ed.SearchHistory[0] = "changed";
    con.Push(CtrlR);
    con.Push(Enter);
    Run("");
    EXPECT_EQ(ed.SearchHistory[0], "saved");
}

TEST_F(InputLineTest, PlaybackFeedsTheInputLineAndCancelsWhenItRunsOut)
{
    ed.KeystrokeBuffer[1] = 'a';
    ed.KeystrokeBuffer[2] = 'b';
    ed.KeystrokeBuffer[3] = 0x02020000;  // end marker
    StartPlayback(ed);
    std::string s;
    InputLine(ed, s, InputPlain);
    EXPECT_EQ(s, "ab");
    EXPECT_EQ(ed.OperationFailed, 1);
    EXPECT_EQ(ed.PlaybackIndex, 0);
}

TEST_F(InputLineTest, ShiftF9WhileRecordingEndsWith127)
{
    StartStopRecording(ed);
    ASSERT_NE(ed.RecordCount, 0);
    con.Type("ab");
    con.Push(ShiftF9);
    std::string s;
    InputLine(ed, s, InputPlain);
    EXPECT_EQ(ed.OperationFailed, 127);
    EXPECT_EQ(s, "ab");
    EXPECT_EQ(ed.KeystrokeBuffer[1], KeyEvent('a'));
    EXPECT_EQ(ed.KeystrokeBuffer[2], KeyEvent('b'));
}

TEST_F(InputLineTest, ShiftF9StartsARecordingAndTheKeysAreRecorded)
{
    con.Push(ShiftF9);
    con.Type("xy");
    con.Push(Enter);
    std::string s;
    InputLine(ed, s, InputPlain);
    EXPECT_EQ(s, "xy");
    EXPECT_NE(ed.RecordCount, 0);
    EXPECT_EQ(ed.KeystrokeBuffer[1], KeyEvent('x'));
}

TEST_F(InputLineTest, RecordingStopsAtSlot32InsideTheInputLine)
{
    StartStopRecording(ed);
    con.Type(std::string(40, 'k'));
    std::string s;
    InputLine(ed, s, InputPlain);
    EXPECT_EQ(ed.OperationFailed, 127);
    EXPECT_EQ(ed.RecordCount, 0);
    EXPECT_EQ(s, std::string(31, 'k'));
    EXPECT_EQ(ed.KeystrokeBuffer[32] & 0xFFFF, 0u);
}

}  // namespace
}  // namespace lumo
