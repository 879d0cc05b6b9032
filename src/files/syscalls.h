// The file system calls of every path that writes a file, through thin
// wrappers: each one is the real call and nothing more, unless a test has
// armed the fault hook below.
//
// The hook makes the Nth call of the kinds it counts fail with a chosen
// errno, the way the kernel fails it: a failed write writes nothing, a
// failed rename renames nothing, a failed close still releases the
// descriptor (Linux always does). Run once without a failure, it counts the
// calls, so a test can walk every failure point of a save.
#pragma once

#include <sys/types.h>

#include <string_view>

namespace lumo {

// The kinds of call the hook tells apart (bits, to be combined).
enum SysCallKind : unsigned {
    SysCallOpen = 1u << 0,      // open, and mkostemp, which opens what it makes
    SysCallWrite = 1u << 1,     // write and pwrite
    SysCallFsync = 1u << 2,
    SysCallFchmod = 1u << 3,
    SysCallFchown = 1u << 4,
    SysCallRename = 1u << 5,
    SysCallClose = 1u << 6,
    SysCallTruncate = 1u << 7,  // ftruncate
    SysCallAll = (1u << 8) - 1,
};

int SysOpen(const char* path, int flags, mode_t mode = 0);
int SysMkostemp(char* pattern, int flags);
ssize_t SysWrite(int fd, const void* data, size_t size);
ssize_t SysPwrite(int fd, const void* data, size_t size, off_t offset);
int SysFsync(int fd);
int SysFchmod(int fd, mode_t mode);
int SysFchown(int fd, uid_t owner, gid_t group);
int SysFtruncate(int fd, off_t length);
int SysRename(const char* from, const char* to);
int SysClose(int fd);
// All of `data` through SysWrite, going on after EINTR and short writes.
// False when a write failed (or wrote nothing).
bool SysWriteAll(int fd, std::string_view data);

// The test hook. It is one process-wide object rather than something handed
// down: the calls sit below every writer (the settings file, the clipboard,
// the emergency save, ...), and threading a hook through all of them would
// change every signature for the tests' sake alone. Unarmed (kinds 0) it
// costs each call one branch.
struct SysFaultHook {
    unsigned kinds = 0;  // the SysCallKind bits counted; 0: the hook is off
    long failAt = 0;     // the counted call that fails, from 1; 0: none fails
    int error = 0;       // the errno that call fails with
    long calls = 0;      // the counted calls made so far
};
extern SysFaultHook SysFaults;

}  // namespace lumo
