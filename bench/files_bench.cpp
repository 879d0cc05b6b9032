// Loading and saving the largest text the line table holds.
//
// The text is big.txt from the data generator when LUMO_BENCH_DATA names its
// directory; otherwise a file of the same shape (24,575 lines of 60 to 80
// ASCII characters) is written to a temporary directory.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "console/scripted_console.h"
#include "files/fileio.h"
#include "files/utf8file.h"
#include "editor/linestore.h"

namespace lumo {
namespace {

class BigText {
public:
    BigText()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "lumo-bench-XXXXXX").string();
        if (mkdtemp(pattern.data())) dir_ = pattern + "/";
        const char* data = std::getenv("LUMO_BENCH_DATA");
        if (data && std::filesystem::exists(std::string(data) + "/big.txt")) {
            source_ = std::string(data) + "/big.txt";
            label_ = "big.txt";
        } else {
            source_ = dir_ + "source.txt";
            label_ = "generated";
            std::ofstream out(source_, std::ios::binary);
            const std::string words = "the quick brown fox jumps over a lazy dog while seven wizards box ";
            for (int i = 1; i <= MaxLines; ++i) {
                size_t length = 60 + static_cast<size_t>(i * 7919) % 21;
                std::string line = std::to_string(i) + " ";
                while (line.size() < length) line += words;
                line.resize(length);
                out << line << '\n';
            }
        }
    }
    ~BigText()
    {
        std::error_code ec;
        if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
    }
    const std::string& source() const { return source_; }
    // The text in UTF-8, Cyrillic on every line (big866.txt converted when
    // the data directory has it, else every line of the text after "Я ").
    const std::string& utf8() const
    {
        if (utf8_.empty()) {
            const char* data = std::getenv("LUMO_BENCH_DATA");
            std::string cp866 = data ? std::string(data) + "/big866.txt" : std::string();
            bool have866 = !cp866.empty() && std::filesystem::exists(cp866);
            std::ifstream in(have866 ? cp866 : source_, std::ios::binary);
            std::string bytes, line;
            while (std::getline(in, line)) {
                if (!have866) bytes += "\xD0\xAF ";
                AppendCp866AsUtf8(bytes, line);
                bytes += '\n';
            }
            utf8_ = dir_ + "utf8.txt";
            std::ofstream(utf8_, std::ios::binary) << bytes;
        }
        return utf8_;
    }
    // The ASCII text whose only Cyrillic letter (in UTF-8) ends its last line:
    // nothing before the end tells it from a byte file.
    const std::string& lateUtf8() const
    {
        if (late_.empty()) {
            std::ifstream in(source_, std::ios::binary);
            std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            if (!bytes.empty() && bytes.back() == '\n') bytes.pop_back();
            bytes += " \xD0\xAF\n";
            late_ = dir_ + "late.txt";
            std::ofstream(late_, std::ios::binary) << bytes;
        }
        return late_;
    }
    const std::string& label() const { return label_; }
    // A copy that saving may replace.
    std::string Copy(const std::string& name) const
    {
        std::filesystem::copy_file(source_, dir_ + name, std::filesystem::copy_options::overwrite_existing);
        return dir_ + name;
    }

private:
    std::string dir_;
    std::string source_;
    std::string label_;
    mutable std::string utf8_;
    mutable std::string late_;
};

const BigText& Big()
{
    static BigText big;
    return big;
}

// The start-up load: code-page detection on (as by default) or off (-P).
void LoadBig(benchmark::State& state, bool detect, const std::string& file = Big().source())
{
    ScriptedConsole con;
    con.OpenScreen();
    int lines = 0;
    for (auto _ : state) {
        Editor ed(con);
        ed.CodePageDetect = detect;
        ed.FileName = file;
        LoadFile(ed);
        benchmark::DoNotOptimize(ed.LineCount);
        lines = ed.LineCount;
    }
    std::string label = file == Big().source() ? Big().label() : std::filesystem::path(file).filename().string();
    state.SetLabel(label + ", " + std::to_string(lines) + " lines");
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(std::filesystem::file_size(file)));
}

void BM_LoadBigText(benchmark::State& state) { LoadBig(state, true); }
BENCHMARK(BM_LoadBigText)->Unit(benchmark::kMillisecond);

void BM_LoadBigTextNoDetection(benchmark::State& state) { LoadBig(state, false); }
BENCHMARK(BM_LoadBigTextNoDetection)->Unit(benchmark::kMillisecond);

// A UTF-8 text converted to CP866 as it loads.
void BM_LoadBigUtf8Text(benchmark::State& state) { LoadBig(state, true, Big().utf8()); }
BENCHMARK(BM_LoadBigUtf8Text)->Unit(benchmark::kMillisecond);

// The worst case for telling UTF-8 from bytes: the first multi-byte
// character is in the last line.
void BM_LoadLateUtf8Text(benchmark::State& state) { LoadBig(state, true, Big().lateUtf8()); }
BENCHMARK(BM_LoadLateUtf8Text)->Unit(benchmark::kMillisecond);

// F2 on the modified text: encode, write a temporary file, flush it to disk,
// rename it over the file.
void BM_SaveBigText(benchmark::State& state)
{
    ScriptedConsole con;
    con.OpenScreen();
    Editor ed(con);
    ed.CodePageDetect = false;
    ed.FileName = Big().Copy("save.txt");
    LoadFile(ed);
    for (auto _ : state) {
        ed.Modified = true;
        SaveFile(ed);
        if (ed.OperationFailed != 0 || ed.Modified) state.SkipWithError("the save failed");
    }
    state.SetLabel(Big().label() + ", " + std::to_string(ed.LineCount) + " lines");
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(std::filesystem::file_size(ed.FileName)));
}
BENCHMARK(BM_SaveBigText)->Unit(benchmark::kMillisecond);

// F2 where no rename can be made (here a file with a second hard link, the
// same path as a file mounted on its own or a directory without room for a
// new file): the old text is kept in memory, the new one written in place,
// flushed and read back to be compared.
void BM_SaveBigTextInPlace(benchmark::State& state)
{
    ScriptedConsole con;
    con.OpenScreen();
    Editor ed(con);
    ed.CodePageDetect = false;
    ed.FileName = Big().Copy("inplace.txt");
    std::filesystem::remove(ed.FileName + ".link");
    std::filesystem::create_hard_link(ed.FileName, ed.FileName + ".link");
    LoadFile(ed);
    for (auto _ : state) {
        ed.Modified = true;
        SaveFile(ed);
        if (ed.OperationFailed != 0 || ed.Modified) state.SkipWithError("the save failed");
    }
    state.SetLabel(Big().label() + ", " + std::to_string(ed.LineCount) + " lines");
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(std::filesystem::file_size(ed.FileName)));
}
BENCHMARK(BM_SaveBigTextInPlace)->Unit(benchmark::kMillisecond);

// The bytes of the whole text, without the file system.
void BM_EncodeBigText(benchmark::State& state)
{
    ScriptedConsole con;
    con.OpenScreen();
    Editor ed(con);
    ed.CodePageDetect = false;
    ed.FileName = Big().source();
    LoadFile(ed);
    size_t bytes = 0;
    for (auto _ : state) {
        std::string out = EncodeLines(ed, 1, ed.LineCount, SaveAsIs);
        bytes = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
}
BENCHMARK(BM_EncodeBigText)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lumo
