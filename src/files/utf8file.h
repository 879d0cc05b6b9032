// UTF-8 text files: telling whether a file is UTF-8 that CP866 can hold
// whole, and converting its lines to CP866 and back.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lumo {

enum class Utf8Kind {
    Bytes,        // not UTF-8 (or plain ASCII): loaded as its bytes
    Convertible,  // UTF-8 with multi-byte characters, every one of them in CP866
    Unmappable,   // UTF-8, but some character has no CP866 byte: loaded as bytes
};

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

private:
    void Check(char32_t c, bool atFileStart);

    bool invalid_ = false;
    bool multibyte_ = false;
    bool unmappable_ = false;
    bool bom_ = false;
    size_t fed_ = 0;           // bytes fed before this call
    size_t pendingStart_ = 0;  // file offset of the stashed sequence
    unsigned char pending_[4] = {};
    size_t pendingCount_ = 0;
};

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

private:
    void Finish(Utf8Kind kind, bool bom);

    Utf8Detector detector_;
    size_t offset_ = 0;
    size_t lineEnds_ = 0;
    bool done_ = false;
    Utf8Kind kind_ = Utf8Kind::Bytes;
    bool bom_ = false;
};

// Reads the whole file open on `fd` (from its start, without moving its
// offset) through the caller's `buffer`. A read error gives Bytes: the load
// itself then meets the error.
Utf8Kind DetectUtf8File(int fd, bool& bom, unsigned char* buffer, size_t size);
// Goes on with `detector` from its offset() to its judgement, reading the
// file open on `fd` without moving its offset.
void FinishUtf8Detection(int fd, Utf8FileDetector& detector, unsigned char* buffer, size_t size);

// One line of a Convertible file in CP866, at most 255 characters; `cut`
// is set when characters were dropped.
std::string Utf8LineToCp866(std::string_view raw, bool& cut);
// The same into `out` (its storage reused from line to line).
void Utf8LineToCp866(std::string_view raw, bool& cut, std::string& out);
// CP866 text as the UTF-8 bytes of a file (bytes below 0x80 unchanged).
void AppendCp866AsUtf8(std::string& out, std::string_view text);

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";

}  // namespace lumo
