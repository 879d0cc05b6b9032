// Change by file through the main loop: a pairs file chosen in the file
// dialog, run odd to even or even to odd, and the files that are not lists
// of pairs (odd, empty, a directory, binary, long lines, huge).
#include <filesystem>
#include <fstream>

#include "edit/search_rig.h"
#include "test_support.h"

namespace lumo::searchtest {
namespace {

constexpr KeyEvent AltF8 = 0x0208FF08;
constexpr KeyEvent CtrlShiftF8 = 0x0207FF08;

struct PairsCase {
    const char* name;
    std::string pairs;  // the file's bytes
    KeyEvent key;
    std::vector<std::string> lines;
    std::string answers;  // to the ask and case questions
    std::vector<std::string> want;
    const char* message;  // "" when none is expected
};

TEST(ChangeByFile, CasesThroughTheMainLoop)
{
    TempDirectory dir;
    const std::string path = (dir.path / "pairs.txt").string();
    const std::string longLine(300, 'q');
    const PairsCase cases[] = {
        {"odd to even", "alpha\nbeta\ngamma\ndelta\n", AltF8, {"alpha gamma", "beta delta"}, "21",
         {"beta delta", "beta delta"}, ""},
        {"even to odd", "alpha\nbeta\ngamma\ndelta\n", CtrlShiftF8, {"alpha gamma", "beta delta"}, "21",
         {"alpha gamma", "alpha gamma"}, ""},
        {"pairs run one after another", "alpha\nbeta\nbeta\ngamma\n", AltF8, {"alpha"}, "21", {"gamma"}, ""},
        {"three lines: the first pair, then the message", "alpha\r\nbeta\r\ngamma\r\n", AltF8, {"alpha gamma"}, "21",
         {"beta gamma"}, "Odd number of strings in file!"},
        {"an empty file does nothing", "", AltF8, {"alpha"}, "", {"alpha"}, ""},
        {"an empty find line: the blank lines after the first", "\nX\n", AltF8, {"", "a", "", ""}, "2",
         {"", "a", "X", "X"}, ""},
        {"dismissing the first question of a pair ends the whole command", "alpha\nbeta\ngamma\ndelta\n", AltF8,
         {"alpha gamma"}, "114", {"alpha gamma"}, ""},
        {"ask each: the next pair asks again after 3", "alpha\nbeta\ngamma\ndelta\n", AltF8,
         {"alpha alpha gamma gamma"}, "11312", {"beta beta delta gamma"}, ""},
        {"Esc at the case question ends the whole command", "alpha\nbeta\ngamma\ndelta\n", AltF8,
         {"alpha gamma"}, "2\x1B", {"alpha gamma"}, ""},
        {"a UTF-8 file is read in CP866", "\xD0\xBA\xD0\xBE\xD1\x82\n\xD0\xBF\xD1\x91\xD1\x81\n", AltF8,
         {"\xAA\xAE\xE2"}, "21", {"\xAF\xF1\xE1"}, ""},
        {"binary bytes are text, and the run ends", std::string("a\0b\n\x01\x02\xFF\n\x7F\n", 10), AltF8,
         {std::string("xa\0b", 4)}, "21", {"x\x01\x02\xFF"}, "Odd number of strings in file!"},
        {"long lines are cut at 255", "x\n" + longLine + "\n", AltF8, {"x", "ax"}, "21", {longLine.substr(0, 255), "ax"},
         " The line would pass 255 characters: the replace stopped."},
    };
    for (const PairsCase& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(path, c.pairs);
        Rig r(c.lines, 1, 1);
        r.Ask(c.key, path);
        for (char a : c.answers) r.con.Push(a == '\x1B' ? Esc : static_cast<KeyEvent>(static_cast<uint8_t>(a)));
        r.Run();
        EXPECT_EQ(r.Lines(), c.want);
        if (*c.message) {
            EXPECT_TRUE(r.con.Showed(c.message));
        }
        EXPECT_FALSE(r.con.Showed(" All replacements done."));
        EXPECT_EQ(r.ed.PairsFileName, path) << "the name is kept for the next use";
        EXPECT_FALSE(r.ed.NextPair) << "the pairs file is closed";
        for (const std::string& s : r.Lines()) EXPECT_LE(s.size(), 255u);
    }
}

TEST(ChangeByFile, DirectoriesAndHugeFilesEndCleanly)
{
    TempDirectory dir;
    // A directory is no pairs file: the dialog says so and asks again.
    Rig folder({"alpha"}, 1, 1);
    folder.Ask(CtrlShiftF8, dir.path.string());
    folder.Keys({Esc});
    folder.Run();
    EXPECT_EQ(folder.Lines(), std::vector<std::string>{"alpha"});
    EXPECT_TRUE(folder.con.Showed(" File not found: "));

    // A million lines: Esc waiting between two pairs stops the run, the
    // pairs done so far stay done.
    const std::string path = (dir.path / "huge.txt").string();
    {
        std::ofstream out(path);
        for (int i = 0; i < 500000; ++i) out << "a\nb\n";
    }
    Rig huge({"a a"}, 1, 1);
    huge.Ask(AltF8, path);
    huge.con.Type("2");
    huge.con.Type("1");
    huge.Keys({Esc});
    huge.Run();
    EXPECT_EQ(huge.Lines(), std::vector<std::string>{"b b"});
    EXPECT_EQ(huge.ed.PairsFileName, path);
    EXPECT_FALSE(huge.ed.NextPair);
}

}  // namespace
}  // namespace lumo::searchtest
