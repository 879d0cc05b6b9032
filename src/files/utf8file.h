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

// Reads the whole file open on `fd` (from its start, without moving its
// offset) through the caller's `buffer`. A read error gives Bytes: the load
// itself then meets the error.
Utf8Kind DetectUtf8File(int fd, bool& bom, unsigned char* buffer, size_t size);

// One line of a Convertible file in CP866, at most 255 characters; `cut`
// is set when characters were dropped.
std::string Utf8LineToCp866(std::string_view raw, bool& cut);
// CP866 text as the UTF-8 bytes of a file (bytes below 0x80 unchanged).
void AppendCp866AsUtf8(std::string& out, std::string_view text);

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";

}  // namespace lumo
