// Paragraph formatting: reflow and justification against worked cases and
// against properties over random paragraphs (no byte lost or moved, the
// width kept, justification only adds blanks, a second run changes nothing),
// a literal run of the justification passes as the reference, bad widths and
// inputs, whole-or-nothing refusals, restoring, alignment, tabs and the F12
// marker.
#include <random>

#include "edit/format.h"
#include "edit/lineedit_test_fixture.h"
#include "editor/words.h"

namespace lumo {
namespace {

using namespace std::string_literals;

// CP866 Cyrillic letters: а б в г д е.
const std::string A = "\xA0\xA0\xA0", B = "\xA1\xA1\xA1", V = "\xA2\xA2\xA2", G = "\xA3\xA3\xA3";

struct FormatTest : TextFixture {
    void Settings(int width, int margin = 1, int indent = 9)
    {
        ed.FormatWidth = width;
        ed.TabStops[1] = margin;
        ed.TabStops[2] = indent;
    }
    std::vector<std::string> Lines() const
    {
        std::vector<std::string> v;
        for (int i = 1; i <= ed.LineCount; ++i) v.push_back(std::string(LineText(ed, i)));
        return v;
    }
    void LoadLines(const std::vector<std::string>& lines)
    {
        ReleaseAllLines(ed);
        for (const std::string& s : lines) ASSERT_TRUE(AppendLoadedLine(ed, s));
        ed.CurrentLine = ed.CurrentColumn = ed.TopLine = 1;
        ed.LineEdited = ed.Modified = false;
    }
};

Redraw RightAlign(Editor& ed)
{
    RightAlignLine(ed);
    return Redraw::Window;
}

// The justification passes exactly as written: a padded copy, WordEnd after
// every insertion, the last character dropped for each blank.
std::string JustifyLiterally(std::string s, int w)
{
    if (static_cast<int>(s.size()) >= w) return s;
    const std::string original = s;
    s.resize(w, ' ');
    int steps = 0;
    while (s[w - 1] == ' ') {
        int c = FirstNonBlank(s);
        if (c == 0) return original;
        do {
            c = WordEnd(s, c, 0);
            if (++steps > 254) return original;
            if (c < w && !IsDelimiter(static_cast<uint8_t>(CharAt(s, c - 1)))) {
                s.pop_back();
                s.insert(c - 1, 1, ' ');
                ++c;
            }
        } while (s[w - 1] == ' ' && c < TrimmedLength(s) && c < w);
    }
    return s.substr(0, TrimmedLength(s));
}

TEST(JustifyText, AddsBlanksFromTheLeftAndNeverAfterADelimiter)
{
    struct Case {
        std::string text;
        int width;
        std::string want;
    } cases[] = {
        // One blank after aaa makes the line end in column 20.
        {"        aaa bbb ccc", 20, "        aaa  bbb ccc"},
        // "(" and "-" keep their word: the blanks go to the other gaps.
        {"aaa (bbb) ccc-ddd eee", 30, "aaa    (bbb)    ccc-ddd    eee"},
        {A + " " + B + " " + V, 15, A + "   " + B + "   " + V},
        // A colour mark stays in front of its word.
        {"aaa \x02\x0c" "bbb ccc", 16, "aaa   \x02\x0c" "bbb  ccc"},
        // A single word, gaps only after delimiters, a full line: unchanged.
        {"        word", 20, "        word"},
        {"a-b-c-d", 20, "a-b-c-d"},
        {"exactly twenty chars", 20, "exactly twenty chars"},
        {"", 20, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(JustifyText(c.text, c.width, 0), c.want) << c.text;
        EXPECT_EQ(JustifyText(c.text, c.width, 0), JustifyLiterally(c.text, c.width)) << c.text;
    }
    // The quick passes give what the literal ones give, on lines of words,
    // delimiters, marks and Cyrillic letters, at any width.
    std::mt19937 rng(7);
    const std::vector<std::string> atoms = {"a", "bb", "ccc", A, "(", ")", "-", ",", "\x02\x0c", "x.y", "12"};
    for (int round = 0; round < 3000; ++round) {
        std::string s(rng() % 12, ' ');
        const int words = 1 + rng() % 12;
        for (int i = 0; i < words; ++i) {
            const int parts = 1 + rng() % 3;
            for (int p = 0; p < parts; ++p) s += atoms[rng() % atoms.size()];
            if (i + 1 < words) s += ' ';
        }
        const int width = 2 + rng() % 90;
        ASSERT_EQ(JustifyText(s, width, 0), JustifyLiterally(s, width)) << '"' << s << "\" " << width;
    }
}

TEST_F(FormatTest, WorkedCases)
{
    struct Case {
        const char* name;
        std::vector<std::string> lines;
        int width, margin, indent;
        bool justify;
        int cursor;
        std::vector<std::string> want;
        int line;  // where the cursor ends
    } cases[] = {
        {"one line past W is broken and justified", {"        aaa bbb ccc ddd"}, 20, 1, 9, true, 1,
         {"        aaa  bbb ccc", "ddd"}, 2},
        {"Cyrillic", {"        " + A + " " + B + " " + V + " " + G}, 20, 1, 9, true, 1,
         {"        " + A + "  " + B + " " + V, G}, 2},
        {"a list item keeps its hanging indent", {"1. one two three four five six seven", "   eight", "", "next"}, 20,
         1, 9, true, 1, {"1. one   two   three", "   four   five   six", "   seven eight", "", "next"}, 4},
        {"lines are joined, blanks collapsed, the next paragraph left alone",
         {"aaa", "bbb   ccc", "   ddd eee fff ggg hhh", "        next paragraph", "x"}, 16, 1, 9, false, 2,
         {"        aaa bbb", "ccc ddd eee fff", "ggg hhh", "        next paragraph", "x"}, 4},
        {"the cursor on a blank line formats the paragraph below", {"aaa", "", "bbb", "ccc"}, 20, 1, 9, false, 2,
         {"aaa", "", "        bbb ccc"}, 3},
        {"a paragraph that ends at the last line", {"zzz", "", "aaa bbb", "ccc ddd eee"}, 12, 3, 7, true, 4,
         {"zzz", "", "      aaa", "  bbb    ccc", "  ddd eee"}, 5},
        {"a 255-character word stays whole on its own line",
         {"        aaa", std::string(200, 'y') + " bbb", std::string(255, 'x')}, 20, 1, 9, true, 1,
         {"        aaa", std::string(200, 'y'), "bbb", std::string(255, 'x')}, 4},
        {"a long word at the end does not reach into the next paragraph",
         {"aaa " + std::string(30, 'w'), "        next one"}, 20, 1, 9, false, 1,
         {"        aaa", std::string(30, 'w'), "        next one"}, 3},
        {"a long first word is followed by a break, never by an empty line",
         {"aaa", std::string(25, 'b') + " ccc"}, 20, 3, 7, false, 1,
         {"      aaa", "  " + std::string(25, 'b'), "  ccc"}, 3},
        {"\"(\" stays with its word at a break", {"aaa bbbbbbbb (cccc ddd"}, 20, 1, 5, false, 1,
         {"    aaa bbbbbbbb", "(cccc ddd"}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadLines(c.lines);
        Settings(c.width, c.margin, c.indent);
        At(c.cursor, 5);
        Run(c.justify ? CmdFormatJustified : CmdFormatPlain);
        EXPECT_EQ(Lines(), c.want);
        ExpectCursor(c.line, c.margin);
        EXPECT_FALSE(ed.LineEdited);
        // Formatted once, the paragraph stays as it is.
        ed.Modified = false;
        At(c.cursor, 5);
        Run(c.justify ? CmdFormatJustified : CmdFormatPlain);
        EXPECT_EQ(Lines(), c.want);
        EXPECT_FALSE(ed.Modified);
    }
}

// Random paragraphs: nothing but blanks changes, every line keeps to the
// width unless it holds one word, justification only adds blanks, and a
// second run changes nothing.
TEST_F(FormatTest, RandomParagraphsKeepTheirWordsAndTheWidth)
{
    std::mt19937 rng(11);
    const std::vector<std::string> letters = {"a", "b", "q", "\xA0", "\xE2", "\xAF"};
    auto nonBlank = [](const std::vector<std::string>& lines) {
        std::string all;
        for (const std::string& s : lines)
            for (char c : s)
                if (c != ' ') all += c;
        return all;
    };
    for (int round = 0; round < 300; ++round) {
        std::vector<std::string> lines;
        const int count = 1 + rng() % 8;
        for (int i = 0; i < count; ++i) {
            std::string s(i > 0 && rng() % 4 == 0 ? 1 + rng() % 3 : 0, ' ');
            const int words = 1 + rng() % 15;
            for (int w = 0; w < words; ++w) {
                if (rng() % 6 == 0) s += rng() % 2 ? "(" : "\x02\x0c";
                const int n = 1 + rng() % (rng() % 10 == 0 ? 40 : 8);
                for (int k = 0; k < n; ++k) s += letters[rng() % letters.size()];
                if (rng() % 6 == 0) s += rng() % 2 ? "," : ")";
                s += std::string(1 + rng() % 2, ' ');
            }
            if (FirstNonBlank(s) == 9) s = "x" + s;
            lines.push_back(s);
        }
        const int width = 10 + rng() % 70;
        SCOPED_TRACE("round " + std::to_string(round) + " width " + std::to_string(width));

        LoadLines(lines);
        Settings(width);
        Run(CmdFormatPlain);
        const std::vector<std::string> plain = Lines();
        ASSERT_EQ(nonBlank(plain), nonBlank(lines));
        for (size_t i = 0; i < plain.size(); ++i) {
            const std::string& s = plain[i];
            const int first = FirstNonBlank(s);
            EXPECT_EQ(first, i == 0 ? 9 : 1) << s;
            EXPECT_TRUE(static_cast<int>(s.size()) <= width || s.find(' ', first - 1) == std::string::npos) << s;
            EXPECT_EQ(s.find("  ", first - 1), std::string::npos) << s;
        }
        ExpectCursor(ed.LineCount, 1);

        LoadLines(lines);
        Run(CmdFormatJustified);
        std::vector<std::string> justified = Lines();
        ASSERT_EQ(justified.size(), plain.size());
        for (size_t i = 0; i < justified.size(); ++i) {
            // Justification only adds blanks between words.
            const std::string& s = justified[i];
            std::string squeezed = s.substr(0, s.find_first_not_of(' '));
            for (size_t k = squeezed.size(); k < s.size(); ++k)
                if (s[k] != ' ' || squeezed.back() != ' ') squeezed += s[k];
            EXPECT_EQ(squeezed, plain[i]);
            EXPECT_LE(static_cast<int>(s.size()), std::max(width, static_cast<int>(plain[i].size())));
        }
        ed.Modified = false;
        At(1, 1);
        Run(CmdFormatJustified);
        EXPECT_EQ(Lines(), justified);
        EXPECT_FALSE(ed.Modified);
    }
}

// Widths 1, 2 and 255, paragraphs of marks only, lines of 255 blanks, a
// 20,000-character paragraph: each ends, no line passes 255 characters, no
// byte but a blank is lost.
TEST_F(FormatTest, BadWidthsAndInputsEndWithSoundLines)
{
    const std::string words = "aa b ccc dddd e ff ggg";
    std::string big;
    for (int i = 0; big.size() < 20000; ++i) big += std::string(1 + i % 9, 'a' + i % 26) + ' ';
    std::vector<std::string> bigLines;
    for (size_t p = 0; p < big.size(); p += 150) bigLines.push_back(big.substr(p, 150));
    struct Case {
        std::vector<std::string> lines;
        int width;
    } cases[] = {
        {{words, words}, 1},
        {{words, words}, 2},
        {{words, std::string(230, 'z') + " " + words}, 255},
        {{"\x02\x0c \x01\x05\x03 \x02\x0e", "\x1f\x1e \x02\x0c\x01"}, 3},
        {{"\x02\x0c \x01\x05\x03 \x02\x0e", "\x1f\x1e \x02\x0c\x01"}, 40},
        {{std::string(255, ' '), words, std::string(255, ' '), std::string(255, ' ')}, 10},
        {{std::string(253, 'q') + "\x0c\t", "aaa"}, 20},
        {bigLines, 72},
    };
    for (const Case& c : cases) {
        for (bool justify : {false, true}) {
            LoadLines(c.lines);
            Settings(c.width);
            At(1, 1);
            Run(justify ? CmdFormatJustified : CmdFormatPlain);
            std::string before, after;
            for (const std::string& s : c.lines)
                for (char ch : s) before += ch == ' ' ? "" : std::string(1, ch);
            for (int i = 1; i <= ed.LineCount; ++i) {
                const std::string_view t = LineText(ed, i);
                EXPECT_LE(t.size(), 255u);
                for (char ch : t) after += ch == ' ' ? "" : std::string(1, ch);
            }
            EXPECT_EQ(after, before) << "width " << c.width;
        }
    }
}

TEST_F(FormatTest, MarksBookmarksAndRestoreFollowTheLines)
{
    // Line-colour codes and the F12 marker stay at the end of their line.
    LoadLines({"aaa bbb\x0c\t", "ccc ddd eee \0"s, "fff"});
    Settings(12, 1, 5);
    Run(CmdFormatPlain);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"    aaa bbb\x0c\t", "ccc ddd eee \0"s, "fff"}));
    LoadLines({"aaa bbb ccc ddd \0"s, "eee"});
    Settings(8, 1, 1);
    Run(CmdFormatPlain);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"aaa bbb \0"s, "ccc ddd", "eee"}));

    LoadLines({"        aaa", "bbb", "ccc", "", "tail"});
    Settings(20);
    ed.LineBookmarks[1] = 3;  // joined away: cleared, as deleting its line clears it
    ed.LineBookmarks[2] = 5;
    ed.LineBlockFirst = 1;
    ed.LineBlockLast = 5;
    At(2, 1);
    Run(CmdFormatPlain);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"        aaa bbb ccc", "", "tail"}));
    EXPECT_EQ(ed.LineBookmarks[1], 0);
    EXPECT_EQ(ed.LineBookmarks[2], 3);
    EXPECT_EQ(ed.LineBlockLast, 3);
    EXPECT_TRUE(ed.Modified);
    // Alt+R brings back the lines as they were, in their order.
    At(1, 1);
    for (int i = 0; i < 3; ++i) Run(CmdNextChangedLine);
    EXPECT_EQ(Text(1), "        aaa");
    EXPECT_EQ(Text(2), "bbb");
    EXPECT_EQ(Text(3), "ccc");
    EXPECT_EQ(Text(4), "        aaa bbb ccc");
}

