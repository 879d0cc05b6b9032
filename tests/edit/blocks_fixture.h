// A small text in a console that remembers its messages, for the block,
// count and clipboard tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "edit/blocks.h"
#include "editor/linestore.h"
#include "test_support.h"

namespace lumo {

struct BlockFixture : ::testing::Test {
    MessageConsole con;
    Editor ed{con};

    void SetUp() override { con.OpenScreen(); }

    void Load(const std::vector<std::string>& lines, int capacity = -1)
    {
        ReleaseAllLines(ed);
        for (const auto& text : lines) {
            int at = ed.LineCount + 1;
            InsertLine(ed, capacity < 0 ? ed.LineCapacity : capacity, at);
            SetLine(ed, text, at);
        }
        ed.CurrentLine = ed.CurrentColumn = ed.TopLine = 1;
        ed.LineEdited = ed.Modified = false;
        UnmarkBlock(ed);
    }
    // Lines 1.."count" holding their numbers.
    void LoadNumbers(int count)
    {
        std::vector<std::string> lines;
        for (int i = 1; i <= count; ++i) lines.push_back(std::to_string(i));
        Load(lines);
    }
    void At(int line, int column = 1)
    {
        ed.CurrentLine = line;
        ed.CurrentColumn = column;
    }
    void Box(int firstLine, int lastLine, int firstColumn, int lastColumn)
    {
        UnmarkBlock(ed);
        ed.BoxFirstLine = firstLine;
        ed.BoxLastLine = lastLine;
        ed.BoxFirstColumn = firstColumn;
        ed.BoxLastColumn = lastColumn;
    }
    void Lines(int first, int last)
    {
        UnmarkBlock(ed);
        ed.LineBlockFirst = first;
        ed.LineBlockLast = last;
    }
    // The text, each line without trailing blanks, joined by "|".
    std::string Text() const
    {
        std::string out;
        for (int n = 1; n <= ed.LineCount; ++n) {
            if (n > 1) out += '|';
            out += LineText(ed, n);
        }
        return out;
    }
    // The marks as "L first-last", "B line-line/column-column" or "-".
    std::string Marks() const
    {
        if (ed.LineBlockFirst > 0) return "L" + std::to_string(ed.LineBlockFirst) + "-" + std::to_string(ed.LineBlockLast);
        if (ed.BoxFirstLine > 0)
            return "B" + std::to_string(ed.BoxFirstLine) + "-" + std::to_string(ed.BoxLastLine) + "/" +
                   std::to_string(ed.BoxFirstColumn) + "-" + std::to_string(ed.BoxLastColumn);
        return "-";
    }
    Redraw Run(Redraw (*command)(Editor&), KeyEvent key = 0)
    {
        SplitKey(ed, key);
        return command(ed);
    }
    std::string LastMessage() const { return con.shown.empty() ? std::string() : con.shown.back(); }
};

}  // namespace lumo
