// The cost of keeping lines as read and of a UTF-8 text's character map:
// the maximal Russian text in CP866 against the same text in UTF-8 whose
// punctuation CP866 lacks (— « » … and an emoji) takes bytes of the text's
// own, loaded and encoded for saving; and a text whose every line keeps
// trailing blanks.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "console/scripted_console.h"
#include "editor/linestore.h"
#include "files/fileio.h"
#include "files/utf8file.h"

namespace lumo {
namespace {

class RussianTexts {
public:
    RussianTexts()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "lumo-fidelity-XXXXXX").string();
        if (mkdtemp(pattern.data())) dir_ = pattern + "/";
        // "Мороз и солнце; день чудесный" in CP866, and the UTF-8 extras.
        const std::string words = "\x8C\xAE\xE0\xAE\xA7 \xA8 \xE1\xAE\xAB\xAD\xE6\xA5 \xA4\xA5\xAD\xEC ";
        const char* extras[] = {"\xE2\x80\x94", "\xC2\xAB", "\xC2\xBB", "\xE2\x80\xA6", "\xF0\x9F\x98\x80"};
        std::string cp866, utf8, plainUtf8, blanks;
        for (int i = 1; i <= MaxLines; ++i) {
            size_t length = 60 + static_cast<size_t>(i * 7919) % 21;
            std::string line;
            while (line.size() < length) line += words;
            line.resize(length);
            cp866 += line + '\n';
            blanks += line + "   \n";
            std::string u;
            AppendCp866AsUtf8(u, line);
            plainUtf8 += u + '\n';
            u += ' ';
            u += extras[i % 5];
            utf8 += u + '\n';
        }
        Write("cp866.txt", cp866);
        Write("utf8.txt", utf8);
        Write("utf8plain.txt", plainUtf8);
        Write("blanks.txt", blanks);
    }
    ~RussianTexts()
    {
        std::error_code ec;
        if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
    }
    std::string Path(const std::string& name) const { return dir_ + name; }

private:
    void Write(const std::string& name, const std::string& bytes)
    {
        std::ofstream(dir_ + name, std::ios::binary) << bytes;
    }
    std::string dir_;
};

const RussianTexts& Texts()
{
    static RussianTexts texts;
    return texts;
}

void LoadAndEncode(benchmark::State& state, const std::string& name)
{
    ScriptedConsole con;
    con.OpenScreen();
    const std::string file = Texts().Path(name);
    size_t bytes = 0;
    for (auto _ : state) {
        Editor ed(con);
        ed.FileName = file;
        LoadFile(ed);
        std::string out = EncodeLines(ed, 1, ed.LineCount, SaveAsIs);
        bytes = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
}

void BM_LoadSaveRussianCp866(benchmark::State& state) { LoadAndEncode(state, "cp866.txt"); }
BENCHMARK(BM_LoadSaveRussianCp866)->Unit(benchmark::kMillisecond);

void BM_LoadSaveRussianUtf8WithMap(benchmark::State& state) { LoadAndEncode(state, "utf8.txt"); }
BENCHMARK(BM_LoadSaveRussianUtf8WithMap)->Unit(benchmark::kMillisecond);

// The same UTF-8 text without characters CP866 lacks: what the map adds.
void BM_LoadSaveRussianUtf8NoMap(benchmark::State& state) { LoadAndEncode(state, "utf8plain.txt"); }
BENCHMARK(BM_LoadSaveRussianUtf8NoMap)->Unit(benchmark::kMillisecond);

void BM_LoadSaveTrailingBlanks(benchmark::State& state) { LoadAndEncode(state, "blanks.txt"); }
BENCHMARK(BM_LoadSaveTrailingBlanks)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lumo
