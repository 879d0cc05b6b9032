#include "files/linesource.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "editor/editor.h"

namespace lumo {

namespace {

// Raw bytes kept of a line: 255 characters, three bytes each at most in a
// converted UTF-8 file (every CP866 character lies in the first plane).
constexpr size_t RawLimitBytes = MaxText;
constexpr size_t RawLimitUtf8 = 3 * MaxText;

}  // namespace

LineSource::LineSource(int fd, bool detect) : LineSource(fd, detect ? Detection::First : Detection::Off) {}

LineSource::LineSource(int fd, Detection detection) : fd_(fd), buffer_(BufferSize)
{
    if (detection == Detection::First) {
        kind_ = DetectUtf8File(fd_, bom_, bytes(), buffer_.size(), &extras_, &present_);
        converting_ = kind_ == Utf8Kind::Convertible;
    }
    detecting_ = detection == Detection::Along;
    Rewind();
}

LineSource::~LineSource()
{
    if (fd_ >= 0) close(fd_);
}

void LineSource::TakeJudgement()
{
    detecting_ = false;
    kind_ = detector_.kind();
    bom_ = detector_.bom();
    extras_ = detector_.extras();
    present_ = detector_.present();
}

void LineSource::Judge(ssize_t got)
{
    if (got < 0) detector_.Fail();
    else if (got == 0) detector_.End();
    else detector_.FeedBytes(bytes(), static_cast<size_t>(got));
    if (detector_.done()) TakeJudgement();
}

bool LineSource::Fill()
{
    // The buffer's read has been gone through: every CR and LF in it has
    // been met as a line end, and their count goes to the judgement before
    // the next read, as a judgement of its own counting them would.
    if (detecting_ && len_ > 0 && !detector_.AddLineEnds(lineEnds_)) TakeJudgement();
    lineEnds_ = 0;
    pos_ = len_ = 0;
    nextCr_ = NotSought;
    if (eof_) return false;
    for (;;) {
        ssize_t got = read(fd_, buffer_.data(), buffer_.size());
        if (got < 0 && errno == EINTR) continue;
        // Every read goes to the judgement too: one pass over the file.
        if (detecting_) Judge(got);
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
    nextCr_ = NotSought;
    lineEnds_ = 0;
    eof_ = false;
    error_ = false;
    cut_ = false;
    // An open judgement is fed the file again from its start.
    if (detecting_) detector_ = Utf8FileDetector();
    if (lseek(fd_, 0, SEEK_SET) < 0) {
        error_ = eof_ = true;
        if (detecting_) Settle();
        return;
    }
    if (converting_ && bom_ && Fill()) pos_ = Utf8Bom.size();
}

bool LineSource::Settle()
{
    if (detecting_) {
        // The line ends of the buffer's read not yet gone through.
        const size_t rest = pos_ < len_ ? CountLineEnds(bytes() + pos_, len_ - pos_) : 0;
        if (len_ > 0) detector_.AddLineEnds(lineEnds_ + rest);
        lineEnds_ = 0;
        // A buffer of its own: the lines' buffer may hold lines not yet read.
        std::vector<unsigned char> spare(BufferSize);
        FinishUtf8Detection(fd_, detector_, spare.data(), spare.size());
        TakeJudgement();
    }
    if (kind_ != Utf8Kind::Convertible || converting_) return false;
    converting_ = true;
    firstEnd_.clear();
    Rewind();
    return true;
}

void LineSource::UseExtras(const Utf8Extras& extras)
{
    extras_ = extras;
    Rewind();
}

void LineSource::ReadAsBytes()
{
    converting_ = false;
    kind_ = Utf8Kind::Unmappable;
    Rewind();
}

bool LineSource::Next(std::string& line)
{
    std::string_view view;
    if (!Next(view)) return false;
    line.assign(view);
    return true;
}

bool LineSource::Next(std::string_view& line)
{
    const size_t limit = converting_ ? RawLimitUtf8 : RawLimitBytes;
    raw_.clear();
    over_.clear();
    rest_.clear();
    bool any = false;
    bool over = false;
    bool inBuffer = false;  // `line` points into the buffer, else raw_ holds it
    for (;;) {
        if (pos_ >= len_ && !Fill()) {
            if (!any) return false;
            ended_ = false;  // the last line has no end
            break;
        }
        const char* start = buffer_.data() + pos_;
        size_t avail = len_ - pos_;
        // The line's end: the first LF, or a CR before it. The next CR is
        // looked for only once it has been passed: a file without any costs
        // one search a read, not one a line.
        if (nextCr_ == NotSought || nextCr_ < pos_) {
            const void* cr = std::memchr(start, '\r', avail);
            nextCr_ = cr ? static_cast<size_t>(static_cast<const char*>(cr) - buffer_.data()) : len_;
        }
        const void* lf = std::memchr(start, '\n', avail);
        size_t k = lf ? static_cast<size_t>(static_cast<const char*>(lf) - start) : avail;
        if (nextCr_ - pos_ < k) k = nextCr_ - pos_;
        size_t room = limit - raw_.size();
        size_t take = k < room ? k : room;
        if (k > take) {
            // Kept apart: a line saved unchanged goes back whole.
            over = true;
            over_.append(start + take, k - take);
        }
        pos_ += k;
        if (k == avail) {
            // The line goes on in the next read.
            raw_.append(start, take);
            any = true;
            continue;
        }
        if (!any) {
            line = std::string_view(start, take);
            inBuffer = true;
        } else {
            raw_.append(start, take);
        }
        any = true;
        const char* end = "\n";
        ++lineEnds_;  // counted in the read it lies in
        if (buffer_[pos_++] == '\r') {
            if (pos_ >= len_) {
                // The next read reuses the buffer.
                if (inBuffer) raw_.assign(line);
                inBuffer = false;
                Fill();
            }
            if (pos_ < len_ && buffer_[pos_] == '\n') {
                ++pos_;
                ++lineEnds_;
                end = "\r\n";
            } else {
                end = "\r";
            }
        }
        if (firstEnd_.empty()) firstEnd_ = end;
        ended_ = true;
        break;
    }
    if (!inBuffer) line = raw_;
    if (converting_) {
        size_t used = Utf8ToCp866Part(line, MaxText, converted_, &extras_);
        if (used < line.size() || !over_.empty()) {
            // The characters beyond 255, in CP866 as well.
            std::string restRaw(line.substr(used));
            restRaw += over_;
            Utf8ToCp866Part(restRaw, restRaw.size(), rest_, &extras_);
            over = true;
        }
        line = converted_;
    } else {
        rest_.swap(over_);
    }
    if (over) cut_ = true;
    return true;
}

}  // namespace lumo
