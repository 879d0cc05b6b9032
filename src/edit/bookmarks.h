// The position history ("Get back") and the bookmarks for lines, positions
// and a column.
#pragma once

#include "editor/editor.h"

namespace lumo {

// Remembers the current position (top line, line, column) in the GetBackRing.
// Every long jump calls this before it moves.
void PushGetBack(Editor& ed);
// Ctrl+F3: back to the position of the newest entry (see bookmarks.cpp).
Redraw CmdGetBack(Editor& ed);

// k = 1..3
void SetLineBookmark(Editor& ed, int k);
Redraw GoToLineBookmark(Editor& ed, int k);
// k = 1..2
void SetPositionBookmark(Editor& ed, int k);
Redraw GoToPositionBookmark(Editor& ed, int k);

// The binding-table commands: Alt+1..3, Alt+4..6, Alt+7/8, Alt+9/0, Alt+-, Alt+=.
Redraw CmdSetLineBookmark1(Editor& ed);
Redraw CmdSetLineBookmark2(Editor& ed);
Redraw CmdSetLineBookmark3(Editor& ed);
Redraw CmdGoLineBookmark1(Editor& ed);
Redraw CmdGoLineBookmark2(Editor& ed);
Redraw CmdGoLineBookmark3(Editor& ed);
Redraw CmdSetPositionBookmark1(Editor& ed);
Redraw CmdSetPositionBookmark2(Editor& ed);
Redraw CmdGoPositionBookmark1(Editor& ed);
Redraw CmdGoPositionBookmark2(Editor& ed);
Redraw CmdSetColumnBookmark(Editor& ed);
Redraw CmdGoColumnBookmark(Editor& ed);

}  // namespace lumo
