// Screen rendering: the text window, the status line, the message line with
// its timed messages and prompts, and the redraw cycle.
#pragma once

#include <cstdint>
#include <string>

#include "core/editor.h"

namespace lumo {

void DrawLine(Editor& ed, int horizontalScroll, int line, int row);
void DrawTextWindow(Editor& ed);
void DrawMessageLine(Editor& ed);
void ClearBlockAndRedraw(Editor& ed);
void DrawStatusLine(Editor& ed);
// mode 1: timed message (about three seconds, a key ends it at once and stays
// unread); any mode below 30: a prompt that stays until row 2 is redrawn.
void ShowMessage(Editor& ed, const std::string& text, int mode);
void ShowWarning(Editor& ed, const std::string& text, int number, int repeats);
void WriteText(Editor& ed, int column, int row, const std::string& text, uint8_t attribute);
void PutCell(Editor& ed, int column, int row, uint8_t character, uint8_t attribute);
std::string HexByte(uint8_t byte);

// The redraw cycle: runs the levels from `level` down (full, window, view,
// status, cursor). Keeps the cursor inside the window first.
void RedrawCycle(Editor& ed, Redraw level);

}  // namespace lumo
