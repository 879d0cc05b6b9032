#include "console/keyrecord.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "editor/editor.h"

namespace lumo {
namespace {

KeyRecord Down(uint16_t virtualKey, uint8_t scan, uint8_t character, uint16_t state = 0)
{
    KeyRecord r;
    r.virtualKey = virtualKey;
    r.scanCode = scan;
    r.character = character;
    r.controlState = state;
    return r;
}

KeyRecord Up(KeyRecord r)
{
    r.keyDown = false;
    return r;
}

KeyEvent Translated(const KeyRecord& r) { return TranslateKeyEvent(KeyRecordEvent(r)); }

TEST(KeyRecordSteps, ModifierAndLockKeysAloneGiveNothing)
{
    for (uint16_t key : {vk::Shift, vk::Control, vk::Menu, vk::Capital, vk::NumLock, vk::Scroll,
                         vk::Oem5, vk::Oem6})
        EXPECT_EQ(KeyRecordEvent(Down(key, 0x2A, 0, ShiftPressed)), 0u) << key;
    // ...but the two OEM keys with a character are keys like any other.
    EXPECT_EQ(Translated(Down(vk::Oem5, 0x2B, '\\')), 0x00002B5Cu);
    EXPECT_EQ(KeyRecordEvent(Up(Down('A', 0x1E, 'a'))), 0u);
}

TEST(KeyRecordSteps, TheDesignsExamples)
{
    EXPECT_EQ(Translated(Down(vk::F1 + 1, 0x3C, 0, ShiftPressed)), 0x0203FF02u);
    EXPECT_EQ(Translated(Down(vk::F1 + 1, 0x3C, 0, ShiftPressed | LeftCtrlPressed)), 0x0207FF02u);
    EXPECT_EQ(Translated(Down(vk::Home, 0x47, 0, LeftCtrlPressed | EnhancedKey)), 0x0204FF20u);
    EXPECT_EQ(Translated(Down(vk::Up, 0x48, 0, LeftAltPressed | EnhancedKey)), 0x0208FF21u);
    EXPECT_EQ(Translated(Down(vk::Up, 0x48, 0, EnhancedKey)), 0x0200FF21u);
    EXPECT_EQ(Translated(Down('K', 0x25, 'k', LeftAltPressed)), 0x03082500u);
    EXPECT_EQ(Translated(Down('K', 0x25, 'K', LeftAltPressed | ShiftPressed)), 0x030B2500u);
    EXPECT_EQ(Translated(Down('K', 0x25, 0x0B, LeftCtrlPressed)), 0x0004250Bu);
    EXPECT_EQ(Translated(Down(vk::Escape, 0x01, 0x1B)), 0x0000011Bu);
    EXPECT_EQ(Translated(Down('C', 0x2E, 'c', LeftAltPressed)), 0x03082E00u);
    EXPECT_EQ(Translated(Down(vk::F1 + 7, 0x42, 0, ShiftPressed | LeftAltPressed)), 0x020BFF08u);
}

TEST(KeyRecordSteps, ScanTableOverridesTheHardwareCode)
{
    // Letters, digits (also on the keypad), Esc, Backspace, Tab and F-keys
    // take the table's code whatever the terminal said.
    EXPECT_EQ(KeyRecordEvent(Down('Q', 0x99, 'q')) & 0xFF00, 0x1000u);
    EXPECT_EQ(KeyRecordEvent(Down(vk::Numpad0 + 3, 0x51, '3')) & 0xFF00, 0x0400u);
    EXPECT_EQ(KeyRecordEvent(Down(vk::Numpad0, 0x52, '0')) & 0xFF00, 0x0B00u);
    EXPECT_EQ(Translated(Down(vk::F1 + 10, 0x00, 0)), 0x0200FF0Bu);  // F11 via 0x85
    EXPECT_EQ(Translated(Down(vk::F1 + 11, 0x00, 0, LeftAltPressed)), 0x0208FF0Cu);
    // Keys without a code of their own get the dummy code.
    EXPECT_EQ(KeyRecordEvent(Down(vk::F1 + 12, 0x00, 0)), 0x0300FE00u);
    EXPECT_EQ(KeyRecordEvent(Down(vk::Apps, 0x00, 0)), 0x0300FE00u);
}

TEST(KeyRecordSteps, ExtendedScanCodesByFirstOfAltCtrlShift)
{
    struct Row {
        uint16_t key;
        uint8_t scan;
        KeyEvent plain, shift, ctrl, alt;
    };
    const Row rows[] = {
        {vk::Home, 0x47, 0x0200FF20, 0x0203FF20, 0x0204FF20, 0x0208FF20},
        {vk::Prior, 0x49, 0x0200FF22, 0x0203FF22, 0x0204FF22, 0x0208FF22},
        {vk::Left, 0x4B, 0x0200FF23, 0x0203FF23, 0x0204FF23, 0x0208FF23},
        {vk::Right, 0x4D, 0x0200FF25, 0x0203FF25, 0x0204FF25, 0x0208FF25},
        {vk::End, 0x4F, 0x0200FF26, 0x0203FF26, 0x0204FF26, 0x0208FF26},
        {vk::Down, 0x50, 0x0200FF27, 0x0203FF27, 0x0204FF27, 0x0208FF27},
        {vk::Next, 0x51, 0x0200FF28, 0x0203FF28, 0x0204FF28, 0x0208FF28},
        {vk::Insert, 0x52, 0x0200FF29, 0x0203FF29, 0x0204FF29, 0x0208FF29},
        {vk::Delete, 0x53, 0x0200FF2A, 0x0203FF2A, 0x0204FF2A, 0x0208FF2A},
        {vk::Clear, 0x4C, 0x03004C00, 0x03034C00, 0x03044C00, 0x03084C00},
        {vk::Subtract, 0x4A, 0x03004A00, 0x03034A00, 0x03048E00, 0x03084A00},
        {vk::Add, 0x4E, 0x03004E00, 0x03034E00, 0x03049000, 0x03084E00},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(Translated(Down(r.key, r.scan, 0)), r.plain) << r.key;
        EXPECT_EQ(Translated(Down(r.key, r.scan, 0, ShiftPressed)), r.shift) << r.key;
        EXPECT_EQ(Translated(Down(r.key, r.scan, 0, LeftCtrlPressed | ShiftPressed)),
                  r.ctrl | 0x30000) << r.key;
        EXPECT_EQ(Translated(Down(r.key, r.scan, 0, LeftAltPressed | LeftCtrlPressed)),
                  r.alt | 0x40000) << r.key;
    }
    // A keypad operator that types its character stays a character key.
    EXPECT_EQ(Translated(Down(vk::Subtract, 0x4A, '-')), 0x00004A2Du);
}

TEST(KeyRecordSteps, LowScanLookups)
{
    EXPECT_EQ(Translated(Down('1', 0x02, '1', LeftAltPressed)), 0x03087800u);
    EXPECT_EQ(Translated(Down('0', 0x0B, '0', LeftAltPressed)), 0x03088100u);
    EXPECT_EQ(Translated(Down(vk::OemMinus, 0x0C, '-', LeftAltPressed)), 0x03088200u);
    EXPECT_EQ(Translated(Down(vk::OemPlus, 0x0D, '=', LeftAltPressed)), 0x03080D00u);
    EXPECT_EQ(Translated(Down(vk::Back, 0x0E, 0x08, ShiftPressed)), 0x03030900u);
    EXPECT_EQ(Translated(Down(vk::Tab, 0x0F, 0x09, ShiftPressed)), 0x03030F00u);
    EXPECT_EQ(Translated(Down(vk::Tab, 0x0F, 0, LeftCtrlPressed)), 0x03049400u);
    EXPECT_EQ(Translated(Down(vk::Tab, 0x0F, 0, LeftCtrlPressed | LeftAltPressed)), 0x030C0F00u);
    // Shift with a digit keeps its character: "!" on the 1 key.
    EXPECT_EQ(Translated(Down('1', 0x02, '!', ShiftPressed)), 0x00030221u);
}

TEST(KeyRecordSteps, RightAltKeepsCharacterAndSkipsTheTables)
{
    EXPECT_EQ(Translated(Down(vk::Oem2, 0x35, '/', RightAltPressed)), 0x0008352Fu);
    EXPECT_EQ(Translated(Down('1', 0x02, '1', RightAltPressed)), 0x00080231u);
    EXPECT_EQ(Translated(Down(vk::F1, 0x3B, 0, RightAltPressed)), 0x0208FF01u);
}

TEST(KeyRecordSteps, OddKeypadDivide)
{
    EXPECT_EQ(Translated(Down(vk::Oem8, 0x35, '?', EnhancedKey)), 0x0000352Fu);
}

TEST(KeyRecordSteps, NavigationKeysDropTheirCharacter)
{
    EXPECT_EQ(Translated(Down(vk::Home, 0x47, '7')), 0x0200FF20u);
    EXPECT_EQ(Translated(Down(vk::Insert, 0x52, '0')), 0x0200FF29u);
}

TEST(KeyQueue, RepeatCountGivesThatManyEvents)
{
    KeyQueue q;
    KeyRecord r = Down('X', 0x2D, 'x');
    r.repeatCount = 3;
    q.Put(r);
    q.Put(Down('Y', 0x15, 'y'));
    EXPECT_EQ(q.ReadKey(), 0x00002D78u);
    EXPECT_EQ(q.ReadKey(), 0x00002D78u);
    EXPECT_EQ(q.KeyWaiting(), 0x03002D78u);  // untranslated, not taken
    EXPECT_EQ(q.ReadKey(), 0x00002D78u);
    EXPECT_EQ(q.ReadKey(), 0x00001579u);
    EXPECT_FALSE(q.HasKey());
    EXPECT_EQ(q.KeyWaiting(), 0u);
}

TEST(KeyQueue, AltKeypadCollection)
{
    KeyQueue q;
    KeyRecord alt = Down(vk::Menu, 0x38, 0, LeftAltPressed);
    auto pad = [](int d) { return Down(uint16_t(vk::Numpad0 + d), 0, 0, LeftAltPressed); };
    auto type = [&](std::initializer_list<int> digits) {
        q.Put(alt);
        for (int d : digits) q.Put(pad(d));
        q.Put(Up(Down(vk::Menu, 0x38, 0)));
    };
    type({2, 5, 1});
    ASSERT_TRUE(q.HasKey());
    EXPECT_EQ(q.ReadKey(), 0x000000FBu);
    type({2, 5, 5, 1});
    EXPECT_FALSE(q.HasKey());
    type({2, 5, 6});
    EXPECT_FALSE(q.HasKey());
    type({0});
    EXPECT_EQ(q.ReadKey(), 0x03000000u);
    // Alt released without digits: nothing.
    type({});
    EXPECT_FALSE(q.HasKey());
    // Keypad navigation keys (not the gray ones) count as digits.
    q.Put(alt);
    q.Put(Down(vk::Home, 0x47, 0, LeftAltPressed));                 // 7
    q.Put(Down(vk::Home, 0x47, 0, LeftAltPressed | EnhancedKey));   // gray Home: a key
    q.Put(Down(vk::Prior, 0x49, 0, LeftAltPressed));                // 9
    q.Put(Up(Down(vk::Menu, 0x38, 0)));
    EXPECT_EQ(q.ReadKey(), 0x0208FF20u);
    EXPECT_EQ(q.ReadKey(), 0x00000009u);
}

TEST(KeyQueue, FullRingMakesTheProducerWaitAndLosesNothing)
{
    KeyQueue q;
    const int total = 1000;
    std::atomic<int> put{0};
    std::thread producer([&] {
        for (int i = 0; i < total; ++i) {
            q.Put(Down('A', 0x1E, uint8_t(0x20 + i % 90)));
            ++put;
        }
    });
    // The ring holds 120; the producer must be waiting, not dropping.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (q.WaitingRecords() < KeyQueue::Slots - 1 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(q.WaitingRecords(), KeyQueue::Slots - 1);
    EXPECT_EQ(put.load(), KeyQueue::Slots - 1);
    for (int i = 0; i < total; ++i) ASSERT_EQ(q.ReadKey(), 0x00001E00u | (0x20 + i % 90)) << i;
    producer.join();
}

TEST(KeyQueue, ReadKeyWaitsForTheProducer)
{
    KeyQueue q;
    std::thread producer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        q.Put(Down('B', 0x30, 'b'));
    });
    EXPECT_FALSE(q.WaitForKey(0));
    EXPECT_EQ(q.ReadKey(), 0x00003062u);
    producer.join();
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(q.WaitForKey(40));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(35));
}

