// With -#, the clipboard file's text also goes to the desktop clipboard:
// through the terminal (OSC 52), and through wl-copy or xclip (xsel) when the
// session has a display and the program is installed. Nothing here may make
// the editor fail or wait: a missing program, display or terminal support
// simply means the text is not there; the clipboard file always is.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "console/cp866.h"
#include "editor/charmap.h"
#include "files/clipboard.h"

namespace lumo {

namespace {

// Larger texts are not sent through the terminal: terminals refuse or cut
// them, and the sequence would hold up the screen.
constexpr size_t Osc52Limit = 1u << 20;
constexpr int HelperWaitMs = 1000;

std::string Base64(std::string_view in)
{
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((in.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 2 < in.size(); i += 3) {
        uint32_t v = uint8_t(in[i]) << 16 | uint8_t(in[i + 1]) << 8 | uint8_t(in[i + 2]);
        out += digits[v >> 18];
        out += digits[(v >> 12) & 63];
        out += digits[(v >> 6) & 63];
        out += digits[v & 63];
    }
    if (i < in.size()) {
        uint32_t v = uint8_t(in[i]) << 16 | (i + 1 < in.size() ? uint8_t(in[i + 1]) << 8 : 0);
        out += digits[v >> 18];
        out += digits[(v >> 12) & 63];
        out += i + 1 < in.size() ? digits[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

// The full path of `program` on PATH, or empty.
std::string FindOnPath(const char* program)
{
    const char* path = std::getenv("PATH");
    std::string dirs = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        std::string dir = dirs.substr(start, end - start);
        if (!dir.empty()) {
            std::string candidate = dir + "/" + program;
            if (access(candidate.c_str(), X_OK) == 0) return candidate;
        }
        start = end + 1;
    }
    return {};
}

bool Set(const char* name)
{
    const char* v = std::getenv(name);
    return v && *v;
}

// The helper and its arguments for this session, or an empty list.
std::vector<std::string> ChooseHelper()
{
    if (Set("WAYLAND_DISPLAY")) {
        if (std::string p = FindOnPath("wl-copy"); !p.empty()) return {p};
    }
    if (Set("DISPLAY")) {
        if (std::string p = FindOnPath("xclip"); !p.empty()) return {p, "-selection", "clipboard"};
        if (std::string p = FindOnPath("xsel"); !p.empty()) return {p, "--clipboard", "--input"};
    }
    return {};
}

// Runs the helper detached (it stays to serve the selection), the text on
// its standard input; gives up writing after about a second.
void RunHelper(const std::vector<std::string>& command, const std::string& text)
{
    std::vector<char*> argv;
    for (const std::string& a : command) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) return;
    const pid_t child = fork();
    if (child == 0) {
        // Only async-signal-safe calls from here: the editor has threads.
        if (fork() != 0) _exit(0);  // the grandchild runs on, owned by init
        setsid();
        struct sigaction dfl{};
        dfl.sa_handler = SIG_DFL;
        sigemptyset(&dfl.sa_mask);
        for (int sig = 1; sig < NSIG; ++sig) sigaction(sig, &dfl, nullptr);
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        int null = open("/dev/null", O_RDWR);
        dup2(pipeFds[0], 0);
        if (null >= 0) {
            dup2(null, 1);
            dup2(null, 2);
        }
        close_range(3, ~0U, 0);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(pipeFds[0]);
    if (child < 0) {
        close(pipeFds[1]);
        return;
    }
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
    fcntl(pipeFds[1], F_SETFL, O_NONBLOCK);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(HelperWaitMs);
    size_t done = 0;
    while (done < text.size()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0) break;
        pollfd p{pipeFds[1], POLLOUT, 0};
        if (poll(&p, 1, static_cast<int>(left)) <= 0) continue;
        if (p.revents & (POLLERR | POLLHUP)) break;
        ssize_t n = write(pipeFds[1], text.data() + done, text.size() - done);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    close(pipeFds[1]);
}

}  // namespace

std::string DesktopClipboardText(const Editor& ed, std::string_view contents)
{
    // Line 1 is the kind; the text starts after its line end.
    size_t start = contents.find_first_of("\r\n");
    if (start == std::string_view::npos) return {};
    start += contents.compare(start, 2, "\r\n") == 0 ? 2 : 1;
    std::string out;
    out.reserve(contents.size() - start);
    for (size_t i = start; i < contents.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(contents[i]);
        if (c == '\r') {
            out += '\n';
            if (i + 1 < contents.size() && contents[i + 1] == '\n') ++i;
        } else if (c == '\n' || c == '\t') {
            out += static_cast<char>(c);
        } else if (c >= 0x20) {
            AppendUtf8(out, TextCharOf(ed, c));
        }
    }
    return out;
}

std::string Osc52Sequence(std::string_view utf8)
{
    std::string encoded = Base64(utf8);
    if (encoded.size() > Osc52Limit) return {};
    return "\x1b]52;c;" + encoded + "\x07";
}

void SendToDesktopClipboard(Editor& ed, const std::string& contents)
{
    const std::string text = DesktopClipboardText(ed, contents);
    // The Linux console has no clipboard and prints unknown sequences.
    const char* term = std::getenv("TERM");
    if (!(term && std::strcmp(term, "linux") == 0)) {
        std::string osc = Osc52Sequence(text);
        if (!osc.empty()) ed.con.SendToTerminal(osc);
    }
    std::vector<std::string> helper = ChooseHelper();
    if (!helper.empty()) RunHelper(helper, text);
}

}  // namespace lumo
