#include "files/linesource.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/editor.h"

namespace lumo {

namespace {

// Raw bytes kept of a line: 255 characters, three bytes each at most in a
// converted UTF-8 file (every CP866 character lies in the first plane).
constexpr size_t RawLimitBytes = MaxText;
constexpr size_t RawLimitUtf8 = 3 * MaxText;

}  // namespace

LineSource::LineSource(int fd, bool detect) : fd_(fd), buffer_(BufferSize)
{
    if (detect)
        kind_ = DetectUtf8File(fd_, bom_, reinterpret_cast<unsigned char*>(buffer_.data()), buffer_.size());
    Rewind();
}

LineSource::~LineSource()
{
    if (fd_ >= 0) close(fd_);
}

bool LineSource::Fill()
{
    pos_ = len_ = 0;
    if (eof_) return false;
    for (;;) {
        ssize_t got = read(fd_, buffer_.data(), buffer_.size());
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            if (got < 0) error_ = true;
            eof_ = true;
            return false;
        }
        len_ = static_cast<size_t>(got);
        return true;
    }
}

void LineSource::Rewind()
{
    pos_ = len_ = 0;
    eof_ = false;
    error_ = false;
    cut_ = false;
    if (lseek(fd_, 0, SEEK_SET) < 0) {
        error_ = eof_ = true;
        return;
    }
    if (converting() && bom_ && Fill()) pos_ = Utf8Bom.size();
}

bool LineSource::Next(std::string& line)
{
    const size_t limit = converting() ? RawLimitUtf8 : RawLimitBytes;
    raw_.clear();
    bool any = false;
    bool over = false;
    for (;;) {
        if (pos_ >= len_ && !Fill()) {
            if (!any) return false;
            break;  // the last line has no end
        }
        any = true;
        const char* start = buffer_.data() + pos_;
        size_t avail = len_ - pos_;
        // The line's end: the first LF, or a CR before it.
        const void* lf = std::memchr(start, '\n', avail);
        size_t k = lf ? static_cast<size_t>(static_cast<const char*>(lf) - start) : avail;
        if (const void* cr = std::memchr(start, '\r', k)) k = static_cast<size_t>(static_cast<const char*>(cr) - start);
        size_t room = limit - raw_.size();
        size_t take = k < room ? k : room;
        raw_.append(start, take);
        if (k > take) over = true;
        pos_ += k;
        if (k == avail) continue;
        const char* end = "\n";
        if (buffer_[pos_++] == '\r') {
            if (pos_ >= len_) Fill();
            if (pos_ < len_ && buffer_[pos_] == '\n') {
                ++pos_;
                end = "\r\n";
            } else {
                end = "\r";
            }
        }
        if (firstEnd_.empty()) firstEnd_ = end;
        break;
    }
    if (converting()) {
        line = Utf8LineToCp866(raw_, over);
    } else {
        line = raw_;
    }
    if (over) cut_ = true;
    return true;
}

}  // namespace lumo
