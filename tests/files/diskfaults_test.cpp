// What the disk can throw at the editor: special files where a file name is
// asked for, names at the limit of one directory entry, files that cannot be
// renamed over, and files another program changed meanwhile.
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <cstring>

#include "console/cp866.h"
#include "files/clipboard.h"
#include "files/filepaths.h"
#include "files/files_fixture.h"
#include "files/history.h"
#include "files/keystrokefile.h"
#include "files/safewrite.h"
#include "files/statedir.h"

namespace lumo::filetest {
namespace {

using DiskFaultsTest = FilesTest;

constexpr KeyEvent Space = 0x00003920;

bool MakeSocket(const std::string& path)
{
    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (fd < 0 || path.size() >= sizeof addr.sun_path) return false;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    bool ok = bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    close(fd);
    return ok;
}

TEST_F(DiskFaultsTest, SpecialFilesAreRefusedByEveryReaderWithoutWaiting)
{
    // A reader that waited on the FIFO would hang here for ever: the alarm
    // ends the test program instead.
    alarm(30);
    ASSERT_EQ(mkfifo((dir + "fifo").c_str(), 0600), 0);
    ASSERT_EQ(mkdir((dir + "folder").c_str(), 0700), 0);
    std::vector<std::string> specials = {dir + "fifo", dir + "folder", "/dev/null"};
    if (MakeSocket(dir + "sock")) specials.push_back(dir + "sock");
    for (const std::string& path : specials) {
        SCOPED_TRACE(path);
        std::string data;
        EXPECT_EQ(OpenRegularFile(path), -1);
        EXPECT_FALSE(ReadSideFile(path, data));  // settings, saved state, clipboard
        ed.SavedStateFile = path;
        ed.SearchHistory[0] = "kept";
        ReadHistory(ed);
        EXPECT_EQ(ed.SearchHistory[0], "kept");
        ed.ClipboardFile = path;
        bool ok = true;
        ReadClipboardLine(ed, ok);
        EXPECT_FALSE(ok);
        ed.KeystrokeBuffer[1] = 'k';
        EXPECT_FALSE(ReadKeystrokeFile(ed, path));
        EXPECT_EQ(ed.KeystrokeBuffer[1], KeyEvent('k'));

        // The commands that ask for a name say why and ask again; the key
        // that ends the message is not typed into the next prompt.
        con.shown.clear();
        con.Type(path);
        con.Push(Enter);
        con.Push(Space);
        con.Push(Esc);
        CmdReadKeystrokeFile(ed);
        EXPECT_TRUE(con.Showed(" File not found: " + path));

        con.shown.clear();
        ed.SideFileName = path;
        con.Push(Enter);
        con.Push(Space);
        con.Push(Esc);
        GetFile(ed);
        EXPECT_TRUE(con.Showed(" File not found: " + path));
        EXPECT_EQ(ed.LineCount, 0);

        con.shown.clear();
        ed.FileName = path;
        con.Push(Space);
        con.Push(Esc);
        ASSERT_TRUE(LoadFile(ed));
        EXPECT_TRUE(con.Showed("INVALID FILE NAME!"));
        EXPECT_EQ(ed.FileName, "");
        EXPECT_TRUE(con.keys.empty());
    }
    // Nothing was ever written into the special files' places.
    struct stat st;
    ASSERT_EQ(stat((dir + "fifo").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    alarm(0);
}

// 124 Cyrillic letters and ".txt": 252 bytes in UTF-8.
std::string CyrillicName()
{
    std::string name;
    for (int i = 0; i < 124; ++i) name += "\xD1\x84";  // ф
    return name + ".txt";
}

TEST_F(DiskFaultsTest, NamesMadeFromALongBaseNameFitOneDirectoryEntry)
{
    const std::string cyrillic = CyrillicName();
    ASSERT_EQ(cyrillic.size(), 252u);
    const std::vector<std::string> bases = {"short.txt", cyrillic, std::string(251, 'a') + ".txt",
                                            std::string(255, 'b'), std::string(240, 'b') + "-other"};
    std::vector<std::string> settingsNames;
    for (const std::string& base : bases) {
        SCOPED_TRACE(base.size());
        for (std::string suffix : {".save", ".save.1", ".save.9999", ".LmIni", ".lumo-XXXXXX"}) {
            std::string name = FitName(base, suffix);
            EXPECT_LE(name.size(), MaxNameBytes);
            const size_t kept = std::min<size_t>(100, base.size());
            EXPECT_EQ(name.compare(0, kept, base, 0, kept), 0);  // recognisable
            EXPECT_EQ(name.substr(name.size() - suffix.size()), suffix);
            EXPECT_EQ(name, FitName(base, suffix));  // found again next run
            std::string shown;
            if (base == cyrillic) {
                EXPECT_TRUE(Utf8ToCp866(name, shown)) << "a character was cut";
            }
        }
        if (base.size() + 5 <= MaxNameBytes) {
            EXPECT_EQ(FitName(base, ".save"), base + ".save");
        }

        // The file itself, its settings, its emergency saves and a save over it.
        const std::string file = dir + base;
        WriteFile(file, "old\n");
        ed.FileName = file;
        ASSERT_TRUE(LoadFile(ed));
        std::string settings = SettingsPathFor(dir + "state/", file);
        settingsNames.push_back(settings);
        ed.StateDir = dir + "state/";
        ASSERT_TRUE(PrepareStatePath(ed, settings));
        ASSERT_TRUE(ReplaceFileContents(settings, "1\r\n2\r\n"));
        std::string back;
        ASSERT_TRUE(ReadSideFile(settings, back));
        EXPECT_EQ(back, "1\r\n2\r\n");

        SetLine(ed, "typed", 1);
        ed.Modified = true;
        std::string first = WriteEmergencySave(ed);
        std::string second = WriteEmergencySave(ed);
        ASSERT_FALSE(first.empty());
        ASSERT_FALSE(second.empty());
        EXPECT_NE(first, second);
        EXPECT_EQ(first.rfind(ed.StateDir, 0), 0u) << first;
        EXPECT_EQ(ReadFile(first), "typed\n");
        EXPECT_EQ(ReadFile(second), "typed\n");

        SaveFile(ed);
        EXPECT_EQ(ed.OperationFailed, 0);
        EXPECT_EQ(ReadFile(file), "typed\n");
    }
    // Two long names alike in their first 240 bytes keep apart.
    EXPECT_NE(settingsNames[3], settingsNames[4]);
}

// Binds `source` over `target` (a single file mounted on its own, as
// containers mount them); false when this system does not allow it.
bool BindMount(const std::string& source, const std::string& target)
{
    return mount(source.c_str(), target.c_str(), nullptr, MS_BIND, nullptr) == 0;
}

TEST_F(DiskFaultsTest, AFileThatCannotBeRenamedOverIsWrittenInPlace)
{
    WriteFile(dir + "outside", "old\n");
    WriteFile(dir + "mounted.txt", "");
    if (!BindMount(dir + "outside", dir + "mounted.txt")) GTEST_SKIP() << "no bind mounts here";
    struct Unmount {
        std::string path;
        ~Unmount() { umount(path.c_str()); }
    } unmount{dir + "mounted.txt"};

    // The edited file, then every side file written the same way.
    ed.FileName = dir + "mounted.txt";
    ASSERT_TRUE(LoadFile(ed));
    SetLine(ed, "new text", 1);
    ed.Modified = true;
    SaveFile(ed);
    EXPECT_EQ(ed.OperationFailed, 0);
    EXPECT_FALSE(ed.Modified);
    EXPECT_EQ(ReadFile(dir + "outside"), "new text\n");

    ed.KeystrokeBuffer[1] = 0x41424344;
    EXPECT_TRUE(WriteKeystrokeFile(ed, dir + "mounted.txt"));
    EXPECT_EQ(ReadFile(dir + "outside").substr(0, 4), "DCBA");
    EXPECT_TRUE(ReplaceFileContents(dir + "mounted.txt", "settings\r\n"));
    EXPECT_EQ(ReadFile(dir + "outside"), "settings\r\n");
    // No temporary file is left behind.
    EXPECT_EQ(Entries(), (std::vector<std::string>{"mounted.txt", "outside"}));
}

TEST_F(DiskFaultsTest, SideFilesInADirectoryWithoutRoomForNewFilesAreWrittenInPlace)
{
    ASSERT_EQ(mkdir((dir + "ro").c_str(), 0755), 0);
    for (std::string name : {"kbdbufer.lmo", "f.LmIni", "LumoSS"}) WriteFile(dir + "ro/" + name, "old\r\n");
    GiveToOrdinaryUser(dir);
    GiveToOrdinaryUser(dir + "ro");
    for (std::string name : {"kbdbufer.lmo", "f.LmIni", "LumoSS"}) GiveToOrdinaryUser(dir + "ro/" + name);
    chmod((dir + "ro").c_str(), 0555);
    int result = AsOrdinaryUser([&] {
        ed.KeystrokeBuffer[1] = 0x41424344;
        if (!WriteKeystrokeFile(ed, dir + "ro/kbdbufer.lmo")) return 1;
        if (!ReplaceFileContents(dir + "ro/f.LmIni", "settings\r\n")) return 2;
        ed.StateDir.clear();
        ed.SavedStateFile = dir + "ro/LumoSS";
        ed.SearchHistory[0] = "found";
        WriteHistory(ed);
        // A file that is not there yet cannot be made there at all.
        if (ReplaceFileContents(dir + "ro/new", "x")) return 3;
        return 0;
    });
    chmod((dir + "ro").c_str(), 0755);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadFile(dir + "ro/kbdbufer.lmo").size(), 128u);
    EXPECT_EQ(ReadFile(dir + "ro/f.LmIni"), "settings\r\n");
    EXPECT_EQ(ReadFile(dir + "ro/LumoSS").substr(0, 7), "found\r\n");
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir + "ro"))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"LumoSS", "f.LmIni", "kbdbufer.lmo"}));
}

