#include <gtest/gtest.h>

#include "app/startup_fixture.h"
#include "files/keystrokefile.h"

namespace lumo {
namespace {

using testing::TempDir;

class KeystrokeFile : public ::testing::Test {
protected:
    TempDir tmp;
    MessageConsole con;
    Editor ed{con};
    void SetUp() override { con.OpenScreen(); }
};

TEST_F(KeystrokeFile, RoundTripIsExactly128BytesInKeyByteOrder)
{
    for (int slot = 1; slot <= 32; ++slot) ed.KeystrokeBuffer[slot] = 0x0200FF00u + slot;
    // Bytes that mean something in text files mean nothing here.
    ed.KeystrokeBuffer[1] = 0x1A0A0D00;
    ed.KeystrokeBuffer[0] = 0xDEADBEEF;  // scratch slot, not part of the file
    std::string path = tmp / "kbdbufer.lmo";
    ASSERT_TRUE(WriteKeystrokeFile(ed, path));
    std::string bytes = ReadFile(path);
    ASSERT_EQ(bytes.size(), 128u);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\x00\x0D\x0A\x1A", 4));
    EXPECT_EQ(bytes.substr(4, 4), std::string("\x02\xFF\x00\x02", 4));

    ScriptedConsole con2;
    Editor back{con2};
    ASSERT_TRUE(ReadKeystrokeFile(back, path));
    for (int slot = 1; slot <= 32; ++slot) EXPECT_EQ(back.KeystrokeBuffer[slot], ed.KeystrokeBuffer[slot]) << slot;
    EXPECT_EQ(back.KeystrokeBuffer[0], 0u);
}

TEST_F(KeystrokeFile, OnlyA128ByteFileIsAccepted)
{
    ed.KeystrokeBuffer[1] = 'q';
    for (size_t size : {0, 4, 127, 129, 4096}) {
        std::string path = tmp / ("k" + std::to_string(size));
        WriteFile(path, std::string(size, 'x'));
        EXPECT_FALSE(ReadKeystrokeFile(ed, path)) << size;
        EXPECT_EQ(ed.KeystrokeBuffer[1], KeyEvent('q')) << size;
    }
    EXPECT_FALSE(ReadKeystrokeFile(ed, tmp / "missing"));
    EXPECT_FALSE(ReadKeystrokeFile(ed, tmp.Dir()));
}

TEST_F(KeystrokeFile, WriteCommandAsksForTheNameAndConfirms)
{
    std::string path = tmp / "mine.lmo";
    // The dialog offers "kbdbufer.lmo"; the first typed character replaces it.
    con.Type(path);
    con.Push(0x00001C0D);
    ed.KeystrokeBuffer[5] = 0x01020304;
    CmdWriteKeystrokeFile(ed);
    std::string bytes = ReadFile(path);
    ASSERT_EQ(bytes.size(), 128u);
    EXPECT_EQ(bytes.substr(16, 4), std::string("\x04\x03\x02\x01", 4));
}

TEST_F(KeystrokeFile, ReadCommandLoadsOnlyAWholeKeystrokeFile)
{
    std::string good = tmp / "good.lmo";
    std::string bytes(128, '\0');
    bytes.replace(4, 4, std::string("\x0D\x1C\0\0", 4));
    WriteFile(good, bytes);
    con.Type(good);
    con.Push(0x00001C0D);
    CmdReadKeystrokeFile(ed);
    EXPECT_EQ(ed.KeystrokeBuffer[2], 0x00001C0Du);
    EXPECT_TRUE(con.Showed(" kbdbufer.lmo - OK!"));

    // A file of another size is refused with a message; the buffer stays.
    std::string bad = tmp / "bad.lmo";
    WriteFile(bad, "short text\r\n");
    con.Type(bad);
    con.Push(0x00001C0D);
    con.shown.clear();
    CmdReadKeystrokeFile(ed);
    EXPECT_EQ(ed.KeystrokeBuffer[2], 0x00001C0Du);
    EXPECT_FALSE(con.Showed(" kbdbufer.lmo - OK!"));
    EXPECT_TRUE(con.Showed(" Not a keystroke file (128 bytes): " + bad));
}

}  // namespace
}  // namespace lumo