TEST(KeyQueue, HangupComesFirstAndEndOfInputDoesNotBlock)
{
    KeyQueue q;
    q.Put(Down('A', 0x1E, 'a'));
    q.PostHangup();
    EXPECT_EQ(q.KeyWaiting(), HangupEvent);
    EXPECT_TRUE(q.WaitForKey(0));
    EXPECT_EQ(q.ReadKey(), HangupEvent);
    EXPECT_EQ(q.ReadKey(), 0x00001E61u);
    q.PostEndOfInput();
    EXPECT_EQ(q.ReadKey(), HangupEvent);
    EXPECT_EQ(q.ReadKey(), HangupEvent);  // never waits for ever once input is gone
}

// A resize takes its place among the keys: those typed before it were meant
// for the old window (and must survive a window made too small to use), and
// however many resizes come before the next key, one is reported.
TEST(KeyQueue, ResizeComesInItsPlaceAmongTheKeys)
{
    KeyQueue q;
    KeyRecord a = Down('A', 0x1E, 'a');
    a.repeatCount = 2;
    q.Put(a);
    q.PostResize();
    q.PostResize();
    q.Put(Down('B', 0x30, 'b'));
    q.PostResize();
    EXPECT_EQ(q.KeyWaiting(), KeyRecordEvent(a));
    EXPECT_EQ(q.ReadKey(), 0x00001E61u);
    EXPECT_EQ(q.ReadKey(), 0x00001E61u);
    EXPECT_EQ(q.KeyWaiting(), ResizeEvent);
    EXPECT_EQ(q.ReadKey(), ResizeEvent);
    EXPECT_EQ(q.ReadKey(), 0x00003062u);
    EXPECT_FALSE(q.HasKey());
    q.PostResize();
    EXPECT_TRUE(q.WaitForKey(0));
    EXPECT_EQ(q.ReadKey(), ResizeEvent);
    EXPECT_FALSE(q.WaitForKey(0));
}

TEST(KeyQueue, InterruptReleasesAWaitingProducer)
{
    KeyQueue q;
    for (int i = 0; i < KeyQueue::Slots - 1; ++i) ASSERT_TRUE(q.Put(Down('A', 0x1E, 'a')));
    std::atomic<int> result{-1};
    std::thread producer([&] { result = q.Put(Down('B', 0x30, 'b')) ? 1 : 0; });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(result.load(), -1);
    q.Interrupt();
    producer.join();
    EXPECT_EQ(result.load(), 0);
}

}  // namespace
}  // namespace lumo
