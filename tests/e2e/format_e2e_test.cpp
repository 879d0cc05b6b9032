// Formatting in a real terminal (tmux): a paragraph typed as one long line
// with the word wrap off, then Ctrl+Shift+F: the screen shows the justified
// lines and F2 writes them.
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

std::string ScreenRow(const std::string& screen, int r)
{
    std::istringstream in(screen);
    std::string row;
    for (int i = 0; i < r && std::getline(in, row); ++i) {}
    row.erase(row.find_last_not_of(' ') + 1);
    return row;
}

TEST(FormatEndToEnd, CtrlShiftFJustifiesATypedParagraph)
{
    if (!HaveTmux()) GTEST_SKIP() << "tmux is not installed";
    char name[] = "/tmp/lumo-e2e-format-XXXXXX";
    std::filesystem::path dir = mkdtemp(name);
    const std::string file = (dir / "para.30").string();  // width 30
    std::ofstream(file, std::ios::binary).close();

    TmuxSession session("cd " + Quote(dir.string()) + " && LUMO_HOME=" + Quote((dir / "state").string()) +
                        " LANG=C.UTF-8 " + Quote(LUMO_BINARY) + " -W para.30");
    ASSERT_TRUE(session.started());
    ASSERT_TRUE(session.WaitFor("line=1", 15000)) << session.Screen();

    // Shift+Del switches the wrap off: the paragraph stays one line.
    session.Send("S-DC");
    const std::string text = "the quick brown fox jumps over the lazy dog and keeps running far away";
    session.SendLiteral(text);
    ASSERT_TRUE(session.WaitFor("column=71", 15000)) << session.Screen();
    EXPECT_NE(ScreenRow(session.Screen(), 3).find("the quick brown fox"), std::string::npos);

    session.Send("C-S-f");
    ASSERT_TRUE(session.WaitFor("size=3", 15000)) << session.Screen();
    const std::string screen = session.Screen();
    EXPECT_EQ(ScreenRow(screen, 3), "        the  quick  brown  fox") << screen;
    EXPECT_EQ(ScreenRow(screen, 4), "jumps  over  the  lazy dog and") << screen;
    EXPECT_EQ(ScreenRow(screen, 5), "keeps running far away") << screen;

    session.Send("F2");
    const std::string expected = "        the  quick  brown  fox\n"
                                 "jumps  over  the  lazy dog and\n"
                                 "keeps running far away\n";
    for (int i = 0; i < 300 && ReadFile(file) != expected; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(ReadFile(file), expected);
    session.Send("Escape");
    EXPECT_TRUE(session.WaitFor("LUMO-EXIT=", 15000)) << session.Screen();
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace lumo::e2e
