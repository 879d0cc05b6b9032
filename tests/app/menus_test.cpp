// The F10 menu tree driven through the main loop: every menu as the user
// sees it, the ways back, the items that are settings or questions of their
// own, the keys the items dispatch, and keys no menu expects.
#include <random>

#include "app/loop_fixture.h"
#include "app/menus.h"
#include "app/menutables.h"
#include "editor/keys.h"
#include "edit/lineedit.h"
#include "test_support.h"
#include "ui/render.h"

namespace lumo {
namespace {

constexpr KeyEvent F10 = 0x0200FF0A, F3 = 0x0200FF03, ShiftEsc = 0x0002011B, Right = 0x0200FF25;
constexpr KeyEvent CtrlF10 = 0x0204FF0A;
constexpr uint8_t Bar = 0xB3;

// A prompt row as the screen shows it: the first "|" (or every "|" of an
// item string) drawn as the box bar, padded to the screen width.
std::string Shown(std::string text, bool everyBar, int width = 80)
{
    for (char& c : text) {
        if (c != '|') continue;
        c = static_cast<char>(Bar);
        if (!everyBar) break;
    }
    if (static_cast<int>(text.size()) < width) text.resize(width, ' ');
    return text;
}

struct MenuTest : LoopTest {
    MenuTest() { AddLines({"first line", "second line", "third"}); }
    // F10, then each character of `path` as a key; runs until the keys are
    // used up (a menu waiting for its answer, or the main loop).
    void Open(const std::string& path, std::initializer_list<KeyEvent> more = {})
    {
        Push(F10);
        Type(path);
        for (KeyEvent k : more) Push(k);
        Run();
    }
    bool InMenu(const std::string& items) { return con.Row(1) == Shown(items, true); }
    bool Editing() { return con.Row(1).find(static_cast<char>(Bar)) == std::string::npos; }
};

// The menus with the digits that reach them from F10, and their rows as the
// user must see them (the corrected hints where a hint named another key).
struct MenuCase {
    const char* path;
    const char* items;
    const char* shortcuts;  // nullptr: no shortcut row
};
const MenuCase Tree[] = {
    {"", " Main menu:|1 File|2 Text|3 Service|4 Colors| 5 Help|6 Keystrokes|7 Quit|8 Rus|",
     "   Short:  |                          ^F10   F1=Alt+H  {Alt^Tab}    Esc"},
    {"1", " File |1 Write |2 Write to other|3 Write block|4 Get file|5 Un-get|6 Edit other|",
     " Short|   F2           ^F2          Shift+F2    Shift+F1     ^F1      Ctrl+F4"},
    {"2", " Text: |1 Blocks|2 Find|3 Cursor|4 Screen|5 Line|6 Delete|7 Format|8 Get back|", nullptr},
    {"21", " Block|1 Lines|2 Box|3 Copy|4 Move|5 Delete|6 Indent|7 Unindent|8 More|9 Unmark|",
     " Short|Alt+L,Sh+arrows up/dn  Alt+M  Alt+G   Alt+Ins   Alt+Del         Alt+U=Esc"},
    {"212", " Boxes: |1 Any corner| 2 Word  |3 To the end of line|4 All line as box|5 Shift|",
     " Short: |  Alt+B    Alt+V=X,Sh^><   Alt+E=Shift+End         Alt+N      Shift><"},
    {"213", " Copy block: | 1 Unmarking | 2 Mark remains | 3 To buffer | 4 From buffer |",
     "    Short:   |     Alt+C          Alt+K          ^C,^X            ^V"},
    {"218", " More blocks:|1 Upcase all|2 Downcase all|3 Fill with character|4 Where block?|",
     "    Short:   |   Shift+F5      Shift+F6             Alt+F           Alt+?(/)"},
    {"22", "Find |1 Case-insensitive|2 Sensitive|3 Next |4 Upward|5 Change|6 Change by file|",
     "Short|         F7         Shift+F7   ^+Enter    ^F7       F6"},
    {"226", " Change by file |1 Odd to even (1 to 2) |2 Even to odd (2 to 1) |",
     "     Short      | Alt+F8                 Shift+Alt+F8=^Shift+F8"},
    {"23", " Cursor|1 Word<|2 Word>|3 Scr.top|4 Scr.bottom|5 4 lines ^|6 4 _|7 CurrL-to top|",
     " Short | Ctrl+<  Ctrl+>    ^Tab       ^Tab        Alt+up   Alt+dn       F5"},
    {"24", " Screen|1 File top screen|2 File bottom|3 Line by #|4 Line ^ |5 Line _ |6 Point|",
     " Short |      ^+Home          ^+End          F4       ^PgUp     ^PgDn"},
    {"246", " Point|1 Line|2 To line|3 Position|4 To position|5 Column|6 To column|7 For F12|",
     " Short|                                          Alt+\"-\"    Alt+\"=\"     ^F12"},
    {"2461", " Point line as: |  1  |  2  |  3  |", "     Short:     |Alt+1 Alt+2 Alt+3"},
    {"2462", " Go to pointed line: |  1  |  2  |  3  |", "       Short:        |Alt+4 Alt+5 Alt+6"},
    {"2463", " Point position as: |  1  |  2  |", "       Short:       |Alt+7 Alt+8"},
    {"2464", " Go to pointed position: |  1  |  2  |", "          Short:         |Alt+9 Alt+0"},
    {"25", " Line:|1 Add empty |2 Duplicate |3 Split |4 Join |5 Restore |",
     " Short|      F3           F8       Alt+S   Alt+J"},
    {"255", " Restore line|1 Like before entering |2 Next changed line|3 Cancel last change |",
     "     Short   |       Shift+F10                Alt+R           Alt+BackSpace"},
    {"26", " Delete: |1 Line |2 Word |3 Word to left |4 To end of line |5 Block |",
     "  Short: | Ctrl+Y  Alt+W    Ctrl+BkSpace        Ctrl+K        Alt+G"},
    {"27", " Format|1 Justify to cursor|2 Toggle length limitation|3 Format \x15 |4 Extend #9|",
     " Short |        Alt+A             Shift+Enter(Ins)                Alt^Shift+Tab"},
    {"273", " Format paragraph:|1 Right justify |2 No justify |3 Line length for format |",
     "      Short:      |  Ctrl+Shift+F       Ctrl+F"},
    {"3", " Service:|1 Macros|2 Buffer|3 Extend|4 Count block|5 Recode|6 Drawing |7 RUN |",
     "  Short: |                                 Alt+Q      F11    (on/off)  Alt+F2"},
    {"31", " Macros|1 Take word |2 Play word|3 Macros on|4 Off |5 Re-read from file|6 Write|",
     " Short |Alt^Shift+key  Alt+^+key"},
    {"32", " Buffer:|1 Begin forming buffer|2 Play buffer|3 Write to file|4 Read from file|",
     " Short: |      Shift+F9              F9            Alt+F9            ^F9"},
    {"33", "Extend|1 Extend line/word|2 Edit shorts.lmo|3 Add currnt word|4 Add currnt line|",
     "Short |         \\               Alt+F4              Alt+\\         Alt+Shift+\\"},
    {"36", " Drawing: |   1 On    |  2 Off   |", nullptr},
    {"4", " Colours | 1 Symbol | 2 Word | 3 Line | 4 To the end of line | 5 = 4 w/o blanks|", nullptr},
    {"44", " ? | 1 - non-blinking | 2 - blinking | 3 or Esc - refusal |", nullptr},  // via 4, 4, 4
};

TEST_F(MenuTest, EveryMenuReachedFromF10ShowsItsItemsAndShortcuts)
{
    for (const MenuCase& c : Tree) {
        SCOPED_TRACE(std::string("path \"") + c.path + "\"");
        WatchingConsole screen{80, 25};
        Editor editor{screen};
        screen.OpenScreen();
        ASSERT_TRUE(AppendLoadedLine(editor, "text"));
        RedrawCycle(editor, Redraw::Full);
        const std::string restingRow2 = screen.Row(2);
        screen.Push(F10);
        std::string path = c.path;
        if (path == "44") path = "4444";  // Colours: Word, a foreground, a background
        screen.Type(path);
        try {
            MainLoop(editor);
        } catch (const ScriptExhausted&) {
        }
        EXPECT_EQ(screen.Row(1), Shown(c.items, true));
        EXPECT_EQ(screen.Row(2), c.shortcuts ? Shown(c.shortcuts, false) : restingRow2);
        // Colour sets: B for the menus the design marks so, A elsewhere.
        EXPECT_TRUE(screen.Attr(1, 1) == 0x3F || screen.Attr(1, 1) == 0x4F);
    }
}

TEST_F(MenuTest, TablesHaveOneActionPerItem)
{
    for (int m = 0; m < MenuCount; ++m) {
        const Menu& menu = MenuTable(static_cast<MenuId>(m));
        long bars = std::count(menu.items.begin(), menu.items.end(), '|');
        EXPECT_EQ(static_cast<size_t>(bars - 1), menu.actions.size()) << menu.items;
        MenuId parent;
        int item;
        EXPECT_EQ(MenuParent(static_cast<MenuId>(m), parent, item), m != 0) << menu.items;
    }
}

TEST_F(MenuTest, TheWaysBack)
{
    const std::string main = Tree[0].items, file = Tree[1].items, text = Tree[2].items;
    const std::string screen = Tree[10].items, service = Tree[21].items;
    // 9 and a letter change nothing; Right from "8 Rus" wraps to "1 File";
    // Enter equals the number.
    Open("9a");
    EXPECT_TRUE(InMenu(main));
    EXPECT_EQ(ed.MenuCursor, 1);
    Open("", {0x0200FF26, Right, keys::Enter});  // End: "8 Rus"
    EXPECT_TRUE(InMenu(file));
    // F9 in the File menu (six items) is ignored; F3 chooses "3 Write
    // block", which says there is no block.
    Open("1", {0x0200FF09});
    EXPECT_TRUE(InMenu(file));
    Open("1", {F3});
    EXPECT_TRUE(con.Showed("No marked block!"));
    // Esc goes to the parent on the opening item, "0" likewise; in the main
    // menu both close it.
    Open("1", {keys::Esc});
    EXPECT_TRUE(InMenu(main));
    EXPECT_EQ(ed.MenuCursor, 1);
    Open("0");
    EXPECT_TRUE(Editing());
    Open("", {keys::Esc});
    EXPECT_TRUE(Editing());

    Open("246", {keys::Esc});
    EXPECT_TRUE(InMenu(screen));
    EXPECT_EQ(ed.MenuCursor, 6);
    Open("24600");
    EXPECT_TRUE(InMenu(text));
    EXPECT_EQ(ed.MenuCursor, 4);  // "4 Screen"

    Open("36", {keys::Esc});
    EXPECT_TRUE(InMenu(service));
    EXPECT_EQ(ed.MenuCursor, 6);
    size_t six = con.Row(1).find("6 Drawing");
    ASSERT_NE(six, std::string::npos);
    EXPECT_EQ(con.Attr(static_cast<int>(six) + 1, 1), 0x1C + 0x80);  // highlighted (colour set B)
    // Shift+Esc from any depth goes straight back to editing.
    Open("2461", {ShiftEsc});
    EXPECT_TRUE(Editing());

    // "4 Colors": Esc in the Colours menu shows the main menu on item 4.
    Open("4", {keys::Esc});
    EXPECT_TRUE(InMenu(main));
    EXPECT_EQ(ed.MenuCursor, 4);
    Open("4", {ShiftEsc});
    EXPECT_TRUE(Editing());
    EXPECT_EQ(Text(1), "first line");
    EXPECT_FALSE(ed.Modified);
}

TEST_F(MenuTest, SettingsAndQuestionsOfTheirOwn)
{
    Open("362");
    EXPECT_FALSE(ed.DrawingMode);
    EXPECT_TRUE(Editing());
    Open("361");
    EXPECT_TRUE(ed.DrawingMode);
    Open("314");
    EXPECT_FALSE(ed.MacrosOn);
    Open("313");
    EXPECT_TRUE(ed.MacrosOn);
    Open("8");
    EXPECT_TRUE(ed.RusMode);
    Open("8");
    EXPECT_FALSE(ed.RusMode);

    // The macro key is asked for on row 2; Esc there gives up.
    Open("311");
    EXPECT_NE(con.Row(2).find(" Press a key for identification of macro: "), std::string::npos);
    Open("312", {keys::Esc});
    EXPECT_TRUE(Editing());
    EXPECT_EQ(Text(1), "first line");

    // Format paragraph "3": the line length, asked again until it is a
    // number from 2 to the line capacity; then the menu again on item 1.
    const std::string paragraph = Tree[20].items;
    Push(F10);
    Type("2733");
    for (const char* wrong : {"1", "abc", "1000", "255", "0"}) {
        Type(wrong);
        Push(keys::Enter);
    }
    Type("40");
    Push(keys::Enter);
    Run();
    EXPECT_EQ(ed.FormatWidth, 40);
    EXPECT_TRUE(InMenu(paragraph));
    EXPECT_EQ(ed.MenuCursor, 1);
    Open("2733", {keys::Esc});
    EXPECT_TRUE(Editing());
    Open("2733 ", {keys::Enter});  // an empty answer
    EXPECT_TRUE(Editing());
    EXPECT_EQ(ed.FormatWidth, 40);
}

TEST_F(MenuTest, KeystrokesDropsTheKeyWaitingAfterIt)
{
    Open("6", {'q', keys::Esc, keys::Esc, keys::Esc, 'x', 'y'});
    EXPECT_EQ(Text(1), "yfirst line");
}

// Items stand for keys: recorded while a recording runs, the item's key
// takes the slot of the F10 that opened the menu, so a playback runs the
// command and not the menu.
TEST_F(MenuTest, ItemsDispatchTheirKeysAndRecordThemInPlaceOfF10)
{
    TempDirectory dir;
    struct {
        const char* path;
        KeyEvent key;
    } const items[] = {
        {"2133", 0x00042E03},   // Copy block "3 To buffer": Ctrl+C
        {"2134", 0x00042F16},   // "4 From buffer": Ctrl+V
        {"2124", 0x03083100},   // Boxes "4": Alt+N
        {"216", 0x0208FF29},    // Block "6 Indent": Alt+Ins
        {"224", 0x0204FF07},    // Find "4 Upward": Ctrl+F7
        {"2261", 0x0208FF08},   // Change by file "1": Alt+F8
        {"2262", 0x020AFF08},   // Change by file "2": Shift+Alt+F8
        {"235", 0x03089800},    // Cursor "5 4 lines ^": Alt+Up
        {"24621", 0x03087B00},  // Go to pointed line "1": Alt+4
        {"274", 0x030F0F00},    // Format "4 Extend #9"
        {"2731", 0x00072106},   // Format paragraph "1": Ctrl+Shift+F
        {"34", 0x03081000},     // Service "4 Count block": Alt+Q
    };
    for (const auto& item : items) {
        SCOPED_TRACE(item.path);
        Push(keys::ShiftF9);
        Open(item.path, {keys::ShiftF9});
        EXPECT_EQ(ed.KeystrokeBuffer[1], item.key);
        EXPECT_EQ(ed.KeystrokeBuffer[2] & 0xFFFF, 0u) << "the end marker follows";
        EXPECT_EQ(ed.RecordCount, 0);
        ed.RecordCount = 0;
        ed.Ending = false;
    }
}

TEST_F(MenuTest, BufferPlayItemPlaysTheRecording)
{
    Push(keys::ShiftF9);
    Type("ab");
    Push(keys::ShiftF9);
    Open("322");
    EXPECT_EQ(Text(1), "ababfirst line");
}

// Menu answers come from the keyboard only: a played F10 opens the menu and
// waits for the user; the playback goes on after it.
TEST_F(MenuTest, APlayedF10WaitsForTheKeyboard)
{
    Push(keys::ShiftF9);
    Push(F10);
    Push(keys::Esc);
    Push(keys::ShiftF9);
    Push(keys::F9);
    Type("0z");
    Run();
    EXPECT_EQ(ed.KeystrokeBuffer[1], F10);
    EXPECT_EQ(ed.PlaybackIndex, 0);
    EXPECT_EQ(Text(1), "zfirst line");
}

// A command started from a menu that is refused says so as its key does.
TEST_F(MenuTest, RefusedCommandsShowTheirOwnMessages)
{
    AddNumberedLines(MaxLines - ed.LineCount);
    Open("251");
    EXPECT_TRUE(con.Showed(" TOO MANY LINES! DO NOT SAVE THIS FILE!"));
    EXPECT_EQ(ed.LineCount, MaxLines);

    WatchingConsole small{80, 25};
    // Room for the table and one line, not for a second.
    Editor tight{small, LineSlots * 4 + ScratchSize + 1 + 300};
    small.OpenScreen();
    ASSERT_TRUE(AppendLoadedLine(tight, "text"));
    small.Push(F10);
    small.Type("252");  // Line "2 Duplicate": no memory for the copy
    try {
        MainLoop(tight);
    } catch (const ScriptExhausted&) {
    }
    EXPECT_TRUE(small.Showed(" NOT ENOUGH MEMORY!"));
}

TEST(MacroKey, TheKeyTakesCtrlAltWhateverItsShift)
{
    EXPECT_EQ(MacroKeyValue(0x0000256B, false), 0x030C256Bu);  // k
    EXPECT_EQ(MacroKeyValue(0x0002254B, true), 0x030E254Bu);   // K
    EXPECT_EQ(MacroKeyValue(0x03082500, false), 0x030C2500u);  // Alt+K
    EXPECT_EQ(MacroKeyValue(0x0200FF05, true), 0x020EFF05u);   // F5
    // Never the key-code screen or the emergency end.
    EXPECT_NE(MacroKeyValue(0x030C0F00, false), 0x030C0F00u);
    EXPECT_NE(MacroKeyValue(0x030C0E00, false), 0x030C0E00u);
    EXPECT_EQ(MacroKeyValue(0x00000F09, false), 0x030C0F09u);
}

// A console whose screen changes size at its n-th key, as a terminal that
// is resized while a menu waits.
class ResizingConsole : public WatchingConsole {
public:
    using WatchingConsole::WatchingConsole;
    int resizeAt = -1;
    std::string rowOneBeforeLeaving;  // row 1 when the second-last key was read
    int columns = 100, rows = 30;
    KeyEvent ReadKey() override
    {
        if (resizeAt-- == 0) {
            ScreenColumns = columns;
            ScreenRows = rows;
            ScreenCells.assign(size_t(columns) * rows, BlankCell);
            ShadowCells.assign(size_t(columns) * rows, 0);
        }
        if (keys.size() == 2) rowOneBeforeLeaving = Row(1);
        return WatchingConsole::ReadKey();
    }
};

// Keys no menu expects (any 32-bit value that answers no item), arrows and
// the ways back, in every menu, with the screen resized on the way: the
// highlight stays on an item and the editor ends up in a menu or editing.
TEST(MenuBadInput, AnyKeyLeavesAMenuOrTheMainLoop)
{
    std::mt19937 random(14);
    const KeyEvent moves[] = {0x0200FF20, 0x0200FF23, 0x0200FF25, 0x0200FF26};
    for (const MenuCase& c : Tree) {
        SCOPED_TRACE(c.path);
        ResizingConsole con{80, 25};
        Editor ed{con};
        con.OpenScreen();
        ASSERT_TRUE(AppendLoadedLine(ed, "text"));
        con.resizeAt = 40;
        con.columns = 40 + random() % 93;
        con.rows = 5 + random() % 40;
        con.Push(F10);
        std::string path = c.path;
        if (path == "44") path = "4444";
        con.Type(path);
        for (int i = 0; i < 120; ++i) {
            KeyEvent key = random();
            if (i % 3 == 0) key = moves[random() % 4];
            // Keep to keys that answer nothing here: the items' commands
            // have tests of their own.
            int answer = static_cast<int>(key & 0xFF) - 0x30;
            if ((answer >= 0 && answer <= 32) || key == keys::Enter || key == 0x0000E00D ||
                (key >= 0x0200FF01 && key <= 0x0200FF0C) || key == HangupEvent || (key & 0xFFFF) == 0x011B ||
                key == 0x03080100)
                continue;
            con.Push(key);
        }
        // Shift+Esc leaves every menu; the key after it is typed.
        con.Push(ShiftEsc);
        con.Push('z');
        try {
            MainLoop(ed);
        } catch (const ScriptExhausted&) {
        }
        EXPECT_NE(con.rowOneBeforeLeaving.find(static_cast<char>(Bar)), std::string::npos) << "still in a menu";
        EXPECT_GE(ed.MenuCursor, 1);
        EXPECT_LE(ed.MenuCursor, std::max(ed.ChoiceCount, 1));
        EXPECT_EQ(std::string(LineText(ed, 1)).find('z'), 0u);
    }
}

}  // namespace
}  // namespace lumo
