// What every fuzz target shares: a check that aborts with a readable
// message, a reader that takes the choices of a run from the front of the
// input, a scratch directory the files of a run are written to, a console
// that answers every prompt by itself, and the checks of the editor's state
// that must hold after any input.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include "app/startup.h"
#include "console/scripted_console.h"
#include "edit/abbreviation.h"
#include "editor/editor.h"
#include "editor/linestore.h"
#include "ui/inputline.h"

// Stops the run at once, so that libFuzzer keeps the input that got here.
#define FUZZ_CHECK(cond, what)                                                                  \
    do {                                                                                        \
        if (!(cond)) {                                                                          \
            std::fprintf(stderr, "\ninvariant broken: %s\n  %s\n  at %s:%d\n", #cond,           \
                         std::string(what).c_str(), __FILE__, __LINE__);                        \
            std::abort();                                                                       \
        }                                                                                       \
    } while (0)

namespace lumo::fuzz {

// The input seen as choices first, then the bytes that are left.
class Input {
public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    uint16_t Word() { return static_cast<uint16_t>(Byte() | (Byte() << 8)); }
    // The next n bytes (fewer at the end).
    std::string Take(size_t n)
    {
        n = std::min(n, size_ - pos_);
        std::string s(reinterpret_cast<const char*>(data_) + pos_, n);
        pos_ += n;
        return s;
    }
    std::string Rest() { return Take(size_ - pos_); }
    bool Empty() const { return pos_ >= size_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// One private directory per process (on tmpfs when there is one), the
// editor's home for side files, removed when the process ends.
struct ScratchHome {
    std::string dir;
    ScratchHome()
    {
        std::string base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : std::filesystem::temp_directory_path().string();
        std::string pattern = base + "/lumo-fuzz-XXXXXX";
        FUZZ_CHECK(mkdtemp(pattern.data()) != nullptr, "no scratch directory");
        dir = pattern + "/";
        // The side files are looked for here and nowhere else; a command that
        // would start a program starts one that does nothing.
        setenv("LUMO_HOME", dir.c_str(), 1);
        setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
        setenv("XDG_STATE_HOME", dir.c_str(), 1);
        setenv("HOME", dir.c_str(), 1);
        setenv("COMSPEC", "/bin/true", 1);
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
    }
    ~ScratchHome()
    {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

inline const std::string& ScratchDir()
{
    static const ScratchHome home;
    return home.dir;
}

// For one run: the scratch directory emptied and made the current one (the
// editor finds side files there, and files its commands write go there);
// the directory the run began in is the current one again afterwards, where
// libFuzzer writes what it keeps. Paths given to a target must be absolute
// all the same: a crash ends the process inside the scratch directory.
class Scratch {
public:
    const std::string& dir = ScratchDir();
    Scratch() : previous_(open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) std::filesystem::remove_all(entry.path(), ec);
        FUZZ_CHECK(chdir(dir.c_str()) == 0, "cannot enter the scratch directory");
    }
    ~Scratch()
    {
        if (previous_ >= 0) {
            FUZZ_CHECK(fchdir(previous_) == 0, "cannot go back to the first directory");
            close(previous_);
        }
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

private:
    int previous_;
};

inline void WriteBytes(const std::string& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    FUZZ_CHECK(out.good(), "cannot write " + path);
}

inline std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

constexpr KeyEvent EscKey = 0x0000011B;
constexpr KeyEvent EnterKey = 0x00001C0D;

void CheckEditor(const Editor& ed);

// Takes the queued keys first; then answers every prompt with Esc. While
// the main loop waits between commands with nothing queued, the run is over
// (ScriptExhausted). A prompt that keeps asking after many answers never
// ends for the user either: that aborts.
class AnsweringConsole : public ScriptedConsole {
public:
    using ScriptedConsole::ScriptedConsole;
    const Editor* editor = nullptr;
    int answered = 0;
    static constexpr int MaxAnswers = 2000;

    KeyEvent ReadKey() override
    {
        // Between two commands everything must hold.
        if (editor && editor->ReadingAtRest) CheckEditor(*editor);
        if (!keys.empty()) return ScriptedConsole::ReadKey();
        if (editor && editor->ReadingAtRest) throw ScriptExhausted();
        FUZZ_CHECK(++answered <= MaxAnswers, "a prompt goes on asking after 2000 answers of Esc");
        return EscKey;
    }
};

// A key from a byte: the keys the prompts and the text take most.
inline KeyEvent AnswerKey(uint8_t b)
{
    static constexpr KeyEvent table[] = {EscKey, EnterKey, '1', '2', '3', '4', 'y', 'n', 0x00003920};
    return table[b % (sizeof table / sizeof table[0])];
}

// Adds lines to an empty text as the load does.
inline void AddLines(Editor& ed, const std::string& text, int maxLines)
{
    size_t from = 0;
    while (from <= text.size() && ed.LineCount < maxLines) {
        size_t end = text.find('\n', from);
        if (end == std::string::npos) end = text.size();
        if (!AppendLoadedLine(ed, std::string_view(text).substr(from, end - from))) break;
        from = end + 1;
    }
    if (ed.LineCount == 0) {
        int at = 1;
        InsertLine(ed, ed.LineCapacity, at);
    }
}

inline std::string Where(const char* field, long value, long limit)
{
    return std::string(field) + " = " + std::to_string(value) + ", limit " + std::to_string(limit);
}

// What holds after any command and any file read, whatever the input.
inline void CheckEditor(const Editor& ed)
{
    FUZZ_CHECK(ed.LineCount >= 1 && ed.LineCount <= MaxLines, Where("LineCount", ed.LineCount, MaxLines));
    for (int n = 1; n <= ed.LineCount; ++n) {
        const int capacity = LineCapacityOf(ed, n);
        FUZZ_CHECK(capacity >= 0 && capacity <= MaxText, Where("capacity of line", n, capacity));
        FUZZ_CHECK(LineText(ed, n).size() <= static_cast<size_t>(capacity), Where("text longer than its record, line", n, capacity));
    }
    FUZZ_CHECK(ed.CurrentLine >= 1 && ed.CurrentLine <= ed.LineCount, Where("CurrentLine", ed.CurrentLine, ed.LineCount));
    FUZZ_CHECK(ed.CurrentColumn >= 1 && ed.CurrentColumn <= MaxText + 1, Where("CurrentColumn", ed.CurrentColumn, MaxText + 1));
    FUZZ_CHECK(ed.TopLine >= 1 && ed.TopLine <= ed.LineCount, Where("TopLine", ed.TopLine, ed.LineCount));
    for (int b = 1; b <= 3; ++b)
        FUZZ_CHECK(ed.LineBookmarks[b] >= 0 && ed.LineBookmarks[b] <= ed.LineCount, Where("line bookmark", ed.LineBookmarks[b], ed.LineCount));
    for (int b = 1; b <= 2; ++b) {
        const PositionMark& m = ed.PositionBookmarks[b];
        FUZZ_CHECK(m.line >= 0 && m.line <= ed.LineCount, Where("position bookmark line", m.line, ed.LineCount));
        FUZZ_CHECK(m.column >= 0 && m.column <= MaxText, Where("position bookmark column", m.column, MaxText));
    }
    FUZZ_CHECK(ed.ColumnBookmark >= 1 && ed.ColumnBookmark <= MaxText, Where("ColumnBookmark", ed.ColumnBookmark, MaxText));
    for (const PositionMark& m : ed.GetBackRing)
        FUZZ_CHECK(m.column >= 0 && m.column <= MaxText, Where("get-back column", m.column, MaxText));
    FUZZ_CHECK(ed.MemoryUsed <= ed.MemoryBudget, Where("MemoryUsed", static_cast<long>(ed.MemoryUsed), static_cast<long>(ed.MemoryBudget)));
    FUZZ_CHECK(ed.AbbrevList.size() <= ShortsListSize, Where("abbreviations", static_cast<long>(ed.AbbrevList.size()), ShortsListSize));
    FUZZ_CHECK(ed.CompletionList.size() <= ShortsListSize, Where("completions", static_cast<long>(ed.CompletionList.size()), ShortsListSize));
    for (const std::string& s : ed.AbbrevList) FUZZ_CHECK(s.size() <= MaxText, "an abbreviation over 255 characters");
    for (const std::string& s : ed.CompletionList) FUZZ_CHECK(s.size() <= MaxText, "a completion over 255 characters");
    for (const auto& [word, index] : ed.AbbrevIndex)
        FUZZ_CHECK(index >= 0 && index < static_cast<int>(ed.AbbrevList.size()), "an abbreviation index past its table");
    for (int i = 0; i < 256; ++i) {
        FUZZ_CHECK(ed.MacroTable[i].size() <= MaxText, Where("key definition over 255 characters, index", i, MaxText));
        FUZZ_CHECK(ed.MacroDefined[i] || ed.MacroTable[i].empty(), Where("text of an undefined key definition", i, 0));
    }
    for (const std::string& s : ed.SearchHistory) FUZZ_CHECK(s.size() <= MaxText, "a history entry over 255 characters");
    FUZZ_CHECK(ed.HistoryIndex >= 0 && ed.HistoryIndex < HistorySize, Where("HistoryIndex", ed.HistoryIndex, HistorySize));
    FUZZ_CHECK(ed.SearchCase == 0 || ed.SearchCase == 15 || ed.SearchCase == -15, Where("SearchCase", ed.SearchCase, 15));
    FUZZ_CHECK(ed.RecordCount >= 0 && ed.RecordCount <= 33, Where("RecordCount", ed.RecordCount, 33));
    FUZZ_CHECK(ed.PlaybackIndex >= 0 && ed.PlaybackIndex <= 33, Where("PlaybackIndex", ed.PlaybackIndex, 33));
}

// An editor on an answering console, as the program has it after start-up.
struct Session {
    AnsweringConsole con{80, 25};
    Editor ed;
    explicit Session(size_t budget = DefaultMemoryBudget) : ed(con, budget)
    {
        con.OpenScreen();
        con.editor = &ed;
        ed.CodePageDetect = false;
        ed.ShowNotice = false;
        ed.StateDir = ScratchDir();
        ed.ClipboardFile = ScratchDir() + "LumoClip";
        ed.SavedStateFile = ScratchDir() + "LumoSS";
        ed.TabStops[1] = 1;
        ComputeTabStops(ed);
    }
};

}  // namespace lumo::fuzz
