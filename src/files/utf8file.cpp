#include "files/utf8file.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "console/cp866.h"
#include "core/editor.h"

namespace lumo {

void Utf8Detector::Check(char32_t c, bool start)
{
    multibyte_ = true;
    if (start && c == 0xFEFF) {
        bom_ = true;
        return;
    }
    // Only characters that come back as themselves keep the file byte for
    // byte; a character shown by a control byte's glyph would be saved as
    // that control byte.
    int b = UnicodeToCp866(c);
    if (b < 0x80 || Cp866TextChar(static_cast<uint8_t>(b)) != c) unmappable_ = true;
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
    while (i < n) {
        // Runs of ASCII go eight bytes at a time.
        while (i + 8 <= n) {
            uint64_t word;
            std::memcpy(&word, p + i, 8);
            if (word & 0x8080808080808080ULL) break;
            i += 8;
        }
        if (i >= n) break;
        if (p[i] < 0x80) {
            ++i;
            continue;
        }
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
    fed_ += n;
}

Utf8Kind Utf8Detector::Result(bool whole) const
{
    if (invalid_ || (whole && pendingCount_ > 0) || !multibyte_) return Utf8Kind::Bytes;
    return unmappable_ ? Utf8Kind::Unmappable : Utf8Kind::Convertible;
}

namespace {

// How often `b` occurs in p[0..n): memchr skips the bytes between quickly.
size_t CountByte(const unsigned char* p, size_t n, unsigned char b)
{
    size_t count = 0;
    while (const void* hit = std::memchr(p, b, n)) {
        ++count;
        size_t k = static_cast<size_t>(static_cast<const unsigned char*>(hit) - p) + 1;
        p += k;
        n -= k;
    }
    return count;
}

}  // namespace

Utf8Kind DetectUtf8File(int fd, bool& bom, unsigned char* buffer, size_t size)
{
    Utf8Detector detector;
    off_t offset = 0;
    // Only what the line table can hold is loaded: past that many line ends
    // (a CR LF counts twice) the rest of a huge file need not be read.
    constexpr size_t EnoughLineEnds = 2 * (static_cast<size_t>(MaxLines) + 1);
    size_t lineEnds = 0;
    bool whole = true;
    for (;;) {
        ssize_t got = pread(fd, buffer, size, offset);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            bom = false;
            return Utf8Kind::Bytes;
        }
        if (got == 0) break;
        detector.Feed(buffer, static_cast<size_t>(got));
        if (detector.Invalid()) break;
        offset += got;
        lineEnds += CountByte(buffer, static_cast<size_t>(got), '\n') + CountByte(buffer, static_cast<size_t>(got), '\r');
        if (lineEnds > EnoughLineEnds) {
            whole = false;
            break;
        }
    }
    bom = detector.Bom();
    return detector.Result(whole);
}

std::string Utf8LineToCp866(std::string_view raw, bool& cut)
{
    std::string out;
    out.reserve(raw.size() < static_cast<size_t>(MaxText) ? raw.size() : MaxText);
    const auto* p = reinterpret_cast<const unsigned char*>(raw.data());
    size_t i = 0;
    while (i < raw.size()) {
        if (out.size() >= static_cast<size_t>(MaxText)) {
            cut = true;
            break;
        }
        char32_t c = 0;
        int k = DecodeUtf8(p + i, raw.size() - i, c);
        if (k <= 0) {
            // Only a sequence split where an over-long line was cut ends up
            // here; the line is cut there anyway.
            cut = true;
            break;
        }
        int b = UnicodeToCp866(c);
        out += static_cast<char>(b < 0 ? '?' : b);
        i += k;
    }
    return out;
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
