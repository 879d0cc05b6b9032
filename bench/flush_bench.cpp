// Flush cost: bytes sent to the terminal for typical screen changes, and the
// time of a flush that finds nothing to do. The byte counts are reported as
// counters ("bytes"); they do not depend on the machine.
#include <benchmark/benchmark.h>

#include <string>

#include "console/scripted_console.h"

using lumo::ScriptedConsole;

namespace {

// An 80x25 editing screen: status line, message line, lines of ASCII text.
void FillTextScreen(ScriptedConsole& con)
{
    for (int c = 1; c <= con.ScreenColumns; ++c) con.Cell(c, 1) = 0x3020;
    const std::string status = " Line 12    Col 7    Ins  Rus  letter.txt  7890k";
    for (size_t i = 0; i < status.size(); ++i) con.Cell(int(i) + 1, 1) = uint16_t(0x3000 | uint8_t(status[i]));
    const std::string text = "The quick brown fox jumps over the lazy dog, again and again; 0123456789 ok";
    for (int r = 3; r <= con.ScreenRows; ++r)
        for (int c = 1; c <= con.ScreenColumns; ++c)
            con.Cell(c, r) = uint16_t(0x0700 | uint8_t(c <= int(text.size()) ? text[(c + r) % text.size()] : ' '));
}

// The cursor cross: the current line and the cursor column highlighted.
void Cross(ScriptedConsole& con, int line, int column, bool on)
{
    for (int c = 1; c <= con.ScreenColumns; ++c) {
        uint16_t& cell = con.Cell(c, line);
        cell = uint16_t((cell & 0xFF) | ((on ? 0x1F : 0x07) << 8));
    }
    for (int r = 3; r <= con.ScreenRows; ++r) {
        if (r == line) continue;
        uint16_t& cell = con.Cell(column, r);
        cell = uint16_t((cell & 0xFF) | ((on ? 0x17 : 0x07) << 8));
    }
}

ScriptedConsole Ready()
{
    ScriptedConsole con(80, 25);
    con.OpenScreen();
    FillTextScreen(con);
    con.FlushScreen(true);
    con.PlaceCursor(6, 11);
    con.SyncCursor();
    return con;
}

void BM_OneChangedCell(benchmark::State& state)
{
    size_t bytes = 0, withCursor = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ScriptedConsole con = Ready();
        state.ResumeTiming();
        // A cell changed on another row than the cursor's (a clock, a mark);
        // the terminal cursor then goes back where it was.
        con.Cell(40, 20) = 0x0778;
        con.FlushScreen(false);
        bytes = con.lastFlushBytes.size();
        withCursor = bytes + con.SyncCursor().size();
    }
    state.counters["bytes"] = double(bytes);
    state.counters["bytes_with_cursor"] = double(withCursor);
}
BENCHMARK(BM_OneChangedCell);

void BM_TypedLetterAtCursor(benchmark::State& state)
{
    size_t bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ScriptedConsole con = Ready();
        state.ResumeTiming();
        con.Cell(7, 12) = 0x0778;  // at the cursor (column 7, row 12)
        con.FlushScreen(false);
        con.PlaceCursor(7, 11);
        bytes = con.lastFlushBytes.size() + con.SyncCursor().size();
    }
    state.counters["bytes"] = double(bytes);
}
BENCHMARK(BM_TypedLetterAtCursor);

void BM_OneChangedRow(benchmark::State& state)
{
    size_t bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ScriptedConsole con = Ready();
        state.ResumeTiming();
        const std::string line = "A whole new line of text replaces the old one here, all the way across...!";
        for (int c = 1; c <= 80; ++c)
            con.Cell(c, 12) = uint16_t(0x0700 | uint8_t(c <= int(line.size()) ? line[c - 1] : '.'));
        con.FlushScreen(false);
        bytes = con.lastFlushBytes.size();
    }
    state.counters["bytes"] = double(bytes);
}
BENCHMARK(BM_OneChangedRow);

void BM_StatusLinePlusTwoRows(benchmark::State& state)
{
    size_t bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ScriptedConsole con = Ready();
        Cross(con, 12, 7, true);
        con.FlushScreen(false);
        con.SyncCursor();
        state.ResumeTiming();
        // Down: the cross moves one line, the status line's number changes.
        Cross(con, 12, 7, false);
        Cross(con, 13, 7, true);
        con.Cell(8, 1) = 0x3033;
        con.FlushScreen(false);
        con.PlaceCursor(6, 12);
        bytes = con.lastFlushBytes.size() + con.SyncCursor().size();
    }
    state.counters["bytes"] = double(bytes);
}
BENCHMARK(BM_StatusLinePlusTwoRows);

void BM_ForcedRepaint80x25(benchmark::State& state)
{
    ScriptedConsole con = Ready();
    size_t bytes = 0;
    for (auto _ : state) {
        con.FlushScreen(true);
        bytes = con.lastFlushBytes.size();
        con.writtenBytes.clear();
    }
    state.counters["bytes"] = double(bytes);
}
BENCHMARK(BM_ForcedRepaint80x25);

void BM_FirstPaint80x25(benchmark::State& state)
{
    size_t bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ScriptedConsole con(80, 25);
        con.OpenScreen();
        con.ClearScreen();
        size_t cleared = con.writtenBytes.size();
        FillTextScreen(con);
        state.ResumeTiming();
        con.FlushScreen(false);
        bytes = cleared + con.lastFlushBytes.size();
    }
    state.counters["bytes"] = double(bytes);
}
BENCHMARK(BM_FirstPaint80x25);

void BM_NoChangeFlush(benchmark::State& state)
{
    ScriptedConsole con = Ready();
    for (auto _ : state) {
        con.FlushScreen(false);
        benchmark::DoNotOptimize(con.lastFlushBytes);
    }
    state.counters["bytes"] = double(con.lastFlushBytes.size());
}
BENCHMARK(BM_NoChangeFlush);

void BM_NoChangeFlush132x60(benchmark::State& state)
{
    ScriptedConsole con(132, 60);
    con.OpenScreen();
    con.FlushScreen(true);
    for (auto _ : state) {
        con.FlushScreen(false);
        benchmark::DoNotOptimize(con.lastFlushBytes);
    }
}
BENCHMARK(BM_NoChangeFlush132x60);

}  // namespace
