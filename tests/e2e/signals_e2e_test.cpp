// SIGTERM, SIGHUP and SIGINT from outside at random moments while the editor
// loads the largest text, saves it, or replaces through all of it. Whenever
// the signal lands, the file on disk is the old file or the new one, whole;
// the emergency save, when there is one, holds the whole text with the
// change; the terminal gets its modes back and the restore sequence is the
// last thing written; the exit status says whether the text was changed.
//
// The editor reads the terminal in raw mode, so Ctrl+C is a key and SIGINT
// can only come from kill: it ends the session as SIGTERM does.
//
// LUMO_SIGNAL_RUNS sets the runs per signal and stage (50 for the full
// count), LUMO_SIGNAL_SEED the seed of the delays.
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <sstream>

#include "pty_session.h"

namespace lumo::e2e {
namespace {

namespace fs = std::filesystem;

constexpr int MaxLines = 24575;

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteAll(const fs::path& path, const std::string& data)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << data;
}

// Every line the editor can hold, 100..250 bytes each of Latin words, CP866
// Cyrillic words and digits, with "ZEBRA" now and then for the replace. The
// first line is plain ASCII, so its drawing shows the load has ended.
std::string LargestText()
{
    std::mt19937 random(866);
    std::string text = "lumo-top line of the largest text ZEBRA\n";
    for (int n = 2; n <= MaxLines; ++n) {
        const size_t length = 100 + random() % 151;
        std::string line;
        while (line.size() < length) {
            if (!line.empty()) line += ' ';
            const int letters = 2 + random() % 7;
            switch (random() % 5) {
                case 0: line += "ZEBRA"; break;
                case 1: for (int i = 0; i < letters; ++i) line += char('a' + random() % 26); break;
                case 2: for (int i = 0; i < letters; ++i) line += char(0xA0 + random() % 16); break;
                case 3: for (int i = 0; i < letters; ++i) line += char(0xE0 + random() % 16); break;
                default: line += std::to_string(random() % 100000); break;
            }
        }
        line.resize(length);
        while (line.back() == ' ') line.pop_back();
        text += line + "\n";
    }
    return text;
}

std::string ReplacedAll(std::string text, const std::string& from, const std::string& to)
{
    for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) text.replace(at, from.size(), to);
    return text;
}

enum class Stage { Load, Save, Replace };
const char* StageName(Stage s) { return s == Stage::Load ? "load" : s == Stage::Save ? "save" : "replace"; }

