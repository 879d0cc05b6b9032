#include "core/bookmarks.h"

namespace lumo {

void PushGetBack(Editor&) {}
Redraw CmdGetBack(Editor&) { return Redraw::View; }
void SetLineBookmark(Editor&, int) {}
Redraw GoToLineBookmark(Editor&, int) { return Redraw::View; }
void SetPositionBookmark(Editor&, int) {}
Redraw GoToPositionBookmark(Editor&, int) { return Redraw::View; }
Redraw CmdSetLineBookmark1(Editor&) { return Redraw::Status; }
Redraw CmdSetLineBookmark2(Editor&) { return Redraw::Status; }
Redraw CmdSetLineBookmark3(Editor&) { return Redraw::Status; }
Redraw CmdGoLineBookmark1(Editor&) { return Redraw::Status; }
Redraw CmdGoLineBookmark2(Editor&) { return Redraw::Status; }
Redraw CmdGoLineBookmark3(Editor&) { return Redraw::Status; }
Redraw CmdSetPositionBookmark1(Editor&) { return Redraw::Status; }
Redraw CmdSetPositionBookmark2(Editor&) { return Redraw::Status; }
Redraw CmdGoPositionBookmark1(Editor&) { return Redraw::Status; }
Redraw CmdGoPositionBookmark2(Editor&) { return Redraw::Status; }
Redraw CmdSetColumnBookmark(Editor&) { return Redraw::NextKey; }
Redraw CmdGoColumnBookmark(Editor&) { return Redraw::Status; }

}  // namespace lumo
