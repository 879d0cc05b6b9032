// Abbreviations and key definitions in a real terminal (tmux): a shorts.lmo
// beside the file, an abbreviation typed and expanded by Space; macros taken
// with Ctrl+Alt+Shift+key and played with Ctrl+Alt+key as the terminal sends
// those keys under the modifyOtherKeys and the kitty protocols; the text and
// the key definitions saved.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tmux_session.h"

namespace lumo::e2e {
namespace {

// A key's bytes exactly as a terminal sends them.
void SendBytes(TmuxSession& session, const std::string& bytes)
{
    std::string hex;
    char digits[4];
    for (unsigned char c : bytes) {
        std::snprintf(digits, sizeof digits, " %02x", c);
        hex += digits;
    }
    session.Send("-H" + hex);
}

TEST(AbbreviationEndToEnd, ShortsAndMacrosTypedSavedAndKept)
{
    if (!HaveTmux()) GTEST_SKIP() << "tmux is not installed";
    EditorDirectory dir("e2e-abbrev");
    const std::string file = dir / "a.txt";
    dir.Write("shorts.lmo", "th\athe\r\n");
    dir.Write("a.txt", "x\n");
    TmuxSession session(dir.Command("a.txt", LUMO_BINARY, "XDG_CONFIG_HOME=" + Quote(dir / "config")));
    ASSERT_TRUE(session.started());
    ASSERT_TRUE(session.WaitFor("x")) << session.Screen();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    session.SendLiteral("th");
    session.Send("Space");
    ASSERT_TRUE(session.WaitFor("the x")) << session.Screen();

    struct Macro {
        const char* take;  // Ctrl+Alt+Shift+key
        const char* play;  // Ctrl+Alt+key
        const char* text;
    };
    const Macro macros[] = {
        {"\x1b[15;8~", "\x1b[15;7~", "hello"},          // F5, the same in both protocols
        {"\x1b[27;8;75~", "\x1b[27;7;107~", "mok"},     // K under modifyOtherKeys
        {"\x1b[100;8u", "\x1b[100;7u", "kit"},          // D under the kitty protocol
    };
    std::string typed = "the ";
    for (const Macro& m : macros) {
        SendBytes(session, m.take);
        ASSERT_TRUE(session.WaitFor("Word for macro:")) << m.text << "\n" << session.Screen();
        // The prompt starts from the word at the cursor: clear it first.
        session.Send("Home C-k");
        session.SendLiteral(m.text);
        session.Send("Enter");
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        SendBytes(session, m.play);
        typed += m.text;
        ASSERT_TRUE(session.WaitFor(typed + "x")) << m.text << "\n" << session.Screen();
    }
    // With kitty's event types the play key comes as a press and a release:
    // it types once.
    SendBytes(session, "\x1b[15;7:1~\x1b[15;7:3~");
    typed += "hello";
    ASSERT_TRUE(session.WaitFor(typed + "x")) << session.Screen();
    session.Send("F2");
    const std::string expected = typed + "x\n";
    EXPECT_EQ(WaitForBytes(file, expected), expected);

    // Esc ends; the changed definitions are offered for saving.
    session.Send("Escape");
    ASSERT_TRUE(session.WaitFor("To save macros into file ?")) << session.Screen();
    session.SendLiteral("1");
    ASSERT_TRUE(session.WaitFor("ENTER FILE NAME")) << session.Screen();
    session.Send("Enter");
    EXPECT_TRUE(session.WaitFor("LUMO-EXIT=0")) << session.Screen();
    EXPECT_EQ(ReadWhole(dir / "keydef.lmo"), "5 hello\r\n32 kit\r\n37 mok\r\n");
    EXPECT_EQ(ReadWhole(file), expected);
}

}  // namespace
}  // namespace lumo::e2e
