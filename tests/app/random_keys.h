// Random keys for runs that drive the main loop with whatever comes, and the
// check that the text is still consistent after each step. Shared by the
// randomized run among the main-loop tests and the long run built apart
// from them.
#pragma once

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "app/bindings.h"
#include "editor/editor.h"
#include "editor/linestore.h"

namespace lumo {

// Keys that end the process or start another program (a shell, RUN, a
// second editor for help, Edit other or the abbreviations file).
inline bool EndsOrStartsAProgram(KeyEvent key)
{
    if (key == HangupEvent) return true;
    uint8_t shift = (key >> 16) & 0xFF;
    // Ctrl+Alt+Backspace ends the process.
    if ((shift & 0x0C) == 0x0C && ((key >> 8) & 0xFF) == 0x0E) return true;
    // Alt function keys that start programs or write files.
    if ((shift & 8) && (shift & 4) == 0) {
        uint16_t low = key & 0xFFFF;
        if (low == 0xFF02 || low == 0xFF04 || low == 0xFF09) return true;
    }
    if (const Binding* b = FindBinding(key)) {
        // The menus reach Quit, Help and RUN.
        static const std::set<std::string> names = {"F1", "Alt+H", "Ctrl+F4", "F10"};
        if (names.count(b->name)) return true;
    }
    return false;
}

// What the short randomized run leaves out besides: Quit, commands whose
// prompts would eat random keys until one happens to end them, and Ctrl+Alt+
// Shift+key, whose macro text prompt takes hundreds of keys before an Enter.
inline bool ExcludedFromShortRun(KeyEvent key)
{
    if (EndsOrStartsAProgram(key)) return true;
    uint8_t shift = (key >> 16) & 0xFF;
    if ((shift & 0x0C) == 0x0C && (shift & 3)) return true;
    // Change by file's dialog, Replace and the search's variants (F7 stays).
    if (const Binding* b = FindBinding(key)) {
        static const std::set<std::string> names = {"Esc",      "F2",       "Ctrl+F2",       "Shift+F2",
                                                     "Shift+F1", "Ctrl+F9",  "Ctrl+Shift+F9", "Ctrl+Shift+F8",
                                                     "Alt+F8",   "Alt+Shift+F8", "Shift+F7",  "Ctrl+F7",
                                                     "Ctrl+Shift+F7", "Alt+F7",   "Alt+Shift+F7", "F6",
                                                     // Their prompts and offers eat random keys too.
                                                     "Ctrl+F10", "Shift+F12", "\\"};
        if (names.count(b->name)) return true;
    }
    return false;
}

// The bound keys `excluded` lets through, in table order.
inline std::vector<KeyEvent> BoundKeys(bool (*excluded)(KeyEvent))
{
    std::vector<KeyEvent> bound;
    for (const Binding& b : BindingTable())
        if (!excluded(b.key)) bound.push_back(b.key);
    return bound;
}

// One random key: a bound key a third of the time, else a character, an Alt
// key, a function or cursor key with any shift state, or any value at all.
inline KeyEvent DrawKey(std::mt19937& random, const std::vector<KeyEvent>& bound)
{
    switch (random() % 6) {
        case 0:
        case 1: return bound[random() % bound.size()];
        case 2: return random() & 0xFF;                                                 // characters
        case 3: return 0x03080000u | ((random() % 0x100) << 8);                         // Alt keys
        case 4: return 0x02000000u | ((random() % 8) << 16) | 0xFF00 | (random() % 0x30);
        default: return random();                                                       // anything
    }
}

// The cursor, the line count and the blocks within their bounds; with
// `lines`, every line's record and text too.
inline void ExpectConsistent(const Editor& ed, int step, bool lines = true)
{
    ASSERT_GE(ed.LineCount, 1) << step;
    ASSERT_LE(ed.LineCount, MaxLines) << step;
    for (int n = 1; lines && n <= ed.LineCount; ++n) {
        ASSERT_LE(LineCapacityOf(ed, n), MaxText) << "line " << n << " step " << step;
        ASSERT_LE(LineText(ed, n).size(), static_cast<size_t>(MaxText)) << step;
    }
    ASSERT_GE(ed.CurrentLine, 1) << step;
    ASSERT_LE(ed.CurrentLine, ed.LineCount) << step;
    ASSERT_GE(ed.CurrentColumn, 1) << step;
    ASSERT_LE(ed.CurrentColumn, MaxText + 1) << step;
    auto ordered = [&](int first, int last) {
        return (first == 0 && last == 0) || (first >= 1 && first <= last && last <= ed.LineCount);
    };
    ASSERT_TRUE(ordered(ed.LineBlockFirst, ed.LineBlockLast)) << step;
    ASSERT_TRUE(ordered(ed.BoxFirstLine, ed.BoxLastLine)) << step;
    if (ed.BoxFirstLine != 0) {
        ASSERT_LE(ed.BoxFirstColumn, ed.BoxLastColumn) << step;
    }
}

}  // namespace lumo
