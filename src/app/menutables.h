// The F10 menu tree as data: one table per menu with its item string, its
// shortcut line, its colour set and, per item, what choosing it does: a key
// value dispatched as if typed, a submenu, a setting, or one of the few
// actions no key stands for.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "editor/editor.h"
#include "ui/choice.h"

namespace lumo {

enum class MenuId : uint8_t {
    Main, File, Text, Service, Drawing, Macros, Buffer, Extend,
    Block, MoreBlocks, Boxes, CopyBlock, Find, ChangeByFile,
    Cursor, Screen, Point, PointLine, GoLine, PointPosition, GoPosition,
    Line, RestoreLine, Delete, Format, FormatParagraph,
};
constexpr int MenuCount = static_cast<int>(MenuId::FormatParagraph) + 1;

// Actions that no key value stands for: the menu code carries them out.
enum class MenuAction : uint8_t {
    Colours,          // Main "4 Colors": Colours, then the main menu on item 4
    KeyCodes,         // Main "6 Keystrokes": the key-code screen, a waiting key dropped
    Quit,             // Main "7 Quit" (Esc would unmark a block first)
    WriteBlock,       // File "3": Write block with the answer's key bytes (never appends)
    ScreenTop,        // Cursor "3": one half of Shift+Home
    ScreenBottom,     // Cursor "4": the other half
    TakeMacro,        // Macros "1": a key is asked for, its definition taken
    PlayMacro,        // Macros "2": a key is asked for, its definition played
    ReadMacros,       // Macros "5": the key-definitions file read
    WriteMacros,      // Macros "6": the key-definitions file written
    BoxShiftHint,     // Boxes "5": a hint only
    FormatNoJustify,  // Format paragraph "2": Ctrl+F as outside Pascal mode
    FormatWidth,      // Format paragraph "3": asks for the line length
};

struct MenuItem {
    enum Kind : uint8_t { Key, Open, Set, Do } kind;
    KeyEvent key = 0;                 // Key: the value stored and dispatched
    MenuId submenu = MenuId::Main;    // Open
    bool Editor::*setting = nullptr;  // Set: the switch and the value it gets
    bool value = false;
    MenuAction action = MenuAction::Quit;  // Do
};

struct Menu {
    std::string_view items;      // title, then each item followed by "|"
    std::string_view shortcuts;  // hints under the items; empty for none
    ChoiceColours colours;
    std::span<const MenuItem> actions;  // one per item, in order
};

const Menu& MenuTable(MenuId id);
// The menu holding the item that opens `id` and that item's number; false
// for the main menu.
bool MenuParent(MenuId id, MenuId& parent, int& item);

}  // namespace lumo
