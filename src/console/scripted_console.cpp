#include "console/scripted_console.h"

#include "console/cp866.h"

namespace lumo {

ScriptedConsole::ScriptedConsole(int columns, int rows)
{
    ScreenColumns = columns;
    ScreenRows = rows;
}

bool ScriptedConsole::OpenScreen()
{
    ScreenCells.assign(ScreenColumns * ScreenRows, BlankCell);
    ShadowCells.assign(ScreenColumns * ScreenRows, BlankCell);
    MappedCells.assign(ScreenCells.size(), 0);
    ShadowMapped.assign(ScreenCells.size(), 0);
    return true;
}

void ScriptedConsole::SetTextMap(const std::array<char32_t, 256>& map)
{
    textMap_ = map;
    writer_.SetTextMap(map);
    // Mapped cells are written again: 2 matches no flag.
    SizeMappedCells();
    for (size_t i = 0; i < ShadowMapped.size(); ++i)
        if (MappedCells[i]) ShadowMapped[i] = 2;
}

char32_t ScriptedConsole::Shown(int column, int row) const
{
    const size_t i = size_t(row - 1) * ScreenColumns + (column - 1);
    const uint8_t b = ScreenCells[i] & 0xFF;
    if (i < MappedCells.size() && MappedCells[i] && b >= 0x80) return textMap_[b];
    return Cp866ToUnicode(b);
}

void ScriptedConsole::FlushScreen(bool force)
{
    lastFlushBytes.clear();
    SizeMappedCells();
    if (!force && ScreenCells == ShadowCells && MappedCells == ShadowMapped) return;
    ++flushCount;
    writer_.EncodeFlush(ScreenCells.data(), ShadowCells.data(), ScreenColumns, ScreenRows, force,
                        lastFlushBytes, MappedCells.data(), ShadowMapped.data());
    writtenBytes += lastFlushBytes;
    for (size_t i = 0; i < ScreenCells.size(); ++i)
        if (force || ScreenCells[i] != ShadowCells[i] || MappedCells[i] != ShadowMapped[i]) ++writtenCells;
    ShadowCells = ScreenCells;
    ShadowMapped = MappedCells;
}

void ScriptedConsole::PushResize(int columns, int rows)
{
    sizes_.emplace_back(columns, rows);
    keys.push_back(ResizeEvent);
}

void ScriptedConsole::PushPaste(const std::string& text, bool tooLarge)
{
    pastes_.push_back({text, tooLarge});
    keys.push_back(PasteEvent);
}

bool ScriptedConsole::ApplyNewSize()
{
    if (sizes_.empty()) return true;
    auto [columns, rows] = sizes_.front();
    sizes_.pop_front();
    ScreenColumns = columns > MaxColumns ? MaxColumns : columns;
    ScreenRows = rows;
    ScreenCells.assign(size_t(ScreenColumns) * ScreenRows, BlankCell);
    ShadowCells = ScreenCells;
    writtenBytes += "\x1b[0;37;40m\x1b[2J";
    writer_.Invalidate();
    return columns >= MinColumns && rows >= MinRows;
}

PastedText ScriptedConsole::TakePaste()
{
    if (pastes_.empty()) return {};
    PastedText p = std::move(pastes_.front());
    pastes_.pop_front();
    return p;
}

void ScriptedConsole::ClearScreen()
{
    ScreenCells.assign(ScreenColumns * ScreenRows, BlankCell);
    ShadowCells = ScreenCells;
    MappedCells.assign(ScreenCells.size(), 0);
    ShadowMapped = MappedCells;
    writtenBytes += "\x1b[0;37;40m\x1b[2J";
    writer_.Invalidate();
}

std::string ScriptedConsole::SyncCursor()
{
    std::string out;
    writer_.EncodeCursorMove(cursorColumn, cursorRow, out);
    writtenBytes += out;
    return out;
}

void ScriptedConsole::PlaceCursor(int column, int row)
{
    cursorColumn = column;
    cursorRow = row;
}

void ScriptedConsole::SetCursorShape(int sizePercent, bool visible)
{
    cursorSize = sizePercent;
    cursorVisible = visible;
}

KeyEvent ScriptedConsole::ReadKey()
{
    SyncCursor();
    if (keys.empty()) throw ScriptExhausted();
    KeyEvent k = keys.front();
    keys.pop_front();
    return k;
}

KeyEvent ScriptedConsole::KeyWaiting()
{
    return keys.empty() ? 0 : keys.front();
}

bool ScriptedConsole::WaitForKey(int)
{
    return !keys.empty();
}

void ScriptedConsole::Type(const std::string& text)
{
    for (unsigned char c : text) keys.push_back(c);
}

std::string ScriptedConsole::Row(int row) const
{
    std::string s;
    for (int c = 0; c < ScreenColumns; ++c)
        s += static_cast<char>(ScreenCells[(row - 1) * ScreenColumns + c] & 0xFF);
    return s;
}

uint8_t ScriptedConsole::Attr(int column, int row) const
{
    return ScreenCells[(row - 1) * ScreenColumns + (column - 1)] >> 8;
}

uint8_t ScriptedConsole::Char(int column, int row) const
{
    return ScreenCells[(row - 1) * ScreenColumns + (column - 1)] & 0xFF;
}

}  // namespace lumo
