// A text file read line by line as loading reads it: CR, LF and CR LF end a
// line, the last line needs no end, a line keeps at most 255 characters and
// the rest of it is skipped. A UTF-8 file that CP866 can hold is converted
// as it is read.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "files/utf8file.h"

namespace lumo {

class LineSource {
public:
    // Bytes read at a time. Small: the buffer lives as long as the load, and
    // all that the text does not need adds to the editor's footprint.
    static constexpr size_t BufferSize = 16 * 1024;

    enum class Detection {
        Off,
        // The file is read through once first (kind() known from the start).
        First,
        // The file is read as bytes while it is judged; Settle() tells when
        // the lines read must be read again, converted.
        Along,
    };

    // Takes over `fd`. With `detect`, the file is first read through once to
    // tell whether it is UTF-8 (Detection::First).
    LineSource(int fd, bool detect);
    LineSource(int fd, Detection detection);
    ~LineSource();
    LineSource(const LineSource&) = delete;
    LineSource& operator=(const LineSource&) = delete;

    // The next line in CP866; false at the end of the file or on a read error.
    bool Next(std::string& line);
    // The same without a copy: `line` stays valid until the next call.
    bool Next(std::string_view& line);
    // Back to the first line (for the reload with compact lines).
    void Rewind();

    // Detection::Along: makes the judgement now if it is still open (reading
    // on from where it stands, without moving the lines' place). True when
    // the file turned out to be UTF-8 to convert: the source has started
    // again from its first line, converting, and the lines read before are
    // to be dropped. False otherwise, the lines read so far standing.
    bool Settle();
    // Detection::Along: a Settle() now is likely to start again (multi-byte
    // UTF-8 met, nothing invalid yet): the lines read so far are likely lost.
    bool likelyUtf8() const { return detecting_ && detector_.likelyUtf8(); }

    // What the file is; with Detection::Along only once settled.
    Utf8Kind kind() const { return kind_; }
    bool converting() const { return converting_; }
    // A converted file's characters CP866 lacks with the bytes they get, and
    // the bytes of the CP866 characters it holds (once the kind is known).
    const Utf8Extras& extras() const { return extras_; }
    const ByteSet& present() const { return present_; }
    // Before the first line: converts with other bytes for those characters
    // (the ones the text inserted into gives them) / reads the file as its
    // bytes after all (the text cannot hold them).
    void UseExtras(const Utf8Extras& extras);
    void ReadAsBytes();
    bool bom() const { return bom_; }
    bool cut() const { return cut_; }      // some line lost characters
    bool error() const { return error_; }  // reading stopped on an error
    // The first line end met ("\r\n", "\n" or "\r"); empty when none yet.
    const std::string& firstEnd() const { return firstEnd_; }
    // What the line last read held beyond its first 255 characters (in
    // CP866 like the line); valid until the next call.
    std::string_view rest() const { return rest_; }
    // The line last read ended with a line end (false only for a file's
    // last line when the file does not end with one).
    bool ended() const { return ended_; }

private:
    bool Fill();
    // The read's bytes to the judgement still open.
    void Judge(ssize_t got);
    void TakeJudgement();
    unsigned char* bytes() { return reinterpret_cast<unsigned char*>(buffer_.data()); }

    int fd_;
    Utf8Kind kind_ = Utf8Kind::Bytes;
    bool converting_ = false;
    Utf8Extras extras_;
    ByteSet present_{};
    bool detecting_ = false;  // Detection::Along, judgement still open
    Utf8FileDetector detector_;
    bool bom_ = false;
    bool cut_ = false;
    bool error_ = false;
    bool eof_ = false;
    std::string firstEnd_;
    std::vector<char> buffer_;
    size_t pos_ = 0;
    size_t len_ = 0;
    // Where the next CR in the buffer is (len_ when none), from pos_ on;
    // NotSought when not looked for since the last read.
    static constexpr size_t NotSought = static_cast<size_t>(-1);
    size_t nextCr_ = NotSought;
    std::string raw_;
    std::string converted_;
    std::string over_;  // raw bytes beyond the line's limit
    std::string rest_;  // the same as the line's characters beyond 255
    bool ended_ = true;
    // CR and LF bytes met in the buffer's read so far (for the judgement).
    size_t lineEnds_ = 0;
};

}  // namespace lumo
