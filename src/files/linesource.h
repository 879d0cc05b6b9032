// A text file read line by line as loading reads it: CR, LF and CR LF end a
// line, the last line needs no end, a line keeps at most 255 characters and
// the rest of it is skipped. A UTF-8 file that CP866 can hold is converted
// as it is read.
#pragma once

#include <string>
#include <vector>

#include "files/utf8file.h"

namespace lumo {

class LineSource {
public:
    // Bytes read at a time. Small: the buffer lives as long as the load, and
    // all that the text does not need adds to the editor's footprint.
    static constexpr size_t BufferSize = 16 * 1024;

    // Takes over `fd`. With `detect`, the file is first read through once to
    // tell whether it is UTF-8 (kind()).
    LineSource(int fd, bool detect);
    ~LineSource();
    LineSource(const LineSource&) = delete;
    LineSource& operator=(const LineSource&) = delete;

    // The next line in CP866; false at the end of the file or on a read error.
    bool Next(std::string& line);
    // Back to the first line (for the reload with compact lines).
    void Rewind();

    Utf8Kind kind() const { return kind_; }
    bool converting() const { return kind_ == Utf8Kind::Convertible; }
    bool bom() const { return bom_; }
    bool cut() const { return cut_; }      // some line lost characters
    bool error() const { return error_; }  // reading stopped on an error
    // The first line end met ("\r\n", "\n" or "\r"); empty when none yet.
    const std::string& firstEnd() const { return firstEnd_; }

private:
    bool Fill();

    int fd_;
    Utf8Kind kind_ = Utf8Kind::Bytes;
    bool bom_ = false;
    bool cut_ = false;
    bool error_ = false;
    bool eof_ = false;
    std::string firstEnd_;
    std::vector<char> buffer_;
    size_t pos_ = 0;
    size_t len_ = 0;
    std::string raw_;
};

}  // namespace lumo
