// Terminal input bytes -> key records.
//
// A pure component: feed it the bytes read from the terminal together with
// the time they arrived, and it returns key records (keyrecord.h). It knows
// plain xterm sequences, xterm's modifyOtherKeys (CSI 27;m;code~), the kitty
// keyboard protocol (CSI code:shifted:base;mods:event;text u), bracketed
// paste (collected into one text, pastes), and drops mouse, focus and
// unknown reports and the terminal's string replies (OSC, DCS, APC, PM, SOS). Characters arrive as
// UTF-8 and leave as CP866 bytes; the scan code of a character comes from its
// key on a US layout, or for a Cyrillic letter from its key on the Russian
// layout (or, with the kitty protocol, from the reported base-layout key).
//
// Time matters in one place: an Esc byte may start a sequence or be the Esc
// key. When input stops in the middle of something, the caller waits at most
// MillisecondsToWait() for more and then calls Expire(), which settles it (a
// lone Esc becomes the Esc key). A UTF-8 character whose bytes are split
// across reads waits for its last byte however long that takes; a string
// reply or a paste that stops without its terminator ends after a longer
// quiet time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "console/keyrecord.h"

namespace lumo {

// Answers to the console's own queries, routed out of the key stream.
enum class TermReply : uint8_t {
    KittyFlags,        // CSI ? flags u: the kitty keyboard protocol is there
    DeviceAttributes,  // CSI ? ... c: the terminal has answered everything before
};

class TermDecoder {
public:
    static constexpr int EscapeQuietMs = 50;
    // A paste that stops without its end marker ends after this much quiet.
    static constexpr int PasteQuietMs = 1000;
    // Likewise a string reply (OSC, DCS, ...) without its terminator.
    static constexpr int StringQuietMs = 250;
    // A string reply longer than this is no reply: it ends there.
    static constexpr size_t StringCap = 64 * 1024;
    // Pasted text kept at most; a longer paste is delivered as refused.
    static constexpr size_t PasteCap = 16u << 20;

    void Feed(const char* data, size_t length, long long nowMs, std::vector<KeyRecord>& out);
    void Feed(const std::string& bytes, long long nowMs, std::vector<KeyRecord>& out)
    {
        Feed(bytes.data(), bytes.size(), nowMs, out);
    }
    // Settles input that has waited long enough.
    void Expire(long long nowMs, std::vector<KeyRecord>& out);
    // The caller could not read for a while (its key queue was full): what
    // is pending has not been waiting on the terminal, whose next bytes may
    // have been there all along, so its quiet time starts again now.
    void RestartQuietTime(long long nowMs) { lastInputMs_ = nowMs; }
    // How long to wait for more input before calling Expire; -1 when nothing
    // is pending.
    int MillisecondsToWait(long long nowMs) const;
    // Forgets everything pending (after the terminal was handed to a child).
    void Reset();

    bool InPaste() const { return paste_; }
    // Bytes held back for the rest of a sequence or character, and pasted
    // text collected so far: what the decoder keeps between calls.
    size_t PendingBytes() const { return buf_.size(); }
    size_t PasteBytes() const { return pasteText_.text.size(); }

    // Replies seen so far; the caller takes them out.
    std::vector<TermReply> replies;
    // Finished pastes, in order; each has one KeyRecord::Paste record in the
    // output at its place among the keys. The caller takes them out.
    std::vector<PastedText> pastes;

    // One decoded key before it becomes a record (defined in the .cpp).
    struct Key;

private:
    void Process(long long nowMs, bool settle, std::vector<KeyRecord>& out);
    size_t DecodeOne(size_t pos, bool settle, std::vector<KeyRecord>& out);
    size_t DecodeEscape(size_t pos, bool settle, std::vector<KeyRecord>& out);
    // Decodes the CSI or SS3 sequence at pos (its ESC); 0 = incomplete.
    size_t DecodeSequence(size_t pos, bool alt, std::vector<KeyRecord>& out);
    size_t DecodeCsi(size_t pos, bool alt, std::vector<KeyRecord>& out);
    size_t DecodeSs3(size_t pos, bool alt, std::vector<KeyRecord>& out);
    size_t DecodePaste(size_t pos, bool settle, long long nowMs, std::vector<KeyRecord>& out);
    size_t SkipString(size_t pos);
    void EndString();
    void PasteByte(unsigned char b);
    void PasteCharacter(char32_t c);  // as its UTF-8 bytes
    void EndPaste(std::vector<KeyRecord>& out);
    void ByteKey(unsigned char b, bool alt, std::vector<KeyRecord>& out);
    void CharKey(char32_t c, bool alt, std::vector<KeyRecord>& out);
    void Emit(const Key& key, std::vector<KeyRecord>& out);

    std::string buf_;
    long long lastInputMs_ = 0;
    bool paste_ = false;
    bool pasteCr_ = false;      // the last pasted byte was CR
    PastedText pasteText_;      // the paste being collected
    bool inString_ = false;     // inside a string reply, until its terminator
    size_t stringLength_ = 0;
    bool utf8Held_ = false;     // the buffer ends in an incomplete UTF-8 character
    bool skipCsi_ = false;      // eating the rest of an over-long sequence
    bool rightAltDown_ = false; // kitty reports the right Alt key itself
};

}  // namespace lumo
