// Inserting, deleting and moving many lines at once must leave the text and
// every remembered line number exactly as the same steps one line at a time
// would: checked against InsertLine/DeleteLine on many random texts.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "console/scripted_console.h"
#include "editor/linestore.h"

namespace lumo {
namespace {

struct State {
    std::vector<std::string> lines;
    std::array<int, 4> bookmarks;
    std::vector<int> positions;
    int blockFirst, blockLast, boxFirst, boxLast, current;
    std::array<std::string, 16> ring;
    int ringIndex;
    bool modified, edited;
    bool operator==(const State&) const = default;
};

State Capture(const Editor& ed)
{
    State s;
    for (int n = 1; n <= ed.LineCount; ++n) s.lines.push_back(GetLine(ed, n));
    s.bookmarks = ed.LineBookmarks;
    for (int i = 1; i <= 2; ++i) {
        s.positions.push_back(ed.PositionBookmarks[i].line);
        s.positions.push_back(ed.PositionBookmarks[i].top);
    }
    s.blockFirst = ed.LineBlockFirst;
    s.blockLast = ed.LineBlockLast;
    s.boxFirst = ed.BoxFirstLine;
    s.boxLast = ed.BoxLastLine;
    s.current = ed.CurrentLine;
    s.ring = ed.RestoreRing;
    s.ringIndex = ed.RestoreIndex;
    s.modified = ed.Modified;
    s.edited = ed.LineEdited;
    return s;
}

// The same random text and marks in two editors.
void Fill(Editor& ed, std::mt19937& rng, int count)
{
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int n = 1; n <= count; ++n) {
        int at = n;
        InsertLine(ed, pick(0, 20), at);
        SetLine(ed, "line " + std::to_string(n) + std::string(pick(0, 3), 'x'), at);
    }
    for (int i = 1; i <= 3; ++i) ed.LineBookmarks[i] = pick(0, count);
    for (int i = 1; i <= 2; ++i) ed.PositionBookmarks[i] = {pick(0, count), pick(1, 60), pick(1, count)};
    int a = pick(1, count), b = pick(1, count);
    if (pick(0, 1)) {
        ed.LineBlockFirst = std::min(a, b);
        ed.LineBlockLast = std::max(a, b);
    } else {
        ed.BoxFirstLine = std::min(a, b);
        ed.BoxLastLine = std::max(a, b);
        ed.BoxFirstColumn = 2;
        ed.BoxLastColumn = 4;
    }
    ed.CurrentLine = pick(1, count);
    ed.LineEdited = ed.Modified = pick(0, 1) == 1;
    ed.RestoreIndex = pick(0, 15);
}

TEST(LineStoreBulk, ManyLinesAtOnceMatchOneAtATime)
{
    std::mt19937 rng(16);
    for (int round = 0; round < 600; ++round) {
        ScriptedConsole c1, c2;
        Editor bulk(c1), single(c2);
        const int count = std::uniform_int_distribution<int>(1, 12)(rng);
        std::mt19937 r1 = rng, r2 = rng;
        Fill(bulk, r1, count);
        Fill(single, r2, count);
        rng = r1;
        auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        const int first = pick(1, count);
        const int last = pick(first, count);
        const int h = last - first + 1;
        const int op = round % 3;
        SCOPED_TRACE("round " + std::to_string(round) + " op " + std::to_string(op) + " lines " +
                     std::to_string(first) + ".." + std::to_string(last));
        if (op == 0) {
            DeleteLines(bulk, first, h);
            for (int i = 0; i < h; ++i) {
                int at = first;
                DeleteLine(single, at);
            }
        } else if (op == 1) {
            int below = pick(0, count);
            if (below >= first && below < last) below = last;
            MoveLines(bulk, first, last, below);
            // Copy below `below`, last line first, then delete the originals.
            int source = last;
            for (int i = 0; i < h; ++i) {
                std::string text = GetLine(single, source);
                int at = below + 1;
                InsertLine(single, LineCapacityOf(single, source), at);
                SetLine(single, text, at);
                if (below < first) ++source;  // the block moved down by one
                --source;
            }
            const int from = below < first ? first + h : first;
            for (int i = 0; i < h; ++i) {
                int at = from;
                DeleteLine(single, at);
            }
        } else {
            const int at = pick(1, count + 1);
            std::vector<std::string> texts;
            for (int i = 0; i < h; ++i) texts.push_back("new " + std::to_string(i));
            ASSERT_TRUE(InsertLines(bulk, at, h, [&texts](int i) { return NewLine{texts[i], 10}; }));
            for (int i = h - 1; i >= 0; --i) {
                int where = at;
                InsertLine(single, 10, where);
                SetLine(single, texts[i], where);
            }
        }
        ASSERT_EQ(Capture(bulk), Capture(single));
        EXPECT_EQ(bulk.MemoryUsed, single.MemoryUsed);
    }
}

TEST(LineStoreBulk, RefusedInsertChangesNothing)
{
    ScriptedConsole con;
    con.OpenScreen();
    Editor ed(con, LineSlots * 4 + ScratchSize + 1 + 2000);
    for (int n = 1; n <= 10; ++n) {
        int at = n;
        InsertLine(ed, 100, at);
    }
    ed.Modified = false;
    const size_t used = ed.MemoryUsed;
    // Ten more lines of 254 cannot be paid for: none is inserted.
    EXPECT_FALSE(InsertLines(ed, 3, 10, [](int) { return NewLine{"x", 254}; }));
    EXPECT_EQ(ed.OperationFailed, 1);
    EXPECT_EQ(ed.LineCount, 10);
    EXPECT_EQ(ed.MemoryUsed, used);
    EXPECT_FALSE(ed.Modified);
    EXPECT_FALSE(RoomForLines(ed, MaxLines, 0));
}

}  // namespace
}  // namespace lumo
