#include "files/filepaths.h"

#include <sys/stat.h>

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

std::string NameForScreen(const std::string& name)
{
    std::string shown;
    return Utf8ToCp866(name, shown) ? shown : name;
}

std::string NameFromScreen(const std::string& typed) { return Cp866ToUtf8(typed); }

}  // namespace lumo
