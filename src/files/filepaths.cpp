#include "files/filepaths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>

#include "console/cp866.h"

namespace lumo {

bool SameFile(const std::string& a, const std::string& b)
{
    if (a.empty() || b.empty()) return false;
    struct stat sa, sb;
    if (stat(a.c_str(), &sa) != 0 || stat(b.c_str(), &sb) != 0) return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool IsRegularFile(const std::string& path)
{
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string DirectoryPart(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

int OpenRegularFile(const std::string& path)
{
    if (path.empty()) {
        errno = ENOENT;
        return -1;
    }
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a
    // writer for ever; the type is checked on what was really opened.
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return -1;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        errno = EINVAL;
        return -1;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

std::string FitName(const std::string& base, const std::string& suffix)
{
    if (base.size() + suffix.size() <= MaxNameBytes) return base + suffix;
    uint32_t hash = 2166136261u;  // FNV-1a
    for (unsigned char c : base) hash = (hash ^ c) * 16777619u;
    char mark[16];
    std::snprintf(mark, sizeof mark, "~%08x", static_cast<unsigned>(hash));
    size_t keep = MaxNameBytes > suffix.size() + 9 ? MaxNameBytes - suffix.size() - 9 : 0;
    if (keep > base.size()) keep = base.size();
    // Cut before a continuation byte's lead, not inside a character.
    while (keep > 0 && keep < base.size() && (static_cast<unsigned char>(base[keep]) & 0xC0) == 0x80) --keep;
    return base.substr(0, keep) + mark + suffix;
}

std::string NameForScreen(const std::string& name)
{
    std::string shown;
    return Utf8ToCp866(name, shown) ? shown : name;
}

std::string NameFromScreen(const std::string& typed) { return Cp866ToUtf8(typed); }

}  // namespace lumo
