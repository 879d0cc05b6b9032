#include "console/keyrecord.h"


namespace lumo {

namespace {

// Set-1 scan codes of the letter keys A-Z.
constexpr uint8_t LetterScan[26] = {
    0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,
    0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C,
};

// Step 3: the scan code a virtual key stands for, or -1 when the key keeps
// the scan code it came with.
int TableScan(uint16_t key)
{
    if (key >= 'A' && key <= 'Z') return LetterScan[key - 'A'];
    if (key >= '1' && key <= '9') return 0x02 + (key - '1');
    if (key == '0') return 0x0B;
    if (key >= vk::Numpad0 + 1 && key <= vk::Numpad0 + 9) return 0x02 + (key - vk::Numpad0 - 1);
    if (key == vk::Numpad0) return 0x0B;
    switch (key) {
    case vk::Escape: return 0x01;
    case vk::Back: return 0x0E;
    case vk::Tab: return 0x0F;
    default: break;
    }
    if (key >= vk::F1 && key <= vk::F1 + 9) return 0x3B + (key - vk::F1);
    if (key == vk::F1 + 10) return 0x57;
    if (key == vk::F1 + 11) return 0x58;
    // Keys with no scan code of their own: F13-F24, Menu, Pause, the
    // Windows keys, mouse buttons, IME and OEM-specific keys.
    if (key >= vk::F1 + 12 && key <= vk::F24) return 0xFE;
    switch (key) {
    case vk::Apps: case vk::Pause: case vk::LWin: case vk::RWin:
    case 0x01: case 0x02: case 0x04: case 0x05: case 0x06:
    case 0x15: case 0x16: case 0x17: case 0x18: case 0x19:
    case 0x1C: case 0x1D: case 0x1E: case 0x1F: case 0xE5:
        return 0xFE;
    case 0x92: case 0x93: case 0x94: case 0x95: case 0x96: case 0xE1: case 0xE3: case 0xE4:
    case 0xE6: case 0xE9: case 0xEA: case 0xEB: case 0xEC: case 0xED: case 0xEE: case 0xEF:
    case 0xF0: case 0xF1: case 0xF2: case 0xF3: case 0xF4: case 0xF5:
        return 0xFD;
    default: return -1;
    }
}

// Step 7 table: plain / Shift / Ctrl / Alt for scan codes 0x47-0x53; 0 keeps
// the plain code.
constexpr uint8_t NavTable[13][4] = {
    {0x47, 0x47, 0x77, 0x97},  // Home
    {0x48, 0x00, 0x8D, 0x98},  // Up
    {0x49, 0x49, 0x84, 0x99},  // PgUp
    {0x4A, 0x00, 0x8E, 0x4A},  // keypad minus
    {0x4B, 0x4B, 0x73, 0x9B},  // Left
    {0x4C, 0x00, 0x00, 0x00},  // keypad 5
    {0x4D, 0x4D, 0x74, 0x9D},  // Right
    {0x4E, 0x00, 0x90, 0x4E},  // keypad plus
    {0x4F, 0x4F, 0x75, 0x9F},  // End
    {0x50, 0x50, 0x91, 0xA0},  // Down
    {0x51, 0x51, 0x76, 0xA1},  // PgDn
    {0x52, 0x52, 0x92, 0xA2},  // Ins
    {0x53, 0x53, 0x93, 0xA3},  // Del
};

enum Column { Plain = 0, WithShift = 1, WithCtrl = 2, WithAlt = 3 };

int ExtendedScan(int scan, Column col)
{
    if (scan >= 0x3B && scan <= 0x44) {
        static constexpr int offset[4] = {0, 0x19, 0x23, 0x2D};
        return scan + offset[col];
    }
    if (scan == 0x57) return 0x85 + 2 * col;
    if (scan == 0x58) return 0x86 + 2 * col;
    if (scan >= 0x47 && scan <= 0x53) {
        int v = NavTable[scan - 0x47][col];
        return v ? v : scan;
    }
    return scan;
}

// Step 8: the replacement for scan codes 0x02-0x0F, or -1 for none.
int LowScanEntry(int scan, Column col)
{
    if (scan >= 0x02 && scan <= 0x0B) return col == WithAlt ? 0x78 + (scan - 0x02) : -1;
    if (scan == 0x0C) return col == WithAlt ? 0x82 : -1;
    if (scan == 0x0E) return col == WithShift ? 0x09 : -1;
    if (scan == 0x0F) {
        if (col == WithShift) return 0x0F;
        if (col == WithCtrl) return 0x94;
    }
    return -1;
}

bool IsModifierKey(uint16_t key)
{
    switch (key) {
    case vk::Shift: case vk::Control: case vk::Menu: case vk::Capital: case vk::NumLock:
    case vk::Scroll:
        return true;
    default:
        return key >= 0xA0 && key <= 0xA5;  // left/right Shift, Ctrl, Alt
    }
}

// The digit a keypad key stands for while Alt is held, or -1.
int KeypadDigit(const KeyRecord& r)
{
    if (r.virtualKey >= vk::Numpad0 && r.virtualKey <= vk::Numpad0 + 9)
        return r.virtualKey - vk::Numpad0;
    if (r.controlState & EnhancedKey) return -1;
    switch (r.virtualKey) {
    case vk::Insert: return 0;
    case vk::End: return 1;
    case vk::Down: return 2;
    case vk::Next: return 3;
    case vk::Left: return 4;
    case vk::Clear: return 5;
    case vk::Right: return 6;
    case vk::Home: return 7;
    case vk::Up: return 8;
    case vk::Prior: return 9;
    default: return -1;
    }
}

int FunctionCode(int scan)
{
    if (scan >= 0x3B && scan <= 0x44) return 0x01 + scan - 0x3B;
    if (scan >= 0x54 && scan <= 0x5D) return 0x01 + scan - 0x54;
    if (scan >= 0x5E && scan <= 0x67) return 0x01 + scan - 0x5E;
    if (scan >= 0x68 && scan <= 0x71) return 0x01 + scan - 0x68;
    if (scan >= 0x85 && scan <= 0x8C) return 0x0B + ((scan - 0x85) & 1);
    switch (scan) {
    case 0x47: case 0x77: case 0x97: return 0x20;
    case 0x48: case 0x8D: case 0x98: return 0x21;
    case 0x49: case 0x84: case 0x99: return 0x22;
    case 0x4B: case 0x73: case 0x9B: return 0x23;
    case 0x4D: case 0x74: case 0x9D: return 0x25;
    case 0x4F: case 0x75: case 0x9F: return 0x26;
    case 0x50: case 0x91: case 0xA0: return 0x27;
    case 0x51: case 0x76: case 0xA1: return 0x28;
    case 0x52: case 0x92: case 0xA2: return 0x29;
    case 0x53: case 0x93: case 0xA3: return 0x2A;
    default: return 0;
    }
}

}  // namespace

KeyEvent KeyRecordEvent(const KeyRecord& in)
{
    if (in.kind == KeyRecord::Composed) return in.character | (3u << 24);
    if (in.kind == KeyRecord::Paste) return PasteEvent;
    if (!in.keyDown) return 0;
    // The text's character map decides which byte it types, if any.
    if (in.unicode != 0) return UnicodeKeyEvent(in.unicode);
    KeyRecord r = in;
    // 1. lone modifier and lock keys
    if (r.character == 0) {
        switch (r.virtualKey) {
        case vk::Shift: case vk::Control: case vk::Menu: case vk::Capital: case vk::NumLock:
        case vk::Scroll: case vk::Oem5: case vk::Oem6:
            return 0;
        default: break;
        }
    }
    // 2. the keypad divide key some keyboards report oddly
    if ((r.controlState & EnhancedKey) && r.virtualKey == vk::Oem8 && r.character != 0) {
        r.controlState &= ~EnhancedKey;
        r.virtualKey = vk::Divide;
        r.character = '/';
    }
    // 3. scan code
    int scan = TableScan(r.virtualKey);
    if (scan < 0) scan = r.scanCode;
    // 4. shift state
    bool alt = r.controlState & (LeftAltPressed | RightAltPressed);
    bool ctrl = r.controlState & (LeftCtrlPressed | RightCtrlPressed);
    bool shift = r.controlState & ShiftPressed;
    bool rightAlt = r.controlState & RightAltPressed;
    uint32_t shiftState = (shift ? 3 : 0) + (ctrl ? 4 : 0) + (alt ? 8 : 0);
    // 6. characters that Alt and the navigation keys do not give
    uint32_t ch = r.character;
    if (alt && !rightAlt) ch = 0;
    switch (r.virtualKey) {
    case vk::Prior: case vk::Next: case vk::End: case vk::Home: case vk::Left: case vk::Up:
    case vk::Right: case vk::Down: case vk::Snapshot: case vk::Insert: case vk::Help:
        ch = 0;
        break;
    default: break;
    }
    if (!rightAlt) {
        Column col = alt ? WithAlt : ctrl ? WithCtrl : shift ? WithShift : Plain;
        // 7. extended scan codes of the function and navigation keys
        if (scan >= 0x3B && scan <= 0x58) scan = ExtendedScan(scan, col);
        // 8. the digit row, minus, Backspace and Tab
        else if (scan >= 0x02 && scan <= 0x0F) {
            int e = col == Plain ? -1 : LowScanEntry(scan, col);
            if (e >= 0) {
                scan = e;
                ch = 0;
            }
        }
    }
    // 5. the event
    return ch | (uint32_t(scan) << 8) | (shiftState << 16) | (3u << 24);
}

KeyEvent TranslateKeyEvent(KeyEvent raw)
{
    if ((raw >> 24) != 3) return raw;
    if (raw & 0xFF) return raw & 0xFFFFFF;
    int code = FunctionCode((raw >> 8) & 0xFF);
    if (code == 0) return raw;
    return (raw & 0xFF0000) | 0x2000000 | 0xFF00 | uint32_t(code);
}

bool AltKeypad::Accept(KeyRecord& r)
{
    if (r.kind != KeyRecord::Key) return true;
    bool alt = r.controlState & (LeftAltPressed | RightAltPressed);
    if (r.keyDown && alt) {
        int digit = KeypadDigit(r);
        if (digit >= 0) {
            if (count_ == 3) {
                digits_[0] = digits_[1];
                digits_[1] = digits_[2];
                count_ = 2;
            }
            digits_[count_++] = digit;
            collecting_ = true;
            return false;
        }
        // Holding Alt repeats its key-down; that and the other modifiers do
        // not end a code being typed.
        if (!IsModifierKey(r.virtualKey)) Reset();
        return true;
    }
    if (!r.keyDown && (r.virtualKey == vk::Menu || r.virtualKey == 0xA4 || r.virtualKey == 0xA5)) {
        if (collecting_ && count_ > 0) {
            int value = 0;
            for (int i = 0; i < count_; ++i) value = value * 10 + digits_[i];
            Reset();
            if (value <= 255) {
                KeyRecord composed;
                composed.kind = KeyRecord::Composed;
                composed.character = uint8_t(value);
                r = composed;
            }
            return true;
        }
        Reset();
    }
    return true;
}

bool KeyQueue::Put(const KeyRecord& record)
{
    std::unique_lock lock(mutex_);
    KeyRecord r = record;
    if (!altKeypad_.Accept(r)) return true;
    // Records that give no event (key releases, lone modifiers) have done
    // their work in the collection above; they would only take up room.
    if (KeyRecordEvent(r) == 0) return true;
    roomAvailable_.wait(lock, [&] { return (tail_ + 1) % Slots != head_ || interrupted_; });
    if ((tail_ + 1) % Slots == head_) return false;
    ring_[tail_] = r;
    tail_ = (tail_ + 1) % Slots;
    ++put_;
    keyAvailable_.notify_all();
    return true;
}

void KeyQueue::PostHangup()
{
    std::lock_guard lock(mutex_);
    hangup_ = true;
    keyAvailable_.notify_all();
}

void KeyQueue::PostResize()
{
    std::lock_guard lock(mutex_);
    if (!resize_) resizeAfter_ = put_;
    resize_ = true;
    keyAvailable_.notify_all();
}

void KeyQueue::PostEndOfInput()
{
    std::lock_guard lock(mutex_);
    if (!inputEnded_) hangup_ = true;
    inputEnded_ = true;
    keyAvailable_.notify_all();
}

void KeyQueue::Interrupt()
{
    std::lock_guard lock(mutex_);
    interrupted_ = true;
    roomAvailable_.notify_all();
}

void KeyQueue::ResumeProducer()
{
    std::lock_guard lock(mutex_);
    interrupted_ = false;
}

void KeyQueue::ResetCollection()
{
    std::lock_guard lock(mutex_);
    altKeypad_.Reset();
}

KeyEvent KeyQueue::PeekLocked()
{
    while (head_ != tail_) {
        KeyEvent e = KeyRecordEvent(ring_[head_]);
        if (e != 0) return e;
        head_ = (head_ + 1) % Slots;
        ++taken_;
        repeatsTaken_ = 0;
        roomAvailable_.notify_all();
    }
    return 0;
}

bool KeyQueue::ReadyLocked()
{
    return hangup_ || ResizeDueLocked() || PeekLocked() != 0 || inputEnded_;
}

KeyEvent KeyQueue::ReadKey()
{
    std::unique_lock lock(mutex_);
    keyAvailable_.wait(lock, [&] { return ReadyLocked(); });
    if (hangup_) {
        hangup_ = false;
        return HangupEvent;
    }
    KeyEvent raw = PeekLocked();
    if (ResizeDueLocked()) {
        resize_ = false;
        return ResizeEvent;
    }
    if (raw == 0) {
        // Input has ended and the handler did not end the program: keep
        // saying so, but slowly enough that a caller's loop cannot spin.
        keyAvailable_.wait_for(lock, std::chrono::milliseconds(100));
        return HangupEvent;
    }
    const KeyRecord& head = ring_[head_];
    int repeats = head.repeatCount ? head.repeatCount : 1;
    if (++repeatsTaken_ >= repeats) {
        head_ = (head_ + 1) % Slots;
        ++taken_;
        repeatsTaken_ = 0;
        roomAvailable_.notify_all();
    }
    lock.unlock();
    return TranslateKeyEvent(raw);
}

KeyEvent KeyQueue::KeyWaiting()
{
    std::lock_guard lock(mutex_);
    if (hangup_) return HangupEvent;
    KeyEvent raw = PeekLocked();
    return ResizeDueLocked() ? ResizeEvent : raw;
}

bool KeyQueue::WaitForKey(int milliseconds)
{
    std::unique_lock lock(mutex_);
    if (milliseconds < 0) milliseconds = 0;
    return keyAvailable_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                  [&] { return ReadyLocked(); });
}

bool KeyQueue::HasKey()
{
    std::lock_guard lock(mutex_);
    return ReadyLocked();
}

int KeyQueue::WaitingRecords()
{
    std::lock_guard lock(mutex_);
    return (tail_ - head_ + Slots) % Slots;
}

}  // namespace lumo
