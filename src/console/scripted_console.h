// A console for tests: keys are queued by the test, cells and the cursor are
// read back. Nothing is written anywhere, but the bytes a terminal would get
// are kept: each flush is encoded exactly as the terminal console encodes it.
#pragma once

#include <deque>
#include <stdexcept>
#include <string>

#include "console/console.h"
#include "console/screen_writer.h"

namespace lumo {

// Thrown by ReadKey when the script has no more keys, so a test can leave
// the main loop or a prompt that would otherwise wait for ever.
struct ScriptExhausted : std::runtime_error {
    ScriptExhausted() : std::runtime_error("scripted console: no more keys") {}
};

class ScriptedConsole : public Console {
public:
    explicit ScriptedConsole(int columns = 80, int rows = 25);

    std::deque<KeyEvent> keys;
    int cursorColumn = 0;  // from 0, as PlaceCursor got them
    int cursorRow = 0;
    int cursorSize = 0;
    bool cursorVisible = true;
    int flushCount = 0;      // flushes that found a change (or were forced)
    int writtenCells = 0;    // cells those flushes wrote
    std::string lastFlushBytes;  // what the last FlushScreen would write ("" for nothing)
    std::string writtenBytes;    // everything flushes and cursor moves would write

    bool OpenScreen() override;
    void CloseScreen() override {}
    void OpenKeyboard() override {}
    void CloseKeyboard() override {}
    void FlushScreen(bool force) override;
    void ClearScreen() override;
    void PlaceCursor(int column, int row) override;
    void SetCursorShape(int sizePercent, bool visible) override;
    KeyEvent ReadKey() override;
    KeyEvent KeyWaiting() override;
    bool WaitForKey(int milliseconds) override;
    std::string sentToTerminal;  // what SendToTerminal got
    void SendToTerminal(const std::string& bytes) override { sentToTerminal += bytes; }

    bool ApplyNewSize() override;
    PastedText TakePaste() override;
    void SetTextMap(const std::array<char32_t, 256>& map) override;
    // The character cell (column, row) shows (both from 1): the text's
    // character for a mapped cell, else the CP866 glyph.
    char32_t Shown(int column, int row) const;

    void Push(KeyEvent key) { keys.push_back(key); }
    // Queues a window resize to columns x rows (as SIGWINCH would), and a
    // bracketed paste of `text` (CP866, '\n' line ends).
    void PushResize(int columns, int rows);
    void PushPaste(const std::string& text, bool tooLarge = false);
    // Queues each byte of `text` as a plain character key (scan 0).
    void Type(const std::string& text);
    // The characters of row r (from 1), cells as shown, as a byte string.
    std::string Row(int row) const;
    uint8_t Attr(int column, int row) const;
    uint8_t Char(int column, int row) const;
    // The terminal cursor follows the editor's cursor when the editor waits
    // for a key, as on the terminal; this does it now and returns the bytes.
    std::string SyncCursor();

private:
    ScreenWriter writer_;
    std::deque<std::pair<int, int>> sizes_;
    std::deque<PastedText> pastes_;
    std::array<char32_t, 256> textMap_{};
};

}  // namespace lumo
