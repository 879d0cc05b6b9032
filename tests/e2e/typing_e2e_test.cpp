// Typing a paragraph in a real terminal (tmux): the words wrap at the
// width the file's numeric extension sets, the screen shows the wrapped
// lines, and F2 writes them.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tmux_session.h"

namespace lumo::e2e {
namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Row r (from 1) of a captured screen.
std::string ScreenRow(const std::string& screen, int r)
{
    std::istringstream in(screen);
    std::string row;
    for (int i = 0; i < r && std::getline(in, row); ++i) {}
    return row;
}

TEST(TypingEndToEnd, AParagraphWrapsAtTheWidth)
{
    if (!HaveTmux()) GTEST_SKIP() << "tmux is not installed";
    char name[] = "/tmp/lumo-e2e-typing-XXXXXX";
    std::filesystem::path dir = mkdtemp(name);
    const std::string file = (dir / "para.40").string();  // width 40
    std::ofstream(file, std::ios::binary).close();

    TmuxSession session("cd " + Quote(dir.string()) + " && LUMO_HOME=" + Quote((dir / "state").string()) +
                        " LANG=C.UTF-8 " + Quote(LUMO_BINARY) + " -W para.40");
    ASSERT_TRUE(session.started());
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    if (session.Screen().find("LUMO-EXIT=") != std::string::npos)
        GTEST_SKIP() << "the editor does not start yet:\n" << session.Screen();

    session.SendLiteral("the quick brown fox jumps over the lazy dog and keeps running far away");
    ASSERT_TRUE(session.WaitFor("dog and keeps running far away")) << session.Screen();
    const std::string screen = session.Screen();
    EXPECT_EQ(ScreenRow(screen, 3).rfind("the quick brown fox jumps over the lazy", 0), 0u) << screen;
    EXPECT_EQ(ScreenRow(screen, 4).rfind("dog and keeps running far away", 0), 0u) << screen;

    // A list item continues under its text.
    session.Send("Enter");
    session.SendLiteral("3. one two three four five six seven eight nine");
    ASSERT_TRUE(session.WaitFor("   eight nine")) << session.Screen();

    session.Send("F2");
    const std::string expected = "the quick brown fox jumps over the lazy\n"
                                 "dog and keeps running far away\n"
                                 "3. one two three four five six seven\n"
                                 "   eight nine\n";
    for (int i = 0; i < 100 && ReadFile(file) != expected; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(ReadFile(file), expected);
    session.Send("Escape");
    EXPECT_TRUE(session.WaitFor("LUMO-EXIT=")) << session.Screen();
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace lumo::e2e