class SignalsDuringWork : public testing::Test {
protected:
    void SetUp() override
    {
        char name[] = "/tmp/lumo-e2e-signals-XXXXXX";
        dir_ = mkdtemp(name);
        fs::create_directories(dir_ / "work");
        old_ = LargestText();
        saved_ = "\x9E" + old_;  // Ю typed at the start of line 1
        replaced_ = ReplacedAll(old_, "ZEBRA", "OKAPI");
        WriteAll(File(), old_);
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    fs::path File() const { return dir_ / "work" / "big.txt"; }
    fs::path StateDir() const { return dir_ / "home" / "state" / "lumo"; }

    // Starts the editor on the largest text and brings it to the moment the
    // stage's work begins (the keys that start it are written by Begin).
    bool Prepare(PtySession& s, Stage stage, std::string& why)
    {
        std::error_code ignored;
        fs::remove_all(dir_ / "home", ignored);
        fs::create_directories(dir_ / "home");
        if (ReadAll(File()) != old_) WriteAll(File(), old_);
        if (!s.Start(LUMO_BINARY, {"-W", "-P", "big.txt"}, EditorEnvironment((dir_ / "home").string()),
                     (dir_ / "work").string())) {
            why = "cannot start the editor";
            return false;
        }
        // The load starts as soon as the terminal is taken: its signals are
        // timed from the start, and the terminal's answer is left out.
        if (stage == Stage::Load) return true;
        if (!s.AnswerAsXterm()) {
            why = "the editor asked the terminal nothing";
            return false;
        }
        size_t at = s.WaitForText("umo-top line");
        if (at == std::string::npos) {
            why = "the text was never drawn";
            return false;
        }
        if (stage == Stage::Save) {
            s.Write("\xD0\xAE");  // Ю
            if (s.WaitForText("\xD0\xAE", at) == std::string::npos) {
                why = "the typed letter was never drawn";
                return false;
            }
            return true;
        }
        s.Write("\x1b[17~");  // F6
        const char* steps[][2] = {{"search string", "ZEBRA\r"}, {"replacement string", "OKAPI\r"}, {"every case", ""}};
        for (auto& step : steps) {
            at = s.WaitForText(step[0], at);
            if (at == std::string::npos) {
                why = std::string("no prompt \"") + step[0] + "\"";
                return false;
            }
            s.Write(step[1]);
        }
        return true;
    }
    // The keys that start the stage's work: none for the load (it runs by
    // itself), F2 for the save, "2 - no" (ask nothing) for the replace.
    void Begin(PtySession& s, Stage stage)
    {
        if (stage == Stage::Save) s.Write("\x1bOQ");
        if (stage == Stage::Replace) s.Write("2");
    }

    // How long the stage's work takes here, measured once without a signal;
    // the delays are drawn from a little more than that.
    int MeasureStage(Stage stage)
    {
        PtySession s;
        std::string why;
        if (!Prepare(s, stage, why)) {
            ADD_FAILURE() << StageName(stage) << ": " << why;
            return 0;
        }
        struct stat before{};
        stat(File().c_str(), &before);
        const size_t mark = s.TextSize();
        const long long start = stage == Stage::Load ? s.StartedMs() : PtyNowMs();
        Begin(s, stage);
        long long end = start;
        if (stage == Stage::Load) {
            s.WaitForText("umo-top line", mark);
        } else if (stage == Stage::Replace) {
            s.WaitForText("All replacements done", mark);
        } else {
            struct stat now{};
            while (PtyNowMs() - start < 10000 && stat(File().c_str(), &now) == 0 && now.st_ino == before.st_ino)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        end = PtyNowMs();
        s.Signal(SIGTERM);
        int status;
        s.WaitExit(20000, status);
        return int(end - start);
    }

    // One run: the signal `delayMs` after the work began (after the start
    // of the process for the load); a negative delay sends it that much
    // before the key that begins the work. `times` > 1 sends it again that
    // often, `gapMs` apart, as an impatient user or a service manager
    // does. Returns what went wrong (empty when nothing did); `outcome` is
    // the exit code, or 128 + the signal.
    std::string RunOnce(Stage stage, int sig, int delayMs, int& outcome, int times = 1, int gapMs = 0)
    {
        PtySession s;
        std::string why;
        if (!Prepare(s, stage, why)) return why;
        auto send = [&] {
            for (int i = 0; i < times; ++i) {
                if (i > 0) std::this_thread::sleep_for(std::chrono::milliseconds(gapMs));
                s.Signal(sig);
            }
        };
        if (delayMs < 0) {
            send();
            std::this_thread::sleep_for(std::chrono::milliseconds(-delayMs));
            Begin(s, stage);
        } else {
            Begin(s, stage);
            const long long from = stage == Stage::Load ? s.StartedMs() : PtyNowMs();
            std::this_thread::sleep_until(std::chrono::steady_clock::time_point(std::chrono::milliseconds(from + delayMs)));
            send();
        }
        int status = 0;
        if (!s.WaitExit(30000, status)) return "the editor did not end";
        std::string out = s.Output();
        lastStatus_ = status;
        lastOutput_ = out.substr(out.size() > 300 ? out.size() - 300 : 0);
        if (!SameModes(s.ModesBefore(), s.ModesNow()))
            return "the terminal modes were not restored (status " + std::to_string(status) + ", " +
                   std::to_string(out.size()) + " bytes written)";
        // Before the editor has taken the terminal, or between taking it
        // and starting to read keys, the signal ends the process as it
        // would any program; so does the third one in a row, whatever the
        // editor is doing. The terminal must be as it was all the same, and
        // nothing half written may be left.
        const bool died = WIFSIGNALED(status);
        if (died) {
            if (WTERMSIG(status) != sig) return "ended by signal " + std::to_string(WTERMSIG(status));
            if (!out.empty() && !CheckRestoredLast(out).empty()) return CheckRestoredLast(out);
            if (times == 1 && ReadAll(File()) != old_) return "the file changed, and the process died";
            outcome = 128 + sig;
        } else {
            // The exit status: 3 when a changed text went to the emergency
            // save, 0 when there was nothing to keep.
            outcome = WEXITSTATUS(status);
            if (outcome != 0 && outcome != 3) return "exit code " + std::to_string(outcome);
            std::string last = CheckRestoredLast(out);
            if (!last.empty()) return last;
        }

        const std::string file = ReadAll(File());
        const bool fileOld = file == old_, fileNew = stage == Stage::Save && file == saved_;
        if (!fileOld && !fileNew) return "the file on disk is neither the old text nor the new (" +
                                          std::to_string(file.size()) + " bytes)";
        for (const fs::directory_entry& e : fs::directory_iterator(dir_ / "work"))
            if (e.path().filename() != "big.txt") return "left behind: " + e.path().string();
        std::vector<fs::path> saves;
        if (fs::exists(StateDir()))
            for (const fs::directory_entry& e : fs::directory_iterator(StateDir()))
                if (e.path().filename().string().find(".save") != std::string::npos) saves.push_back(e.path());
        if (died) {
            // Ended in the middle of an emergency save: none, never a part.
            if (saves.size() > 1) return "died with " + std::to_string(saves.size()) + " emergency saves";
            const std::string& changed = stage == Stage::Save ? saved_ : replaced_;
            if (saves.size() == 1 && ReadAll(saves[0]) != changed)
                return "died leaving an emergency save of " + std::to_string(ReadAll(saves[0]).size()) + " bytes";
        } else if (outcome == 0) {
            if (!saves.empty()) return "exit 0 with an emergency save";
            if (stage == Stage::Save && !fileNew) return "exit 0, yet the typed letter is nowhere";
        } else {
            if (saves.size() != 1) return "exit 3 with " + std::to_string(saves.size()) + " emergency saves";
            const std::string kept = ReadAll(saves[0]);
            const std::string& changed = stage == Stage::Save ? saved_ : replaced_;
            if (kept != changed) return "the emergency save holds " + std::to_string(kept.size()) +
                                        " bytes, not the changed text's " + std::to_string(changed.size());
            if (stage == Stage::Load) return "exit 3 after a load alone";
        }
        return {};
    }

    fs::path dir_;
    std::string old_, saved_, replaced_;
    int lastStatus_ = 0;
    std::string lastOutput_;  // the end of what the last run wrote
};

int RunsFromEnvironment(int fallback)
{
    const char* v = std::getenv("LUMO_SIGNAL_RUNS");
    int n = v ? std::atoi(v) : 0;
    return n > 0 ? n : fallback;
}

TEST_F(SignalsDuringWork, FileWholeTextKeptTerminalRestored)
{
    const int runs = RunsFromEnvironment(6);
    const char* seedText = std::getenv("LUMO_SIGNAL_SEED");
    const unsigned seed = seedText ? unsigned(std::strtoul(seedText, nullptr, 10)) : 20261207u;
    std::mt19937 random(seed);
    const Stage stages[] = {Stage::Load, Stage::Save, Stage::Replace};
    const std::pair<int, const char*> signals[] = {{SIGTERM, "SIGTERM"}, {SIGHUP, "SIGHUP"}, {SIGINT, "SIGINT"}};
    for (Stage stage : stages) {
        const int workMs = MeasureStage(stage);
        if (HasFailure()) return;
        std::printf("[ signals  ] %s takes %d ms here\n", StageName(stage), workMs);
        for (auto [sig, sigName] : signals) {
            std::map<int, int> outcomes;
            for (int run = 0; run < runs; ++run) {
                // The load from the start of the process; the others from
                // a little before their key to a little after their end.
                const int lead = stage == Stage::Load ? 0 : workMs / 4 + 2;
                const int delay = int(random() % unsigned(workMs * 5 / 4 + 3 + lead)) - lead;
                int outcome = -1;
                std::string fault = RunOnce(stage, sig, delay, outcome);
                ASSERT_EQ(fault, "") << sigName << " during the " << StageName(stage) << ", " << delay
                                     << " ms in (seed " << seed << ", run " << run << "); wait status "
                                     << lastStatus_ << ", the output ended with: " << Escaped(lastOutput_);
                ++outcomes[outcome];
            }
            std::printf("[ signals  ] %s during the %s: %d runs, exit 0: %d, exit 3: %d, died: %d\n", sigName,
                        StageName(stage), runs, outcomes[0], outcomes[3], outcomes[128 + sig]);
        }
    }
}

// Three signals in a row end the editor outright, whatever it is doing: in
// the middle of the save, or of the emergency save that the first one began
// after the replace. The file is still old or new and whole, the terminal
// is restored, and no temporary file or part of a save is left.
TEST_F(SignalsDuringWork, ThreeInARowEndItWithNothingHalfWritten)
{
    const int runs = RunsFromEnvironment(6);
    std::mt19937 random(20261208u);
    for (Stage stage : {Stage::Save, Stage::Replace}) {
        const int workMs = MeasureStage(stage);
        if (HasFailure()) return;
        std::map<int, int> outcomes;
        for (int run = 0; run < runs; ++run) {
            const int delay = int(random() % unsigned(workMs * 5 / 4 + 3));
            const int gap = 1 + int(random() % 4);
            int outcome = -1;
            std::string fault = RunOnce(stage, SIGTERM, delay, outcome, 3, gap);
            ASSERT_EQ(fault, "") << "three SIGTERMs " << gap << " ms apart during the " << StageName(stage) << ", "
                                 << delay << " ms in (run " << run << "); wait status " << lastStatus_
                                 << ", the output ended with: " << Escaped(lastOutput_);
            ++outcomes[outcome];
        }
        std::printf("[ signals  ] three SIGTERMs during the %s: %d runs, exit 0: %d, exit 3: %d, died: %d\n",
                    StageName(stage), runs, outcomes[0], outcomes[3], outcomes[128 + SIGTERM]);
    }
}

}  // namespace
}  // namespace lumo::e2e
