// Reading the abbreviations and key-definitions files. They are data a user
// (or another program) wrote, so nothing in them is trusted: CR, LF and CR LF
// all end a line, a line keeps a bounded number of bytes and the rest of it
// is skipped, a line holding NUL is reported so that it can be skipped, and
// no more than MaxBytes of a file is read. A file that is UTF-8 with every
// character in CP866 (as vim or nano write it) is converted.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lumo {

class SideFileReader {
public:
    // What is read of a side file at most: far beyond any real one.
    static constexpr size_t MaxBytes = 16u << 20;
    // Raw bytes kept of one line: 255 CP866 characters take at most 3 bytes
    // each in UTF-8, and a key definition has its index in front.
    static constexpr size_t MaxRawLine = 1024;

    SideFileReader() = default;
    ~SideFileReader();
    SideFileReader(const SideFileReader&) = delete;
    SideFileReader& operator=(const SideFileReader&) = delete;

    // Opens a regular file and tells its encoding. False when it cannot be read.
    bool Open(const std::string& path);
    // The next line's raw bytes (at most MaxRawLine of them); `nul` is set
    // when the line held a NUL byte. False at the end (or a read error).
    bool Next(std::string& raw, bool& nul);
    // The raw bytes as CP866 text of at most 255 characters.
    std::string Text(std::string_view raw) const;
    // The file is UTF-8 to convert.
    bool utf8() const { return utf8_; }

private:
    bool Fill();

    int fd_ = -1;
    bool utf8_ = false;
    std::vector<char> buffer_;
    size_t pos_ = 0;
    size_t len_ = 0;
    size_t total_ = 0;  // bytes read so far
    bool end_ = false;
    bool firstLine_ = true;
    bool skipLf_ = false;  // the last line ended in CR: an LF right after belongs to it
};

// True when the file at `path` is UTF-8 to convert (so that what is added
// to it is written in UTF-8 too).
bool SideFileIsUtf8(const std::string& path);
// True when `bytes`, as a whole side file, would be read as UTF-8 to
// convert. CP866 text may happen to look so (a box-drawing byte before a
// capital letter: "╨Р" is D0 90, the UTF-8 of "А") and would come back as
// other characters: a writer then writes it in UTF-8, which reads back
// exactly.
bool ReadsAsUtf8(std::string_view bytes);

}  // namespace lumo