TEST_F(FormatTest, ARefusedParagraphStaysWhole)
{
    // The line limit: the paragraph needs two more lines than there are.
    ReleaseAllLines(ed);
    ASSERT_TRUE(AppendLoadedLine(ed, "        aaa bbb ccc ddd eee"));
    while (ed.LineCount < MaxLines - 1) ASSERT_TRUE(AppendLoadedLine(ed, ""));
    Settings(10);
    At(1, 1);
    ed.Modified = false;
    Run(CmdFormatPlain);
    EXPECT_EQ(Text(1), "        aaa bbb ccc ddd eee");
    EXPECT_EQ(ed.LineCount, MaxLines - 1);
    EXPECT_FALSE(ed.Modified);

    // The budget: the new lines' records cannot be paid for.
    ScriptedConsole small;
    small.OpenScreen();
    Editor tight(small, LineSlots * 4 + 1200);
    ASSERT_TRUE(AppendLoadedLine(tight, "aaa bbb ccc ddd eee fff ggg hhh"));
    tight.FormatWidth = 4;
    FormatParagraph(tight, false);
    EXPECT_EQ(tight.LineCount, 1);
    EXPECT_EQ(LineText(tight, 1), "aaa bbb ccc ddd eee fff ggg hhh");
    EXPECT_FALSE(tight.Modified);
}

