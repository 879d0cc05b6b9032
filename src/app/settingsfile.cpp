// The per-file settings file: where the cursor, the bookmarks and a few
// switches stood when the editor last ended on this file.
#include <array>
#include <charconv>

#include "app/startup.h"
#include "files/statedir.h"

namespace lumo {

namespace {

constexpr int SettingsFields = 16;

// A decimal number with optional sign and surrounding blanks; false for
// anything else (including numbers too large for a long).
bool ParseNumber(const std::string& text, long& value)
{
    size_t b = text.find_first_not_of(" \t");
    size_t e = text.find_last_not_of(" \t");
    if (b == std::string::npos) return false;
    const char* first = text.data() + b;
    const char* last = text.data() + e + 1;
    if (*first == '+') ++first;
    auto [end, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && end == last;
}

}  // namespace

bool ReadSettingsFile(Editor& ed, const std::string& path)
{
    std::string data;
    if (!ReadSideFile(path, data)) return false;
    std::vector<std::string> lines = SplitSideLines(data);
    std::array<long, SettingsFields + 1> v{};
    std::array<bool, SettingsFields + 1> ok{};
    for (int i = 1; i <= SettingsFields && i <= static_cast<int>(lines.size()); ++i)
        ok[i] = ParseNumber(lines[i - 1], v[i]);

    auto within = [&](int i, long lo, long hi) { return ok[i] && v[i] >= lo && v[i] <= hi; };
    const long last = std::max(ed.LineCount, 1);
    // A line beyond the text becomes the last line; a bookmark there is unset.
    auto bookmark = [&](int i, int& field) {
        if (within(i, 0, 32767)) field = v[i] <= last ? static_cast<int>(v[i]) : 0;
    };

    if (within(2, 1, 32767)) ed.CurrentLine = static_cast<int>(std::min(v[2], last));
    ed.CurrentLine = std::clamp(ed.CurrentLine, 1, static_cast<int>(last));
    if (within(1, 1, ed.CurrentLine)) ed.TopLine = static_cast<int>(v[1]);
    if (ed.TopLine > ed.CurrentLine) ed.TopLine = ed.CurrentLine;
    if (within(3, 1, MaxText)) ed.CurrentColumn = static_cast<int>(v[3]);
    for (int b = 1; b <= 3; ++b) bookmark(3 + b, ed.LineBookmarks[b]);
    for (int b = 1; b <= 2; ++b) {
        PositionMark& mark = ed.PositionBookmarks[b];
        int base = 4 + 3 * b;  // fields 7..9 and 10..12
        bookmark(base, mark.top);
        bookmark(base + 1, mark.line);
        if (within(base + 2, 0, MaxText)) mark.column = static_cast<int>(v[base + 2]);
        if (mark.line == 0) mark = PositionMark{};
        else if (mark.top < 1 || mark.top > mark.line) mark.top = mark.line;
    }
    if (within(13, 0, 1)) ed.InsertMode = v[13] == 1;
    if (within(14, 0, 1)) ed.RusMode = v[14] == 1;
    if (within(15, 0, 65535)) ed.FillCell |= static_cast<uint16_t>(v[15]) & WrapOff;
    if (within(16, 1, MaxText)) ed.ColumnBookmark = static_cast<int>(v[16]);
    return true;
}

bool WriteSettingsFile(Editor& ed, const std::string& path)
{
    const std::array<long, SettingsFields> fields = {
        ed.TopLine,
        ed.CurrentLine,
        ed.CurrentColumn,
        ed.LineBookmarks[1],
        ed.LineBookmarks[2],
        ed.LineBookmarks[3],
        ed.PositionBookmarks[1].top,
        ed.PositionBookmarks[1].line,
        ed.PositionBookmarks[1].column,
        ed.PositionBookmarks[2].top,
        ed.PositionBookmarks[2].line,
        ed.PositionBookmarks[2].column,
        ed.InsertMode ? 1 : 0,
        ed.RusMode ? 1 : 0,
        ed.FillCell,
        ed.ColumnBookmark,
    };
    std::string data;
    for (long f : fields) data += std::to_string(f) + "\r\n";
    if (!PrepareStatePath(ed, path)) return false;
    return ReplaceFileContents(path, data, 0600);
}

}  // namespace lumo
