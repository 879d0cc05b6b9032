// The keystroke file: the recorded sequence byte for byte, 128 bytes.
#include "files/keystrokefile.h"

#include <unistd.h>

#include <cerrno>

#include "editor/keyreading.h"
#include "files/fileio.h"
#include "files/filepaths.h"
#include "files/statedir.h"
#include "ui/render.h"

namespace lumo {

namespace {

constexpr const char* OkMessage = " kbdbufer.lmo - OK!";
constexpr const char* NotKeystrokeFile = " Not a keystroke file (128 bytes): ";

bool Readable(const std::string& path)
{
    int fd = OpenRegularFile(path);
    if (fd < 0) return false;
    close(fd);
    return true;
}

// The dialog for a file to read (asks again while the name cannot be read);
// false on Esc.
bool AskReadName(Editor& ed, std::string& name)
{
    for (;;) {
        TextFile unused;
        OpenFileDialog(ed, name, unused, OpenNameOnly);
        if (ed.OperationFailed != 0) return false;
        if (Readable(name)) return true;
        ShowMessage(ed, " File not found: " + NameForScreen(name), 1);
    }
}

void ReadOperation(Editor& ed)
{
    std::string name = KeystrokeFileName;
    if (!AskReadName(ed, name)) {
        std::string found;
        if (!FindSideFile(KeystrokeFileName, found)) return;
        name = found;
        if (!AskReadName(ed, name)) return;
    }
    if (ReadKeystrokeFile(ed, name)) ShowMessage(ed, OkMessage, 1);
    else ShowMessage(ed, NotKeystrokeFile + NameForScreen(name), 1);
}

void WriteOperation(Editor& ed)
{
    std::string name = KeystrokeFileName;
    for (;;) {
        TextFile unused;
        OpenFileDialog(ed, name, unused, OpenNameOnly);
        if (ed.OperationFailed != 0) return;
        if (WriteKeystrokeFile(ed, name)) break;
        ShowMessage(ed, WriteErrorMessage, 1);
    }
    ShowMessage(ed, OkMessage, 1);
}

}  // namespace

bool ReadKeystrokeFile(Editor& ed, const std::string& path)
{
    int fd = OpenRegularFile(path);
    if (fd < 0) return false;
    // One byte more than a keystroke file holds: a longer file is refused too.
    char bytes[KeystrokeFileSize + 1];
    size_t got = 0;
    while (got < sizeof bytes) {
        ssize_t n = read(fd, bytes + got, sizeof bytes - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    close(fd);
    if (got != KeystrokeFileSize) return false;
    for (int slot = 1; slot <= 32; ++slot) {
        const unsigned char* b = reinterpret_cast<const unsigned char*>(bytes) + (slot - 1) * 4;
        ed.KeystrokeBuffer[slot] = b[0] | (b[1] << 8) | (b[2] << 16) | (KeyEvent(b[3]) << 24);
    }
    return true;
}

bool WriteKeystrokeFile(const Editor& ed, const std::string& path)
{
    std::string bytes;
    for (int slot = 1; slot <= 32; ++slot)
        for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>((ed.KeystrokeBuffer[slot] >> shift) & 0xFF);
    return ReplaceFileContents(path, bytes, 0666);
}

void KeyBufferFile(Editor& ed, int operation)
{
    switch (operation) {
    case 2: {
        std::string found;
        if (FindSideFile(KeystrokeFileName, found)) ReadKeystrokeFile(ed, found);
        break;
    }
    case 3: WriteOperation(ed); break;
    case 4: ReadOperation(ed); break;
    default: break;
    }
}

Redraw CmdReadKeystrokeFile(Editor& ed)
{
    // A sequence that reads a keystroke file would replace itself while it plays.
    if (KeyFromPlayback(ed)) return Redraw::NextKey;
    KeyBufferFile(ed, 4);
    return Redraw::Full;
}

Redraw CmdWriteKeystrokeFile(Editor& ed)
{
    KeyBufferFile(ed, 3);
    return Redraw::Full;
}

}  // namespace lumo
