#include "files/statedir.h"

#include <fcntl.h>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>

namespace lumo {

namespace {

std::string WithSlash(std::string dir)
{
    if (!dir.empty() && dir.back() != '/') dir += '/';
    return dir;
}

std::string HomeDirectory()
{
    const char* home = std::getenv("HOME");
    if (home && *home) return home;
    // The password file is read directly rather than through the name
    // service, so that the program can be linked statically (smaller and
    // quicker to start) without depending on the system's shared libraries.
    if (FILE* f = std::fopen("/etc/passwd", "r")) {
        std::string uid = std::to_string(getuid());
        char line[1024];
        std::string dir;
        while (dir.empty() && std::fgets(line, sizeof line, f)) {
            // name:password:uid:gid:comment:home:shell
            std::string fields[6];
            int n = 0;
            for (const char* c = line; *c && *c != '\n' && n < 6; ++c) {
                if (*c == ':') ++n;
                else fields[n] += *c;
            }
            if (n >= 6 && fields[2] == uid && !fields[5].empty()) dir = fields[5];
        }
        std::fclose(f);
        if (!dir.empty()) return dir;
    }
    return ".";
}

bool IsDirectory(const std::string& path)
{
    struct stat st{};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string DirectoryOf(const std::string& path)
{
    auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool WriteAll(int fd, const std::string& content)
{
    size_t done = 0;
    while (done < content.size()) {
        ssize_t n = write(fd, content.data() + done, content.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

std::string StateDirectory()
{
    if (const char* home = std::getenv("LUMO_HOME"); home && *home) return WithSlash(home);
    if (const char* xdg = std::getenv("XDG_STATE_HOME"); xdg && *xdg && xdg[0] == '/')
        return WithSlash(xdg) + "lumo/";
    return WithSlash(HomeDirectory()) + ".local/state/lumo/";
}

std::string ConfigDirectory()
{
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg && xdg[0] == '/')
        return WithSlash(xdg) + "lumo/";
    return WithSlash(HomeDirectory()) + ".config/lumo/";
}

bool CreateStateDirectory(const std::string& dir)
{
    std::string d = dir;
    while (d.size() > 1 && d.back() == '/') d.pop_back();
    if (d.empty()) return false;
    // Missing parents are ordinary directories; only the state directory
    // itself is private.
    for (size_t i = 1; i <= d.size(); ++i) {
        if (i < d.size() && d[i] != '/') continue;
        std::string prefix = d.substr(0, i);
        if (IsDirectory(prefix)) continue;
        if (mkdir(prefix.c_str(), i == d.size() ? 0700 : 0755) != 0 && errno != EEXIST) return false;
    }
    return IsDirectory(d);
}

bool PrepareStatePath(const Editor& ed, const std::string& path)
{
    if (!ed.StateDir.empty() && path.compare(0, ed.StateDir.size(), ed.StateDir) == 0)
        return CreateStateDirectory(ed.StateDir);
    return IsDirectory(DirectoryOf(path));
}

std::string BaseName(const std::string& path)
{
    auto p = path.rfind('/');
    return p == std::string::npos ? path : path.substr(p + 1);
}

std::string SettingsPathFor(const std::string& dir, const std::string& fileName)
{
    return dir + BaseName(fileName) + SettingsSuffix;
}

void SetDefaultSidePaths(Editor& ed)
{
    ed.StateDir = StateDirectory();
    ed.SettingsFile = ed.StateDir + SettingsDefaultName;
    ed.SavedStateFile = ed.StateDir + SavedStateName;
    ed.ClipboardFile = ed.StateDir + ClipboardName;
}

std::string EmergencySavePath(const std::string& dir, const std::string& fileName)
{
    std::string base = BaseName(fileName);
    if (base.empty()) base = "untitled";
    std::string first = dir + base + EmergencySuffix;
    std::string path = first;
    struct stat st{};
    for (int n = 1; lstat(path.c_str(), &st) == 0 && n < 10000; ++n)
        path = first + "." + std::to_string(n);
    return path;
}

bool ReplaceFileContents(const std::string& given, const std::string& content, unsigned mode)
{
    // A symbolic link stays a link: its target gets the new contents.
    std::string path = given;
    if (char* real = realpath(given.c_str(), nullptr)) {
        path = real;
        std::free(real);
    }
    struct stat st{};
    if (stat(path.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) return false;
        mode = st.st_mode & 07777;
        // Most runs end with the same settings they began with: nothing to write.
        std::string current;
        if (static_cast<size_t>(st.st_size) == content.size() && ReadSideFile(path, current) && current == content)
            return true;
    } else {
        mode_t mask = umask(0);
        umask(mask);
        mode &= ~mask;
    }
    std::string temp = DirectoryOf(path) + "/.lumo-XXXXXX";
    int fd = mkstemp(temp.data());
    if (fd < 0) return false;
    bool ok = WriteAll(fd, content) && fchmod(fd, mode) == 0 && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (ok && rename(temp.c_str(), path.c_str()) == 0) return true;
    unlink(temp.c_str());
    return false;
}

bool ReadSideFile(const std::string& path, std::string& data)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    data.assign(1 << 16, '\0');
    in.read(data.data(), static_cast<std::streamsize>(data.size()));
    data.resize(static_cast<size_t>(in.gcount()));
    return true;
}

std::vector<std::string> SplitSideLines(const std::string& data)
{
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < data.size(); ++i) {
        char c = data[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            if (c == '\r' && i + 1 < data.size() && data[i + 1] == '\n') ++i;
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

}  // namespace lumo
