#include "console/terminal_console.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "console/partialfile.h"

namespace lumo {

namespace {

// What the signal handlers need, kept where they can reach it without locks
// or allocation. Only one TerminalConsole is open at a time.
struct TerminalState {
    int ttyFd = -1;
    termios saved{};
    termios raw{};
    // Two copies of each sequence, so a handler never reads one half-written.
    char restore[2][160] = {};
    char enter[2][96] = {};
    volatile sig_atomic_t restoreLength[2] = {};
    volatile sig_atomic_t enterLength[2] = {};
    std::atomic<int> current{0};
    volatile sig_atomic_t active = 0;        // the terminal is in our modes
    volatile sig_atomic_t keyboardOpen = 0;  // a reader will see the wake-up pipe
    volatile sig_atomic_t hangups = 0;
    volatile sig_atomic_t childRunning = 0;  // the terminal is handed to a child
    int wakeRead = -1;
    int wakeWrite = -1;
};

TerminalState g;

void WriteRaw(int fd, const char* s, size_t n)
{
    while (n > 0) {
        ssize_t w = write(fd, s, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            return;
        }
        s += w;
        n -= size_t(w);
    }
}

void Wake(char what)
{
    if (g.wakeWrite >= 0) {
        ssize_t r = write(g.wakeWrite, &what, 1);
        (void)r;
    }
}

// Async-signal-safe. The terminal counts as ours until it has been given
// back whole: a signal that comes while this runs restores it again, never
// leaves it half done.
void LeaveTerminal()
{
    if (!g.active || g.ttyFd < 0) return;
    int i = g.current.load();
    WriteRaw(g.ttyFd, g.restore[i], size_t(g.restoreLength[i]));
    tcsetattr(g.ttyFd, TCSANOW, &g.saved);
    g.active = 0;
}

// Async-signal-safe: raw mode and our screen modes again. The terminal
// counts as ours before its modes change, so a signal that comes meanwhile
// gives it back.
void EnterTerminal()
{
    if (g.ttyFd < 0) return;
    g.active = 1;
    tcsetattr(g.ttyFd, TCSANOW, &g.raw);
    int i = g.current.load();
    WriteRaw(g.ttyFd, g.enter[i], size_t(g.enterLength[i]));
}

void OnTerminate(int sig)
{
    int saved = errno;
    // Ctrl+C or Ctrl+\ typed to a child reaches the editor too (one
    // process group, the terminal in cooked mode): it is the child's.
    if (g.childRunning && (sig == SIGINT || sig == SIGQUIT)) return;
    // The editor learns of it through its key queue and saves the text. With
    // no reader to tell, or when asked again and again, the process ends.
    g.hangups = g.hangups + 1;
    if (g.keyboardOpen && g.hangups < 3) {
        Wake('H');
        errno = saved;
        return;
    }
    RemovePartialFile();
    LeaveTerminal();
    signal(sig, SIG_DFL);
    raise(sig);
    errno = saved;
}

void OnFatal(int sig)
{
    RemovePartialFile();
    LeaveTerminal();
    signal(sig, SIG_DFL);
    raise(sig);  // delivered when the handler returns, now with the default action
}

void InstallHandler(int sig, void (*handler)(int));

void OnStop(int)
{
    int saved = errno;
    bool wasActive = g.active;
    LeaveTerminal();
    signal(SIGTSTP, SIG_DFL);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTSTP);
    sigprocmask(SIG_UNBLOCK, &set, nullptr);
    raise(SIGTSTP);  // stops here until SIGCONT
    InstallHandler(SIGTSTP, OnStop);
    if (wasActive) {
        EnterTerminal();
        Wake('W');
    }
    errno = saved;
}

void OnContinue(int)
{
    int saved = errno;
    // Stopped by SIGSTOP while the terminal was ours: the shell may have
    // changed the modes meanwhile.
    if (g.active && g.ttyFd >= 0) {
        tcsetattr(g.ttyFd, TCSANOW, &g.raw);
        Wake('W');
    }
    errno = saved;
}

void OnResize(int)
{
    int saved = errno;
    Wake('R');
    errno = saved;
}

void InstallHandler(int sig, void (*handler)(int))
{
    struct sigaction sa {};
    sa.sa_handler = handler;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(sig, &sa, nullptr);
}

void InstallSignals()
{
    static bool installed = false;
    if (installed) return;
    installed = true;
    for (int sig : {SIGTERM, SIGHUP, SIGINT, SIGQUIT}) InstallHandler(sig, OnTerminate);
    for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) InstallHandler(sig, OnFatal);
    InstallHandler(SIGTSTP, OnStop);
    InstallHandler(SIGCONT, OnContinue);
    InstallHandler(SIGWINCH, OnResize);
    signal(SIGPIPE, SIG_IGN);
    signal(SIGXFSZ, SIG_IGN);
    std::atexit(RestoreTerminal);
}

