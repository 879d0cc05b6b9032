#include "files/syscalls.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace lumo {

SysFaultHook SysFaults;

namespace {

// True when this call is the one the armed hook fails; errno is then set.
bool Injected(unsigned kind)
{
    if ((SysFaults.kinds & kind) == 0) return false;
    if (++SysFaults.calls != SysFaults.failAt) return false;
    errno = SysFaults.error;
    return true;
}

inline bool Fails(unsigned kind) { return SysFaults.kinds != 0 && Injected(kind); }

}  // namespace

int SysOpen(const char* path, int flags, mode_t mode)
{
    if (Fails(SysCallOpen)) return -1;
    return open(path, flags, mode);
}

int SysMkostemp(char* pattern, int flags)
{
    if (Fails(SysCallOpen)) return -1;
    return mkostemp(pattern, flags);
}

ssize_t SysWrite(int fd, const void* data, size_t size)
{
    if (Fails(SysCallWrite)) return -1;
    return write(fd, data, size);
}

ssize_t SysPwrite(int fd, const void* data, size_t size, off_t offset)
{
    if (Fails(SysCallWrite)) return -1;
    return pwrite(fd, data, size, offset);
}

int SysFsync(int fd)
{
    if (Fails(SysCallFsync)) return -1;
    return fsync(fd);
}

int SysFchmod(int fd, mode_t mode)
{
    if (Fails(SysCallFchmod)) return -1;
    return fchmod(fd, mode);
}

int SysFchown(int fd, uid_t owner, gid_t group)
{
    if (Fails(SysCallFchown)) return -1;
    return fchown(fd, owner, group);
}

int SysFtruncate(int fd, off_t length)
{
    if (Fails(SysCallTruncate)) return -1;
    return ftruncate(fd, length);
}

int SysRename(const char* from, const char* to)
{
    if (Fails(SysCallRename)) return -1;
    return rename(from, to);
}

int SysClose(int fd)
{
    if (Fails(SysCallClose)) {
        // Linux releases the descriptor whatever close reports.
        int error = errno;
        close(fd);
        errno = error;
        return -1;
    }
    return close(fd);
}

bool SysWriteAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        ssize_t n = SysWrite(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

}  // namespace lumo
