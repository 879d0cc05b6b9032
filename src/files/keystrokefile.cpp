// The keystroke file: the recorded sequence byte for byte, 128 bytes.
#include "files/keystrokefile.h"

#include <fstream>

#include "editor/keyreading.h"
#include "files/fileio.h"
#include "files/statedir.h"
#include "ui/render.h"

namespace lumo {

namespace {

constexpr const char* OkMessage = " kbdbufer.lmo - OK!";
constexpr const char* NotKeystrokeFile = " Not a keystroke file (128 bytes): ";

bool Readable(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return static_cast<bool>(in);
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
        ShowMessage(ed, " File not found: " + name, 1);
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
    else ShowMessage(ed, NotKeystrokeFile + name, 1);
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
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    // One byte more than a keystroke file holds: a longer file is refused too.
    char bytes[KeystrokeFileSize + 1];
    in.read(bytes, sizeof bytes);
    if (in.gcount() != KeystrokeFileSize) return false;
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
