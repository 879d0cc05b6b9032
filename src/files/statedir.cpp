#include "files/statedir.h"

#include <fcntl.h>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>

#include "files/filepaths.h"
#include "files/safewrite.h"

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
    return dir + FitName(BaseName(fileName), SettingsSuffix);
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
    // A base name near the limit of one name is shortened for each suffix,
    // ".save" and ".save.N" alike, so the text always has a place.
    std::string path = dir + FitName(base, EmergencySuffix);
    struct stat st{};
    for (int n = 1; lstat(path.c_str(), &st) == 0 && n < 10000; ++n)
        path = dir + FitName(base, EmergencySuffix + ("." + std::to_string(n)));
    return path;
}

bool ReplaceFileContents(const std::string& path, const std::string& content, unsigned mode)
{
    // Most runs end with the same settings they began with: nothing to write.
    std::string current;
    struct stat st{};
    if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && static_cast<size_t>(st.st_size) == content.size() &&
        ReadSideFile(path, current) && current == content)
        return true;
    // The text's own way of writing: a temporary file renamed over the old
    // one, or, in a directory where no new file can be made or on a file
    // that cannot be renamed over, in place once the new contents are whole.
    // A symbolic link stays a link; its target gets the new contents.
    SafeWriter writer;
    if (!writer.Open(path, false, static_cast<mode_t>(mode))) return false;
    writer.Write(content);
    return writer.Commit();
}

bool ReadSideFile(const std::string& path, std::string& data)
{
    // A FIFO or a device in a side file's place would hold the editor.
    int fd = OpenRegularFile(path);
    if (fd < 0) return false;
    data.assign(1 << 16, '\0');
    size_t done = 0;
    bool ok = true;
    while (done < data.size()) {
        ssize_t n = read(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) ok = false;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    close(fd);
    data.resize(done);
    return ok;
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
