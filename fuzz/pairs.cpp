// Change by file on any pairs file, over a text the input gives, through the
// main loop (the dialog's name taken with Enter, the replace's questions
// answered with the keys the input gives, then Esc): the text, the cursor
// and the search strings stay within their limits, and the run ends.
//
// Input: one byte of choices (bit 0: even lines to odd; bits 1-3: how many
// answer bytes follow), the answer bytes, a byte for the text's length, the
// text ('\n' between lines, at most 40 lines), then the pairs file.
#include "app/mainloop.h"
#include "fuzz_support.h"

using namespace lumo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Input in(data, size);
    const uint8_t choice = in.Byte();
    std::vector<KeyEvent> answers;
    for (int i = 0; i < ((choice >> 1) & 7); ++i) answers.push_back(fuzz::AnswerKey(in.Byte()));
    const std::string text = in.Take(in.Byte());
    fuzz::Scratch scratch;
    const std::string& dir = scratch.dir;
    fuzz::WriteBytes(dir + "pairs.txt", in.Rest());

    fuzz::Session s;
    Editor& ed = s.ed;
    fuzz::AddLines(ed, text, 40);
    ed.PairsFileName = dir + "pairs.txt";
    s.con.Push(choice & 1 ? 0x020BFF08 : 0x0208FF08);
    s.con.Push(fuzz::EnterKey);
    for (KeyEvent k : answers) s.con.Push(k);
    try {
        MainLoop(ed);
    } catch (const ScriptExhausted&) {
        // The loop waits for a key after the command: the run is over.
    }
    fuzz::CheckEditor(ed);
    FUZZ_CHECK(ed.FindString.size() <= MaxText && ed.ReplaceString.size() <= MaxText, "a pair over 255 characters");
    return 0;
}
