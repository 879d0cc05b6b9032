// Formatting in a real terminal (tmux): a paragraph typed as one long line
// with the word wrap off, then Ctrl+Shift+F: the screen shows the justified
// lines and F2 writes them.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tmux_session.h"

namespace lumo::e2e {
namespace {

TEST(FormatEndToEnd, CtrlShiftFJustifiesATypedParagraph)
{
    if (!HaveTmux()) GTEST_SKIP() << "tmux is not installed";
    EditorDirectory dir("e2e-format");
    const std::string file = dir / "para.30";  // width 30
    dir.Write("para.30", "");

    TmuxSession session(dir.Command("para.30"));
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
    EXPECT_EQ(WaitForBytes(file, expected, 15000), expected);
    session.Send("Escape");
    EXPECT_TRUE(session.WaitFor("LUMO-EXIT=", 15000)) << session.Screen();
}

}  // namespace
}  // namespace lumo::e2e
