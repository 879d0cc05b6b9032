// Search and replace through the main loop: one table of search cases, one
// of replace cases, each on a fresh editor, driven by the keys a user types.
#include <functional>

#include "edit/search_rig.h"

namespace lumo::searchtest {
namespace {

struct SearchCase {
    const char* name;
    std::vector<std::string> lines;
    int line, column;                      // the cursor before
    std::function<void(Rig&)> keys;
    int wantLine, wantColumn;              // the cursor after
    const char* message;                   // shown at some point ("" for none checked)
};

TEST(Search, CasesThroughTheMainLoop)
{
    const std::string x255(255, 'x');
    const SearchCase cases[] = {
        {"down from column 5 finds column 9", {"abc abc abc"}, 1, 5, [](Rig& r) { r.Ask(F7, "abc"); }, 1, 9, ""},
        {"up from column 11 finds the leftmost, column 1", {"abc abc abc"}, 1, 11,
         [](Rig& r) { r.Ask(CtrlF7, "abc"); }, 1, 1, ""},
        {"up on line 1 searches up, not down", {"abc xyz abc"}, 1, 5, [](Rig& r) { r.Ask(CtrlF7, "abc"); }, 1, 1, ""},
        {"up skips an occurrence that reaches the cursor", {"abcabc"}, 1, 6, [](Rig& r) { r.Ask(CtrlF7, "abc"); },
         1, 1, ""},
        {"empty text: next all-blank line, at the margin", {"x", "", "y", "", "z"}, 2, 7,
         [](Rig& r) { r.Ask(F7, ""); }, 4, 1, ""},
        {"ignoring case, \xF1\xA6 finds \xF0\x86", {"xx \xF0\x86"}, 1, 1, [](Rig& r) { r.Ask(F7, "\xF1\xA6"); }, 1, 4,
         ""},
        {"\xF3 is not the lower case of \xF2", {"ab", "\xF2"}, 1, 1, [](Rig& r) { r.Ask(F7, "\xF3"); }, 1, 1,
         " String not found."},
        {"Shift+F7 matches case", {"ABC", "abc"}, 1, 1, [](Rig& r) { r.Ask(ShiftF7, "abc"); }, 2, 1, ""},
        {"Shift+F7 after ^F7 searches down, and Next keeps that", {"abc", "abc", "abc", "abc"}, 3, 1,
         [](Rig& r) {
             r.Ask(CtrlF7, "abc");  // up: line 2
             r.Ask(ShiftF7, "abc"); // down again: line 3
             r.Keys({CtrlEnter});   // line 4
         },
         4, 1, ""},
        {"Alt+Shift+F7 searches up matching case", {"abc", "ABC", "x"}, 3, 1, [](Rig& r) { r.Ask(AltShiftF7, "abc"); },
         1, 1, ""},
        {"Ctrl+Enter in the input line searches from the top", {"abc", "x", "abc x"}, 3, 4,
         [](Rig& r) { r.Ask(F7, "abc", CtrlEnter); }, 1, 1, ""},
        {"up from the top starts at the end of the last line", {"abc", "x", "x abc abc"}, 1, 1,
         [](Rig& r) { r.Ask(CtrlF7, "abc", CtrlEnter); }, 3, 3, ""},
        {"from the top and not found: the cursor stays", {"abc", "x", "abc x"}, 3, 4,
         [](Rig& r) { r.Ask(F7, "zzz", CtrlEnter); }, 3, 4, " String not found."},
        {"Alt+Enter is Next", {"abc", "abc", "abc"}, 1, 1,
         [](Rig& r) {
             r.Ask(F7, "abc");
             r.Keys({AltEnter});
         },
         3, 1, ""},
        {"Next with the case not chosen asks, and keeps the answer", {"x", "ABC"}, 1, 1,
         [](Rig& r) {
             r.ed.SearchString = "abc";
             r.ed.SearchCase = 0;
             r.con.Push(CtrlEnter);
             r.con.Type("1");
         },
         2, 1, ""},
        {"Esc at the case question cancels silently", {"x", "ABC"}, 1, 1,
         [](Rig& r) {
             r.ed.SearchString = "abc";
             r.ed.SearchCase = 0;
             r.Keys({CtrlEnter, Esc});
         },
         1, 1, ""},
        {"Ctrl+Z: the next all-blank line in the last direction", {"", "a", "", "b", ""}, 4, 1,
         [](Rig& r) {
             r.ed.SearchUpward = true;
             r.ed.SearchString = "b";
             r.Keys({CtrlZ});
         },
         3, 1, ""},
        {"Ctrl+Q finds the comment brackets", {"x", "a ?? b"}, 1, 1, [](Rig& r) { r.Keys({CtrlQ}); }, 2, 3, ""},
        {"Get back returns to where the search started", {"abc", "x", "abc"}, 2, 1,
         [](Rig& r) {
             r.Ask(F7, "abc");
             r.Keys({CtrlF3});
         },
         2, 1, ""},
        {"control bytes and colour codes are text", {"a\x02\x0E" "b", "x"}, 1, 1,
         [](Rig& r) { r.Ask(F7, "\x02\x0E"); }, 1, 2, " Searching for the string  \x02\x0E"},
        {"a comma in the text is shown as it is", {"x", "a,b"}, 1, 1, [](Rig& r) { r.Ask(F7, "a,b"); }, 2, 1,
         " Searching for the string  a,b"},
        {"a 255-character text matches only a line that long", {x255.substr(1), x255}, 1, 1,
         [&](Rig& r) {
             r.ed.SearchString = x255;
             r.ed.SearchCase = 15;
             r.Keys({CtrlEnter});
         },
         2, 1, ""},
        {"a match may run on into the blanks after the text", {"x", "end", "end x"}, 1, 1,
         [](Rig& r) {
             r.ed.SearchString = "end ";
             r.ed.SearchCase = -15;
             r.Keys({CtrlEnter});
         },
         2, 1, ""},
    };
    for (const SearchCase& c : cases) {
        SCOPED_TRACE(c.name);
        Rig r(c.lines, c.line, c.column);
        c.keys(r);
        r.Run();
        EXPECT_EQ(r.ed.CurrentLine, c.wantLine);
        EXPECT_EQ(r.ed.CurrentColumn, c.wantColumn);
        if (*c.message) {
            EXPECT_TRUE(r.con.Showed(c.message));
        }
        EXPECT_EQ(r.Lines(), c.lines) << "a search changes no text";
    }
}

TEST(Search, CtrlPTypesTheTextAndTheRecordingStopCodeStopsRecording)
{
    Rig typed({"ab"}, 1, 2);
    typed.Ask(F7, "xyz", CtrlP);
    typed.Run();
    EXPECT_EQ(typed.Lines(), std::vector<std::string>{"axyzb"});

    Rig recording({"abc", "abc"}, 1, 1);
    recording.Keys({ShiftF9});
    recording.Ask(F7, "abc", ShiftF9);
    recording.Run();
    EXPECT_EQ(recording.ed.RecordCount, 0);
    EXPECT_EQ(recording.ed.CurrentLine, 1) << "nothing is searched";
    EXPECT_TRUE(recording.con.Showed(" Buffer recording stopped."));
}

struct ReplaceCase {
    const char* name;
    std::vector<std::string> lines;
    int line, column;
    std::function<void(Rig&)> setUp;  // settings, block marks
    std::string find, replacement;
    std::string answers;              // typed after the two texts
    std::vector<std::string> want;
    bool allDone;                     // " All replacements done." shown
    const char* message;
};

TEST(Replace, CasesThroughTheMainLoop)
{
    const std::string x250(250, 'x');
    auto none = [](Rig&) {};
    const ReplaceCase cases[] = {
        {"a by aa ends after one pass", {"a a", "banana"}, 1, 1, none, "a", "aa", "21", {"aa aa", "baanaanaa"}, true, ""},
        {"ab by nothing on aabb leaves ab", {"aabb"}, 1, 1, none, "ab", "", "21", {"ab"}, true, ""},
        {"x by nothing takes every x (the same-place rule needs a kept occurrence)", {"axxb", "x", "xxx"}, 1, 1,
         none, "x", "", "21", {"ab", "", ""}, true, ""},
        {"ABC never asks the case question", {"abc ABC"}, 1, 1, none, "ABC", "x", "2", {"abc x"}, true, ""},
        {"abc asks once, and the answer holds", {"abc", "ABC", "aBc"}, 1, 1, none, "abc", "x", "21", {"x", "x", "x"},
         true, ""},
        {"matching case leaves the others", {"abc", "ABC"}, 1, 1, none, "abc", "x", "22", {"x", "ABC"}, true, ""},
        {"4 at To change: nothing more, no message", {"abc", "abc", "abc"}, 2, 2, none, "abc", "x", "1114",
         {"x", "abc", "abc"}, false, ""},
        {"2 skips, 3 does the rest without asking", {"abc", "abc", "abc"}, 1, 1, none, "abc", "x", "1123",
         {"abc", "x", "x"}, true, ""},
        {"Esc at the ask question changes nothing", {"abc"}, 1, 1, none, "abc", "x", "\x1B", {"abc"}, false, ""},
        {"a replacement holding the find text", {"aaa"}, 1, 1, none, "a", "ba", "21", {"bababa"}, true, ""},
        {"through the line block only", {"a", "a", "a", "a"}, 1, 1,
         [](Rig& r) {
             r.ed.LineBlockFirst = 2;
             r.ed.LineBlockLast = 3;
         },
         "a", "b", "221", {"a", "b", "b", "a"}, true, ""},
        {"the whole file with a block marked", {"a", "a"}, 1, 1,
         [](Rig& r) { r.ed.LineBlockFirst = r.ed.LineBlockLast = 2; }, "a", "b", "121", {"b", "b"}, true, ""},
        {"the padding is not text", {"a b", "c"}, 1, 1, none, " ", "_", "2", {"a_b", "c"}, true, ""},
        {"a long word is exchanged whole, never cut", {"http://example.com/aaaa"}, 1, 1,
         [](Rig& r) { r.ed.FormatWidth = 20; }, "http", "https", "21", {"https://example.com/aaaa"}, true, ""},
        {"a line that passes the width wraps as typing would; the search goes on after",
         {"aaaa bbbb cccc dddd", "x dddd"}, 1, 1, [](Rig& r) { r.ed.FormatWidth = 20; }, "dddd", "dddd eeee", "21",
         {"aaaa bbbb cccc dddd", "eeee x dddd eeee"}, true, ""},
        {"a line that would pass 255 stops the replace; earlier ones stay", {"y", x250 + " y", "y"}, 1, 1,
         [](Rig& r) { r.ed.FillCell |= WrapOff; }, "y", "0123456789", "21",
         {"0123456789", x250 + " y", "y"}, false, " The line would pass 255 characters: the replace stopped."},
    };
    for (const ReplaceCase& c : cases) {
        SCOPED_TRACE(c.name);
        Rig r(c.lines, c.line, c.column);
        c.setUp(r);
        r.con.Push(F6);
        r.con.Type(c.find);
        r.con.Push(Enter);
        r.con.Push(CtrlK);  // the field offers the last text; an empty replacement is typed so
        r.con.Type(c.replacement);
        r.con.Push(Enter);
        for (char a : c.answers) r.con.Push(a == '\x1B' ? Esc : static_cast<KeyEvent>(static_cast<uint8_t>(a)));
        r.Run();
        EXPECT_EQ(r.Lines(), c.want);
        EXPECT_EQ(r.ed.CurrentLine, c.line) << "the cursor returns to where F6 was pressed";
        EXPECT_EQ(r.ed.CurrentColumn, c.column);
        EXPECT_EQ(r.con.Showed(" All replacements done."), c.allDone);
        if (*c.message) {
            EXPECT_TRUE(r.con.Showed(c.message));
        }
        EXPECT_FALSE(r.ed.ReplacePending);
        for (const std::string& s : r.Lines()) EXPECT_LE(s.size(), 255u);
    }
}

TEST(Replace, BadInputsEndCleanly)
{
    // An empty find text: a message, no change.
    Rig empty({"abc"}, 1, 1);
    empty.Ask(F6, "");
    empty.con.Type("x");
    empty.con.Push(Enter);
    empty.Run();
    EXPECT_EQ(empty.Lines(), std::vector<std::string>{"abc"});
    EXPECT_TRUE(empty.con.Showed(" Nothing to change: the text to find is empty."));

    // The line limit refuses the line a carry-over needs: the replace stops
    // with the line store's message, what was replaced stays.
    Rig full({}, 1, 1);
    for (int i = 1; i <= MaxLines; ++i) AppendLoadedLine(full.ed, i <= 2 ? "aaaa bbbb" : "");
    full.ed.FormatWidth = 12;
    full.Ask(F6, "bbbb");
    full.con.Type("bbbb cccc");
    full.con.Push(Enter);
    full.con.Type("21");
    full.Run();
    EXPECT_EQ(full.ed.LineCount, MaxLines);
    EXPECT_EQ(std::string(LineText(full.ed, 1)), "aaaa bbbb");
    EXPECT_TRUE(full.con.Showed(" TOO MANY LINES! DO NOT SAVE THIS FILE!"));
}

TEST(Replace, TheReturnPositionFollowsInsertedLines)
{
    Rig r({"aaaa bbbb cccc dddd", "", "y"}, 3, 1);
    r.ed.FormatWidth = 20;
    r.Ask(F6, "dddd");
    r.con.Type("dddd eeee");
    r.con.Push(Enter);
    r.con.Type("21");
    r.Run();
    EXPECT_EQ(r.Lines(), (std::vector<std::string>{"aaaa bbbb cccc dddd", "eeee", "", "y"}));
    EXPECT_EQ(r.ed.CurrentLine, 4);
    EXPECT_EQ(std::string(LineText(r.ed, r.ed.CurrentLine)), "y");
}

}  // namespace
}  // namespace lumo::searchtest