TEST_F(DiskFaultsTest, AFileChangedOnDiskIsNotSavedOverUnasked)
{
    enum class Change { None, Contents, Time, Replaced, Removed };
    const struct Case {
        Change change;
        std::vector<KeyEvent> answer;  // to the question, when one comes
        bool saved;
    } cases[] = {
        {Change::None, {}, true},
        {Change::Contents, {Enter}, false},  // "1 - no" is the default
        {Change::Contents, {Esc}, false},
        {Change::Contents, {'2'}, true},
        {Change::Time, {'1'}, false},
        {Change::Replaced, {'2'}, true},
        {Change::Removed, {}, true},  // nothing of another program's to lose
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.change));
        con.shown.clear();
        const std::string file = dir + "f.txt";
        WriteFile(file, "mine\n");
        ed.FileName = file;
        ASSERT_TRUE(LoadFile(ed));
        SetLine(ed, "edited", 1);
        ed.Modified = true;
        const std::string theirs = c.change == Change::Contents ? "theirs, longer\n" : "mine\n";
        switch (c.change) {
        case Change::None: break;
        case Change::Contents: WriteFile(file, theirs); break;
        case Change::Time: {
            struct timespec times[2] = {{0, UTIME_OMIT}, {12345, 0}};
            utimensat(AT_FDCWD, file.c_str(), times, 0);
            break;
        }
        case Change::Replaced:
            WriteFile(dir + "g.txt", theirs);
            rename((dir + "g.txt").c_str(), file.c_str());
            break;
        case Change::Removed: unlink(file.c_str()); break;
        }
        for (KeyEvent k : c.answer) con.Push(k);
        SaveFile(ed);
        EXPECT_TRUE(con.keys.empty());
        EXPECT_EQ(ed.Modified, !c.saved);
        EXPECT_EQ(ReadFile(file), c.saved ? "edited\n" : theirs);
        if (c.saved) {
            // The file is the text's own now: the next save asks nothing.
            SetLine(ed, "again", 1);
            ed.Modified = true;
            SaveFile(ed);
            EXPECT_EQ(ReadFile(file), "again\n");
        }
    }
}

