// Key records and the queue between the terminal reader and the editor.
//
// A key record describes one physical key transition the way a PC console
// reports it: down or up, a repeat count, a virtual key number (the PC
// console's numbering, kept so the tables below stay the tables users know),
// the key's set-1 scan code, the character it types as a CP866 byte, and the
// state of the control keys. The terminal decoder (termdecode.h) produces
// records; KeyRecordEvent turns a record into the 32-bit KeyEvent the editor
// binds; the KeyQueue holds records between the reader thread and ReadKey.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "console/console.h"

namespace lumo {

// Control-key state bits.
constexpr uint16_t RightAltPressed = 0x0001;
constexpr uint16_t LeftAltPressed = 0x0002;
constexpr uint16_t RightCtrlPressed = 0x0004;
constexpr uint16_t LeftCtrlPressed = 0x0008;
constexpr uint16_t ShiftPressed = 0x0010;
constexpr uint16_t NumLockOn = 0x0020;
constexpr uint16_t ScrollLockOn = 0x0040;
constexpr uint16_t CapsLockOn = 0x0080;
constexpr uint16_t EnhancedKey = 0x0100;

// Virtual key numbers used by the tables.
namespace vk {
constexpr uint16_t Back = 0x08, Tab = 0x09, Clear = 0x0C, Return = 0x0D, Shift = 0x10,
                   Control = 0x11, Menu = 0x12, Pause = 0x13, Capital = 0x14, Escape = 0x1B,
                   Space = 0x20, Prior = 0x21, Next = 0x22, End = 0x23, Home = 0x24, Left = 0x25,
                   Up = 0x26, Right = 0x27, Down = 0x28, Snapshot = 0x2C, Insert = 0x2D,
                   Delete = 0x2E, Help = 0x2F, LWin = 0x5B, RWin = 0x5C, Apps = 0x5D,
                   Numpad0 = 0x60, Multiply = 0x6A, Add = 0x6B, Separator = 0x6C,
                   Subtract = 0x6D, Decimal = 0x6E, Divide = 0x6F, F1 = 0x70, F24 = 0x87,
                   NumLock = 0x90, Scroll = 0x91, Oem1 = 0xBA, OemPlus = 0xBB, OemComma = 0xBC,
                   OemMinus = 0xBD, OemPeriod = 0xBE, Oem2 = 0xBF, Oem3 = 0xC0, Oem4 = 0xDB,
                   Oem5 = 0xDC, Oem6 = 0xDD, Oem7 = 0xDE, Oem8 = 0xDF;
}  // namespace vk

struct KeyRecord {
    enum Kind : uint8_t {
        Key,       // a key transition
        Composed,  // the character code collected with Alt + numeric keypad
        Paste,     // a bracketed paste arrived here (its text travels apart)
    };
    Kind kind = Key;
    bool keyDown = true;
    uint16_t repeatCount = 1;
    uint16_t virtualKey = 0;
    uint8_t scanCode = 0;       // the key's own set-1 code
    uint8_t character = 0;      // CP866 byte, 0 when the key types none
    uint16_t controlState = 0;  // the bits above
    char32_t unicode = 0;       // a typed character CP866 lacks (character is then 0)
};

// Steps 1-8: the untranslated event (kind 3) of a key-down record, or 0 when
// the record yields none (key-ups, lone modifier keys). A Composed record
// gives its character with scan 0 and shift 0; a Paste record gives
// PasteEvent.
KeyEvent KeyRecordEvent(const KeyRecord& record);

// ReadKey's translation of an untranslated event to kinds 0, 2 and 3.
KeyEvent TranslateKeyEvent(KeyEvent raw);

// The Alt + numeric keypad collection. Accept decides what becomes of one
// record: false when the record was swallowed into the code buffer; true when
// it goes on to the queue (and then `record` may have been replaced by the
// Composed record that a release of Alt completes).
class AltKeypad {
public:
    bool Accept(KeyRecord& record);
    void Reset() { count_ = 0; collecting_ = false; }

private:
    int digits_[3] = {};
    int count_ = 0;
    bool collecting_ = false;
};

// The ring of 121 key records between the terminal reader (one producer) and
// the editor (one consumer). A full ring makes the producer wait: no key is
// ever dropped. The consumer waits on a condition variable, never spins.
class KeyQueue {
public:
    static constexpr int Slots = 121;

    // ---- producer side ----
    // Runs the Alt+keypad collection and queues the record, waiting while the
    // ring is full. Returns false (record not queued) when Interrupt() ends
    // the wait.
    bool Put(const KeyRecord& record);
    // The session has ended (signal or end of input): ReadKey reports
    // HangupEvent before any waiting key.
    void PostHangup();
    // The window may have a new size: ReadKey reports ResizeEvent once,
    // after the keys queued before it (they were typed for the old window)
    // and before any queued after, however many times this was called
    // meanwhile.
    void PostResize();
    // Input has ended for good: once the queue is empty ReadKey keeps
    // reporting HangupEvent instead of waiting for ever.
    void PostEndOfInput();
    // Wakes a producer waiting for room (it returns false) until Resume.
    void Interrupt();
    void ResumeProducer();
    // Forgets any half-collected Alt+keypad code (after a hand-over of the
    // terminal).
    void ResetCollection();

    // ---- consumer side ----
    KeyEvent ReadKey();
    KeyEvent KeyWaiting();
    bool WaitForKey(int milliseconds);
    // True when ReadKey would return at once.
    bool HasKey();

    int WaitingRecords();

private:
    // Under the lock: drops leading records that yield nothing; the raw event
    // of the first that does, or 0.
    KeyEvent PeekLocked();
    bool ReadyLocked();
    // A posted resize whose earlier keys have all been taken.
    bool ResizeDueLocked() const { return resize_ && taken_ >= resizeAfter_; }

    std::mutex mutex_;
    std::condition_variable keyAvailable_;
    std::condition_variable roomAvailable_;
    KeyRecord ring_[Slots];
    int head_ = 0;  // next to take
    int tail_ = 0;  // next free
    int repeatsTaken_ = 0;  // events already given from the head record
    bool hangup_ = false;
    bool resize_ = false;
    // Records ever queued and ever taken, and how many had been queued when
    // the pending resize came: the resize is reported in its place.
    unsigned long long put_ = 0;
    unsigned long long taken_ = 0;
    unsigned long long resizeAfter_ = 0;
    bool inputEnded_ = false;
    bool interrupted_ = false;
    AltKeypad altKeypad_;
};

}  // namespace lumo
