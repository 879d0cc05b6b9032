// Recording and playing back keystrokes through the main loop.
#include <fstream>
#include <iterator>

#include "editor/keyreading.h"
#include "app/loop_fixture.h"

namespace lumo {
namespace {

using namespace keys;

TEST_F(LoopTest, RecordedKeysPlayBack)
{
    AddLines({""});
    Push(ShiftF9);
    Type("ab");
    Push(ShiftF9);
    Push(F9);
    Run();
    EXPECT_EQ(Text(1), "abab");
    EXPECT_EQ(ed.RecordCount, 0);
    EXPECT_EQ(ed.PlaybackIndex, 0);
    EXPECT_EQ(ed.KeystrokeBuffer[1] & 0xFF, uint32_t('a'));
    EXPECT_EQ(ed.KeystrokeBuffer[2] & 0xFF, uint32_t('b'));
    // The stopping Shift+F9 became the end marker: its shift and kind stay.
    EXPECT_EQ(ed.KeystrokeBuffer[3], 0x02020000u);
    EXPECT_TRUE(con.Showed(" Press Shift+F9 again in the end of keystroke sequence."));
    EXPECT_TRUE(con.Showed(" Buffer recording stopped."));
}

TEST_F(LoopTest, LongRecordingStopsAtTheLastSlot)
{
    AddLines({""});
    Push(ShiftF9);
    Type(std::string(40, 'a'));
    Run();
    EXPECT_EQ(ed.RecordCount, 0);
    EXPECT_TRUE(con.Showed(" Too many keystrokes! Buffer recording stopped."));
    for (int slot = 1; slot <= 31; ++slot) EXPECT_EQ(ed.KeystrokeBuffer[slot], uint32_t('a')) << slot;
    EXPECT_EQ(ed.KeystrokeBuffer[32] & 0xFFFF, 0u);
    // Every key was still carried out.
    EXPECT_EQ(Text(1), std::string(40, 'a'));
    Push(F9);
    Run();
    EXPECT_EQ(Text(1), std::string(71, 'a'));
}

TEST_F(LoopTest, ShiftF9FillingTheLastSlotDoesNotStartAgain)
{
    AddLines({""});
    Push(ShiftF9);
    Type(std::string(31, 'a'));
    Push(ShiftF9);  // the 32nd key: fills the last slot
    Run();
    EXPECT_EQ(ed.RecordCount, 0);
    EXPECT_EQ(ed.KeystrokeBuffer[32] & 0xFFFF, 0u);
    // A full sequence ended by the user is no overflow.
    EXPECT_TRUE(con.Showed(" Buffer recording stopped."));
    EXPECT_FALSE(con.Showed("Too many keystrokes!"));
    Push(F9);
    Run();
    EXPECT_EQ(Text(1), std::string(62, 'a'));
}

TEST_F(LoopTest, PlaybackIgnoresF9ShiftF9AndCtrlF9)
{
    AddLines({""});
    ed.KeystrokeBuffer[1] = 'x';
    ed.KeystrokeBuffer[2] = F9;
    ed.KeystrokeBuffer[3] = ShiftF9;
    ed.KeystrokeBuffer[4] = CtrlF9;
    ed.KeystrokeBuffer[5] = 'y';
    ed.KeystrokeBuffer[6] = 0;
    Push(F9);
    Type("z");
    Run();
    EXPECT_EQ(Text(1), "xyz");
    EXPECT_EQ(ed.RecordCount, 0);
    EXPECT_EQ(ed.PlaybackIndex, 0);
}

TEST_F(LoopTest, PlaybackWithoutEndMarkerStopsAfterTheLastSlot)
{
    AddLines({""});
    for (int slot = 1; slot <= 32; ++slot) ed.KeystrokeBuffer[slot] = 'q';
    Push(F9);
    Type("!");
    Run();
    EXPECT_EQ(Text(1), std::string(32, 'q') + "!");
}

TEST_F(LoopTest, PlaybackDrawsNothingUntilTheEnd)
{
    AddLines({"", "", ""});
    ed.KeystrokeBuffer[1] = 'a';
    ed.KeystrokeBuffer[2] = Down;
    ed.KeystrokeBuffer[3] = 'b';
    ed.KeystrokeBuffer[4] = 0;
    Push(F9);
    Run();
    EXPECT_EQ(con.flushesDuringPlayback, 0);
    EXPECT_EQ(Text(1), "a");
    EXPECT_EQ(Text(2), " b");  // Down keeps the column
    // ... and the end shows the result.
    EXPECT_EQ(con.Char(2, 4), 'b');
    EXPECT_EQ(con.cursorRow, 3);
}

TEST_F(LoopTest, RecordingDuringPlaybackRecordsThePlayedKeys)
{
    AddLines({""});
    ed.KeystrokeBuffer[1] = 'p';
    ed.KeystrokeBuffer[2] = 'q';
    ed.KeystrokeBuffer[3] = 0;
    Push(ShiftF9);
    Push(F9);
    Push(ShiftF9);
    Run();
    EXPECT_EQ(Text(1), "pq");
    // F9 itself, then the two played keys, then the end marker.
    EXPECT_EQ(ed.KeystrokeBuffer[1], F9);
    EXPECT_EQ(ed.KeystrokeBuffer[2] & 0xFF, uint32_t('p'));
    EXPECT_EQ(ed.KeystrokeBuffer[3] & 0xFF, uint32_t('q'));
    EXPECT_EQ(ed.KeystrokeBuffer[4] & 0xFFFF, 0u);
    // The new recording replays the same keys (its F9 is ignored).
    Push(F9);
    Run();
    EXPECT_EQ(Text(1), "pqpq");
}

TEST_F(LoopTest, NextKeyReportsTheEndOfAPlayback)
{
    AddLines({""});
    ed.KeystrokeBuffer[1] = 'k';
    ed.KeystrokeBuffer[2] = 0;
    StartPlayback(ed);
    ASSERT_TRUE(NextKey(ed));
    EXPECT_EQ(ed.KeyChar, 'k');
    EXPECT_TRUE(KeyFromPlayback(ed));
    EXPECT_FALSE(NextKey(ed));
    EXPECT_EQ(ed.PlaybackIndex, 0);
    EXPECT_THROW(NextKey(ed), ScriptExhausted);  // now the keyboard
}

TEST_F(LoopTest, PlaybackFeedsTheInputLine)
{
    AddNumberedLines(30);
    Push(ShiftF9);
    Push(0x0200FF04);  // F4
    Type("25");
    Push(Enter);
    Push(ShiftF9);
    Run();
    ASSERT_EQ(ed.CurrentLine, 25);
    ed.CurrentLine = ed.TopLine = 1;
    Push(F9);
    Run();
    EXPECT_EQ(ed.CurrentLine, 25);
    EXPECT_EQ(con.Row(3).rfind("line 25 ", 0), 0u) << con.Row(3);
}

TEST_F(LoopTest, InputLineCancelsWhenThePlaybackRunsOut)
{
    AddNumberedLines(30);
    // A sequence that ends inside the prompt: F4 and a digit.
    ed.KeystrokeBuffer[1] = 0x0200FF04;
    ed.KeystrokeBuffer[2] = 0x00000332;  // "2"
    ed.KeystrokeBuffer[3] = 0;
    Push(F9);
    Type("z");  // from the keyboard: typed into the text, not the prompt
    Run();
    EXPECT_EQ(ed.CurrentLine, 1);
    EXPECT_EQ(Text(1), "zline 1");
    EXPECT_EQ(ed.PlaybackIndex, 0);
}

TEST_F(LoopTest, ShiftF9InsideAPromptStopsTheRecording)
{
    AddNumberedLines(30);
    Push(ShiftF9);
    Push(0x0200FF04);  // F4
    Type("7");
    Push(ShiftF9);     // ends the prompt and the recording
    Type("q");
    Run();
    EXPECT_EQ(ed.RecordCount, 0);
    EXPECT_EQ(ed.CurrentLine, 1);  // the prompt was cancelled
    EXPECT_EQ(Text(1), "qline 1");
    EXPECT_TRUE(con.Showed(" Buffer recording stopped."));
    EXPECT_EQ(ed.KeystrokeBuffer[1], 0x0200FF04u);
    EXPECT_EQ(ed.KeystrokeBuffer[3] & 0xFFFF, 0u);
}

std::string FileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST_F(LoopTest, KeystrokeFileWrittenAndReadThroughItsKeys)
{
    TempDirectory dir;
    AddLines({""});
    Push(ShiftF9);
    Type("hi");
    Push(ShiftF9);
    Push(0x0208FF09);  // Alt+F9: write, the name offered is kbdbufer.lmo
    Push(Enter);
    Run();
    std::string bytes = FileBytes(dir.path / "kbdbufer.lmo");
    ASSERT_EQ(bytes.size(), 128u);
    EXPECT_EQ(bytes.substr(0, 8), std::string("h\0\0\0i\0\0\0", 8));
    EXPECT_TRUE(con.Showed(" kbdbufer.lmo - OK!"));

    ed.KeystrokeBuffer.fill(0);
    Push(0x0204FF09);  // Ctrl+F9: read it back
    Push(Enter);
    Push(F9);
    Run();
    EXPECT_EQ(ed.KeystrokeBuffer[1] & 0xFF, uint32_t('h'));
    EXPECT_EQ(Text(1), "hihi");

    // Ctrl+Shift+F9 writes too, under the name typed.
    Push(0x0207FF09);
    Type("keys.bin");
    Push(Enter);
    Run();
    EXPECT_EQ(FileBytes(dir.path / "keys.bin"), bytes);
}

}  // namespace
}  // namespace lumo
