// The terminal console on a pseudo-terminal: what it writes, what it reads,
// and that the terminal is as it was afterwards.
#include "console/terminal_console.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <memory>
#include <thread>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "editor/editor.h"

namespace lumo {
namespace {

class Pty {
public:
    Pty(int columns, int rows)
    {
        master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return;
        slaveName = ptsname(master);
        winsize ws{};
        ws.ws_col = uint16_t(columns);
        ws.ws_row = uint16_t(rows);
        ioctl(master, TIOCSWINSZ, &ws);
        slave = open(slaveName.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    }
    ~Pty()
    {
        if (slave >= 0) close(slave);
        if (master >= 0) close(master);
    }
    bool ok() const { return master >= 0 && slave >= 0; }

    // Everything the program wrote, read until `ms` pass with nothing new.
    std::string Read(int ms = 100)
    {
        std::string out;
        char buf[4096];
        for (;;) {
            pollfd p{master, POLLIN, 0};
            if (poll(&p, 1, ms) <= 0 || !(p.revents & POLLIN)) break;
            ssize_t n = read(master, buf, sizeof buf);
            if (n <= 0) break;
            out.append(buf, size_t(n));
        }
        return out;
    }
    // Reads until `text` has come (or a second passed).
    std::string ReadUntil(const std::string& text)
    {
        std::string out;
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        while (out.find(text) == std::string::npos && std::chrono::steady_clock::now() < end)
            out += Read(20);
        return out;
    }
    void Type(const std::string& bytes) { ASSERT_EQ(write(master, bytes.data(), bytes.size()), ssize_t(bytes.size())); }

    termios Modes() const
    {
        termios t{};
        tcgetattr(slave, &t);
        return t;
    }

    int master = -1;
    int slave = -1;
    std::string slaveName;
};

bool SameModes(const termios& a, const termios& b)
{
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
           a.c_lflag == b.c_lflag && std::equal(a.c_cc, a.c_cc + NCCS, b.c_cc);
}

TEST(TerminalConsole, OpensAndRestoresExactly)
{
    Pty pty(100, 30);
    ASSERT_TRUE(pty.ok());
    termios before = pty.Modes();
    {
        TerminalConsole con(pty.slaveName);
        ASSERT_TRUE(con.OpenScreen()) << con.OpenError();
        EXPECT_EQ(con.ScreenColumns, 100);
        EXPECT_EQ(con.ScreenRows, 30);
        std::string enter = pty.Read();
        EXPECT_NE(enter.find("\x1b[?1049h"), std::string::npos);
        EXPECT_NE(enter.find("\x1b[?2004h"), std::string::npos);
        termios raw = pty.Modes();
        EXPECT_FALSE(raw.c_lflag & (ICANON | ECHO | ISIG));
        EXPECT_FALSE(raw.c_iflag & (IXON | ICRNL));
        con.CloseScreen();
        std::string leave = pty.Read();
        EXPECT_NE(leave.find("\x1b[?1049l"), std::string::npos);
        EXPECT_NE(leave.find("\x1b[?2004l"), std::string::npos);
        EXPECT_NE(leave.find("\x1b[0 q"), std::string::npos);
        EXPECT_NE(leave.find("\x1b[0m"), std::string::npos);
        EXPECT_TRUE(SameModes(before, pty.Modes()));
        // A second restore, and the destructor's, change nothing.
        RestoreTerminal();
        EXPECT_EQ(pty.Read(20), "");
    }
    EXPECT_EQ(pty.Read(20), "");
    EXPECT_TRUE(SameModes(before, pty.Modes()));
}

TEST(TerminalConsole, GeometryLimits)
{
    {
        Pty pty(79, 30);
        ASSERT_TRUE(pty.ok());
        termios before = pty.Modes();
        TerminalConsole con(pty.slaveName);
        EXPECT_FALSE(con.OpenScreen());
        EXPECT_NE(con.OpenError().find("80 columns"), std::string::npos);
        EXPECT_EQ(pty.Read(20), "");  // refused before touching the terminal
        EXPECT_TRUE(SameModes(before, pty.Modes()));
    }
    {
        Pty pty(80, 5);
        TerminalConsole con(pty.slaveName);
        EXPECT_FALSE(con.OpenScreen());
    }
    {
        Pty pty(200, 6);
        TerminalConsole con(pty.slaveName);
        ASSERT_TRUE(con.OpenScreen());
        EXPECT_EQ(con.ScreenColumns, 132);
        EXPECT_EQ(con.ScreenRows, 6);
    }
    TerminalConsole con("/nonexistent/tty");
    EXPECT_FALSE(con.OpenScreen());
    EXPECT_FALSE(con.OpenError().empty());
}

TEST(TerminalConsole, ModifyOtherKeysWhenOnlyDeviceAttributesAnswer)
{
    setenv("TERM", "xterm-256color", 1);
    Pty pty(80, 25);
    TerminalConsole con(pty.slaveName);
    ASSERT_TRUE(con.OpenScreen());
    con.OpenKeyboard();
    std::string sent = pty.ReadUntil("\x1b[c");
    EXPECT_NE(sent.find("\x1b[?u\x1b[c"), std::string::npos);
    EXPECT_EQ(con.KeyboardProtocol(), 0);
    pty.Type("\x1b[?62;22c");
    // Switched on, with the attributes reset in case the terminal read it
    // as colours.
    EXPECT_NE(pty.ReadUntil("\x1b[0m").find("\x1b[>4;2m\x1b[0m"), std::string::npos);
    EXPECT_EQ(con.KeyboardProtocol(), 1);
    pty.Type("\x1b[27;5;9~");
    EXPECT_EQ(con.ReadKey(), 0x03049400u);
    con.CloseKeyboard();
    con.CloseScreen();
    std::string leave = pty.Read();
    EXPECT_NE(leave.find("\x1b[>4m"), std::string::npos);
}

TEST(TerminalConsole, KittyProtocolWhenItAnswers)
{
    Pty pty(80, 25);
    TerminalConsole con(pty.slaveName);
    ASSERT_TRUE(con.OpenScreen());
    con.OpenKeyboard();
    pty.ReadUntil("\x1b[c");
    pty.Type("\x1b[?0u\x1b[?62c");
    EXPECT_NE(pty.ReadUntil("\x1b[>31u").find("\x1b[>31u"), std::string::npos);
    EXPECT_EQ(con.KeyboardProtocol(), 2);
    // Alt + keypad 6, 5 and the release of Alt: "A".
    pty.Type("\x1b[57443;3u\x1b[57405;3u\x1b[57404;3u\x1b[57443;1:3u");
    EXPECT_EQ(con.ReadKey(), 0x00000041u);
    con.CloseScreen();
    std::string leave = pty.Read();
    size_t pop = leave.find("\x1b[<u");
    ASSERT_NE(pop, std::string::npos);
    EXPECT_LT(pop, leave.find("\x1b[?1049l"));  // popped on the screen it was pushed on
}

TEST(TerminalConsole, KeysFromTheTerminal)
{
    Pty pty(80, 25);
    TerminalConsole con(pty.slaveName);
    ASSERT_TRUE(con.OpenScreen());
    con.OpenKeyboard();
    EXPECT_FALSE(con.WaitForKey(30));  // no reply to the queries: nothing hangs
    pty.Type("\x1b[1;5H");
    EXPECT_EQ(con.ReadKey(), 0x0204FF20u);
    auto start = std::chrono::steady_clock::now();
    pty.Type("\x1b");
    EXPECT_EQ(con.ReadKey(), 0x0000011Bu);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    pty.Type("\xd0\x99");  // Й
    EXPECT_EQ(con.ReadKey(), 0x00031089u);
    EXPECT_EQ(con.KeyWaiting(), 0u);
}

TEST(TerminalConsole, AnswerToTheQueryIsNeverLeftForTheShell)
{
    // The pty starts raw, so whatever is left unread can be counted after
    // the console has restored it.
    Pty pty(80, 25);
    termios t = pty.Modes();
    cfmakeraw(&t);
    tcsetattr(pty.slave, TCSANOW, &t);
    {
        // Start-up fails at once; the answer comes while the console closes.
        TerminalConsole con(pty.slaveName);
        ASSERT_TRUE(con.OpenScreen());
        con.OpenKeyboard();
        pty.ReadUntil("\x1b[c");
        std::thread terminal([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            const char answer[] = "\x1b[?0u\x1b[?62;22c";
            ssize_t w = write(pty.master, answer, sizeof answer - 1);
            (void)w;
        });
        con.CloseKeyboard();
        con.CloseScreen();
        terminal.join();
        int unread = -1;
        ASSERT_EQ(ioctl(pty.slave, FIONREAD, &unread), 0);
        EXPECT_EQ(unread, 0);
    }
    {
        // A terminal that never answers: closing later does not wait for it.
        TerminalConsole con(pty.slaveName);
        ASSERT_TRUE(con.OpenScreen());
        con.OpenKeyboard();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        auto start = std::chrono::steady_clock::now();
        con.CloseKeyboard();
        con.CloseScreen();
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(150));
    }
}

TEST(TerminalConsole, FlushWritesOnlyChangesInOneGo)
{
    Pty pty(80, 25);
    TerminalConsole con(pty.slaveName);
    ASSERT_TRUE(con.OpenScreen());
    pty.Read();
    con.FlushScreen(false);
    EXPECT_EQ(pty.Read(20), "");
    con.Cell(3, 2) = 0x0741;
    con.FlushScreen(false);
    EXPECT_EQ(pty.Read(), "\x1b[2;3H\x1b[37;40mA");
    con.FlushScreen(false);
    EXPECT_EQ(pty.Read(20), "");
    con.FlushScreen(true);
    EXPECT_GE(pty.Read().size(), 2000u);
    con.ClearScreen();
    for (uint16_t cell : con.ScreenCells) ASSERT_EQ(cell, BlankCell);
    EXPECT_NE(pty.Read().find("\x1b[2J"), std::string::npos);
    // A terminal still blank from the last clear is not cleared again; once
    // something was drawn, it is.
    con.ClearScreen();
    EXPECT_EQ(pty.Read(20), "");
    con.Cell(1, 1) = 0x0741;
    con.FlushScreen(false);
    pty.Read();
    con.ClearScreen();
    EXPECT_NE(pty.Read().find("\x1b[2J"), std::string::npos);
}

TEST(TerminalConsole, EndOfInputIsAHangup)
{
    auto pty = std::make_unique<Pty>(80, 25);
    TerminalConsole con(pty->slaveName);
    ASSERT_TRUE(con.OpenScreen());
    con.OpenKeyboard();
    pty->Read();
    close(pty->master);
    pty->master = -1;
    EXPECT_EQ(con.ReadKey(), HangupEvent);
}

TEST(TerminalConsole, SuspendHandsTheTerminalOverAndResumeTakesItBack)
{
    Pty pty(80, 25);
    termios before = pty.Modes();
    TerminalConsole con(pty.slaveName);
    ASSERT_TRUE(con.OpenScreen());
    con.OpenKeyboard();
    con.Cell(1, 1) = 0x0758;
    con.FlushScreen(false);
    pty.Read();
    con.Suspend();
    EXPECT_NE(pty.Read().find("\x1b[?1049l"), std::string::npos);
    EXPECT_TRUE(SameModes(before, pty.Modes()));
    pty.Type("q");  // typed for the child while it runs
    con.Resume();
    std::string back = pty.Read();
    EXPECT_NE(back.find("\x1b[?1049h"), std::string::npos);
    EXPECT_NE(back.find("X"), std::string::npos);  // repainted
    EXPECT_FALSE(SameModes(before, pty.Modes()));
    EXPECT_EQ(con.ReadKey(), 0x00001071u);  // the console reads again
    con.CloseScreen();
    EXPECT_TRUE(SameModes(before, pty.Modes()));
}

}  // namespace
}  // namespace lumo