void StoreSequences(const std::string& enter, const std::string& restore)
{
    int next = 1 - g.current.load();
    size_t e = std::min(enter.size(), sizeof g.enter[0]);
    size_t r = std::min(restore.size(), sizeof g.restore[0]);
    std::memcpy(g.enter[next], enter.data(), e);
    std::memcpy(g.restore[next], restore.data(), r);
    g.enterLength[next] = sig_atomic_t(e);
    g.restoreLength[next] = sig_atomic_t(r);
    g.current.store(next);
}

long long NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

constexpr const char* ClearSequence = "\x1b[0;37;40m\x1b[2J";
constexpr const char* KittyPush = "\x1b[>31u";
constexpr const char* KittyPop = "\x1b[<u";
constexpr const char* ModifyOtherKeysOn = "\x1b[>4;2m";
constexpr const char* ModifyOtherKeysOff = "\x1b[>4m";

}  // namespace

void RestoreTerminal()
{
    LeaveTerminal();
}

TerminalConsole::TerminalConsole(std::string ttyPath) : ttyPath_(std::move(ttyPath)) {}

TerminalConsole::~TerminalConsole()
{
    CloseKeyboard();
    CloseScreen();
}

void TerminalConsole::RebuildRestoreString()
{
    int p = protocol_.load();
    std::string enter = "\x1b[?1049h\x1b[?2004h";
    std::string restore;
    if (p == 2) {
        enter += KittyPush;  // after entering the alternate screen: each screen has its own
        restore += KittyPop;
    } else if (p == 1) {
        enter += ModifyOtherKeysOn;
        restore += ModifyOtherKeysOff;
    }
    restore += "\x1b[?2004l\x1b[0 q\x1b[?25h\x1b[0m\x1b[?1049l";
    StoreSequences(enter, restore);
}

bool TerminalConsole::OpenScreen()
{
    if (screenOpen_) return true;
    fd_ = open(ttyPath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) {
        openError_ = "cannot open the terminal " + ttyPath_ + ": " + std::strerror(errno);
        return false;
    }
    termios saved{};
    if (!isatty(fd_) || tcgetattr(fd_, &saved) != 0) {
        openError_ = ttyPath_ + " is not a terminal";
        close(fd_);
        fd_ = -1;
        return false;
    }
    int columns = 80, rows = 25;
    MeasureWindow(columns, rows);
    if (columns < MinColumns || rows < MinRows) {
        openError_ = "the terminal is " + std::to_string(columns) + "x" + std::to_string(rows) +
                     "; at least 80 columns and 6 rows are needed";
        close(fd_);
        fd_ = -1;
        return false;
    }
    ScreenColumns = columns > MaxColumns ? MaxColumns : columns;
    ScreenRows = rows;
    ScreenCells.assign(size_t(ScreenColumns) * ScreenRows, BlankCell);
    ShadowCells = ScreenCells;
    MappedCells.assign(ScreenCells.size(), 0);
    ShadowMapped = MappedCells;

    if (g.wakeRead < 0) {
        int p[2];
        if (pipe2(p, O_CLOEXEC | O_NONBLOCK) == 0) {
            g.wakeRead = p[0];
            g.wakeWrite = p[1];
        }
    }
    termios raw = saved;
    raw.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF);
    raw.c_oflag &= ~OPOST;
    raw.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    raw.c_cflag &= ~(CSIZE | PARENB);
    raw.c_cflag |= CS8;
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    g.saved = saved;
    g.raw = raw;
    g.ttyFd = fd_;
    g.hangups = 0;
    protocol_ = 0;
    RebuildRestoreString();
    InstallSignals();
    {
        std::lock_guard lock(outMutex_);
        EnterTerminal();
        WriteAll(ClearSequence);
        writer_.Invalidate();
        terminalBlank_ = true;
    }
    screenOpen_ = true;
    return true;
}

