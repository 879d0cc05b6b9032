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
#include <string>

#include "console/scripted_console.h"
#include "files/fileio.h"
#include "text/linestore.h"

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
};

const BigText& Big()
{
    static BigText big;
    return big;
}

// The start-up load: code-page detection on (as by default) or off (-P).
void LoadBig(benchmark::State& state, bool detect)
{
    ScriptedConsole con;
    con.OpenScreen();
    int lines = 0;
    for (auto _ : state) {
        Editor ed(con);
        ed.CodePageDetect = detect;
        ed.FileName = Big().source();
        LoadFile(ed);
        benchmark::DoNotOptimize(ed.LineCount);
        lines = ed.LineCount;
    }
    state.SetLabel(Big().label() + ", " + std::to_string(lines) + " lines");
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(std::filesystem::file_size(Big().source())));
}

void BM_LoadBigText(benchmark::State& state) { LoadBig(state, true); }
BENCHMARK(BM_LoadBigText)->Unit(benchmark::kMillisecond);

void BM_LoadBigTextNoDetection(benchmark::State& state) { LoadBig(state, false); }
BENCHMARK(BM_LoadBigTextNoDetection)->Unit(benchmark::kMillisecond);

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