namespace lumo {
namespace {

// Keys typed before the keyboard opened are not the editor's; a storm of
// resizes comes as one event; a paste comes as one event with its text.
TEST(TerminalConsole, TypeAheadResizeStormAndPaste)
{
    Pty pty(80, 25);
    TerminalConsole con(pty.slaveName);
    ASSERT_TRUE(con.OpenScreen());
    pty.Type("typed ahead");
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    con.OpenKeyboard();
    pty.ReadUntil("\x1b[c");
    pty.Type(std::string("\x1b[?62;22c") + "a");
    EXPECT_EQ(con.ReadKey(), 0x00001E61u);

    auto setSize = [&](int columns, int rows) {
        winsize ws{};
        ws.ws_col = uint16_t(columns);
        ws.ws_row = uint16_t(rows);
        ioctl(pty.master, TIOCSWINSZ, &ws);
        raise(SIGWINCH);
    };
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 100; ++i) {
        setSize(90 + i % 40, 26 + i % 7);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    setSize(100, 30);
    pty.Type("b");
    // The signals come as one event, or two when the editor reads the first
    // while the last are still arriving; then the key.
    int resizes = 0;
    KeyEvent key;
    while ((key = con.ReadKey()) == ResizeEvent) ++resizes;
    EXPECT_EQ(key, 0x00003062u);
    EXPECT_GE(resizes, 1);
    EXPECT_LE(resizes, 2);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_TRUE(con.ApplyNewSize());
    EXPECT_EQ(con.ScreenColumns, 100);
    EXPECT_EQ(con.ScreenRows, 30);
    EXPECT_EQ(con.ScreenCells.size(), 3000u);
    EXPECT_EQ(con.ShadowCells.size(), 3000u);
    setSize(200, 10);  // columns capped
    EXPECT_EQ(con.ReadKey(), ResizeEvent);
    EXPECT_TRUE(con.ApplyNewSize());
    EXPECT_EQ(con.ScreenColumns, Console::MaxColumns);
    setSize(60, 10);
    EXPECT_EQ(con.ReadKey(), ResizeEvent);
    EXPECT_FALSE(con.ApplyNewSize());

    pty.Type("\x1b[200~x\r\n\x1b[21~y\x1b[201~z");
    EXPECT_EQ(con.ReadKey(), PasteEvent);
    EXPECT_EQ(con.TakePaste().text, "x\ny");
    EXPECT_EQ(con.ReadKey(), 0x00002C7Au);
    con.CloseKeyboard();
    con.CloseScreen();
}

}  // namespace
}  // namespace lumo
