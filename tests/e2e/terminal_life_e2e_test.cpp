// The editor in a real terminal (tmux) meeting what terminals do: windows
// resized in every state of the editor, text pasted with bracketed paste,
// and the installed program with its help file and manual page.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tmux_session.h"

namespace lumo::e2e {
namespace {

std::vector<std::string> Rows(const std::string& screen)
{
    std::vector<std::string> rows;
    std::stringstream in(screen);
    for (std::string row; std::getline(in, row);) rows.push_back(row);
    return rows;
}

// Waits until the screen has `rows` rows and its row `row` (from 1) holds `text`.
bool WaitForRow(TmuxSession& s, int rows, int row, const std::string& text)
{
    for (int i = 0; i < 150; ++i) {
        std::vector<std::string> r = Rows(s.Screen());
        if (int(r.size()) == rows && r[row - 1].find(text) != std::string::npos) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
    return false;
}

TEST(TerminalLifeEndToEnd, ResizeInEveryStateRedrawsAtTheNewSize)
{
    if (!HaveTmux()) GTEST_SKIP() << "tmux is not installed";
    EditorDirectory dir("e2e-life");
    {
        std::ofstream out(dir.path() / "many.txt");
        for (int i = 1; i <= 60; ++i) out << "line " << i << "\n";
    }
    TmuxSession s(dir.Command("many.txt"));
    ASSERT_TRUE(s.started());
    ASSERT_TRUE(s.WaitFor("line 23")) << s.Screen();
    s.Send("F4");
    s.SendLiteral("30");
    s.Send("Enter");
    ASSERT_TRUE(s.WaitFor("line 30")) << s.Screen();

    // Editing: larger, the window fills all 30 rows and 100 columns.
    s.Resize(100, 30);
    ASSERT_TRUE(WaitForRow(s, 30, 30, "line ")) << s.Screen();
    std::string screen = s.Screen();
    EXPECT_NE(screen.find("line 30\n"), std::string::npos) << screen;
    const std::string status = Rows(screen)[0];
    EXPECT_GT(status.size(), 60u) << screen;

    // Too small: a notice; keys typed meanwhile are not used; back again.
    s.Resize(60, 10);
    ASSERT_TRUE(s.WaitFor("Window too small: 80x6 needed")) << s.Screen();
    s.SendLiteral("zz");
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    s.Resize(80, 25);
    ASSERT_TRUE(WaitForRow(s, 25, 25, "line ")) << s.Screen();
    screen = s.Screen();
    EXPECT_NE(screen.find("line 30\n"), std::string::npos) << screen;
    EXPECT_EQ(screen.find("zz"), std::string::npos) << screen;
    EXPECT_EQ(screen.find("too small"), std::string::npos) << screen;

    // A prompt on the input line keeps its question and what was typed.
    s.Send("F4");
    ASSERT_TRUE(s.WaitFor("Enter line number:")) << s.Screen();
    s.SendLiteral("12");
    s.Resize(100, 30);
    ASSERT_TRUE(WaitForRow(s, 30, 30, "line ")) << s.Screen();
    EXPECT_NE(Rows(s.Screen())[1].find("Enter line number:"), std::string::npos) << s.Screen();
    EXPECT_NE(Rows(s.Screen())[1].find("12"), std::string::npos) << s.Screen();
    s.Send("Enter");
    ASSERT_TRUE(s.WaitFor("line 12")) << s.Screen();

    // A question: its row stays through the resize and still answers.
    s.SendLiteral("x");
    s.Send("Escape");
    ASSERT_TRUE(s.WaitFor("To save into file ?")) << s.Screen();
    const std::vector<std::string> asked = Rows(s.Screen());
    s.Resize(80, 25);
    ASSERT_TRUE(WaitForRow(s, 25, 25, "line ")) << s.Screen();
    EXPECT_EQ(Rows(s.Screen())[0], asked[0]) << s.Screen();
    const std::string row2 = Rows(s.Screen())[1];
    EXPECT_TRUE(!row2.empty() && asked[1].compare(0, row2.size(), row2) == 0) << s.Screen();
    s.Send("Escape");  // continue editing
    ASSERT_TRUE(s.WaitFor("many.txt")) << s.Screen();

    // A storm of resizes ends drawn at the last size, still answering keys.
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 50; ++i) {
        s.Resize(81 + i, 25 + i % 5);
        s.Resize(120 - i, 30 - i % 3);
    }
    s.Resize(100, 30);
    ASSERT_TRUE(WaitForRow(s, 30, 30, "line ")) << s.Screen();
    auto storm = std::chrono::steady_clock::now() - start;
    s.Send("Home");
    s.SendLiteral("ok ");
    ASSERT_TRUE(s.WaitFor("ok xline 12")) << s.Screen();
    std::printf("[ storm    ] 100 resizes, redrawn and answering after %lld ms\n",
                (long long)std::chrono::duration_cast<std::chrono::milliseconds>(storm).count());
}

TEST(TerminalLifeEndToEnd, PasteIsInsertedAsTextAndSaved)
{
    if (!HaveTmux()) GTEST_SKIP() << "tmux is not installed";
    EditorDirectory dir("e2e-life");
    const std::string file = dir / "note.txt";
    {
        std::ofstream out(file, std::ios::binary);
        out << "\xD0\xBF\xD0\xB5\xD1\x80\xD0\xB2\xD0\xB0\xD1\x8F\n"  // первая
            << "second\n";
    }
    TmuxSession s(dir.Command("note.txt"));
    ASSERT_TRUE(s.started());
    ASSERT_TRUE(s.WaitFor("second")) << s.Screen();
    s.Send("End");
    // Cyrillic, a TAB, an F10 sequence and a blank line end; no key acts.
    s.Paste("\xD0\x90\xD0\x91\xD0\x92\tx\n\x1b[21~yz \\dir\nend");
    const std::string expected = "\xD0\xBF\xD0\xB5\xD1\x80\xD0\xB2\xD0\xB0\xD1\x8F\xD0\x90\xD0\x91\xD0\x92"
                                 "       x\nyz \\dir\nend\nsecond\n";
    ASSERT_TRUE(s.WaitFor("yz \\dir")) << s.Screen();
    std::string screen = s.Screen();
    EXPECT_NE(screen.find("\xD0\xB0\xD1\x8F\xD0\x90\xD0\x91\xD0\x92       x\n"), std::string::npos) << screen;
    EXPECT_NE(screen.find("\nend\n"), std::string::npos) << screen;
    EXPECT_EQ(screen.find("[21~"), std::string::npos) << screen;
    s.Send("F2");
    EXPECT_EQ(WaitForBytes(file, expected), expected);
    s.Send("Escape");
    EXPECT_TRUE(s.WaitFor("LUMO-EXIT=0")) << s.Screen();
}

TEST(TerminalLifeEndToEnd, InstalledProgramFindsItsHelpAndManualPage)
{
    if (!HaveTmux()) GTEST_SKIP() << "tmux is not installed";
    EditorDirectory prefix("e2e-prefix");
    std::string log = RunCapture(std::string(LUMO_CMAKE_COMMAND) + " --install " + Quote(LUMO_BINARY_DIR) +
                                 " --prefix " + Quote(prefix.path().string()) + " 2>&1");
    const auto bin = prefix.path() / "bin/lumo";
    ASSERT_TRUE(std::filesystem::exists(bin)) << log;
    EXPECT_TRUE(std::filesystem::exists(prefix.path() / "share/lumo/lumohelp.hlp")) << log;
    const auto page = prefix.path() / "share/man/man1/lumo.1";
    ASSERT_TRUE(std::filesystem::exists(page)) << log;
    EXPECT_NE(RunCapture(Quote(bin.string()) + " --help").find("man lumo"), std::string::npos);
    if (std::system("command -v man >/dev/null 2>&1") == 0) {
        std::string shown = RunCapture("MANWIDTH=80 man -l " + Quote(page.string()) + " 2>&1");
        EXPECT_NE(shown.find("EXIT STATUS"), std::string::npos) << shown;
        EXPECT_NE(shown.find("LUMO_MEMORY_KB"), std::string::npos) << shown;
    }
    // F1 in a directory without a help file: the installed one is found.
    EditorDirectory work("e2e-work");
    TmuxSession s(work.Command("a.txt", bin.string()));
    ASSERT_TRUE(s.started());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    s.Send("F1");
    EXPECT_TRUE(s.WaitFor("keys and commands")) << s.Screen();
    s.Send("Escape");
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    s.Send("Escape");
    EXPECT_TRUE(s.WaitFor("LUMO-EXIT=")) << s.Screen();
}

}  // namespace
}  // namespace lumo::e2e