TEST_F(FormatTest, AlignmentRestoreAndModified)
{
    struct Case {
        std::string line;
        Redraw (*command)(Editor&);
        int column, capacity;
        std::string want;
    } cases[] = {
        {"   abc", CmdAlignToCursor, 10, 254, "         abc"},
        {"         abc", CmdAlignToCursor, 2, 254, " abc"},
        {"   abc", CmdAlignToMargin, 10, 254, "abc"},
        {"abc", CmdAlignToCursor, 1, 254, "abc"},                                 // there already
        {"", CmdAlignToCursor, 10, 254, ""},                                      // all blank
        {std::string(253, 'x'), CmdAlignToCursor, 5, 254, std::string(253, 'x')},  // would pass 255
        {"x", CmdAlignToCursor, 256, 254, "x"},                                   // column 256 is not 0
        {"   abc\x0c\t", CmdAlignToCursor, 2, 254, " abc\x0c\t"},
        {"   abc", RightAlign, 1, 20, std::string(17, ' ') + "abc"},
        {std::string(17, ' ') + "abc", RightAlign, 1, 20, std::string(17, ' ') + "abc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        SetLineCapacity(ed, c.capacity);
        LoadLines({c.line, "next"});
        At(1, c.column);
        Run(c.command);
        EXPECT_EQ(LineText(ed, 1), c.want);
        EXPECT_EQ(ed.CurrentColumn, c.column);
        const bool changed = c.want != c.line;
        EXPECT_EQ(ed.Modified, changed);
        // Shift+F10 brings the line back as it was.
        Run(CmdRestoreLine);
        EXPECT_EQ(LineText(ed, 1), c.line.substr(0, c.line.find_last_not_of(' ') + 1));
    }
    SetLineCapacity(ed, 254);
}

TEST_F(FormatTest, TabsAndTheF12Marker)
{
    LoadLines({"\tx", "a\tb\x0c\t", std::string(250, 'x') + "\ty", "plain"});
    Run(CmdExpandTabs);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"        x", "a       b\x0c\t", std::string(250, 'x') + "\ty", "plain"}));
    EXPECT_TRUE(ed.Modified);
    LoadLines({"plain", "no tabs"});
    Run(CmdExpandTabs);
    EXPECT_FALSE(ed.Modified);

    // Ctrl+F12 sets and removes the marker without touching Modified.
    LoadLines({"one", "two\x0c\t", "three", "four"});
    At(2, 3);
    Run(CmdToggleMarker);
    EXPECT_EQ(LineText(ed, 2), "two\x0c\t \0"s);
    EXPECT_TRUE(CarriesMarker(LineText(ed, 2)));
    EXPECT_FALSE(ed.Modified);
    ExpectCursor(2, 3);
    At(2, 3);
    Run(CmdToggleMarker);
    EXPECT_EQ(LineText(ed, 2), "two\x0c\t");
    Run(CmdToggleMarker);
    At(1, 7);
    Run(CmdToggleMarker);
    EXPECT_EQ(LineText(ed, 1), "one \0"s);
    // F12 goes on below the cursor and then from line 1.
    At(3, 2);
    Run(CmdNextMarkedLine);
    ExpectCursor(1, 2);
    Run(CmdNextMarkedLine);
    ExpectCursor(2, 2);
    EXPECT_EQ(ed.TopLine, 2);
    LoadLines({"one", "two"});
    Run(CmdNextMarkedLine);
    ExpectCursor(1, 1);
}

}  // namespace
}  // namespace lumo
