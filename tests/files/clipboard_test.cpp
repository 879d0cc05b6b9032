// The clipboard file: its layouts byte for byte, copy, cut and paste of
// lines and boxes, the desktop hand-over, and files that are not what a
// clipboard should be.
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "edit/blocks_fixture.h"
#include "editor/charmap.h"
#include "files/clipboard.h"

namespace lumo {
namespace {

struct ClipboardTest : BlockFixture {
    std::filesystem::path dir;
    std::string clip;
    std::string display, wayland;

    void SetUp() override
    {
        BlockFixture::SetUp();
        char name[] = "/tmp/lumo-clip-XXXXXX";
        dir = mkdtemp(name);
        clip = (dir / "LumoClip").string();
        ed.ClipboardFile = clip;
        // No desktop helper runs from a test.
        if (const char* v = std::getenv("DISPLAY")) display = v;
        if (const char* v = std::getenv("WAYLAND_DISPLAY")) wayland = v;
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
    }
    void TearDown() override
    {
        if (!display.empty()) setenv("DISPLAY", display.c_str(), 1);
        if (!wayland.empty()) setenv("WAYLAND_DISPLAY", wayland.c_str(), 1);
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
};

TEST_F(ClipboardTest, FileLayoutsByteForByte)
{
    Load({"ab  ", "c", "x\x01\x09y  "});
    Lines(1, 3);
    Run(CmdClipboardCopy);
    // Trailing blanks go; a colour code (or any other byte) stays.
    EXPECT_EQ(ReadFile(clip), "L\r\nab\r\nc\r\nx\x01\x09y\r\n");
    EXPECT_EQ(Marks(), "-");

    Load({"abcd", "efgh"});
    Box(1, 2, 2, 3);
    Run(CmdClipboardCopy);
    EXPECT_EQ(ReadFile(clip), "B\r\nbc\r\nfg");
    struct stat st{};
    ASSERT_EQ(stat(clip.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    // "LA" only with the exchange on and an ANSI file.
    ed.FileCodePage = CodePage::ANSI;
    Lines(1, 1);
    Run(CmdClipboardCopy);
    EXPECT_EQ(ReadFile(clip), "L\r\nabcd\r\n");
    ed.ExternalClipboard = true;
    const char* term = std::getenv("TERM");
    const std::string oldTerm = term ? term : "";
    setenv("TERM", "xterm", 1);
    Lines(1, 2);
    Run(CmdClipboardCopy);
    EXPECT_EQ(ReadFile(clip), "LA\r\nabcd\r\nefgh\r\n");
    // ... and the desktop gets the text through the terminal.
    EXPECT_EQ(con.sentToTerminal, Osc52Sequence("abcd\nefgh\n"));
    EXPECT_EQ(Osc52Sequence("abcd\nefgh\n"), "\x1b]52;c;YWJjZAplZmdoCg==\x07");
    if (term) setenv("TERM", oldTerm.c_str(), 1);
    else unsetenv("TERM");

    // The input line's string: "B", then the string with no line end.
    ASSERT_TRUE(WriteClipboardLine(ed, "find me"));
    EXPECT_EQ(ReadFile(clip), "B\r\nfind me");
    bool ok = false;
    EXPECT_EQ(ReadClipboardLine(ed, ok), "find me");
    EXPECT_TRUE(ok);

    Load({"x"});
    Run(CmdClipboardCopy);
    EXPECT_EQ(LastMessage(), NoBlockMessage);
    EXPECT_EQ(ReadFile(clip), "B\r\nfind me");
}

TEST_F(ClipboardTest, CutDeletesOnlyWhatTheFileHolds)
{
    Load({"1", "2", "3"});
    Lines(2, 2);
    Run(CmdClipboardCut);
    EXPECT_EQ(Text(), "1|3");
    EXPECT_EQ(ReadFile(clip), "L\r\n2\r\n");

    // A clipboard that cannot be written keeps the old one and the block.
    ed.ClipboardFile = (dir / "LumoClip" / "inside").string();
    Lines(1, 1);
    Run(CmdClipboardCut);
    EXPECT_EQ(Text(), "1|3");
    EXPECT_EQ(Marks(), "L1-1");
    EXPECT_EQ(LastMessage(), " Write error or the file to be saved is read-only!");
    EXPECT_EQ(ReadFile(clip), "L\r\n2\r\n");
    // Nor does the input line's Ctrl+X lose its string.
    EXPECT_FALSE(WriteClipboardLine(ed, "kept"));
}

TEST_F(ClipboardTest, PasteLinesAndBoxes)
{
    struct Case {
        const char* name;
        std::string file;
        std::vector<std::string> text;
        int mark[4];  // a line block (first, last) or a box (four); zeros for none
        int line, column;
        const char* result;
        int resultLine, resultColumn;
    };
    const Case cases[] = {
        {"lines above the cursor line", "L\r\nA\r\nB\r\n", {"one", "two", "three"}, {0}, 2, 1, "one|A|B|two|three", 4, 1},
        {"lines split the cursor line", "L\r\nA\r\nB\r\n", {"one", "two", "three"}, {0}, 2, 2, "one|tA|B|wo|three", 4, 1},
        {"LA pastes as L", "LA\r\nA\r\n", {"one", "two"}, {0}, 1, 1, "A|one|two", 2, 1},
        {"lines replace a line block", "L\r\nA\r\nB\r\n", {"one", "two", "three"}, {1, 1}, 3, 2, "A|B|two|three", 3, 1},
        {"lines replace a block at the end", "L\r\nA\r\n", {"one", "two", "three"}, {2, 3}, 1, 1, "one|A|", 3, 1},
        {"a box at the cursor column", "B\r\nxy\r\nzw", {"abc", "def"}, {0}, 1, 2, "axybc|dzwef", 2, 4},
        {"a box adds the lines it needs", "B\r\nxy\r\nzw", {"abc", "def"}, {0}, 2, 2, "abc|dxyef| zw", 3, 4},
        {"a box replaces a marked box", "B\r\nXY\r\nZW", {"abcd", "efgh"}, {1, 2, 2, 3}, 2, 1, "aXYd|eZWh", 2, 4},
        {"an empty L file changes nothing", "L\r\n", {"one", "two"}, {1, 2}, 1, 1, "one|two", 1, 1},
        {"another kind pastes nothing", "X\r\nA\r\n", {"one"}, {0}, 1, 1, "one", 1, 1},
        {"a binary file pastes nothing", std::string("\0\x01\xff\r\nA", 6), {"one"}, {0}, 1, 1, "one", 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(clip, c.file);
        Load(c.text);
        if (c.mark[2]) Box(c.mark[0], c.mark[1], c.mark[2], c.mark[3]);
        else if (c.mark[0]) Lines(c.mark[0], c.mark[1]);
        At(c.line, c.column);
        const std::string before = Text();
        Run(CmdClipboardPaste);
        EXPECT_EQ(Text(), c.result);
        EXPECT_EQ(ed.CurrentLine, c.resultLine);
        EXPECT_EQ(ed.CurrentColumn, c.resultColumn);
        EXPECT_EQ(ed.Modified, Text() != before);
        if (Text() != before) {
            EXPECT_EQ(Marks(), "-");
        }
    }
}

TEST_F(ClipboardTest, FilesThatAreNoClipboard)
{
    // Missing, a directory: nothing pasted, nothing said.
    Load({"one"});
    Run(CmdClipboardPaste);
    std::filesystem::create_directory(clip);
    Run(CmdClipboardPaste);
    EXPECT_EQ(Text(), "one");
    EXPECT_FALSE(ed.Modified);
    EXPECT_TRUE(con.shown.empty());
    std::filesystem::remove(clip);

    // Long lines are cut to 255 characters.
    WriteFile(clip, "L\r\n" + std::string(300, 'a') + "\nshort\r");
    Run(CmdClipboardPaste);
    EXPECT_EQ(Text(), std::string(255, 'a') + "|short|one");

    // More lines than any text can take: refused whole.
    std::string huge = "L\n";
    for (int i = 0; i < MaxLines + 100; ++i) huge += "line\n";
    WriteFile(clip, huge);
    Load({"one"});
    Run(CmdClipboardPaste);
    EXPECT_EQ(Text(), "one");
    EXPECT_EQ(LastMessage(), " TOO MANY LINES! DO NOT SAVE THIS FILE!");
    EXPECT_FALSE(ed.Modified);

    // A pasted row that would pass 255 characters is refused whole.
    WriteFile(clip, "B\r\nxy\r\nzw");
    Load({"a", std::string(254, 'b')});
    At(1, 1);
    Run(CmdClipboardPaste);
    EXPECT_EQ(Text(), "a|" + std::string(254, 'b'));
    EXPECT_EQ(LastMessage(), LineTooLongMessage);
}

TEST_F(ClipboardTest, TextAsTheDesktopTakesIt)
{
    // Cyrillic as UTF-8, TAB kept, other control bytes left out, LF ends.
    EXPECT_EQ(DesktopClipboardText(ed, "L\r\n\x8f\xe0\xa8\xa2\xa5\xe2\tok\x01\r\nz\r\n"),
              "\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82\tok\nz\n");
    EXPECT_EQ(DesktopClipboardText(ed, "B\r\nbc\r\nfg"), "bc\nfg");
    EXPECT_EQ(DesktopClipboardText(ed, "B"), "");
    // The bytes read as the text's map has them: an em dash in a 1251 text.
    ed.FileCodePage = CodePage::ANSI;
    UseCodePageMap(ed, CodePage::ANSI);
    const int dash = TextByteFor(ed, U'\u2014');
    ASSERT_GE(dash, 0x80);
    EXPECT_EQ(DesktopClipboardText(ed, std::string("L\r\na") + char(dash) + "b\r\n"), "a\xe2\x80\x94" "b\n");
    EXPECT_EQ(Osc52Sequence(std::string(2 << 20, 'x')), "");
    EXPECT_EQ(Osc52Sequence("a"), "\x1b]52;c;YQ==\x07");
}

}  // namespace
}  // namespace lumo

namespace lumo {
namespace {

// A stand-in for xclip on PATH: the desktop helper gets the text on its
// standard input, its arguments, and never holds the editor up.
TEST_F(ClipboardTest, DesktopHelperGetsTheTextAndNeverHoldsUp)
{
    const std::string bin = (dir / "bin").string();
    std::filesystem::create_directory(bin);
    const std::string got = (dir / "got").string();
    WriteFile(bin + "/xclip", "#!/bin/sh\necho \"$@\" > " + got + ".args\n/bin/cat > " + got + ".tmp\n/bin/mv " + got +
                                  ".tmp " + got + "\n");
    chmod((bin + "/xclip").c_str(), 0755);
    const char* path = std::getenv("PATH");
    const std::string oldPath = path ? path : "";
    setenv("PATH", bin.c_str(), 1);
    setenv("DISPLAY", ":99", 1);

    SendToDesktopClipboard(ed, "L\r\n\x8f\xe0\xa8\xa2\xa5\xe2\r\n");
    for (int i = 0; i < 100 && !std::filesystem::exists(got); ++i) usleep(20000);
    EXPECT_EQ(ReadFile(got), "\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82\n");
    EXPECT_EQ(ReadFile(got + ".args"), "-selection clipboard\n");

    // A helper that never reads: the editor gives up after about a second.
    WriteFile(bin + "/xclip", "#!/bin/sh\nexec /bin/sleep 5\n");
    const auto start = std::chrono::steady_clock::now();
    SendToDesktopClipboard(ed, "L\r\n" + std::string(1 << 20, 'x') + "\r\n");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));

    // No helper at all: nothing happens, at once.
    std::filesystem::remove(bin + "/xclip");
    SendToDesktopClipboard(ed, "L\r\nx\r\n");
    setenv("PATH", oldPath.c_str(), 1);
    unsetenv("DISPLAY");
}

}  // namespace
}  // namespace lumo
