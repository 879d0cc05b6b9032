// The keystroke file on any bytes, then played (F9) over a loaded text
// through the main loop, every prompt it opens answered with what follows
// in the file or with Esc: the text, the cursor and the tables stay within
// their limits whatever the 32 key events are.
//
// Input: one byte of choices (bit 0: the file is exactly the next 128
// bytes, else all that follows), the file, then the text file.
#include "app/mainloop.h"
#include "files/fileio.h"
#include "files/keystrokefile.h"
#include "fuzz_support.h"

using namespace lumo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    constexpr KeyEvent F9 = 0x0200FF09;
    fuzz::Input in(data, size);
    const uint8_t choice = in.Byte();
    const std::string file = choice & 1 ? in.Take(KeystrokeFileSize) : in.Rest();
    const std::string text = in.Rest();
    fuzz::Scratch scratch;
    const std::string path = scratch.dir + KeystrokeFileName;
    fuzz::WriteBytes(path, file);

    fuzz::Session s;
    Editor& ed = s.ed;
    // A text loaded from a file of its own, so that the file commands work
    // on a real file.
    ed.FileName = scratch.dir + "text.txt";
    fuzz::WriteBytes(ed.FileName, text);
    if (!LoadFile(ed)) return 0;
    if (ed.LineCount == 0) fuzz::AddLines(ed, "", 1);
    const bool read = ReadKeystrokeFile(ed, path);
    FUZZ_CHECK(read == (file.size() == static_cast<size_t>(KeystrokeFileSize)), "a keystroke file of " + std::to_string(file.size()) + " bytes taken or a right one refused");
    if (!read) return 0;
    for (int slot = 1; slot <= 32; ++slot) {
        const auto* b = reinterpret_cast<const unsigned char*>(file.data()) + (slot - 1) * 4;
        FUZZ_CHECK(ed.KeystrokeBuffer[slot] == (b[0] | (b[1] << 8) | (b[2] << 16) | (KeyEvent(b[3]) << 24)), "a slot read wrong");
    }
    s.con.Push(F9);
    try {
        MainLoop(ed);
    } catch (const ScriptExhausted&) {
        // The loop waits for a key after the playback: the run is over.
    }
    fuzz::CheckEditor(ed);
    return 0;
}
