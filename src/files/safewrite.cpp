#include "files/safewrite.h"

#include <fcntl.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "console/partialfile.h"
#include "files/filepaths.h"
#include "files/syscalls.h"

namespace lumo {

namespace {

constexpr size_t FlushSize = 64 * 1024;

std::string DirectoryOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string BaseOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool WriteAllAt(int fd, const std::string& text)
{
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = SysPwrite(fd, text.data() + done, text.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

bool ReadAllAt(int fd, std::string& text)
{
    struct stat st;
    if (fstat(fd, &st) != 0) return false;
    text.assign(static_cast<size_t>(st.st_size), '\0');
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = pread(fd, text.data() + done, text.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    text.resize(done);
    return true;
}

mode_t CurrentUmask()
{
    mode_t mask = umask(0);
    umask(mask);
    return mask;
}

// Gives the new file `to` the extended attributes of the file `from` it
// replaces (access control lists live there too). False when one of them
// cannot be given.
bool CopyAttributes(const std::string& from, int to)
{
    ssize_t size = listxattr(from.c_str(), nullptr, 0);
    if (size < 0) return errno == ENOTSUP;
    if (size == 0) return true;
    std::string names(static_cast<size_t>(size), '\0');
    size = listxattr(from.c_str(), names.data(), names.size());
    if (size < 0) return false;
    names.resize(static_cast<size_t>(size));
    for (size_t at = 0; at < names.size();) {
        const char* name = names.c_str() + at;
        at += std::strlen(name) + 1;
        ssize_t n = getxattr(from.c_str(), name, nullptr, 0);
        if (n < 0) return false;
        std::string value(static_cast<size_t>(n), '\0');
        n = getxattr(from.c_str(), name, value.data(), value.size());
        if (n < 0) return false;
        value.resize(static_cast<size_t>(n));
        if (fsetxattr(to, name, value.data(), value.size(), 0) == 0) continue;
        // A value the new file has already (a label every new file gets
        // here) needs no setting.
        std::string have(value.size() + 1, '\0');
        ssize_t got = fgetxattr(to, name, have.data(), have.size());
        if (got != n || have.compare(0, value.size(), value) != 0) return false;
    }
    return true;
}

}  // namespace

bool SyncDirectoryOf(const std::string& path)
{
    int fd = SysOpen(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    // A directory the editor may write in but not read cannot be synced by
    // it; nothing is lost by that that a retry could save.
    if (fd < 0) return errno == EACCES || errno == EPERM;
    // Some file systems cannot sync a directory at all (EINVAL): their
    // renames are as durable as they get.
    bool ok = SysFsync(fd) == 0 || errno == EINVAL;
    // Nothing was written through this descriptor: its close cannot lose data.
    SysClose(fd);
    return ok;
}

std::string FollowLinks(const std::string& path)
{
    std::string p = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
        std::string link(4096, '\0');
        ssize_t n = readlink(p.c_str(), link.data(), link.size());
        if (n <= 0 || static_cast<size_t>(n) >= link.size()) break;
        link.resize(static_cast<size_t>(n));
        if (link[0] == '/') p = link;
        else p = DirectoryOf(p) + "/" + link;
    }
    return p;
}

SafeWriter::~SafeWriter() { Abandon(); }

bool SafeWriter::Open(const std::string& path, bool append, mode_t newMode)
{
    Abandon();
    failed_ = false;
    touched_ = false;
    buffer_.clear();
    if (path.empty()) return false;
    target_ = FollowLinks(path);

    struct stat st;
    bool exists = stat(target_.c_str(), &st) == 0;
    if (!exists && errno != ENOENT) return false;
    if (exists && !S_ISREG(st.st_mode)) return false;
    // A file nobody may write is read-only for everyone, root included: a
    // save must not quietly replace what its owner protected.
    if (exists && ((st.st_mode & 0222) == 0 || access(target_.c_str(), W_OK) != 0)) return false;

    if (append) {
        if (!exists) return false;
        fd_ = SysOpen(target_.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        struct stat now;
        if (fd_ < 0 || fstat(fd_, &now) != 0 || !S_ISREG(now.st_mode)) {
            Abandon();
            return false;
        }
        appendStart_ = now.st_size;
        openLine_ = false;
        if (now.st_size > 0) {
            // A file that cannot be read is taken as ended.
            int reader = OpenRegularFile(target_);
            char last = '\n';
            if (reader >= 0) {
                if (pread(reader, &last, 1, now.st_size - 1) != 1) last = '\n';
                close(reader);
            }
            openLine_ = last != '\n' && last != '\r';
        }
        mode_ = Mode::Append;
        return true;
    }

    bool inPlace = exists && st.st_nlink > 1;
    if (!inPlace) {
        // A base name near the limit of one name is shortened to fit.
        tempPath_ = DirectoryOf(target_) + "/" + FitName("." + BaseOf(target_), ".lumo-XXXXXX");
        fd_ = SysMkostemp(tempPath_.data(), O_CLOEXEC);
        if (fd_ < 0) {
            tempPath_.clear();
            // A file the editor may write in a directory it may not: in place.
            if (!exists) return false;
            inPlace = true;
        } else {
            MarkPartialFile(tempPath_.c_str());
            mode_ = Mode::Temp;
            mode_t bits = exists ? (st.st_mode & 07777) : (newMode & 0777 & ~CurrentUmask());
            bool kept = true;
            struct stat made;
            if (exists && fstat(fd_, &made) == 0 && (made.st_uid != st.st_uid || made.st_gid != st.st_gid))
                kept = SysFchown(fd_, st.st_uid, st.st_gid) == 0;
            // chown clears the set-id bits, so the bits come after it.
            if (kept) kept = SysFchmod(fd_, bits) == 0;
            if (kept && exists) kept = CopyAttributes(target_, fd_);
            if (!kept) {
                // A new file would change who owns it, who may read it, or
                // lose what its extended attributes said.
                Abandon();
                inPlace = true;
            }
        }
    }
    if (inPlace) {
        fd_ = SysOpen(target_.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        if (fd_ < 0) return false;
        mode_ = Mode::InPlace;
    }
    return true;
}

void SafeWriter::Write(std::string_view bytes)
{
    if (failed_ || mode_ == Mode::None) return;
    buffer_.append(bytes);
    if (mode_ == Mode::Temp && buffer_.size() >= FlushSize) FlushBuffer();
}

bool SafeWriter::FlushBuffer()
{
    if (!failed_ && !SysWriteAll(fd_, buffer_)) failed_ = true;
    buffer_.clear();
    return !failed_;
}

bool SafeWriter::Commit()
{
    bool ok = false;
    switch (mode_) {
    case Mode::Temp: ok = CommitTemp(); break;
    case Mode::InPlace: ok = CommitInPlace(); break;
    case Mode::Append: ok = CommitAppend(); break;
    case Mode::None: break;
    }
    Abandon();
    return ok;
}

bool SafeWriter::CommitTemp()
{
    // Every failure up to the rename leaves the target as it was; Abandon
    // removes the temporary file. The close is checked before the rename:
    // a file system may report a lost write only there.
    if (!FlushBuffer() || SysFsync(fd_) != 0) return false;
    bool closed = SysClose(fd_) == 0;
    fd_ = -1;
    if (!closed) return false;
    if (SysRename(tempPath_.c_str(), target_.c_str()) == 0) {
        tempPath_.clear();
        UnmarkPartialFile();
        touched_ = true;
        // Until the directory is synced the rename may not survive a crash:
        // the save is not reported done before that.
        return SyncDirectoryOf(target_);
    }
    // A file mounted on its own cannot be replaced, only written.
    if (errno == EBUSY || errno == EXDEV) return InPlaceAfterRename();
    return false;
}

bool SafeWriter::InPlaceAfterRename()
{
    // The new text is whole and synced in the temporary file: it is read
    // back from there (what was written is what goes in place), and the
    // temporary file goes once the target holds it.
    int temp = open(tempPath_.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (temp < 0) return false;
    bool read = ReadAllAt(temp, buffer_);
    close(temp);
    if (!read) return false;
    fd_ = SysOpen(target_.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    struct stat st;
    if (fd_ < 0 || fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) return false;
    mode_ = Mode::InPlace;
    return CommitInPlace();
}

bool SafeWriter::CommitInPlace()
{
    if (failed_) return false;
    std::string old;
    if (!ReadAllAt(fd_, old)) return false;
    touched_ = true;
    std::string back;
    if (WriteAllAt(fd_, buffer_) && SysFtruncate(fd_, static_cast<off_t>(buffer_.size())) == 0 &&
        SysFsync(fd_) == 0 && ReadAllAt(fd_, back) && back == buffer_)
        return true;
    // Put the old text back: it fitted before, so it fits again.
    WriteAllAt(fd_, old);
    if (SysFtruncate(fd_, static_cast<off_t>(old.size())) == 0) SysFsync(fd_);
    return false;
}

bool SafeWriter::CommitAppend()
{
    touched_ = true;
    if (!failed_ && SysWriteAll(fd_, buffer_) && SysFsync(fd_) == 0) return true;
    if (SysFtruncate(fd_, appendStart_) == 0) SysFsync(fd_);
    return false;
}

void SafeWriter::Abandon()
{
    // The in-place and appending writes are synced before they count as
    // done: a close that fails after that has lost nothing.
    if (fd_ >= 0) SysClose(fd_);
    fd_ = -1;
    if (!tempPath_.empty()) {
        unlink(tempPath_.c_str());
        UnmarkPartialFile();
    }
    tempPath_.clear();
    mode_ = Mode::None;
    buffer_.clear();
}

}  // namespace lumo
