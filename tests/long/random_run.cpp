// The long random run: a million random key events through the main loop,
// every command among them but those that end the process or start another
// program, the text checked after each step. Built as its own program
// (lumo_longrun), outside the usual test run: `ctest -C long` runs it, best
// in the sanitizer build. LUMO_LONGRUN_EVENTS and LUMO_LONGRUN_SEED change
// the count and the seed.
#include <grp.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "app/loop_fixture.h"
#include "app/random_keys.h"

namespace lumo {
namespace {

unsigned long FromEnvironment(const char* name, unsigned long fallback)
{
    const char* v = std::getenv(name);
    return v && *v ? std::strtoul(v, nullptr, 10) : fallback;
}

TEST_F(LoopTest, MillionRandomKeysKeepTheTextConsistent)
{
    // Saves, written blocks, settings and answers to file-name prompts all
    // land in a directory that goes away. No program can be found on PATH
    // and there is no desktop, so nothing starts a child.
    TempDirectory dir;
    // Write to other takes most answers as directories from the root: run
    // as root, random answers would write there. As nobody they are the
    // write errors they should be.
    if (geteuid() == 0) {
        ASSERT_EQ(chown(dir.path.c_str(), 65534, 65534), 0);
        ASSERT_EQ(setgroups(0, nullptr), 0);
        ASSERT_EQ(setgid(65534), 0);
        ASSERT_EQ(setuid(65534), 0);
    }
    ScopedEnv home("LUMO_HOME", (dir.path / "state").string());
    ScopedEnv path("PATH", dir.path.string());
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    ed.FileName = (dir.path / "random.txt").string();
    ed.ClipboardFile = (dir.path / "clip").string();
    ed.SavedStateFile = (dir.path / "saved").string();
    AddLines({"The quick brown fox", "\tjumps over", "", "the lazy dog.", std::string(200, 'z')});
    for (int n = 1; n <= 300; ++n)
        AddLines({"line " + std::to_string(n) + " \x8F\xE0\xA8\xA2\xA5\xE2 " + std::string(n % 90, 'a' + n % 26)});

    const unsigned long events = FromEnvironment("LUMO_LONGRUN_EVENTS", 1000000);
    const unsigned long seed = FromEnvironment("LUMO_LONGRUN_SEED", 1000000);
    std::mt19937 random(static_cast<unsigned>(seed));
    const std::vector<KeyEvent> bound = BoundKeys(EndsOrStartsAProgram);
    for (unsigned long i = 0; i < events; ++i) {
        KeyEvent key = DrawKey(random, bound);
        if (!EndsOrStartsAProgram(key)) Push(key);
    }
    const size_t pushed = con.keys.size();
    std::printf("[ long run ] %zu events, seed %lu\n", pushed, seed);
    int step = 0;
    int quits = 0;
    try {
        while (!con.keys.empty()) {
            RunOnePass(ed);
            // Quit ends the process only outside this run: here the text
            // stays and the run goes on.
            if (ed.Ending) {
                ++quits;
                ed.Ending = false;
            }
            // Every line is looked at now and then; the cursor, the counts
            // and the blocks after every step.
            ++step;
            ExpectConsistent(ed, step, step % 1000 == 0);
            if (HasFatalFailure()) {
                std::printf("[ long run ] failed at step %d, %zu events left (seed %lu)\n", step,
                            con.keys.size(), seed);
                return;
            }
            if (step % 100000 == 0)
                std::printf("[ long run ] step %d, %zu events left, %d lines\n", step, con.keys.size(),
                            ed.LineCount);
        }
    } catch (const ScriptExhausted&) {
    }
    ExpectConsistent(ed, step);
    std::printf("[ long run ] %d steps, %d quits answered, %d lines at the end\n", step, quits, ed.LineCount);
    EXPECT_LT(con.keys.size(), 10u);  // every key was read
    EXPECT_GT(step, int(pushed / 20));  // prompts and questions take keys of their own
}

}  // namespace
}  // namespace lumo
