// A short editing session in a real terminal (tmux): typing Latin and
// Cyrillic text, moving, saving with F2 and quitting; the file's bytes are
// checked afterwards.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tmux_session.h"

namespace lumo::e2e {
namespace {

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(MainLoopEndToEnd, TypeMoveSaveQuit)
{
    if (!HaveTmux()) GTEST_SKIP() << "tmux is not installed";
    char name[] = "/tmp/lumo-e2e-loop-XXXXXX";
    std::filesystem::path dir = mkdtemp(name);
    std::string file = (dir / "note.txt").string();
    {
        std::ofstream out(file, std::ios::binary);
        out << "hello \xD0\xBC\xD0\xB8\xD1\x80\n"  // hello мир
            << "second\n";
    }
    TmuxSession session("cd " + Quote(dir.string()) + " && LUMO_HOME=" + Quote((dir / "state").string()) +
                        " LANG=C.UTF-8 " + Quote(LUMO_BINARY) + " -W note.txt");
    ASSERT_TRUE(session.started());
    ASSERT_TRUE(session.WaitFor("second")) << session.Screen();

    session.Send("End");
    session.SendLiteral(" world");
    ASSERT_TRUE(session.WaitFor("hello \xD0\xBC\xD0\xB8\xD1\x80 world")) << session.Screen();
    session.Send("Down Home");
    session.SendLiteral("\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 ");  // "Привет "
    ASSERT_TRUE(session.WaitFor("\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 second")) << session.Screen();
    // Enter on the last line adds a line; type into it.
    session.Send("Enter");
    session.SendLiteral("end");
    ASSERT_TRUE(session.WaitFor("end")) << session.Screen();
    session.Send("F2");
    std::string expected = "hello \xD0\xBC\xD0\xB8\xD1\x80 world\n"
                           "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 second\n"
                           "end\n";
    for (int i = 0; i < 100 && ReadAll(file) != expected; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(ReadAll(file), expected);
    session.Send("Escape");
    EXPECT_TRUE(session.WaitFor("LUMO-EXIT=")) << session.Screen();
    EXPECT_EQ(ReadAll(file), expected);
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace lumo::e2e
