// The terminal key decoder on any bytes, cut into reads where the input
// says and arriving after the pauses it says: every record it gives is a
// key or a paste, what it holds back stays small, and waiting as the reader
// waits settles everything but an unfinished UTF-8 character.
//
// Input: chunks of a header byte (low 6 bits: length; high 2 bits: the
// pause before it, 0, 20, 60 or 1100 ms) and that many bytes.
#include "console/keyrecord.h"
#include "console/termdecode.h"
#include "fuzz_support.h"

using namespace lumo;

namespace {

// The most a decoder keeps between reads: the longest sequence it waits for
// (64 bytes, then it eats the rest as it comes), an ESC before it, and an
// X10 mouse report's three bytes.
constexpr size_t MaxPending = 64 + 8;

// Checks the records from `checked` on (and moves it to the end).
void CheckOutput(const TermDecoder& decoder, const std::vector<KeyRecord>& out, size_t& checked, size_t& pastesSeen)
{
    for (; checked < out.size(); ++checked) {
        const KeyRecord& r = out[checked];
        if (r.kind == KeyRecord::Paste) {
            ++pastesSeen;
            continue;
        }
        FUZZ_CHECK(r.kind == KeyRecord::Key, "a record of a kind the decoder does not make");
        FUZZ_CHECK(r.virtualKey != 0 || r.scanCode != 0 || r.character != 0 || r.unicode != 0, "an empty key record");
        FUZZ_CHECK(r.unicode == 0 || r.character == 0, "a record with both a CP866 byte and a code point");
        FUZZ_CHECK(r.unicode <= 0x10FFFF, "a code point past U+10FFFF");
    }
    FUZZ_CHECK(decoder.pastes.size() == pastesSeen, "paste records and pasted texts out of step");
    for (const PastedText& p : decoder.pastes) {
        FUZZ_CHECK(p.text.size() <= TermDecoder::PasteCap, "a paste over its cap");
        FUZZ_CHECK(!p.tooLarge || p.text.empty(), "a refused paste that kept its text");
    }
    FUZZ_CHECK(decoder.PendingBytes() <= MaxPending, "the decoder holds " + std::to_string(decoder.PendingBytes()) + " bytes");
    FUZZ_CHECK(decoder.PasteBytes() <= TermDecoder::PasteCap, "the paste being collected is over its cap");
    const int wait = decoder.MillisecondsToWait(0);
    FUZZ_CHECK(wait >= -1 && wait <= TermDecoder::PasteQuietMs, "a wait of " + std::to_string(wait) + " ms");
}

// What the reader does with each record: the Alt+keypad collection and the
// key event the editor gets.
void Deliver(AltKeypad& keypad, const std::vector<KeyRecord>& out)
{
    for (KeyRecord r : out) {
        if (!keypad.Accept(r)) continue;
        KeyEvent raw = KeyRecordEvent(r);
        if (raw != 0) (void)TranslateKeyEvent(raw);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static constexpr int Pauses[4] = {0, 20, 60, 1100};
    fuzz::Input in(data, size);
    TermDecoder decoder;
    AltKeypad keypad;
    std::vector<KeyRecord> out;
    size_t checked = 0;
    size_t pastesSeen = 0;
    long long now = 1000;
    while (!in.Empty()) {
        const uint8_t header = in.Byte();
        const std::string chunk = in.Take(header & 0x3F);
        const long long arrives = now + Pauses[header >> 6];
        // The reader's wait ends before the bytes come: it settles first.
        const int wait = decoder.MillisecondsToWait(now);
        if (wait >= 0 && now + wait <= arrives) decoder.Expire(now + wait, out);
        now = arrives;
        decoder.Feed(chunk, now, out);
        CheckOutput(decoder, out, checked, pastesSeen);
    }
    // The input stops: waiting as long as the decoder asks settles it.
    for (int round = 0; round < 8; ++round) {
        const int wait = decoder.MillisecondsToWait(now);
        if (wait < 0) break;
        now += wait;
        decoder.Expire(now, out);
        CheckOutput(decoder, out, checked, pastesSeen);
    }
    FUZZ_CHECK(decoder.MillisecondsToWait(now) == -1, "input that never settles");
    FUZZ_CHECK(!decoder.InPaste(), "a paste that never ends");
    // Only an unfinished UTF-8 character may wait for ever.
    FUZZ_CHECK(decoder.PendingBytes() <= 4, "settled with " + std::to_string(decoder.PendingBytes()) + " bytes held");
    Deliver(keypad, out);
    return 0;
}