bool TerminalConsole::MeasureWindow(int& columns, int& rows) const
{
    winsize ws{};
    if (fd_ < 0 || ioctl(fd_, TIOCGWINSZ, &ws) != 0 || ws.ws_col == 0 || ws.ws_row == 0) return false;
    columns = ws.ws_col;
    rows = ws.ws_row;
    return true;
}

bool TerminalConsole::ApplyNewSize()
{
    int columns = ScreenColumns, rows = ScreenRows;
    MeasureWindow(columns, rows);
    const bool usable = columns >= MinColumns && rows >= MinRows;
    columns = std::min(columns, int(MaxColumns));
    std::lock_guard lock(outMutex_);
    ScreenColumns = columns;
    ScreenRows = rows;
    ScreenCells.assign(size_t(columns) * rows, BlankCell);
    ShadowCells = ScreenCells;
    cursorColumn_ = std::min(cursorColumn_, columns - 1);
    cursorRow_ = std::min(cursorRow_, rows - 1);
    // What the terminal shows after a resize is its own business (reflowed,
    // cut, scrolled): clear it and let the editor draw everything.
    if (screenOpen_ && !suspended_) {
        WriteAll(ClearSequence);
        writer_.Invalidate();
        terminalBlank_ = true;
    }
    return usable;
}

PastedText TerminalConsole::TakePaste()
{
    std::lock_guard lock(pasteMutex_);
    if (pasteNext_ >= pastes_.size()) return {};
    PastedText p = std::move(pastes_[pasteNext_++]);
    if (pasteNext_ == pastes_.size()) {
        pastes_.clear();
        pasteNext_ = 0;
    }
    return p;
}

void TerminalConsole::CloseScreen()
{
    if (!screenOpen_) return;
    CloseKeyboard();
    LeaveTerminal();
    g.ttyFd = -1;
    close(fd_);
    fd_ = -1;
    screenOpen_ = false;
}

void TerminalConsole::StartReader()
{
    stopReader_ = false;
    queue_.ResumeProducer();
    reader_ = std::thread([this] { ReaderLoop(); });
}

void TerminalConsole::StopReader()
{
    if (!reader_.joinable()) return;
    stopReader_ = true;
    queue_.Interrupt();
    Wake('S');
    reader_.join();
}

void TerminalConsole::OpenKeyboard()
{
    if (!screenOpen_ || keyboardOpen_) return;
    keyboardOpen_ = true;
    queryAnswered_ = false;
    // Keys typed ahead while the shell was starting the editor are not
    // meant for it: they go before the query, so its answer is read.
    tcflush(fd_, TCIFLUSH);
    // The kitty query, then a device-attributes request that every terminal
    // answers: an answer to the second without one to the first means no
    // kitty protocol. The replies are taken by the reader whenever they come.
    WriteAll("\x1b[?u\x1b[c");
    awaitingAnswer_ = true;
    answerDeadlineMs_ = NowMs() + QueryAnswerMs;
    g.keyboardOpen = 1;
    StartReader();
}

void TerminalConsole::CloseKeyboard()
{
    if (!keyboardOpen_) return;
    StopReader();
    g.keyboardOpen = 0;
    keyboardOpen_ = false;
}

void TerminalConsole::WriteAll(const std::string& bytes)
{
    if (fd_ >= 0) WriteRaw(fd_, bytes.data(), bytes.size());
}

void TerminalConsole::TakeDecodedPastes()
{
    if (decoder_.pastes.empty()) return;
    std::lock_guard lock(pasteMutex_);
    for (PastedText& p : decoder_.pastes) pastes_.push_back(std::move(p));
    decoder_.pastes.clear();
}

void TerminalConsole::HandleReplies()
{
    for (TermReply r : decoder_.replies) {
        // The device attributes are asked last: their answer ends the replies.
        if (r == TermReply::DeviceAttributes) awaitingAnswer_ = false;
        if (queryAnswered_ || suspended_) continue;
        queryAnswered_ = true;
        std::lock_guard lock(outMutex_);
        if (r == TermReply::KittyFlags) {
            protocol_ = 2;
            WriteAll(KittyPush);
        } else {
            // The Linux console reads unknown private sequences as colour
            // changes; it has no such mode anyway.
            const char* term = std::getenv("TERM");
            if (term && std::strcmp(term, "linux") == 0) continue;
            protocol_ = 1;
            // A terminal that does not know the private marker would take
            // this for colours and underlining: reset them at once, and let
            // the next flush set its colours in full.
            WriteAll(std::string(ModifyOtherKeysOn) + "\x1b[0m");
            writer_.Invalidate();
        }
        RebuildRestoreString();
    }
    decoder_.replies.clear();
}

