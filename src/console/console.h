// The editor's only contact with the screen and the keyboard.
//
// A screen of 16-bit cells (character byte low, attribute byte high) that the
// editor writes directly, a flush that makes changed cells visible, the text
// cursor, and a key source that yields 32-bit key events. Two implementations:
// the real terminal (terminal_console.h) and a scripted one for tests
// (scripted_console.h).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace lumo {

// bits 0-7 character, 8-15 scan code, 16-23 shift (2 Shift, 4 Ctrl, 8 Alt),
// 24-31 kind (0 character key, 2 function-key code 0xFFnn, 3 other key).
using KeyEvent = uint32_t;
// Delivered by the console when the session ends under the editor (SIGTERM,
// SIGHUP, end of input on the terminal). Never produced by a key.
constexpr KeyEvent HangupEvent = 0xFF000000;
// Delivered when the window's size may have changed (SIGWINCH). The reader
// calls ApplyNewSize. Never produced by a key; many signals give one event.
constexpr KeyEvent ResizeEvent = 0xFE000000;
// Delivered where a bracketed paste arrived among the keys; TakePaste gives
// its text. Never produced by a key.
constexpr KeyEvent PasteEvent = 0xFD000000;

// The text of one bracketed paste: UTF-8, each line end as one '\n', TAB
// kept, every other control character left out (the editor turns the
// characters into the text's bytes). tooLarge: the paste was longer than
// the console keeps (text empty).
struct PastedText {
    std::string text;
    bool tooLarge = false;
};

constexpr uint16_t BlankCell = 0x0720;
// A typed or pasted character that CP866 lacks: kind 4, its code point in
// bits 0-20. The editor turns it into the byte the text's character map
// gives it (or drops it when the text cannot hold it).
constexpr uint32_t UnicodeKeyKind = 4;
inline KeyEvent UnicodeKeyEvent(char32_t c) { return (UnicodeKeyKind << 24) | (static_cast<uint32_t>(c) & 0x1FFFFF); }

class Console {
public:
    virtual ~Console() = default;

    int ScreenColumns = 80;
    int ScreenRows = 25;
    std::vector<uint16_t> ScreenCells;
    std::vector<uint16_t> ShadowCells;
    // 1 where a cell shows a character of the text, through the text's
    // character map (set by the text renderer); 0 elsewhere, where the cell
    // shows its CP866 glyph. Every write through Cell() makes a cell plain.
    std::vector<uint8_t> MappedCells;
    std::vector<uint8_t> ShadowMapped;

    // Measures the screen, allocates the buffers and clears. False when the
    // console cannot be used (the caller ends the program).
    virtual bool OpenScreen() = 0;
    virtual void CloseScreen() = 0;
    virtual void OpenKeyboard() = 0;
    virtual void CloseKeyboard() = 0;
    virtual void FlushScreen(bool force) = 0;
    virtual void ClearScreen() = 0;
    // column and row counted from 0
    virtual void PlaceCursor(int column, int row) = 0;
    virtual void SetCursorShape(int sizePercent, bool visible) = 0;
    // Blocks until a key is available; never returns 0.
    virtual KeyEvent ReadKey() = 0;
    // Non-blocking: the first waiting key (untranslated), or 0.
    virtual KeyEvent KeyWaiting() = 0;
    // Waits up to `milliseconds` for a key without taking it; true when one is
    // waiting. Used by timed messages.
    virtual bool WaitForKey(int milliseconds) = 0;

    // After ResizeEvent: measures the window again, reallocates ScreenCells
    // and ShadowCells at the new size (blank; columns capped at MaxColumns,
    // rows taken as they are, as at start-up) and clears the terminal; the
    // caller redraws everything. False when the window is smaller than
    // MinColumns x MinRows: the buffers then have that small size, for one
    // line of notice only, and the caller waits for the next ResizeEvent.
    virtual bool ApplyNewSize() { return true; }
    // After PasteEvent: the text of the oldest paste not yet taken.
    virtual PastedText TakePaste() { return {}; }

    static constexpr int MinColumns = 80;
    static constexpr int MinRows = 6;
    static constexpr int MaxColumns = 132;

    // A child process takes the terminal: leave raw mode and the alternate
    // screen and stop reading keys; Resume takes it back. No-ops by default.
    virtual void Suspend() {}
    virtual void Resume() {}
    // True once the session has been told to end (SIGTERM, SIGHUP): lets a
    // wait that reads no keys (a child process) stop and let the editor
    // save. The HangupEvent still comes through ReadKey.
    virtual bool HangupPending() { return false; }
    // Hands a control sequence for the terminal itself (not for the screen
    // cells) straight through, such as the one that sets the desktop
    // clipboard. Ignored where there is no terminal.
    virtual void SendToTerminal(const std::string& /*bytes*/) {}
    // The text's character map: what a mapped cell's byte shows. Cells
    // shown with the old map are written again at the next flush.
    virtual void SetTextMap(const std::array<char32_t, 256>& map) { (void)map; }

    uint16_t& Cell(int column, int row)  // both from 1
    {
        const size_t i = size_t(row - 1) * ScreenColumns + (column - 1);
        if (i < MappedCells.size()) MappedCells[i] = 0;
        return ScreenCells[i];
    }
    // The mapped-cell flags of row `row` (from 1), or null before the screen
    // is open.
    uint8_t* MappedRow(int row)
    {
        const size_t i = size_t(row - 1) * ScreenColumns;
        return MappedCells.size() == ScreenCells.size() && i < MappedCells.size() ? &MappedCells[i] : nullptr;
    }
    // Both flag arrays sized like the cells (all plain), when they are not.
    void SizeMappedCells()
    {
        if (MappedCells.size() != ScreenCells.size()) MappedCells.assign(ScreenCells.size(), 0);
        if (ShadowMapped.size() != ScreenCells.size()) ShadowMapped.assign(ScreenCells.size(), 0);
    }
};

}  // namespace lumo
