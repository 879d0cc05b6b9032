#include "files/utf8file.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include "console/cp866.h"
#include "editor/charmap.h"
#include "editor/editor.h"

namespace lumo {

namespace {

// The Russian letters in UTF-8 (А-я as D0 90..D1 8F, Ё as D0 81, ё as D1 91)
// and their CP866 bytes, by the lead's low bit and the continuation's six.
constexpr std::array<uint8_t, 128> LetterBytes = [] {
    std::array<uint8_t, 128> table{};
    for (int i = 0x10; i < 0x40; ++i) table[i] = uint8_t(0x80 + i - 0x10);  // А-п
    for (int i = 0; i < 0x10; ++i) table[0x40 + i] = uint8_t(0xE0 + i);     // р-я
    table[0x01] = 0xF0;                                                      // Ё
    table[0x40 + 0x11] = 0xF1;                                               // ё
    return table;
}();

// The CP866 byte of the two bytes `lead`, `next` when they are a Russian
// letter, else 0. Without a branch: in a Russian text letters and blanks
// take turns too irregularly for a branch to be guessed.
inline uint8_t LetterByte(unsigned char lead, unsigned char next)
{
    const bool two = ((lead & 0xFE) == 0xD0) & ((next & 0xC0) == 0x80);
    const uint8_t byte = LetterBytes[((lead & 1u) << 6) | (next & 0x3Fu)];
    return two ? byte : 0;
}

}  // namespace

void Utf8Detector::Check(char32_t c, bool start)
{
    multibyte_ = true;
    // The common case first: the letters А-я come back as themselves.
    if (c >= 0x0410 && c <= 0x044F) return;
    if (start && c == 0xFEFF) {
        bom_ = true;
        return;
    }
    // Only characters that come back as themselves keep the file byte for
    // byte; a character shown by a control byte's glyph would be saved as
    // that control byte.
    int b = UnicodeToCp866(c);
    if (b >= 0x80 && Cp866TextChar(static_cast<uint8_t>(b)) == c) {
        present_[b] = true;
        return;
    }
    // A character CP866 lacks: it will need a spare byte of its own.
    if (unmappable_ || std::find(lacking_.begin(), lacking_.end(), c) != lacking_.end()) return;
    constexpr size_t SpareBytes = 56;
    if (lacking_.size() >= SpareBytes) unmappable_ = true;
    else lacking_.push_back(c);
}

bool Utf8Detector::AssignExtras(Utf8Extras& extras) const
{
    extras.clear();
    if (unmappable_) return false;
    ByteSet taken = present_;
    for (char32_t c : lacking_) {
        int b = ChooseSpareByte(c, taken);
        if (b < 0) return false;
        taken[b] = true;
        extras.emplace_back(c, static_cast<uint8_t>(b));
    }
    return true;
}

void Utf8Detector::Feed(const unsigned char* p, size_t n)
{
    if (invalid_) return;
    size_t i = 0;
    char32_t c = 0;
    while (pendingCount_ > 0 && i < n) {
        pending_[pendingCount_++] = p[i++];
        int k = DecodeUtf8(pending_, pendingCount_, c);
        if (k == 0) continue;
        if (k < 0 || static_cast<size_t>(k) != pendingCount_) {
            invalid_ = true;
            return;
        }
        Check(c, pendingStart_ == 0);
        pendingCount_ = 0;
    }
    // The common bytes first, a step each: ASCII, and the letters А-я (Ё
    // and ё go to Check, which notes their bytes). A run of ASCII is
    // skipped eight bytes at a time once two of them follow each other.
    // Kept in a local: a store to a member could be a store to the bytes
    // read, and would make every byte be loaded again.
    bool letters = false;
    while (i < n) {
        while (i + 1 < n) {
            const unsigned char b = p[i];
            const uint8_t letter = LetterByte(b, p[i + 1]);
            const bool ascii = b < 0x80;
            if (!ascii && (letter == 0 || letter >= 0xF0)) break;
            letters |= !ascii;
            i += ascii ? 1 : 2;
            if (ascii && p[i] < 0x80) {
                while (i + 8 <= n) {
                    uint64_t word;
                    std::memcpy(&word, p + i, 8);
                    if (word & 0x8080808080808080ULL) break;
                    i += 8;
                }
            }
        }
        if (i >= n) break;
        const unsigned char b = p[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        // Other two-byte sequences decoded on the spot.
        if (b >= 0xC2 && b <= 0xDF && i + 1 < n && (p[i + 1] & 0xC0) == 0x80) {
            Check((char32_t(b & 0x1F) << 6) | (p[i + 1] & 0x3F), false);
            i += 2;
            continue;
        }
        if (letters) multibyte_ = true;
        int k = DecodeUtf8(p + i, n - i, c);
        if (k < 0) {
            invalid_ = true;
            return;
        }
        if (k == 0) {
            pendingStart_ = fed_ + i;
            fed_ += n;
            pendingCount_ = n - i;
            std::memcpy(pending_, p + i, pendingCount_);
            return;
        }
        Check(c, fed_ + i == 0);
        i += k;
    }
    if (letters) multibyte_ = true;
    fed_ += n;
}

Utf8Kind Utf8Detector::Result(bool whole) const
{
    if (invalid_ || (whole && pendingCount_ > 0) || !multibyte_) return Utf8Kind::Bytes;
    return unmappable_ || !lacking_.empty() ? Utf8Kind::Unmappable : Utf8Kind::Convertible;
}

// The C library's search takes many bytes a step; lines are long enough
// that a call per line costs little.
size_t CountLineEnds(const unsigned char* p, size_t n)
{
    size_t count = 0;
    for (const unsigned char ch : {'\n', '\r'}) {
        const unsigned char* at = p;
        const unsigned char* end = p + n;
        while (at < end && (at = static_cast<const unsigned char*>(std::memchr(at, ch, size_t(end - at))))) {
            ++count;
            ++at;
        }
    }
    return count;
}

void Utf8FileDetector::Finish(Utf8Kind kind, bool bom)
{
    done_ = true;
    kind_ = kind;
    bom_ = bom;
    // Characters CP866 lacks take spare bytes while there are some.
    if (kind_ == Utf8Kind::Unmappable && detector_.AssignExtras(extras_)) kind_ = Utf8Kind::Convertible;
}

bool Utf8FileDetector::Feed(const unsigned char* p, size_t n)
{
    return FeedBytes(p, n) && AddLineEnds(CountLineEnds(p, n));
}

bool Utf8FileDetector::FeedBytes(const unsigned char* p, size_t n)
{
    if (done_) return false;
    detector_.Feed(p, n);
    if (detector_.Invalid()) {
        Finish(Utf8Kind::Bytes, detector_.Bom());
        return false;
    }
    offset_ += n;
    return true;
}

bool Utf8FileDetector::AddLineEnds(size_t count)
{
    if (done_) return false;
    // Only what the line table can hold is loaded: past that many line ends
    // (a CR LF counts twice) the rest of a huge file need not be judged.
    constexpr size_t EnoughLineEnds = 2 * (static_cast<size_t>(MaxLines) + 1);
    lineEnds_ += count;
    if (lineEnds_ > EnoughLineEnds) {
        Finish(detector_.Result(false), detector_.Bom());
        return false;
    }
    return true;
}

void Utf8FileDetector::End()
{
    if (!done_) Finish(detector_.Result(true), detector_.Bom());
}

void Utf8FileDetector::Fail()
{
    if (!done_) Finish(Utf8Kind::Bytes, false);
}

void FinishUtf8Detection(int fd, Utf8FileDetector& detector, unsigned char* buffer, size_t size)
{
    while (!detector.done()) {
        ssize_t got = pread(fd, buffer, size, static_cast<off_t>(detector.offset()));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) detector.Fail();
        else if (got == 0) detector.End();
        else detector.Feed(buffer, static_cast<size_t>(got));
    }
}

Utf8Kind DetectUtf8File(int fd, bool& bom, unsigned char* buffer, size_t size, Utf8Extras* extras,
                        ByteSet* present)
{
    Utf8FileDetector detector;
    FinishUtf8Detection(fd, detector, buffer, size);
    bom = detector.bom();
    if (extras) *extras = detector.extras();
    if (present) *present = detector.present();
    return detector.kind();
}

size_t Utf8ToCp866Part(std::string_view raw, size_t maxChars, std::string& out, const Utf8Extras* extras)
{
    // Written in place: one CP866 byte per character.
    out.resize(std::min(maxChars, raw.size()));
    char* o = out.data();
    size_t k = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(raw.data());
    const size_t n = raw.size();
    size_t i = 0;
    while (i < n && k < maxChars) {
        // ASCII and the Russian letters, the common case, a step each.
        while (i + 1 < n && k < maxChars) {
            const unsigned char b = p[i];
            const uint8_t letter = LetterByte(b, p[i + 1]);
            const bool ascii = b < 0x80;
            if (!ascii && letter == 0) break;
            o[k++] = static_cast<char>(ascii ? b : letter);
            i += ascii ? 1 : 2;
        }
        if (i >= n || k >= maxChars) break;
        const unsigned char b = p[i];
        if (b < 0x80) {
            o[k++] = static_cast<char>(b);
            ++i;
            continue;
        }
        char32_t c = 0;
        int len = DecodeUtf8(p + i, n - i, c);
        // Only a sequence split where an over-long line was cut ends up
        // here: the caller goes on from there.
        if (len <= 0) break;
        int cp = UnicodeToCp866(c);
        if (cp < 0x80 || Cp866TextChar(static_cast<uint8_t>(cp)) != c) {
            // A character CP866 lacks: the byte the text gave it.
            cp = '?';
            if (extras)
                for (const auto& [ch, byte] : *extras)
                    if (ch == c) cp = byte;
        }
        o[k++] = static_cast<char>(cp);
        i += static_cast<size_t>(len);
    }
    out.resize(k);
    return i;
}

void Utf8LineToCp866(std::string_view raw, bool& cut, std::string& out)
{
    if (Utf8ToCp866Part(raw, MaxText, out) < raw.size()) cut = true;
}

std::string Utf8LineToCp866(std::string_view raw, bool& cut)
{
    std::string out;
    Utf8LineToCp866(raw, cut, out);
    return out;
}

Utf8Encoding::Utf8Encoding(const std::array<char32_t, 256>& map)
{
    for (int b = 0; b < 256; ++b) {
        std::string s;
        AppendUtf8(s, b < 0x80 ? char32_t(b) : map[b]);
        length[b] = static_cast<uint8_t>(s.size());
        std::copy(s.begin(), s.end(), bytes[b].begin());
    }
}

void Utf8Encoding::Append(std::string& out, std::string_view text) const
{
    // Written in place: four bytes a character at most.
    const size_t start = out.size();
    out.resize(start + 4 * text.size());
    char* o = out.data() + start;
    for (char ch : text) {
        auto b = static_cast<unsigned char>(ch);
        if (b < 0x80) {
            *o++ = ch;
        } else {
            std::memcpy(o, bytes[b].data(), 4);
            o += length[b];
        }
    }
    out.resize(static_cast<size_t>(o - out.data()));
}

void AppendCp866AsUtf8(std::string& out, std::string_view text)
{
    for (char ch : text) {
        auto b = static_cast<unsigned char>(ch);
        if (b < 0x80) out += ch;
        else AppendUtf8(out, Cp866TextChar(b));
    }
}

}  // namespace lumo