bool TerminalConsole::StillDraining() const
{
    return awaitingAnswer_ && NowMs() < answerDeadlineMs_;
}

void TerminalConsole::ReaderLoop()
{
    std::vector<KeyRecord>& records = pending_;
    char buf[4096];
    for (;;) {
        // Asked to stop: done, unless the terminal's answer to the start-up
        // query is still on its way (a start-up that fails at once, a child
        // started right away); then read on until it comes or is overdue.
        if (stopReader_ && !StillDraining()) break;
        // Hand over what was decoded; a full ring holds the reader here, so
        // the terminal is not read while there is no room. Records the queue
        // could not take (the reader is stopping) are kept: they are the
        // user's typing, queued after a hand-over of the terminal.
        const bool handing = pendingNext_ < records.size();
        while (pendingNext_ < records.size()) {
            if (!queue_.Put(records[pendingNext_])) break;
            ++pendingNext_;
        }
        // A burst larger than one read can end in the middle of a sequence;
        // its rest is already on the terminal however long the editor took
        // to make room, so that wait is no quiet time (else the Esc that
        // began it would be taken for the Esc key).
        if (handing) decoder_.RestartQuietTime(NowMs());
        if (pendingNext_ == records.size()) {
            records.clear();
            pendingNext_ = 0;
            if (resizeAfterPending_) queue_.PostResize();
            resizeAfterPending_ = false;
        }

        pollfd fds[2] = {{fd_, POLLIN, 0}, {g.wakeRead, POLLIN, 0}};
        long long now = NowMs();
        int timeout = decoder_.MillisecondsToWait(now);
        if (stopReader_) {
            int left = int(std::max(0LL, answerDeadlineMs_ - now));
            if (timeout < 0 || timeout > left) timeout = left;
        }
        int n = poll(fds, 2, timeout);
        if (n < 0) {
            if (errno == EINTR) continue;
            queue_.PostEndOfInput();
            break;
        }
        // The terminal first: what it holds when a signal is noticed was
        // mostly typed before it, and a key typed for the old window size
        // must not be taken as typed into the new one.
        bool inputGone = false;
        if (!(stopReader_ && !StillDraining())) {
            if (fds[0].revents & POLLIN) {
                ssize_t got = read(fd_, buf, sizeof buf);
                if (got > 0) {
                    decoder_.Feed(buf, size_t(got), NowMs(), records);
                    TakeDecodedPastes();
                } else if (got == 0 || (errno != EINTR && errno != EAGAIN)) {
                    inputGone = true;
                }
            } else if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
                inputGone = true;
            }
        }
        if (fds[1].revents & POLLIN) {
            char wake[64];
            ssize_t got;
            while ((got = read(g.wakeRead, wake, sizeof wake)) > 0) {
                for (ssize_t i = 0; i < got; ++i) {
                    if (wake[i] == 'H') queue_.PostHangup();
                    if (wake[i] == 'W') Repaint();
                    if (wake[i] == 'R') resizeAfterPending_ = true;
                }
            }
        }
        if (inputGone) {
            queue_.PostEndOfInput();
            break;
        }
        if (stopReader_ && !StillDraining()) break;
        decoder_.Expire(NowMs(), records);
        TakeDecodedPastes();
        HandleReplies();
    }
}

void TerminalConsole::Repaint()
{
    std::lock_guard lock(outMutex_);
    if (!screenOpen_ || suspended_ || !g.active) return;
    std::string out = ClearSequence;
    writer_.Invalidate();
    terminalBlank_ = false;
    const uint8_t* mapped = ShadowMapped.size() == ShadowCells.size() ? ShadowMapped.data() : nullptr;
    writer_.EncodeFlush(ShadowCells.data(), ShadowCells.data(), ScreenColumns, ScreenRows, true,
                        out, mapped, mapped);
    out += ScreenWriter::CursorShapeSequence(cursorSize_, cursorVisible_);
    writer_.EncodeCursorMove(cursorColumn_, cursorRow_, out);
    WriteAll(out);
}

