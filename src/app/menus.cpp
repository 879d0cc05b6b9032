#include "app/menus.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "app/keycodes.h"
#include "app/mainloop.h"
#include "app/menutables.h"
#include "app/startup.h"
#include "edit/colourmarks.h"
#include "edit/format.h"
#include "edit/movement.h"
#include "edit/recording.h"
#include "editor/keyreading.h"
#include "editor/keys.h"
#include "files/abbreviations.h"
#include "files/fileio.h"
#include "ui/choice.h"
#include "ui/inputline.h"
#include "ui/render.h"

namespace lumo {

namespace {

constexpr int CloseAllMenus = 80;
// Ctrl+F: the paragraph formatted without right justification.
constexpr KeyEvent FormatParagraphKey = 0x00042106;

// A menu item's key, recorded while a recording runs: the F10 that opened
// the menu is still the last key recorded, and the item's key takes its
// slot, so that a playback runs the command without the menu.
void TakeMenuKeySlot(Editor& ed)
{
    if (ed.RecordCount > 1 && ed.RecordCount <= static_cast<int>(ed.KeystrokeBuffer.size()) &&
        ed.KeystrokeBuffer[ed.RecordCount - 1] == KeyF10)
        --ed.RecordCount;
}

// The item's key in the key bytes; the main loop dispatches it again, so it
// runs exactly as the key does (recorded, snapshot, Un-get, its refusals).
Redraw DispatchItemKey(Editor& ed, KeyEvent key)
{
    SplitKey(ed, key);
    TakeMenuKeySlot(ed);
    return Redraw::Dispatch;
}

// Macros "1 Take word" and "2 Play word": one key names the definition,
// whatever shift it was pressed with, and works with macros off too.
Redraw MacroByKey(Editor& ed, bool take)
{
    ShowMessage(ed, " Press a key for identification of macro: ", 22);
    KeyEvent key = ReadEditorKey(ed);
    RedrawCycle(ed, Redraw::Full);
    if (key == KeyEsc || key == KeyShiftEsc || key == KeyAltEsc) return Redraw::Status;
    SplitKey(ed, MacroKeyValue(key, take));
    TakeMenuKeySlot(ed);
    const bool macrosOn = ed.MacrosOn;
    ed.MacrosOn = true;
    Redraw level = DispatchKey(ed);
    ed.MacrosOn = macrosOn;
    return level;
}

// Format paragraph "2 No justify": Ctrl+F as it is outside Pascal mode (in
// Pascal mode the key types a keyword instead).
Redraw FormatWithoutJustify(Editor& ed)
{
    SplitKey(ed, FormatParagraphKey);
    TakeMenuKeySlot(ed);
    const bool pascal = ed.PascalMode;
    ed.PascalMode = false;
    Redraw level = DispatchKey(ed);
    ed.PascalMode = pascal;
    return level;
}

// The actions no key stands for. Returns true with `level` set when the
// menus end; false when a menu is to be shown again (menu and MenuCursor set).
bool RunAction(Editor& ed, MenuAction action, MenuId& menu, Redraw& level)
{
    // Every command chosen from a menu, except Un-get itself, forgets what
    // the last Get file inserted.
    ForgetUnGet(ed);
    switch (action) {
    case MenuAction::Colours:
        if (ColourCommand(ed) == CloseAllMenus) {
            level = Redraw::Window;
            return true;
        }
        menu = MenuId::Main;
        ed.MenuCursor = 4;
        return false;
    case MenuAction::KeyCodes:
        CmdKeyCodes(ed);
        // The key that ended the screen's last pause is not a command.
        if (ed.con.KeyWaiting() != 0) ReadEditorKey(ed);
        level = Redraw::Full;
        return true;
    case MenuAction::Quit: level = CmdQuit(ed); return true;
    case MenuAction::WriteBlock: level = CmdWriteBlock(ed); return true;
    case MenuAction::ScreenTop: level = CmdScreenTop(ed); return true;
    case MenuAction::ScreenBottom: level = CmdScreenBottom(ed); return true;
    case MenuAction::TakeMacro: level = MacroByKey(ed, true); return true;
    case MenuAction::PlayMacro: level = MacroByKey(ed, false); return true;
    case MenuAction::ReadMacros: MacroFile(ed, 0); level = Redraw::Full; return true;
    case MenuAction::WriteMacros: MacroFile(ed, 1); level = Redraw::Full; return true;
    case MenuAction::BoxShiftHint:
        ShowMessage(ed, "  Use keyboard! Shifted arrows left-right.", 1);
        level = Redraw::Full;
        return true;
    case MenuAction::FormatNoJustify: level = FormatWithoutJustify(ed); return true;
    case MenuAction::FormatWidth:
        if (!AskLineLengthForFormat(ed)) {
            level = Redraw::Full;
            return true;
        }
        menu = MenuId::FormatParagraph;
        ed.MenuCursor = 1;
        return false;
    }
    level = Redraw::Status;
    return true;
}

}  // namespace

KeyEvent MacroKeyValue(KeyEvent key, bool take)
{
    uint32_t character = key & 0xFF;
    const uint32_t scan = (key >> 8) & 0xFF;
    const uint32_t shift = take ? 0x0E : 0x0C;
    const uint32_t kind = scan == 0xFF ? 2 : 3;
    // Ctrl+Alt+Tab and Ctrl+Alt+Backspace are commands of their own, not
    // key definitions: Tab and Backspace keep their character byte.
    if (kind == 3 && character == 0 && (scan == 0x0E || scan == 0x0F)) character = scan == 0x0E ? 0x08 : 0x09;
    return kind << 24 | shift << 16 | scan << 8 | character;
}

Redraw CmdMenu(Editor& ed)
{
    MenuId menu = MenuId::Main;
    ed.MenuCursor = 1;
    for (;;) {
        const Menu& m = MenuTable(menu);
        ShowChoice(ed, std::string(m.items), std::string(m.shortcuts), m.colours);
        const int answer = ed.ChoiceResult;
        if (answer == CloseAllMenus) return Redraw::Status;
        if (answer < 1 || answer > static_cast<int>(m.actions.size())) {
            // Esc or "0": back to the parent, on the item that opened this one.
            MenuId parent;
            int item;
            if (!MenuParent(menu, parent, item)) return Redraw::Status;
            menu = parent;
            ed.MenuCursor = item;
            continue;
        }
        const MenuItem& chosen = m.actions[answer - 1];
        switch (chosen.kind) {
        case MenuItem::Open:
            menu = chosen.submenu;
            ed.MenuCursor = 1;
            continue;
        case MenuItem::Key: return DispatchItemKey(ed, chosen.key);
        case MenuItem::Set:
            ForgetUnGet(ed);
            ed.*chosen.setting = chosen.value;
            return Redraw::Status;
        case MenuItem::Do: {
            Redraw level = Redraw::Status;
            if (RunAction(ed, chosen.action, menu, level)) return level;
            continue;
        }
        }
        return Redraw::Status;
    }
}

}  // namespace lumo
