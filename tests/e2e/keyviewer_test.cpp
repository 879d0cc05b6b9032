// End to end through a real terminal: the key viewer runs in a detached tmux
// session; keys go in with send-keys, events come back with capture-pane, and
// the terminal's state is checked after the viewer ends.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

std::string Run(const std::string& command)
{
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        pclose(p);
    }
    return out;
}

std::string Quote(const std::string& s)
{
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string ReadFile(const std::string& path)
{
    std::ifstream f(path);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

std::string KeyViewer()
{
    std::string lumo = LUMO_BINARY;
    return lumo.substr(0, lumo.rfind('/') + 1) + "lumo_keyviewer";
}

// A tmux server of its own (so killing it touches nothing else) with one
// session of a fixed size.
class Tmux {
public:
    Tmux(const std::string& command, int columns, int rows)
        : socket_("lumo-kv-" + std::to_string(getpid()) + "-" + std::to_string(counter_++))
    {
        std::string cmd = Tmux_() + " -f /dev/null new-session -d -s t -x " + std::to_string(columns) +
                          " -y " + std::to_string(rows) + " " +
                          Quote("export TERM=xterm-256color; " + command + "; echo LUMO-EXIT=$?; sleep 60");
        started_ = std::system(cmd.c_str()) == 0;
    }
    ~Tmux() { std::system((Tmux_() + " kill-server 2>/dev/null").c_str()); }

    bool started() const { return started_; }
    void Send(const std::string& keys) { std::system((Tmux_() + " send-keys -t t " + keys).c_str()); }
    void SendLiteral(const std::string& text)
    {
        std::system((Tmux_() + " send-keys -l -t t " + Quote(text)).c_str());
    }
    std::string Screen() { return Run(Tmux_() + " capture-pane -p -J -t t"); }
    std::string Format(const std::string& f) { return Run(Tmux_() + " display -p -t t " + Quote(f)); }

    bool WaitFor(const std::string& text, int ms = 5000)
    {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end) {
            if (Screen().find(text) != std::string::npos) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

private:
    std::string Tmux_() const { return "tmux -L " + socket_; }
    static inline int counter_ = 0;
    std::string socket_;
    bool started_ = false;
};

class KeyViewerTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (std::system("command -v tmux >/dev/null 2>&1") != 0) GTEST_SKIP() << "tmux is not installed";
        if (access(KeyViewer().c_str(), X_OK) != 0) GTEST_SKIP() << "lumo_keyviewer is not built";
        dir_ = testing::TempDir() + "kv-" + std::to_string(getpid()) + "-" +
               testing::UnitTest::GetInstance()->current_test_info()->name();
        std::system(("rm -rf " + Quote(dir_) + " && mkdir -p " + Quote(dir_)).c_str());
    }
    void TearDown() override
    {
        if (!dir_.empty()) std::system(("rm -rf " + Quote(dir_)).c_str());
    }
    // The viewer started through a shell that records the terminal modes
    // before and after it and the viewer's process id.
    std::string Wrapped()
    {
        std::string d = Quote(dir_);
        return "stty -g > " + d + "/before; sh -c 'echo $$ > " + dir_ + "/pid; exec " + KeyViewer() +
               "'; rc=$?; stty -g > " + d + "/after; echo LUMO-RC=$rc";
    }
    std::string dir_;
};

TEST_F(KeyViewerTest, KeysArriveAsTheirEvents)
{
    Tmux tmux(KeyViewer(), 90, 40);
    ASSERT_TRUE(tmux.started());
    ASSERT_TRUE(tmux.WaitFor("keys: 0"));
    // tmux answers the device-attributes query but not the kitty one.
    ASSERT_TRUE(tmux.WaitFor("protocol: modifyOtherKeys")) << tmux.Screen();
    struct Step {
        const char* keys;  // send-keys arguments
        bool literal;
        const char* event;
    };
    const Step steps[] = {
        {"a", false, "00001E61"},      {"A", false, "00021E41"},      {"C-k", false, "0004250B"},
        {"M-k", false, "03082500"},    {"M-K", false, "030B2500"},    {"S-F2", false, "0202FF02"},
        {"C-Home", false, "0204FF20"}, {"M-Up", false, "0208FF21"},   {"Up", false, "0200FF21"},
        {"Escape", false, "0000011B"}, {"C-Tab", false, "03049400"},  {"BSpace", false, "00000E08"},
        {"Enter", false, "00001C0D"},  {"S-Enter", false, "00021C0D"}, {"C-S-a", false, "00071E01"},
        {"F12", false, "0200FF0C"},    {"BTab", false, "03020F00"},   {"\xd0\xb9", true, "000010A9"},
        {"\xd0\x99", true, "00021089"}, {"M-1", false, "03087800"},   {"C-Space", false, "00043920"},
    };
    int n = 0;
    for (const Step& s : steps) {
        if (s.literal) tmux.SendLiteral(s.keys);
        else tmux.Send(s.keys);
        ++n;
        std::string want = "#" + std::to_string(n) + " " + s.event;
        EXPECT_TRUE(tmux.WaitFor(want, 3000)) << s.keys << ": wanted " << want << "\n" << tmux.Screen();
        if (!tmux.WaitFor("keys: " + std::to_string(n) + " ", 3000)) break;
    }
    // The screen's own text went out as UTF-8 through the CP866 table.
    EXPECT_NE(tmux.Screen().find("Ключ ╔═╗"), std::string::npos);
    tmux.Send("F10");
    EXPECT_TRUE(tmux.WaitFor("LUMO-EXIT=0"));
}

TEST_F(KeyViewerTest, NormalEndRestoresTheTerminal)
{
    Tmux tmux(Wrapped(), 90, 30);
    ASSERT_TRUE(tmux.started());
    ASSERT_TRUE(tmux.WaitFor("keys: 0"));
    EXPECT_EQ(tmux.Format("#{alternate_on}"), "1\n");
    tmux.Send("F10");
    ASSERT_TRUE(tmux.WaitFor("LUMO-RC=0")) << tmux.Screen();
    EXPECT_EQ(tmux.Format("#{alternate_on} #{cursor_flag}"), "0 1\n");
    std::string before = ReadFile(dir_ + "/before");
    EXPECT_FALSE(before.empty());
    EXPECT_EQ(before, ReadFile(dir_ + "/after"));
}

TEST_F(KeyViewerTest, SignalsRestoreTheTerminal)
{
    struct Case {
        const char* signal;
        const char* rc;  // how the viewer ends
    };
    for (Case c : {Case{"TERM", "LUMO-RC=0"}, Case{"HUP", "LUMO-RC=0"}, Case{"SEGV", "LUMO-RC=139"},
                   Case{"ABRT", "LUMO-RC=134"}}) {
        std::system(("rm -f " + Quote(dir_) + "/*").c_str());
        Tmux tmux(Wrapped(), 90, 30);
        ASSERT_TRUE(tmux.started());
        ASSERT_TRUE(tmux.WaitFor("keys: 0")) << c.signal;
        tmux.Send("x");
        ASSERT_TRUE(tmux.WaitFor("keys: 1")) << c.signal;
        std::string pid = ReadFile(dir_ + "/pid");
        ASSERT_FALSE(pid.empty());
        std::system(("kill -" + std::string(c.signal) + " " + pid).c_str());
        ASSERT_TRUE(tmux.WaitFor(c.rc)) << c.signal << "\n" << tmux.Screen();
        EXPECT_EQ(tmux.Format("#{alternate_on} #{cursor_flag}"), "0 1\n") << c.signal;
        std::string before = ReadFile(dir_ + "/before");
        EXPECT_FALSE(before.empty());
        EXPECT_EQ(before, ReadFile(dir_ + "/after")) << c.signal;
    }
}

TEST_F(KeyViewerTest, CtrlZFromOutsideAndFg)
{
    // An interactive shell with job control, as a user has it.
    Tmux tmux("PS1=PROMPT: bash --norc --noprofile -i", 90, 30);
    ASSERT_TRUE(tmux.started());
    ASSERT_TRUE(tmux.WaitFor("PROMPT:"));
    // (the shell goes on with the command list when the job stops, so the
    // modes after are taken by hand at the end)
    tmux.SendLiteral("stty -g > " + dir_ + "/before; sh -c 'echo $$ > " + dir_ + "/pid; exec " +
                     KeyViewer() + "'");
    tmux.Send("Enter");
    ASSERT_TRUE(tmux.WaitFor("keys: 0"));
    std::string pid = ReadFile(dir_ + "/pid");
    ASSERT_FALSE(pid.empty());
    std::system(("kill -TSTP " + pid).c_str());
    // Stopped: the terminal is the shell's again.
    ASSERT_TRUE(tmux.WaitFor("Stopped")) << tmux.Screen();
    EXPECT_EQ(tmux.Format("#{alternate_on}"), "0\n");
    tmux.SendLiteral("fg");
    tmux.Send("Enter");
    ASSERT_TRUE(tmux.WaitFor("keys: 0")) << tmux.Screen();  // taken back and repainted
    EXPECT_EQ(tmux.Format("#{alternate_on}"), "1\n");
    tmux.Send("z");
    EXPECT_TRUE(tmux.WaitFor("#1 00002C7A")) << tmux.Screen();
    tmux.Send("F10");
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (tmux.Format("#{alternate_on}") != "0\n" && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    tmux.SendLiteral("stty -g > " + dir_ + "/after; echo DONE-$?");
    tmux.Send("Enter");
    ASSERT_TRUE(tmux.WaitFor("DONE-0")) << tmux.Screen();
    EXPECT_EQ(tmux.Format("#{alternate_on}"), "0\n");
    EXPECT_EQ(ReadFile(dir_ + "/before"), ReadFile(dir_ + "/after"));
}

TEST_F(KeyViewerTest, SmallTerminalIsRefused)
{
    Tmux tmux(Wrapped(), 70, 20);
    ASSERT_TRUE(tmux.started());
    ASSERT_TRUE(tmux.WaitFor("LUMO-RC=2")) << tmux.Screen();
    EXPECT_NE(tmux.Screen().find("at least 80 columns and 6 rows"), std::string::npos);
    EXPECT_EQ(ReadFile(dir_ + "/before"), ReadFile(dir_ + "/after"));
}

}  // namespace
