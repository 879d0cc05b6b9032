#include "app/bindings.h"

#include <algorithm>
#include <vector>

#include "edit/blocks.h"
#include "edit/bookmarks.h"
#include "edit/countblock.h"
#include "files/clipboard.h"
#include "edit/format.h"
#include "edit/abbreviation.h"
#include "edit/bookmarks.h"
#include "edit/completion.h"
#include "app/help.h"
#include "editor/keyreading.h"
#include "app/loopcommands.h"
#include "app/menus.h"
#include "edit/colourmarks.h"
#include "editor/codepage.h"
#include "files/fileio.h"
#include "files/keystrokefile.h"
#include "edit/lineedit.h"
#include "edit/movement.h"
#include "edit/pastetext.h"
#include "edit/recording.h"
#include "files/recode.h"
#include "edit/textconvert.h"
#include "edit/search.h"
#include "files/changebyfile.h"

namespace lumo {

namespace {

// Keys are the folded 32-bit values: character, scan, shift, kind.
const Binding Rows[] = {
    // ---- character keys ----
    {0x0000011B, CmdEscape, "Esc"},
    {0x00000E08, CmdBackspace, "Backspace"},
    {0x00000F09, CmdTab, "Tab"},
    {0x00001C0D, CmdEnter, "Enter"},
    {0x0000E00D, CmdKeypadEnter, "keypad Enter"},
    {0x00021C0D, CmdWrapToggle, "Shift+Enter"},
    {0x0002E00D, CmdWrapToggle, "Shift+keypad Enter"},
    {0x00040E7F, CmdDeleteWordLeft, "Ctrl+BkSpace"},
    {0x00041117, CmdPascalKeyword, "Ctrl+W"},
    {0x00041205, CmdPascalKeyword, "Ctrl+E"},
    {0x00041312, CmdRightAlignOrReadln, "Ctrl+R"},
    {0x00041414, CmdTheOrThen, "Ctrl+T"},
    {0x00041519, CmdDeleteLine, "Ctrl+Y"},
    {0x00041615, CmdPascalKeyword, "Ctrl+U"},
    {0x00041709, CmdPascalKeyword, "Ctrl+I"},
    {0x00041910, CmdPascalKeyword, "Ctrl+P"},
    {0x00041A1B, CmdPascalKeyword, "Ctrl+["},
    {0x00041B1D, CmdPascalKeyword, "Ctrl+]"},
    {0x00041E01, CmdMarkAllOrAbsolute, "Ctrl+A"},
    {0x00041F13, CmdPascalKeyword, "Ctrl+S"},
    {0x00042004, CmdPascalKeyword, "Ctrl+D"},
    {0x00042106, CmdFormatOrFunction, "Ctrl+F"},
    {0x00042207, CmdPascalKeyword, "Ctrl+G"},
    {0x00042308, CmdPascalKeyword, "Ctrl+H"},
    {0x0004240A, CmdPascalKeyword, "Ctrl+J"},
    {0x0004250B, CmdDeleteToEnd, "Ctrl+K"},
    {0x00042B1C, CmdTypeBackslash, "Ctrl+\\"},
    {0x00043002, CmdPascalKeyword, "Ctrl+B"},
    {0x0004310E, CmdAndOrEnd, "Ctrl+N"},
    {0x00043920, CmdBlankOrAssign, "Ctrl+Space"},
    {0x20390008, CmdBlankOrAssign, "Ctrl+Space"},

    // ---- function keys ----
    {0x0200FF01, CmdHelp, "F1"},
    {0x0200FF02, CmdSaveFile, "F2"},
    {0x0200FF03, CmdAddEmptyLine, "F3"},
    {0x0200FF04, CmdLineByNumber, "F4"},
    {0x0200FF05, CmdLineToTop, "F5"},
    {0x0200FF08, CmdDuplicateLine, "F8"},
    {0x0200FF09, CmdPlayKeys, "F9"},
    {0x0200FF0B, CmdRecode, "F11"},
    {0x0200FF20, CmdHome, "Home"},
    {0x0200FF21, CmdUp, "Up"},
    {0x0200FF22, CmdPageUp, "PgUp"},
    {0x0200FF23, CmdLeft, "Left"},
    {0x0200FF25, CmdRight, "Right"},
    {0x0200FF26, CmdEnd, "End"},
    {0x0200FF27, CmdDown, "Down"},
    {0x0200FF28, CmdPageDown, "PgDn"},
    {0x0200FF29, CmdInsertToggle, "Ins"},
    {0x0200FF2A, CmdDel, "Del"},
    {0x0202FF01, CmdGetFile, "Shift+F1"},
    {0x0202FF02, CmdWriteBlock, "Shift+F2"},
    {0x0202FF03, CmdConvertText, "Shift+F3"},
    {0x0202FF04, CmdConvertText, "Shift+F4"},
    {0x0202FF05, CmdConvertText, "Shift+F5"},
    {0x0202FF06, CmdConvertText, "Shift+F6"},
    {0x0202FF09, CmdRecordKeys, "Shift+F9"},
    {0x0202FF0A, CmdRestoreLine, "Shift+F10"},
    {0x0202FF20, CmdScreenTopBottom, "Shift+Home"},
    {0x0202FF21, CmdUp, "Shift+Up"},
    {0x0202FF23, CmdLeft, "Shift+Left"},
    {0x0202FF25, CmdRight, "Shift+Right"},
    {0x0202FF27, CmdDown, "Shift+Down"},
    {0x0202FF29, CmdWrapToggle, "Shift+Ins"},
    {0x0202FF2A, CmdWrapToggle, "Shift+Del"},
    {0x0204FF01, CmdUnGet, "Ctrl+F1"},
    {0x0204FF02, CmdWriteToOther, "Ctrl+F2"},
    {0x0204FF03, CmdGetBack, "Ctrl+F3"},
    {0x0204FF04, CmdEditOther, "Ctrl+F4"},
    {0x0204FF05, CmdUpCaseChar, "Ctrl+F5"},
    {0x0204FF06, CmdLowCaseChar, "Ctrl+F6"},
    {0x0204FF09, CmdReadKeystrokeFile, "Ctrl+F9"},
    {0x0204FF20, CmdFileTopScreen, "Ctrl+Home"},
    {0x0204FF21, CmdUp8, "Ctrl+Up"},
    {0x0204FF22, CmdScrollTextUp, "Ctrl+PgUp"},
    {0x0204FF23, CmdWordLeft, "Ctrl+Left"},
    {0x0204FF25, CmdWordRight, "Ctrl+Right"},
    {0x0204FF26, CmdFileBottom, "Ctrl+End"},
    {0x0204FF27, CmdDown8, "Ctrl+Down"},
    {0x0204FF28, CmdScrollTextDown, "Ctrl+PgDn"},
    {0x0207FF05, CmdUpCaseWordInitial, "Ctrl+Shift+F5"},
    {0x0207FF06, CmdLowCaseWordInitial, "Ctrl+Shift+F6"},
    {0x0207FF09, CmdWriteKeystrokeFile, "Ctrl+Shift+F9"},
    {0x0207FF21, CmdUp8, "Ctrl+Shift+Up"},
    {0x0207FF23, CmdWordLeft, "Ctrl+Shift+Left"},
    {0x0207FF25, CmdWordRight, "Ctrl+Shift+Right"},
    {0x0207FF27, CmdDown8, "Ctrl+Shift+Down"},
    {0x0208FF03, CmdToggleRus, "Alt+F3"},
    {0x020BFF21, CmdUp4, "Alt+Shift+Up"},
    {0x020BFF27, CmdDown4, "Alt+Shift+Down"},

    // ---- physical keys ----
    {0x03020F00, CmdShiftTab, "Shift+Tab"},
    {0x03040200, CmdBoxDrawingKey, "Ctrl+1"},
    {0x03040300, CmdBoxDrawingKey, "Ctrl+2"},
    {0x03040400, CmdBoxDrawingKey, "Ctrl+3"},
    {0x03040500, CmdBoxDrawingKey, "Ctrl+4"},
    {0x03040600, CmdBoxDrawingKey, "Ctrl+5"},
    {0x03040700, CmdBoxDrawingKey, "Ctrl+6"},
    {0x03040800, CmdBoxDrawingKey, "Ctrl+7"},
    {0x03040900, CmdBoxDrawingKey, "Ctrl+8"},
    {0x03040A00, CmdBoxDrawingKey, "Ctrl+9"},
    {0x03040B00, CmdBoxDrawingKey, "Ctrl+0"},
    {0x03049000, CmdBoxDrawingKey, "Ctrl+keypad plus"},
    {0x03049400, CmdScreenTopBottom, "Ctrl+Tab"},
    {0x03080D00, CmdGoColumnBookmark, "Alt+="},
    {0x03080E00, CmdCancelLastChange, "Alt+BackSpace"},
    {0x03081100, CmdDeleteWord, "Alt+W"},
    {0x03081300, CmdNextChangedLine, "Alt+R"},
    {0x03081400, CmdAltT, "Alt+T"},
    {0x03081F00, CmdSplitLine, "Alt+S"},
    {0x03082300, CmdHelp, "Alt+H"},
    {0x03082400, CmdJoinLines, "Alt+J"},
    {0x03087800, CmdSetLineBookmark1, "Alt+1"},
    {0x03087900, CmdSetLineBookmark2, "Alt+2"},
    {0x03087A00, CmdSetLineBookmark3, "Alt+3"},
    {0x03087B00, CmdGoLineBookmark1, "Alt+4"},
    {0x03087C00, CmdGoLineBookmark2, "Alt+5"},
    {0x03087D00, CmdGoLineBookmark3, "Alt+6"},
    {0x03087E00, CmdSetPositionBookmark1, "Alt+7"},
    {0x03087F00, CmdSetPositionBookmark2, "Alt+8"},
    {0x03088000, CmdGoPositionBookmark1, "Alt+9"},
    {0x03088100, CmdGoPositionBookmark2, "Alt+0"},
    {0x03088200, CmdSetColumnBookmark, "Alt+-"},
    {0x03089800, CmdUp4, "Alt+Up"},
    {0x03089B00, CmdAltWordLeft, "Alt+Left"},
    {0x03089D00, CmdAltWordRight, "Alt+Right"},
    {0x0308A000, CmdDown4, "Alt+Down"},
    // ---- terminal life ----
    {PasteEvent, CmdPasteText, "bracketed paste"},

    // ---- search and replace ----
    {0x0200FF06, CmdReplace, "F6"},
    {0x0200FF07, CmdFindDown, "F7"},
    {0x0202FF07, CmdFindDown, "Shift+F7"},
    {0x0204FF07, CmdFindUp, "Ctrl+F7"},
    {0x0207FF07, CmdFindUp, "Ctrl+Shift+F7"},
    {0x0208FF07, CmdFindUp, "Alt+F7"},
    {0x020BFF07, CmdFindUp, "Alt+Shift+F7"},
    {0x00041C0A, CmdFindNext, "Ctrl+Enter"},
    {0x10041C0A, CmdFindNext, "Ctrl+Enter"},
    {0x03081C00, CmdFindNext, "Alt+Enter"},
    {0x00042C1A, CmdFindBlankLine, "Ctrl+Z"},
    {0x00041011, CmdFindComment, "Ctrl+Q"},
    {0x0207FF08, CmdChangeByFile, "Ctrl+Shift+F8"},
    {0x0208FF08, CmdChangeByFile, "Alt+F8"},
    {0x020BFF08, CmdChangeByFile, "Alt+Shift+F8"},

    // ---- blocks, count block, clipboard ----
    {0x03082600, CmdMarkLineBlock, "Alt+L"},
    {0x03083000, CmdMarkBoxCorner, "Alt+B"},
    {0x03082F00, CmdBoxWord, "Alt+V"},
    {0x03082D00, CmdBoxWord, "Alt+X"},
    {0x03082C00, CmdBoxWord, "Alt+Z"},
    {0x03081200, CmdBoxToLineEnd, "Alt+E"},
    {0x0202FF26, CmdBoxToLineEnd, "Shift+End"},
    {0x03083100, CmdBoxWholeLine, "Alt+N"},
    {0x03082E00, CmdCopyBlock, "Alt+C"},
    {0x03082500, CmdCopyBlock, "Alt+K"},
    {0x03083200, CmdMoveBlock, "Alt+M"},
    {0x03082200, CmdDeleteBlock, "Alt+G"},
    {0x0208FF29, CmdIndentBlock, "Alt+Ins"},
    {0x0208FF2A, CmdUnindentBlock, "Alt+Del"},
    {0x03082100, CmdFillBox, "Alt+F"},
    {0x03083500, CmdWhereBlock, "Alt+/"},
    {0x0008352F, CmdWhereBlock, "AltGr+/"},
    {0x03081600, CmdUnmarkBlock, "Alt+U"},
    {0x03081000, CmdCountBlock, "Alt+Q"},
    {0x00042E03, CmdClipboardCopy, "Ctrl+C"},
    {0x0204FF29, CmdClipboardCopy, "Ctrl+Ins"},
    {0x00042D18, CmdClipboardCut, "Ctrl+X"},
    {0x00042F16, CmdClipboardPaste, "Ctrl+V"},

    // ---- paragraph formatting ----
    {0x0004260C, CmdAlignToMargin, "Ctrl+L"},
    {0x00072106, CmdFormatJustified, "Ctrl+Shift+F"},
    {0x03081E00, CmdAlignToCursor, "Alt+A"},
    {0x0200FF0C, CmdNextMarkedLine, "F12"},
    {0x0202FF0C, CmdLineLengthForFormat, "Shift+F12"},
    {0x0204FF0C, CmdToggleMarker, "Ctrl+F12"},

    // ---- abbreviations, key definitions and completion ----
    {0x00003920, CmdSpace, "Space"},
    {0x00002B5C, CmdExtendLineWord, "\\"},

    // ---- menus and colours ----
    {0x0200FF0A, CmdMenu, "F10"},
    {0x0204FF0A, CmdColours, "Ctrl+F10"},
    // Alt+Up and Alt+Down as terminals deliver them: the "Alt+up"/"Alt+dn"
    // of the Cursor menu.
    {0x0208FF21, CmdUp4, "Alt+Up"},
    {0x0208FF27, CmdDown4, "Alt+Down"},
};

const std::vector<Binding>& SortedRows()
{
    static const std::vector<Binding> rows = [] {
        std::vector<Binding> v(std::begin(Rows), std::end(Rows));
        std::stable_sort(v.begin(), v.end(), [](const Binding& a, const Binding& b) { return a.key < b.key; });
        return v;
    }();
    return rows;
}

// A lone Shift, whichever of the two, is one key state.
KeyEvent FoldShift(KeyEvent key)
{
    uint32_t shift = (key >> 16) & 0xFF;
    if (shift == 1 || shift == 3) key = (key & 0xFF00FFFFu) | (2u << 16);
    return key;
}

}  // namespace

const Binding* FindBinding(KeyEvent key)
{
    key = FoldShift(key);
    const std::vector<Binding>& rows = SortedRows();
    auto it = std::lower_bound(rows.begin(), rows.end(), key,
                               [](const Binding& b, KeyEvent k) { return b.key < k; });
    return it != rows.end() && it->key == key ? &*it : nullptr;
}

std::span<const Binding> BindingTable() { return SortedRows(); }

}  // namespace lumo
