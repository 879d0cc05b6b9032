// A scripted screen and an editor for the rendering and prompt tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/scripted_console.h"
#include "editor/editor.h"
#include "editor/linestore.h"
#include "ui/render.h"

namespace lumo {

struct ScreenTest : ::testing::Test {
    ScriptedConsole con;
    Editor ed{con};

    explicit ScreenTest(int columns = 80, int rows = 25) : con(columns, rows)
    {
        con.OpenScreen();
        ed.ColumnMarker = false;
    }

    // Appends lines holding exactly these bytes (padded to LineCapacity).
    void AddLines(const std::vector<std::string>& lines)
    {
        for (const std::string& s : lines) ASSERT_TRUE(AppendLoadedLine(ed, s));
    }
    int W() const { return con.ScreenColumns; }
    uint8_t A(int column, int row) const { return con.Attr(column, row); }
    uint8_t C(int column, int row) const { return con.Char(column, row); }
    // Attributes of cells from..to of a row, for compact comparisons.
    std::vector<int> Attrs(int row, int from, int to) const
    {
        std::vector<int> v;
        for (int c = from; c <= to; ++c) v.push_back(con.Attr(c, row));
        return v;
    }
    bool AllAttr(int row, int from, int to, uint8_t attr) const
    {
        for (int c = from; c <= to; ++c)
            if (con.Attr(c, row) != attr) return false;
        return true;
    }
    void FillRow(int row, uint16_t cell)
    {
        for (int c = 1; c <= con.ScreenColumns; ++c) con.Cell(c, row) = cell;
    }
    bool RowIs(int row, uint16_t cell) const
    {
        for (int c = 1; c <= con.ScreenColumns; ++c)
            if (con.ScreenCells[(row - 1) * con.ScreenColumns + c - 1] != cell) return false;
        return true;
    }
};

// Byte strings with embedded control bytes, without hex-escape surprises.
inline std::string B(std::initializer_list<int> bytes)
{
    std::string s;
    for (int b : bytes) s += static_cast<char>(b);
    return s;
}

}  // namespace lumo
