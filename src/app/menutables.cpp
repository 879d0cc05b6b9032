// The menu tables. The item strings and shortcut lines are the program's
// own texts, exactly as shown; each hint stands under its item.
#include "app/menutables.h"

#include <array>

namespace lumo {

namespace {

using enum MenuId;
constexpr ChoiceColours A = ChoiceColours::A;
constexpr ChoiceColours B = ChoiceColours::B;

constexpr MenuItem K(KeyEvent key) { return {MenuItem::Key, key}; }
constexpr MenuItem O(MenuId id) { return {MenuItem::Open, 0, id}; }
constexpr MenuItem S(bool Editor::*setting, bool value) { return {MenuItem::Set, 0, Main, setting, value}; }
constexpr MenuItem D(MenuAction action) { return {MenuItem::Do, 0, Main, nullptr, false, action}; }

constexpr MenuItem MainItems[] = {
    O(File), O(Text), O(Service), D(MenuAction::Colours),
    K(0x0200FF01),  // F1: Help
    D(MenuAction::KeyCodes), D(MenuAction::Quit),
    K(0x0208FF03),  // Alt+F3: Rus on/off
};
constexpr MenuItem FileItems[] = {
    K(0x0200FF02),  // F2
    K(0x0204FF02),  // Ctrl+F2
    D(MenuAction::WriteBlock),
    K(0x0202FF01),  // Shift+F1
    K(0x0204FF01),  // Ctrl+F1
    K(0x0204FF04),  // Ctrl+F4
};
constexpr MenuItem TextItems[] = {
    O(Block), O(Find), O(Cursor), O(Screen), O(Line), O(Delete), O(Format),
    K(0x0204FF03),  // Ctrl+F3: Get back
};
constexpr MenuItem ServiceItems[] = {
    O(Macros), O(Buffer), O(Extend),
    K(0x03081000),  // Alt+Q: Count block
    K(0x0200FF0B),  // F11: Recode
    O(Drawing),
    K(0x0208FF02),  // Alt+F2: RUN
};
constexpr MenuItem DrawingItems[] = {S(&Editor::DrawingMode, true), S(&Editor::DrawingMode, false)};
constexpr MenuItem MacrosItems[] = {
    D(MenuAction::TakeMacro), D(MenuAction::PlayMacro),
    S(&Editor::MacrosOn, true), S(&Editor::MacrosOn, false),
    D(MenuAction::ReadMacros), D(MenuAction::WriteMacros),
};
constexpr MenuItem BufferItems[] = {
    K(0x0202FF09),  // Shift+F9: start or stop recording
    K(0x0200FF09),  // F9: play
    K(0x0208FF09),  // Alt+F9: write the buffer to its file
    K(0x0204FF09),  // Ctrl+F9: read it
};
constexpr MenuItem ExtendItems[] = {
    K(0x00002B5C),  // "\"
    K(0x0208FF04),  // Alt+F4: edit shorts.lmo
    K(0x03082B00),  // Alt+\ .
    K(0x030A2B00),  // Alt+Shift+\ .
};
constexpr MenuItem BlockItems[] = {
    K(0x03082600),  // Alt+L
    O(Boxes), O(CopyBlock),
    K(0x03083200),  // Alt+M
    K(0x03082200),  // Alt+G
    K(0x0208FF29),  // Alt+Ins: indent
    K(0x0208FF2A),  // Alt+Del: unindent
    O(MoreBlocks),
    K(0x03081600),  // Alt+U
};
constexpr MenuItem MoreBlocksItems[] = {
    K(0x0202FF05),  // Shift+F5
    K(0x0202FF06),  // Shift+F6
    K(0x03082100),  // Alt+F
    K(0x03083500),  // Alt+/
};
constexpr MenuItem BoxesItems[] = {
    K(0x03083000),  // Alt+B
    K(0x03082F00),  // Alt+V
    K(0x03081200),  // Alt+E
    K(0x03083100),  // Alt+N
    D(MenuAction::BoxShiftHint),
};
constexpr MenuItem CopyBlockItems[] = {
    K(0x03082E00),  // Alt+C: copy and unmark
    K(0x03082500),  // Alt+K: copy, the mark remains
    K(0x00042E03),  // Ctrl+C: block to the clipboard
    K(0x00042F16),  // Ctrl+V: from the clipboard
};
constexpr MenuItem FindItems[] = {
    K(0x0200FF07),  // F7
    K(0x0202FF07),  // Shift+F7
    K(0x00041C0A),  // Ctrl+Enter: find next
    K(0x0204FF07),  // Ctrl+F7: upward
    K(0x0200FF06),  // F6: change
    O(ChangeByFile),
};
constexpr MenuItem ChangeByFileItems[] = {
    K(0x0208FF08),  // Alt+F8: odd to even
    K(0x020AFF08),  // Shift+Alt+F8: even to odd
};
constexpr MenuItem CursorItems[] = {
    K(0x0204FF23),  // Ctrl+Left
    K(0x0204FF25),  // Ctrl+Right
    D(MenuAction::ScreenTop), D(MenuAction::ScreenBottom),
    K(0x03089800),  // Alt+Up: 4 lines up
    K(0x0308A000),  // Alt+Down: 4 lines down
    K(0x0200FF05),  // F5
};
constexpr MenuItem ScreenItems[] = {
    K(0x0204FF20),  // Ctrl+Home
    K(0x0204FF26),  // Ctrl+End
    K(0x0200FF04),  // F4
    K(0x0204FF22),  // Ctrl+PgUp
    K(0x0204FF28),  // Ctrl+PgDn
    O(Point),
};
constexpr MenuItem PointItems[] = {
    O(PointLine), O(GoLine), O(PointPosition), O(GoPosition),
    K(0x03088200),  // Alt+-
    K(0x03080D00),  // Alt+=
    K(0x0204FF0C),  // Ctrl+F12
};
constexpr MenuItem PointLineItems[] = {K(0x03087800), K(0x03087900), K(0x03087A00)};  // Alt+1..3
constexpr MenuItem GoLineItems[] = {K(0x03087B00), K(0x03087C00), K(0x03087D00)};     // Alt+4..6
constexpr MenuItem PointPositionItems[] = {K(0x03087E00), K(0x03087F00)};             // Alt+7, 8
constexpr MenuItem GoPositionItems[] = {K(0x03088000), K(0x03088100)};                // Alt+9, 0
constexpr MenuItem LineItems[] = {
    K(0x0200FF03),  // F3
    K(0x0200FF08),  // F8
    K(0x03081F00),  // Alt+S
    K(0x03082400),  // Alt+J
    O(RestoreLine),
};
constexpr MenuItem RestoreLineItems[] = {
    K(0x0202FF0A),  // Shift+F10
    K(0x03081300),  // Alt+R
    K(0x03080E00),  // Alt+BackSpace
};
constexpr MenuItem DeleteItems[] = {
    K(0x00041519),  // Ctrl+Y
    K(0x03081100),  // Alt+W
    K(0x00040E7F),  // Ctrl+BkSpace
    K(0x0004250B),  // Ctrl+K
    K(0x03082200),  // Alt+G
};
constexpr MenuItem FormatItems[] = {
    K(0x03081E00),  // Alt+A
    K(0x00021C0D),  // Shift+Enter: length limitation on/off
    O(FormatParagraph),
    K(0x030F0F00),  // Ctrl+Alt+Shift+Tab: expand tabs
};
constexpr MenuItem FormatParagraphItems[] = {
    K(0x00072106),  // Ctrl+Shift+F
    D(MenuAction::FormatNoJustify), D(MenuAction::FormatWidth),
};

// Indexed by MenuId.
const std::array<Menu, MenuCount> Menus = {{
    {" Main menu:|1 File|2 Text|3 Service|4 Colors| 5 Help|6 Keystrokes|7 Quit|8 Rus|",
     "   Short:  |                          ^F10   F1=Alt+H  {Alt^Tab}    Esc", A, MainItems},
    {" File |1 Write |2 Write to other|3 Write block|4 Get file|5 Un-get|6 Edit other|",
     " Short|   F2           ^F2          Shift+F2    Shift+F1     ^F1      Ctrl+F4", B, FileItems},
    {" Text: |1 Blocks|2 Find|3 Cursor|4 Screen|5 Line|6 Delete|7 Format|8 Get back|", "", B, TextItems},
    {" Service:|1 Macros|2 Buffer|3 Extend|4 Count block|5 Recode|6 Drawing |7 RUN |",
     "  Short: |                                 Alt+Q      F11    (on/off)  Alt+F2", B, ServiceItems},
    {" Drawing: |   1 On    |  2 Off   |", "", A, DrawingItems},
    {" Macros|1 Take word |2 Play word|3 Macros on|4 Off |5 Re-read from file|6 Write|",
     " Short |Alt^Shift+key  Alt+^+key", A, MacrosItems},
    {" Buffer:|1 Begin forming buffer|2 Play buffer|3 Write to file|4 Read from file|",
     " Short: |      Shift+F9              F9            Alt+F9            ^F9", A, BufferItems},
    {"Extend|1 Extend line/word|2 Edit shorts.lmo|3 Add currnt word|4 Add currnt line|",
     "Short |         \\               Alt+F4              Alt+\\         Alt+Shift+\\", A, ExtendItems},
    {" Block|1 Lines|2 Box|3 Copy|4 Move|5 Delete|6 Indent|7 Unindent|8 More|9 Unmark|",
     " Short|Alt+L,Sh+arrows up/dn  Alt+M  Alt+G   Alt+Ins   Alt+Del         Alt+U=Esc", A, BlockItems},
    {" More blocks:|1 Upcase all|2 Downcase all|3 Fill with character|4 Where block?|",
     "    Short:   |   Shift+F5      Shift+F6             Alt+F           Alt+?(/)", B, MoreBlocksItems},
    {" Boxes: |1 Any corner| 2 Word  |3 To the end of line|4 All line as box|5 Shift|",
     " Short: |  Alt+B    Alt+V=X,Sh^><   Alt+E=Shift+End         Alt+N      Shift><", B, BoxesItems},
    {" Copy block: | 1 Unmarking | 2 Mark remains | 3 To buffer | 4 From buffer |",
     "    Short:   |     Alt+C          Alt+K          ^C,^X            ^V", B, CopyBlockItems},
    {"Find |1 Case-insensitive|2 Sensitive|3 Next |4 Upward|5 Change|6 Change by file|",
     "Short|         F7         Shift+F7   ^+Enter    ^F7       F6", A, FindItems},
    {" Change by file |1 Odd to even (1 to 2) |2 Even to odd (2 to 1) |",
     "     Short      | Alt+F8                 Shift+Alt+F8=^Shift+F8", B, ChangeByFileItems},
    {" Cursor|1 Word<|2 Word>|3 Scr.top|4 Scr.bottom|5 4 lines ^|6 4 _|7 CurrL-to top|",
     " Short | Ctrl+<  Ctrl+>    ^Tab       ^Tab        Alt+up   Alt+dn       F5", A, CursorItems},
    {" Screen|1 File top screen|2 File bottom|3 Line by #|4 Line ^ |5 Line _ |6 Point|",
     " Short |      ^+Home          ^+End          F4       ^PgUp     ^PgDn", A, ScreenItems},
    {" Point|1 Line|2 To line|3 Position|4 To position|5 Column|6 To column|7 For F12|",
     " Short|                                          Alt+\"-\"    Alt+\"=\"     ^F12", B, PointItems},
    {" Point line as: |  1  |  2  |  3  |", "     Short:     |Alt+1 Alt+2 Alt+3", A, PointLineItems},
    {" Go to pointed line: |  1  |  2  |  3  |", "       Short:        |Alt+4 Alt+5 Alt+6", A, GoLineItems},
    {" Point position as: |  1  |  2  |", "       Short:       |Alt+7 Alt+8", A, PointPositionItems},
    {" Go to pointed position: |  1  |  2  |", "          Short:         |Alt+9 Alt+0", A, GoPositionItems},
    {" Line:|1 Add empty |2 Duplicate |3 Split |4 Join |5 Restore |",
     " Short|      F3           F8       Alt+S   Alt+J", A, LineItems},
    {" Restore line|1 Like before entering |2 Next changed line|3 Cancel last change |",
     "     Short   |       Shift+F10                Alt+R           Alt+BackSpace", B, RestoreLineItems},
    {" Delete: |1 Line |2 Word |3 Word to left |4 To end of line |5 Block |",
     "  Short: | Ctrl+Y  Alt+W    Ctrl+BkSpace        Ctrl+K        Alt+G", A, DeleteItems},
    {" Format|1 Justify to cursor|2 Toggle length limitation|3 Format \x15 |4 Extend #9|",
     " Short |        Alt+A             Shift+Enter(Ins)                Alt^Shift+Tab", A, FormatItems},
    {" Format paragraph:|1 Right justify |2 No justify |3 Line length for format |",
     "      Short:      |  Ctrl+Shift+F       Ctrl+F", B, FormatParagraphItems},
}};

}  // namespace

const Menu& MenuTable(MenuId id) { return Menus[static_cast<size_t>(id)]; }

bool MenuParent(MenuId id, MenuId& parent, int& item)
{
    for (size_t m = 0; m < Menus.size(); ++m) {
        const std::span<const MenuItem> actions = Menus[m].actions;
        for (size_t i = 0; i < actions.size(); ++i) {
            if (actions[i].kind == MenuItem::Open && actions[i].submenu == id) {
                parent = static_cast<MenuId>(m);
                item = static_cast<int>(i) + 1;
                return true;
            }
        }
    }
    return false;
}

}  // namespace lumo