TEST_F(DiskFaultsTest, TheAutomaticSaveNeverOverwritesAChangedFile)
{
    const std::string file = dir + "f.txt";
    WriteFile(file, "mine\n");
    ed.FileName = file;
    ed.StateDir = dir + "state/";
    ASSERT_TRUE(LoadFile(ed));
    SetLine(ed, "edited", 1);
    ed.Modified = true;
    WriteFile(file, "theirs, longer\n");
    AutoSave(ed);  // no keys queued: a question would throw
    EXPECT_EQ(ReadFile(file), "theirs, longer\n");
    EXPECT_TRUE(ed.Modified);
    const std::string copy = dir + "state/f.txt.save";
    EXPECT_EQ(ReadFile(copy), "edited\n");
    // The message says where the text went (as far as the row shows it).
    const std::string said = " The file was changed on disk! Automatic save went to: " + copy;
    EXPECT_TRUE(std::any_of(con.shown.begin(), con.shown.end(), [&](const std::string& row) {
        return row.size() >= 60 && said.compare(0, row.size(), row) == 0;
    }));
    // Later automatic saves bring that copy up to date rather than add more.
    SetLine(ed, "more", 1);
    AutoSave(ed);
    EXPECT_EQ(ReadFile(copy), "more\n");
    EXPECT_FALSE(std::filesystem::exists(copy + ".1"));
}

}  // namespace
}  // namespace lumo::filetest
