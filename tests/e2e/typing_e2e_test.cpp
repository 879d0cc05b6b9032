// Typing a paragraph in a real terminal (tmux): the words wrap at the
// width the file's numeric extension sets, the screen shows the wrapped
// lines, and F2 writes them.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tmux_session.h"
#include "app/unboundkeys.h"

namespace lumo::e2e {
namespace {

// Row r (from 1) of a captured screen, without trailing blanks.
TEST(TypingEndToEnd, AParagraphWrapsAtTheWidth)
{
    if (!HaveTmux()) GTEST_SKIP() << "tmux is not installed";
    EditorDirectory dir("e2e-typing");
    const std::string file = dir / "para.40";  // width 40
    dir.Write("para.40", "");

    TmuxSession session(dir.Command("para.40"));
    ASSERT_TRUE(session.started());
    // Keys sent before the editor has switched the terminal over would be
    // echoed by the shell's line discipline: wait for the status line.
    ASSERT_TRUE(session.WaitFor("line=1", 15000)) << session.Screen();

    session.SendLiteral("the quick brown fox jumps over the lazy dog and keeps running far away");
    ASSERT_TRUE(session.WaitFor("dog and keeps running far away", 15000)) << session.Screen();
    ASSERT_TRUE(session.WaitFor("column=31", 15000)) << session.Screen();
    std::string screen = session.Screen();
    EXPECT_EQ(ScreenRow(screen, 3), "the quick brown fox jumps over the lazy") << screen;
    EXPECT_EQ(ScreenRow(screen, 4), "dog and keeps running far away") << screen;
    EXPECT_NE(ScreenRow(screen, 1).find("line=2"), std::string::npos) << screen;

    // A list item continues under its text.
    session.Send("Enter");
    session.SendLiteral("3. one two three four five six seven eight nine");
    ASSERT_TRUE(session.WaitFor("   eight nine", 15000)) << session.Screen();
    ASSERT_TRUE(session.WaitFor("column=14", 15000)) << session.Screen();
    screen = session.Screen();
    EXPECT_EQ(ScreenRow(screen, 5), "3. one two three four five six seven") << screen;
    EXPECT_EQ(ScreenRow(screen, 6), "   eight nine") << screen;
    EXPECT_NE(ScreenRow(screen, 1).find("line=4"), std::string::npos) << screen;

    session.Send("F2");
    const std::string expected = "the quick brown fox jumps over the lazy\n"
                                 "dog and keeps running far away\n"
                                 "3. one two three four five six seven\n"
                                 "   eight nine\n";
    EXPECT_EQ(WaitForBytes(file, expected, 15000), expected);
    session.Send("Escape");
    EXPECT_TRUE(session.WaitFor("LUMO-EXIT=", 15000)) << session.Screen();
}

}  // namespace
}  // namespace lumo::e2e
