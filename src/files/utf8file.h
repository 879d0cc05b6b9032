// UTF-8 text files: telling whether a file is UTF-8 that CP866 can hold
// whole, and converting its lines to CP866 and back.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lumo {

enum class Utf8Kind {
    Bytes,        // not UTF-8 (or plain ASCII): loaded as its bytes
    // UTF-8 with multi-byte characters, every one of them in CP866 (for a
    // whole file: or given a spare byte of the text's own, Utf8Extras)
    Convertible,
    // UTF-8 with characters CP866 lacks (for a whole file: more of them than
    // there are spare bytes): loaded as bytes
    Unmappable,
};

// The characters CP866 lacks that a UTF-8 file holds, each with the byte it
// gets in the text (editor/charmap.h), in the order the file first has them.
using Utf8Extras = std::vector<std::pair<char32_t, uint8_t>>;
// Per byte: the file holds the CP866 character of that byte.
using ByteSet = std::array<bool, 256>;

// Looks at a file's bytes as they stream past.
class Utf8Detector {
public:
    void Feed(const unsigned char* p, size_t n);
    // `whole`: the file was fed to its end (else a character cut at the
    // end of what was fed is no fault).
    Utf8Kind Result(bool whole = true) const;
    bool Bom() const { return bom_; }
    // Not UTF-8: nothing later can change the result.
    bool Invalid() const { return invalid_; }
    // Some multi-byte sequence (or the byte-order mark) was met.
    bool Multibyte() const { return multibyte_; }
    // The bytes of the CP866 characters met, and the characters CP866 lacks
    // given bytes that none of those is (false: too many of them).
    const ByteSet& Present() const { return present_; }
    bool AssignExtras(Utf8Extras& extras) const;

private:
    void Check(char32_t c, bool atFileStart);

    bool invalid_ = false;
    bool multibyte_ = false;
    bool unmappable_ = false;  // more characters CP866 lacks than there can be spare bytes
    ByteSet present_{};
    std::vector<char32_t> lacking_;
    bool bom_ = false;
    size_t fed_ = 0;           // bytes fed before this call
    size_t pendingStart_ = 0;  // file offset of the stashed sequence
    unsigned char pending_[4] = {};
    size_t pendingCount_ = 0;
};

// Line ends (CR and LF both) in p[0..n).
size_t CountLineEnds(const unsigned char* p, size_t n);

// The judgement on a whole file, fed the file's successive reads from its
// start. It stops wanting bytes once they can change nothing: the file is no
// UTF-8, or it holds more line ends than the line table can take lines (the
// rest of a huge file is never loaded, so it is not judged either).
class Utf8FileDetector {
public:
    // The next read, at offset(). False when the judgement is made.
    bool Feed(const unsigned char* p, size_t n);
    // The same in two steps, for a reader that finds the line ends itself:
    // the bytes, then (before the next read) how many CR and LF bytes they
    // held.
    bool FeedBytes(const unsigned char* p, size_t n);
    bool AddLineEnds(size_t count);
    // The file ended / a read failed (a read error gives Bytes: the load
    // itself meets the error).
    void End();
    void Fail();

    bool done() const { return done_; }
    // Bytes fed so far: where the next read starts.
    size_t offset() const { return offset_; }
    // A multi-byte sequence was met and the bytes are still UTF-8: the file
    // may well be one to convert.
    bool likelyUtf8() const { return detector_.Multibyte() && !detector_.Invalid(); }
    // Once done().
    Utf8Kind kind() const { return kind_; }
    bool bom() const { return bom_; }
    // Once done() with Convertible: the bytes given to characters CP866
    // lacks, and the bytes of the CP866 characters the file holds.
    const Utf8Extras& extras() const { return extras_; }
    const ByteSet& present() const { return detector_.Present(); }

private:
    void Finish(Utf8Kind kind, bool bom);

    Utf8Detector detector_;
    size_t offset_ = 0;
    size_t lineEnds_ = 0;
    bool done_ = false;
    Utf8Kind kind_ = Utf8Kind::Bytes;
    bool bom_ = false;
    Utf8Extras extras_;
};

// Reads the whole file open on `fd` (from its start, without moving its
// offset) through the caller's `buffer`. A read error gives Bytes: the load
// itself then meets the error.
Utf8Kind DetectUtf8File(int fd, bool& bom, unsigned char* buffer, size_t size, Utf8Extras* extras = nullptr,
                        ByteSet* present = nullptr);
// Goes on with `detector` from its offset() to its judgement, reading the
// file open on `fd` without moving its offset.
void FinishUtf8Detection(int fd, Utf8FileDetector& detector, unsigned char* buffer, size_t size);

// Characters of a Convertible file's line in CP866, at most `maxChars` of
// them, into `out`. Returns the bytes of `raw` used: fewer than all when
// `maxChars` were reached or a character is cut off at the end of `raw`.
size_t Utf8ToCp866Part(std::string_view raw, size_t maxChars, std::string& out,
                       const Utf8Extras* extras = nullptr);
// One line of a Convertible file in CP866, at most 255 characters; `cut`
// is set when characters were dropped.
std::string Utf8LineToCp866(std::string_view raw, bool& cut);
// The same into `out` (its storage reused from line to line).
void Utf8LineToCp866(std::string_view raw, bool& cut, std::string& out);
// CP866 text as the UTF-8 bytes of a file (bytes below 0x80 unchanged).
void AppendCp866AsUtf8(std::string& out, std::string_view text);
// The UTF-8 form of every byte of a text through its character map.
struct Utf8Encoding {
    explicit Utf8Encoding(const std::array<char32_t, 256>& map);
    void Append(std::string& out, std::string_view text) const;
    std::array<std::array<char, 4>, 256> bytes;
    std::array<uint8_t, 256> length;
};

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";

}  // namespace lumo
