// A small text in a scripted console, for the line-editing and movement tests.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "console/scripted_console.h"
#include "editor/editor.h"
#include "edit/lineedit.h"
#include "editor/linestore.h"

namespace lumo {

struct TextFixture : ::testing::Test {
    ScriptedConsole con;
    Editor ed{con};

    void SetUp() override { con.OpenScreen(); }

    // Replaces the text with `lines`, each with room for `capacity` (the
    // LineCapacity when negative); the cursor at line 1, column 1.
    void Load(std::initializer_list<std::string> lines, int capacity = -1)
    {
        ReleaseAllLines(ed);
        for (const auto& text : lines) {
            int at = ed.LineCount + 1;
            InsertLine(ed, capacity < 0 ? ed.LineCapacity : capacity, at);
            SetLine(ed, text, at);
        }
        ed.CurrentLine = ed.CurrentColumn = ed.TopLine = 1;
        ed.LineEdited = ed.Modified = false;
    }
    void At(int line, int column)
    {
        ed.CurrentLine = line;
        ed.CurrentColumn = column;
    }
    std::string Text(int n) const
    {
        std::string s = GetLine(ed, n);
        return s.substr(0, TrimmedLength(s));
    }
    // Types as the main loop does: a change snapshot before each key.
    void Type(const std::string& text)
    {
        for (char c : text) {
            TakeChangeSnapshot(ed);
            TypeChar(ed, static_cast<uint8_t>(c));
        }
    }
    // Runs a command as the main loop does, snapshot first.
    Redraw Run(Redraw (*command)(Editor&), KeyEvent key = 0)
    {
        SplitKey(ed, key);
        TakeChangeSnapshot(ed);
        return command(ed);
    }
    void ExpectCursor(int line, int column) const
    {
        EXPECT_EQ(ed.CurrentLine, line);
        EXPECT_EQ(ed.CurrentColumn, column);
    }
};

}  // namespace lumo
