// Count block: the numbers of a box's lines added up. The total is one
// 64-bit count of 1/100000 units, so neither a long column nor a negative
// total below 1 loses anything.
#include "edit/countblock.h"

#include <algorithm>

#include "edit/blocks.h"
#include "editor/linestore.h"
#include "ui/render.h"

namespace lumo {

namespace {

constexpr int64_t Unit = 100000;
constexpr int64_t LargestInteger = 2147483647;

}  // namespace

bool ReadBoxNumber(const std::string& box, int64_t& units)
{
    units = 0;
    std::string s = box;
    const size_t comma = s.find(',');
    const size_t stop = s.find('.');
    if (comma != std::string::npos && stop != std::string::npos) {
        const char thousands = comma < stop ? ',' : '.';
        s.erase(std::remove(s.begin(), s.end(), thousands), s.end());
    }
    bool negative = false;
    bool decimal = false;
    int64_t integer = 0;
    int64_t fraction = 0;
    int digits = 0;  // fraction digits that count (at most five)
    for (char c : s) {
        if (c == ' ') continue;
        if (c == '-') {
            negative = true;
        } else if (c >= '0' && c <= '9') {
            if (!decimal) {
                integer = integer * 10 + (c - '0');
                if (integer > LargestInteger) return false;
            } else if (digits < 5) {
                fraction = fraction * 10 + (c - '0');
                ++digits;
            }
        } else if (c == ',' || c == '.') {
            if (decimal) return false;
            decimal = true;
        } else if (integer != 0 || fraction != 0) {
            break;  // the number has ended; nothing after it is looked at
        }
    }
    for (int d = digits; d < 5; ++d) fraction *= 10;
    units = integer * Unit + fraction;
    if (negative) units = -units;
    return true;
}

std::string FormatTotal(int64_t units)
{
    const uint64_t magnitude = units < 0 ? uint64_t(0) - uint64_t(units) : uint64_t(units);
    std::string fraction = std::to_string(magnitude % Unit);
    fraction.insert(0, 5 - fraction.size(), '0');
    while (fraction.size() > 1 && fraction.back() == '0') fraction.pop_back();
    return (units < 0 ? "-" : "") + std::to_string(magnitude / Unit) + "." + fraction;
}

bool CountBox(const Editor& ed, int64_t& total, std::string& bad)
{
    total = 0;
    for (int n = ed.BoxFirstLine; n <= ed.BoxLastLine; ++n) {
        std::string s = BoxText(ed, n);
        int64_t units = 0;
        if (!ReadBoxNumber(s, units)) {
            bad = s;
            return false;
        }
        total += units;
    }
    return true;
}

Redraw CmdCountBlock(Editor& ed)
{
    CheckBlockMarks(ed);
    if (!BoxMarked(ed)) {
        ShowMessage(ed, NoBlockMessage, 1);
        return Redraw::Window;
    }
    int64_t total = 0;
    std::string bad;
    if (!CountBox(ed, total, bad)) {
        // The line is shown as it stands: the message line's comma rule
        // (a blank after each comma) would hide its characters.
        const std::string prefix = " Incorrect data for this function: ";
        ShowMessage(ed, prefix, 22);
        WriteText(ed, static_cast<int>(prefix.size()) + 1, 2, bad + '\x07', 0x0E);
        ed.con.WaitForKey(3000);
        DrawMessageLine(ed);
        return Redraw::Window;
    }
    ShowMessage(ed, "Total by the block = " + FormatTotal(total), 22);
    return Redraw::Status;
}

}  // namespace lumo
