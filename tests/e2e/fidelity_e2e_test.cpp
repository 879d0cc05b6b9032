// In a real terminal (tmux): untouched lines go back as read (trailing
// blanks, a 300-character line), and a UTF-8 poem with an em dash is shown
// and saved as itself.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tmux_session.h"

namespace lumo::e2e {
namespace {

// Edits `name` (holding `bytes`) in tmux: waits for the text, types `typed`
// at the start of the first line, F2, and returns the file's bytes once
// they changed (or as they are after a while).
std::string EditAndSave(const std::string& name, const std::string& bytes, const std::string& waitFor,
                        const std::string& typed, std::string* firstScreen = nullptr)
{
    EditorDirectory dir("e2e-fidelity");
    const std::string file = dir / name;
    dir.Write(name, bytes);
    TmuxSession session(dir.Command(name));
    std::string result;
    if (session.started() && session.WaitFor("line=1", 15000) && session.WaitFor(waitFor, 15000)) {
        if (firstScreen) *firstScreen = session.Screen();
        session.SendLiteral(typed);
        session.WaitFor(typed + waitFor.substr(0, 4), 5000);
        session.Send("F2");
        for (int i = 0; i < 200 && ReadWhole(file) == bytes; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        result = ReadWhole(file);
        session.Send("Escape");
        session.WaitFor("LUMO-EXIT=", 15000);
    }
    return result;
}

TEST(FidelityEndToEnd, UntouchedLinesWithTrailingBlanksAndALongLineAreSavedAsRead)
{
    if (!HaveTmux()) GTEST_SKIP() << "tmux is not installed";
    std::string longLine;
    for (int i = 0; longLine.size() < 300; ++i) longLine += "word" + std::to_string(i) + " ";
    longLine.resize(300);
    const std::string bytes = "first line\r\nkept blanks   \r\n" + longLine + "\r\nlast \t ";
    const std::string saved = EditAndSave("blanks.txt", bytes, "first line", "X");
    EXPECT_EQ(saved, "X" + bytes);
}

TEST(FidelityEndToEnd, APoemWithAnEmDashIsShownAndSavedAsWritten)
{
    if (!HaveTmux()) GTEST_SKIP() << "tmux is not installed";
    // "Мороз и солнце; день чудесный!" / "Ещё ты дремлешь, друг прелестный —"
    const std::string first = "\xD0\x9C\xD0\xBE\xD1\x80\xD0\xBE\xD0\xB7 \xD0\xB8 \xD1\x81\xD0\xBE\xD0\xBB\xD0\xBD"
                              "\xD1\x86\xD0\xB5; \xD0\xB4\xD0\xB5\xD0\xBD\xD1\x8C \xD1\x87\xD1\x83\xD0\xB4\xD0\xB5"
                              "\xD1\x81\xD0\xBD\xD1\x8B\xD0\xB9!";
    const std::string second = "\xD0\x95\xD1\x89\xD1\x91 \xD1\x82\xD1\x8B \xD0\xB4\xD1\x80\xD0\xB5\xD0\xBC\xD0\xBB"
                               "\xD0\xB5\xD1\x88\xD1\x8C, \xD0\xB4\xD1\x80\xD1\x83\xD0\xB3 \xD0\xBF\xD1\x80\xD0\xB5"
                               "\xD0\xBB\xD0\xB5\xD1\x81\xD1\x82\xD0\xBD\xD1\x8B\xD0\xB9 \xE2\x80\x94";
    const std::string bytes = first + "\n" + second + "\n";
    std::string screen;
    // "Зима " typed in front of the first line.
    const std::string saved = EditAndSave("poem.txt", bytes, first, "\xD0\x97\xD0\xB8\xD0\xBC\xD0\xB0 ",
                                          &screen);
    EXPECT_EQ(ScreenRow(screen, 3), first) << screen;
    EXPECT_EQ(ScreenRow(screen, 4), second) << screen;
    EXPECT_EQ(saved, "\xD0\x97\xD0\xB8\xD0\xBC\xD0\xB0 " + bytes);
}

}  // namespace
}  // namespace lumo::e2e
