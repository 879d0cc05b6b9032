// The console on a real terminal (/dev/tty).
//
// Use:
//     lumo::TerminalConsole con;
//     if (!con.OpenScreen()) {          // no terminal, or smaller than 80x6
//         std::fprintf(stderr, "lumo: %s\n", con.OpenError().c_str());
//         return 2;
//     }
//     con.OpenKeyboard();               // starts the reader thread
//     con.SetCursorShape(99, true);
//     ... editor runs; ReadKey may return HangupEvent (SIGTERM, SIGHUP, or
//         the terminal went away): save what must be saved, then end ...
//     con.CloseKeyboard();
//     con.CloseScreen();                // terminal as it was before
//
// The terminal is restored exactly on every way out: CloseScreen, the
// destructor, exit() (an atexit handler), a fatal signal (the handler restores
// and re-raises) and Ctrl+Z from outside (restored while stopped, taken back
// and repainted on SIGCONT). RestoreTerminal() does the same from anywhere,
// any number of times. Only one TerminalConsole may be open at a time (the
// signal handlers need to find it).
//
// Output: FlushScreen writes the cells that differ from what the terminal
// shows in one write(2), as UTF-8 through the CP866 display table with the PC
// colours mapped to the terminal's 16 colours. PlaceCursor only records the
// position; the terminal cursor is moved when the editor next waits for a key
// (ReadKey, WaitForKey) or in the next flush, so a typed letter costs a byte
// or two.
//
// Resize: SIGWINCH wakes the reader, which queues one ResizeEvent however
// many signals came; the editor then calls ApplyNewSize and redraws.
//
// Input: a reader thread decodes the terminal's bytes (termdecode.h) into key
// records and queues them (keyrecord.h). The kitty keyboard protocol is asked
// for at start; the answer is taken whenever it comes, without holding up the
// first paint. Without it, xterm's modifyOtherKeys level 2 is switched on,
// and plain xterm sequences are always understood.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "console/console.h"
#include "console/keyrecord.h"
#include "console/screen_writer.h"
#include "console/termdecode.h"

namespace lumo {

class TerminalConsole : public Console {
public:
    // `ttyPath` is the terminal to use; tests may pass a pty's slave path.
    explicit TerminalConsole(std::string ttyPath = "/dev/tty");
    ~TerminalConsole() override;
    TerminalConsole(const TerminalConsole&) = delete;
    TerminalConsole& operator=(const TerminalConsole&) = delete;

    bool OpenScreen() override;
    void CloseScreen() override;
    void OpenKeyboard() override;
    void CloseKeyboard() override;
    void SetTextMap(const std::array<char32_t, 256>& map) override;
    void FlushScreen(bool force) override;
    void ClearScreen() override;
    void PlaceCursor(int column, int row) override;
    void SetCursorShape(int sizePercent, bool visible) override;
    KeyEvent ReadKey() override;
    KeyEvent KeyWaiting() override;
    bool WaitForKey(int milliseconds) override;
    void Suspend() override;
    void Resume() override;
    bool ApplyNewSize() override;
    PastedText TakePaste() override;
    bool HangupPending() override;
    void SendToTerminal(const std::string& bytes) override { WriteAll(bytes); }

    // Why OpenScreen failed, as one line for standard error.
    const std::string& OpenError() const { return openError_; }

    // Which keyboard protocol is in use: 0 legacy only, 1 modifyOtherKeys,
    // 2 kitty. Settles shortly after OpenKeyboard.
    int KeyboardProtocol() const { return protocol_.load(); }

private:
    void ReaderLoop();
    void HandleReplies();
    void TakeDecodedPastes();       // reader thread: decoder -> pastes_
    bool StillDraining() const;     // reader thread: stopping, but an answer is due
    void WriteAll(const std::string& bytes);
    void Repaint();                 // from ShadowCells, after SIGWINCH/SIGCONT
    void SyncCursorLocked();        // outMutex_ held
    void StartReader();
    void StopReader();
    void TakeTerminal();            // raw mode, alternate screen, protocol
    void RebuildRestoreString();
    bool MeasureWindow(int& columns, int& rows) const;

    std::string ttyPath_;
    std::string openError_;
    int fd_ = -1;
    bool screenOpen_ = false;
    // Nothing has been drawn since the terminal was last cleared, so another
    // clear would only cost bytes (start-up clears more than once).
    bool terminalBlank_ = false;
    bool keyboardOpen_ = false;
    bool suspended_ = false;

    std::mutex outMutex_;           // the writer state and writes to the tty
    ScreenWriter writer_;
    int cursorColumn_ = 0;          // the editor's cursor, from 0
    int cursorRow_ = 0;
    int cursorSize_ = 99;
    bool cursorVisible_ = true;

    KeyQueue queue_;
    TermDecoder decoder_;
    std::thread reader_;
    std::atomic<bool> stopReader_{false};
    std::atomic<int> protocol_{0};
    bool queryAnswered_ = false;    // reader thread only
    // The device-attributes answer to the start-up query has not come yet;
    // a reader that stops before this deadline keeps reading until it does,
    // so the answer never lands in the shell's or a child's input.
    static constexpr int QueryAnswerMs = 200;
    bool awaitingAnswer_ = false;   // reader thread (set before it starts)
    long long answerDeadlineMs_ = 0;
    // Decoded records not yet queued (reader thread; kept across a hand-over
    // of the terminal, they are the user's typing).
    std::vector<KeyRecord> pending_;
    size_t pendingNext_ = 0;
    // A resize seen by the reader: posted at the top of its loop, once the
    // keys decoded before it are in the queue, so it comes after them.
    bool resizeAfterPending_ = false;
    // Pasted texts whose Paste records are queued or pending, oldest first.
    std::mutex pasteMutex_;
    std::vector<PastedText> pastes_;
    size_t pasteNext_ = 0;
};

// Puts the terminal back as it was before OpenScreen: cooked mode, main
// screen, default cursor, keyboard protocols off, colours reset. Safe to call
// at any time, from a signal handler too, and any number of times.
void RestoreTerminal();

}  // namespace lumo
