// Short editing sessions in a real terminal (tmux, UTF-8): typing Latin and
// Cyrillic text, moving, saving with F2 and quitting; the file's bytes are
// checked afterwards.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tmux_session.h"

namespace lumo::e2e {
namespace {

// A UTF-8 file stays UTF-8: the Cyrillic typed in the terminal is saved as
// UTF-8 beside the Cyrillic that was there.
TEST(EditingSessionEndToEnd, Utf8FileTypeMoveSaveQuit)
{
    if (!HaveTmux()) GTEST_SKIP() << "tmux is not installed";
    EditorDirectory dir("e2e-session");
    std::string file = dir / "note.txt";
    {
        std::ofstream out(file, std::ios::binary);
        out << "hello \xD0\xBC\xD0\xB8\xD1\x80\n"  // hello мир
            << "second\n";
    }
    TmuxSession session(dir.Command("note.txt"));
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
    EXPECT_EQ(WaitForBytes(file, expected), expected);
    session.Send("Escape");
    EXPECT_TRUE(session.WaitFor("LUMO-EXIT=0")) << session.Screen();
    EXPECT_EQ(ReadWhole(file), expected);
}

// A new file is written in the code page of the text in memory (CP866):
// typing, Enter at the end, moving up and along a line, inserting in the
// middle, a line deleted, F2, then Esc ends with nothing left unsaved.
TEST(EditingSessionEndToEnd, NewFileTypedSavedInTheConsoleCodePage)
{
    if (!HaveTmux()) GTEST_SKIP() << "tmux is not installed";
    EditorDirectory dir("e2e-session");
    std::string file = dir / "new.txt";
    TmuxSession session(dir.Command("new.txt"));
    ASSERT_TRUE(session.started());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    session.SendLiteral("Hello, \xD0\xBC\xD0\xB8\xD1\x80");  // Hello, мир
    ASSERT_TRUE(session.WaitFor("Hello, \xD0\xBC\xD0\xB8\xD1\x80")) << session.Screen();
    session.Send("Enter");
    session.SendLiteral("drop me");
    session.Send("Enter");
    session.SendLiteral("\xD0\x81lka 2");  // Ёlka 2
    ASSERT_TRUE(session.WaitFor("\xD0\x81lka 2")) << session.Screen();
    // Back to the first line, to the word "мир", insert before it.
    session.Send("Up Up Home");
    session.Send("C-Right");
    session.SendLiteral("big ");
    ASSERT_TRUE(session.WaitFor("Hello, big \xD0\xBC\xD0\xB8\xD1\x80")) << session.Screen();
    // The middle line goes.
    session.Send("Down C-y");
    ASSERT_TRUE(session.WaitFor("lka 2")) << session.Screen();
    for (int i = 0; i < 50 && session.Screen().find("drop me") != std::string::npos; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(session.Screen().find("drop me"), std::string::npos) << session.Screen();

    session.Send("F2");
    const std::string expected = "Hello, big \xAC\xA8\xE0\n"  // мир in CP866
                                 "\xF0lka 2\n";              // Ё in CP866
    EXPECT_EQ(WaitForBytes(file, expected), expected);
    session.Send("Escape");
    EXPECT_TRUE(session.WaitFor("LUMO-EXIT=0")) << session.Screen();
    EXPECT_EQ(ReadWhole(file), expected);
}

}  // namespace
}  // namespace lumo::e2e
