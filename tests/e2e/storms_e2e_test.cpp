// Storms through a terminal of our own: a hundred thousand keys written in
// one burst at random write boundaries, a paste of 10 MB, a thousand window
// resizes. Every key arrives, in order, none lost or merged (the saved text
// says so); after each storm the editor answers a key; its memory stays
// bounded.
#include <filesystem>
#include <sstream>

#include "pty_session.h"

namespace lumo::e2e {
namespace {

namespace fs = std::filesystem;

// The sanitizers make each key several times dearer and keep freed memory
// aside for a while: there the storm is smaller (to end within a test's
// time) and the resident size says nothing about the editor.
#ifdef __SANITIZE_ADDRESS__
constexpr int StormKeys = 25000;
constexpr bool MeasuresMemory = false;
#else
constexpr int StormKeys = 100000;
constexpr bool MeasuresMemory = true;
#endif

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Keys whose effect on the text is known whatever the terminal's reads cut
// them into: letters, digits and Cyrillic letters typed at the end of the
// last line, Enter now and then, and moves that come in pairs which bring
// the cursor back to the end of the line.
struct KeyStorm {
    std::string bytes;  // what the terminal sends
    std::string text;   // the lines it types, each ending in "\n"
    int keys = 0;
};

KeyStorm MakeKeyStorm(int keys, std::mt19937& random)
{
    static const char* const cyrillic[] = {"а", "б", "в", "г", "д", "е", "ж", "з", "и", "й", "к", "л", "м",
                                           "н", "о", "п", "р", "с", "т", "у", "ф", "х", "ц", "ч", "ш", "щ",
                                           "ъ", "ы", "ь", "э", "ю", "я", "ё", "Ё", "А", "Б", "Ж", "Щ", "Я"};
    // Each pair leaves the cursor after the last character of the line.
    static const char* const pairs[][2] = {
        {"\x1b[H", "\x1b[F"},          // Home, End
        {"\x1b[1~", "\x1b[4~"},        // Home, End (the other form)
        {"\x1b[D", "\x1b[C"},          // Left, Right
        {"\x1b[C", "\x1b[D"},          // Right, Left
        {"\x1b[1;5D", "\x1b[F"},       // Ctrl+Left, End
        {"\x1b[1;5C", "\x1b[F"},       // Ctrl+Right, End
        {"\x1b[1;3D", "\x1bOF"},       // Alt+Left, End (application form)
        {"\x1b[1;5H", "\x1b[1;5F"},    // Ctrl+Home, Ctrl+End
    };
    KeyStorm s;
    std::string line;
    int lineLimit = 20 + random() % 40;
    while (s.keys < keys) {
        const unsigned pick = random() % 100;
        if (pick < 45) {
            const char c = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"[random() % 62];
            s.bytes += c;
            line += c;
            ++s.keys;
        } else if (pick < 80) {
            const char* c = cyrillic[random() % std::size(cyrillic)];
            s.bytes += c;
            line += c;
            ++s.keys;
        } else if (!line.empty() && s.keys + 2 <= keys) {
            const auto& p = pairs[random() % std::size(pairs)];
            s.bytes += std::string(p[0]) + p[1];
            s.keys += 2;
        }
        if (int(line.size()) >= lineLimit && s.keys + 2 <= keys) {
            s.bytes += '\r';
            ++s.keys;
            s.text += line + "\n";
            line.clear();
            lineLimit = 20 + random() % 40;
        }
    }
    s.text += line + "\n";
    return s;
}

// Where a saved text first differs from the one wanted, with a little of
// each around it; empty when they are the same.
std::string Difference(const std::string& got, const std::string& expect)
{
    if (got == expect) return "";
    const size_t at = std::mismatch(got.begin(), got.end(), expect.begin(), expect.end()).first - got.begin();
    const size_t from = at > 40 ? at - 40 : 0;
    return "the saved text (" + std::to_string(got.size()) + " bytes) differs at byte " + std::to_string(at) +
           " of " + std::to_string(expect.size()) + ": got \"" + got.substr(from, 100) + "\"\nwanted \"" +
           expect.substr(from, 100) + "\"";
}

// A character the storm never types (so no redraw of the text can show
// it), typed, and the time until the editor draws it.
const std::string EchoChar = "\xD0\xA4";  // Ф
long long EchoMs(PtySession& s)
{
    const size_t mark = s.TextSize();
    const long long start = PtyNowMs();
    s.Write(EchoChar);
    if (s.WaitForText(EchoChar, mark, 20000) == std::string::npos) return -1;
    return PtyNowMs() - start;
}

TEST(StormsEndToEnd, KeysPasteAndResizesAllArriveAndTheEditorAnswers)
{
    char name[] = "/tmp/lumo-e2e-storms-XXXXXX";
    const fs::path dir = mkdtemp(name);
    struct Cleanup {
        fs::path dir;
        ~Cleanup()
        {
            std::error_code ignored;
            fs::remove_all(dir, ignored);
        }
    } cleanup{dir};
    fs::create_directories(dir / "home");
    const fs::path file = dir / "storm.txt";
    const std::string first = "\xD1\x81\xD1\x82\xD0\xB0\xD1\x80\xD1\x82\n";  // старт: a UTF-8 file stays one
    std::ofstream(file, std::ios::binary) << first;

    PtySession s;
    ASSERT_TRUE(s.Start(LUMO_BINARY, {"-W", "storm.txt"}, EditorEnvironment((dir / "home").string()),
                        dir.string()));
    ASSERT_TRUE(s.AnswerAsXterm());
    ASSERT_NE(s.WaitForText("\xD1\x82\xD0\xB0\xD1\x80\xD1\x82"), std::string::npos) << s.Output();
    s.Write("\x1b[F\r");  // End, Enter: the storm types from line 2

    // 100,000 keys in one burst, cut at random places.
    std::mt19937 random(100000);
    const KeyStorm storm = MakeKeyStorm(StormKeys, random);
    long long start = PtyNowMs();
    s.WriteInPieces(storm.bytes, random, 4096);
    s.Write("\x1bOQ");  // F2
    std::string expect = first + storm.text;
    while (PtyNowMs() - start < 120000 && ReadAll(file) != expect)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const long long stormMs = PtyNowMs() - start;
    ASSERT_EQ(Difference(ReadAll(file), expect), "");
    long long echo = EchoMs(s);
    EXPECT_GE(echo, 0);
    std::printf("[ storms   ] %d keys (%zu bytes) typed and saved in %lld ms; a key then echoed in %lld ms\n",
                storm.keys, storm.bytes.size(), stormMs, echo);
    s.Write("\x7f");  // the echoed character goes again

    // 10 MB pasted at once: far more lines than a text may have, so it is
    // refused whole; the editor then answers at once, in bounded memory.
    std::string paste;
    for (int n = 0; paste.size() < (10u << 20); ++n)
        paste += "pasted line " + std::to_string(n) + " " + std::string(60, 'p') + "\r";
    size_t mark = s.TextSize();
    start = PtyNowMs();
    s.WriteInPieces("\x1b[200~" + paste + "\x1b[201~", random, 65536);
    ASSERT_NE(s.WaitForText("TOO MANY LINES", mark, 60000), std::string::npos);
    const long long pasteMs = PtyNowMs() - start;
    echo = EchoMs(s);
    EXPECT_GE(echo, 0);
    const long peak = s.PeakResidentKb();
    std::printf("[ storms   ] %zu bytes pasted and refused in %lld ms; a key then echoed in %lld ms; "
                "peak resident %ld KiB\n",
                paste.size(), pasteMs, echo, peak);
    // The text is small; the paste passes through the decoder and the
    // paste queue once each.
    EXPECT_GT(peak, 0);
    if (MeasuresMemory) {
        EXPECT_LT(peak, 96 * 1024) << "KiB";
    }
    // Typed just before the resizes, whose first leaves the window too small
    // to use: meant for the old window, it still counts.
    s.Write("\x7f");

    // A thousand resizes in a burst, some below the smallest usable size;
    // the last one is drawn in full and the editor answers.
    start = PtyNowMs();
    for (int i = 0; i < 1000; ++i) s.Resize(60 + i % 73, 5 + i % 41);
    s.Resize(100, 30);
    // Drawn in full at the last size: the status line after the last clear.
    std::string out;
    size_t clear = std::string::npos;
    for (;;) {
        s.WaitForQuiet(100, 30000);
        out = s.Output();
        clear = out.rfind("\x1b[2J");
        if ((clear != std::string::npos && VisibleText(out.substr(clear)).find("storm.txt") != std::string::npos) ||
            PtyNowMs() - start > 30000)
            break;
    }
    const long long resizeMs = PtyNowMs() - start;
    ASSERT_NE(clear, std::string::npos);
    ASSERT_NE(VisibleText(out.substr(clear)).find("storm.txt"), std::string::npos)
        << "no status line after the last resize: " << Escaped(out.substr(out.size() > clear + 1500 ? out.size() - 1500 : clear));
    EXPECT_EQ(VisibleText(out.substr(clear)).find("too small"), std::string::npos);
    echo = EchoMs(s);
    EXPECT_GE(echo, 0);
    std::printf("[ storms   ] 1000 resizes settled in %lld ms; a key then echoed in %lld ms\n", resizeMs, echo);

    // Everything the storms did is still one text, saved whole.
    s.Write("\x1bOQ");
    expect = first + storm.text;
    expect.insert(expect.size() - 1, EchoChar);
    for (int i = 0; i < 500 && ReadAll(file) != expect; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(Difference(ReadAll(file), expect), "");
    s.Write("\x1b");  // Quit: nothing left to save
    int status = 0;
    ASSERT_TRUE(s.WaitExit(20000, status));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_TRUE(SameModes(s.ModesBefore(), s.ModesNow()));
    EXPECT_EQ(CheckRestoredLast(s.Output()), "");
}

}  // namespace
}  // namespace lumo::e2e
