#include "files/sidefilereader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "files/utf8file.h"

namespace lumo {

namespace {

constexpr size_t ChunkSize = 16 * 1024;

ssize_t ReadSome(int fd, char* p, size_t n)
{
    for (;;) {
        ssize_t got = read(fd, p, n);
        if (got < 0 && errno == EINTR) continue;
        return got;
    }
}

// Opens `path` for reading when it is a regular file. A FIFO or device is
// never waited on.
int OpenRegular(const std::string& path)
{
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return -1;
    struct stat st{};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return -1;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

// Reads the file open on `fd` from its start (at most MaxBytes) and tells
// whether it is UTF-8 to convert; the offset is back at the start after.
bool DetectUtf8(int fd, std::vector<char>& buffer)
{
    Utf8Detector detector;
    size_t total = 0;
    bool whole = false;
    while (total < SideFileReader::MaxBytes) {
        size_t want = std::min(buffer.size(), SideFileReader::MaxBytes - total);
        ssize_t got = ReadSome(fd, buffer.data(), want);
        if (got < 0) break;
        if (got == 0) {
            whole = true;
            break;
        }
        detector.Feed(reinterpret_cast<const unsigned char*>(buffer.data()), static_cast<size_t>(got));
        if (detector.Invalid()) break;
        total += static_cast<size_t>(got);
    }
    lseek(fd, 0, SEEK_SET);
    return detector.Result(whole) == Utf8Kind::Convertible;
}

}  // namespace

SideFileReader::~SideFileReader()
{
    if (fd_ >= 0) close(fd_);
}

bool SideFileReader::Open(const std::string& path)
{
    if (fd_ >= 0) close(fd_);
    fd_ = OpenRegular(path);
    if (fd_ < 0) return false;
    buffer_.resize(ChunkSize);
    utf8_ = DetectUtf8(fd_, buffer_);
    pos_ = len_ = total_ = 0;
    end_ = skipLf_ = false;
    firstLine_ = true;
    return true;
}

bool SideFileReader::Fill()
{
    if (end_ || fd_ < 0) return false;
    size_t want = std::min(buffer_.size(), MaxBytes - total_);
    ssize_t got = want == 0 ? 0 : ReadSome(fd_, buffer_.data(), want);
    if (got <= 0) {
        end_ = true;
        return false;
    }
    pos_ = 0;
    len_ = static_cast<size_t>(got);
    total_ += len_;
    return true;
}

bool SideFileReader::Next(std::string& raw, bool& nul)
{
    raw.clear();
    nul = false;
    bool any = false;
    for (;;) {
        if (pos_ == len_ && !Fill()) {
            if (!any) return false;
            break;
        }
        if (skipLf_) {
            skipLf_ = false;
            if (buffer_[pos_] == '\n') {
                ++pos_;
                continue;
            }
        }
        any = true;
        const char* start = buffer_.data() + pos_;
        const char* stop = buffer_.data() + len_;
        const char* p = start;
        while (p != stop && *p != '\n' && *p != '\r') ++p;
        size_t n = static_cast<size_t>(p - start);
        if (std::find(start, p, '\0') != p) nul = true;
        if (raw.size() < MaxRawLine) raw.append(start, std::min(n, MaxRawLine - raw.size()));
        pos_ += n;
        if (p != stop) {
            skipLf_ = *p == '\r';
            ++pos_;
            break;
        }
    }
    // A UTF-8 file's byte-order mark is no part of its first line.
    if (firstLine_ && utf8_ && raw.starts_with(Utf8Bom)) raw.erase(0, Utf8Bom.size());
    firstLine_ = false;
    return true;
}

std::string SideFileReader::Text(std::string_view raw) const
{
    if (!utf8_) return std::string(raw.substr(0, 255));
    bool cut = false;
    return Utf8LineToCp866(raw, cut);
}

bool ReadsAsUtf8(std::string_view bytes)
{
    Utf8Detector detector;
    detector.Feed(reinterpret_cast<const unsigned char*>(bytes.data()), std::min(bytes.size(), SideFileReader::MaxBytes));
    return detector.Result(bytes.size() <= SideFileReader::MaxBytes) == Utf8Kind::Convertible;
}

bool SideFileIsUtf8(const std::string& path)
{
    SideFileReader reader;
    return reader.Open(path) && reader.utf8();
}

}  // namespace lumo