void TerminalConsole::FlushScreen(bool force)
{
    if (!screenOpen_ || suspended_) return;
    // Only this thread changes ShadowCells, so the comparison needs no lock.
    SizeMappedCells();
    if (!force && ScreenCells == ShadowCells && MappedCells == ShadowMapped) return;
    std::lock_guard lock(outMutex_);
    std::string out;
    writer_.EncodeFlush(ScreenCells.data(), ShadowCells.data(), ScreenColumns, ScreenRows, force,
                        out, MappedCells.data(), ShadowMapped.data());
    ShadowCells = ScreenCells;
    ShadowMapped = MappedCells;
    if (!out.empty()) terminalBlank_ = false;
    WriteAll(out);
}

void TerminalConsole::SetTextMap(const std::array<char32_t, 256>& map)
{
    std::lock_guard lock(outMutex_);
    writer_.SetTextMap(map);
    // Mapped cells are written again at the next flush: 2 matches no flag.
    SizeMappedCells();
    for (size_t i = 0; i < ShadowMapped.size(); ++i)
        if (MappedCells[i]) ShadowMapped[i] = 2;
}

void TerminalConsole::ClearScreen()
{
    ScreenCells.assign(size_t(ScreenColumns) * ScreenRows, BlankCell);
    MappedCells.assign(ScreenCells.size(), 0);
    std::lock_guard lock(outMutex_);
    ShadowCells = ScreenCells;
    ShadowMapped = MappedCells;
    if (!screenOpen_ || suspended_ || terminalBlank_) return;
    WriteAll(ClearSequence);
    writer_.Invalidate();
    terminalBlank_ = true;
}

void TerminalConsole::PlaceCursor(int column, int row)
{
    std::lock_guard lock(outMutex_);
    cursorColumn_ = column < 0 ? 0 : column >= ScreenColumns ? ScreenColumns - 1 : column;
    cursorRow_ = row < 0 ? 0 : row >= ScreenRows ? ScreenRows - 1 : row;
}

void TerminalConsole::SetCursorShape(int sizePercent, bool visible)
{
    std::lock_guard lock(outMutex_);
    cursorSize_ = sizePercent;
    cursorVisible_ = visible;
    if (screenOpen_ && !suspended_) WriteAll(ScreenWriter::CursorShapeSequence(sizePercent, visible));
}

void TerminalConsole::SyncCursorLocked()
{
    if (!screenOpen_ || suspended_) return;
    std::string out;
    writer_.EncodeCursorMove(cursorColumn_, cursorRow_, out);
    if (!out.empty()) WriteAll(out);
}

KeyEvent TerminalConsole::ReadKey()
{
    if (!queue_.HasKey()) {
        std::lock_guard lock(outMutex_);
        SyncCursorLocked();
    }
    return queue_.ReadKey();
}

KeyEvent TerminalConsole::KeyWaiting()
{
    return queue_.KeyWaiting();
}

bool TerminalConsole::WaitForKey(int milliseconds)
{
    if (!queue_.HasKey()) {
        std::lock_guard lock(outMutex_);
        SyncCursorLocked();
    }
    return queue_.WaitForKey(milliseconds);
}

void TerminalConsole::Suspend()
{
    if (!screenOpen_ || suspended_) return;
    if (keyboardOpen_) StopReader();
    std::lock_guard lock(outMutex_);
    LeaveTerminal();
    suspended_ = true;
    g.childRunning = 1;
    terminalBlank_ = false;  // the child draws what it likes
}

bool TerminalConsole::HangupPending()
{
    return g.hangups > 0;
}

void TerminalConsole::Resume()
{
    if (!screenOpen_ || !suspended_) return;
    {
        std::lock_guard lock(outMutex_);
        suspended_ = false;
        g.childRunning = 0;
        EnterTerminal();
    }
    Repaint();
    decoder_.Reset();
    queue_.ResetCollection();
    // The window may have been resized while the child had it.
    int columns = ScreenColumns, rows = ScreenRows;
    if (MeasureWindow(columns, rows) && (std::min(columns, int(MaxColumns)) != ScreenColumns || rows != ScreenRows))
        queue_.PostResize();
    if (keyboardOpen_) StartReader();
}

}  // namespace lumo
