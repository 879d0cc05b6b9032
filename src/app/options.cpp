// The command line's options string and what each option sets.
#include <algorithm>

#include "app/startup.h"
#include "editor/codepage.h"
#include "files/shell.h"
#include "files/statedir.h"

namespace lumo {

namespace {

// The argument of -I, -M and -X: everything after the letter up to the next
// blank. `pos` moves past it, so that scanning resumes after the argument.
std::string WordArgument(const std::string& s, size_t& pos)
{
    size_t end = s.find(' ', pos);
    if (end == std::string::npos) end = s.size();
    std::string arg = s.substr(pos, end - pos);
    pos = end;
    return arg;
}

// The one-digit argument of -C and -T; -1 (and nothing consumed) when the
// next character is no digit, so "-T-W" still reads -W.
int DigitArgument(const std::string& s, size_t& pos)
{
    if (pos >= s.size() || s[pos] < '0' || s[pos] > '9') return -1;
    return s[pos++] - '0';
}

// -M: a decimal count of keys, 0..32767; anything else leaves the setting.
void ApplyAutoSave(Editor& ed, const std::string& arg)
{
    if (arg.empty() || arg.size() > 9) return;
    if (!std::all_of(arg.begin(), arg.end(), [](char c) { return c >= '0' && c <= '9'; })) return;
    ed.AutoSaveEvery = std::min(std::stol(arg), 32767L);
}

}  // namespace

std::string JoinOptions(const std::vector<std::string>& args)
{
    std::string options;
    for (size_t i = 0; i + 1 < args.size(); ++i) options += args[i] + ' ';
    return options;
}

bool ApplyOptions(Editor& ed, const std::string& options, const std::string& fileName)
{
    bool readKeystrokes = false;
    size_t pos = 0;
    while ((pos = options.find('-', pos)) != std::string::npos) {
        ++pos;
        if (pos >= options.size()) break;
        uint8_t letter = CyrUpCase(static_cast<uint8_t>(options[pos++]));
        switch (letter) {
        case '#': ed.ExternalClipboard = true; break;
        case '+': ed.ColumnMarker = false; break;
        case 'G': ed.DrawingMode = false; break;
        case 'J': ed.HalfScreenScroll = false; break;
        case 'K': readKeystrokes = true; break;
        case 'P': ed.CodePageDetect = false; break;
        case 'W': ed.ShowNotice = false; break;
        case 'C':
            if (int d = DigitArgument(options, pos); d >= 0) ed.CommentColour = static_cast<uint8_t>(d);
            break;
        case 'T':
            // A step of 0 would put every tab stop on one column.
            if (int d = DigitArgument(options, pos); d > 0) ed.TabStep = d;
            break;
        case 'I': ed.SettingsFile = SettingsPathFor(WordArgument(options, pos), fileName); break;
        case 'M': ApplyAutoSave(ed, WordArgument(options, pos)); break;
        case 'X': {
            std::string dir = WordArgument(options, pos);
            ed.ClipboardFile = dir + ClipboardName;
            ed.SavedStateFile = dir + SavedStateName;
            break;
        }
        default: break;  // unknown letters and characters below "#" are ignored
        }
    }
    return readKeystrokes;
}

void ComputeTabStops(Editor& ed)
{
    ed.TabStops[1] = std::clamp(ed.TabStops[1], 1, MaxText);
    for (int k = 2; k <= 32; ++k) ed.TabStops[k] = std::min(ed.TabStops[k - 1] + ed.TabStep, MaxText);
}

}  // namespace lumo
