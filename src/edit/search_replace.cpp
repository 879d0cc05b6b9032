// Replace (F6): the exchange of one occurrence, and the loop that finds,
// asks and exchanges over the whole text or the line block. Change by file
// runs the same loop once for each pair of its file.
//
// A replace that does not ask draws nothing until it ends: the window is
// drawn once, at the end. One that asks leaves the question to the main
// loop (ReplacePending), which first shows the occurrence.
#include <algorithm>
#include <vector>

#include "edit/lineedit.h"
#include "edit/search.h"
#include "editor/keyreading.h"
#include "editor/linestore.h"
#include "ui/choice.h"
#include "ui/inputline.h"
#include "ui/render.h"

namespace lumo {

namespace {

const char* const LineTooLongMessage = " The line would pass 255 characters: the replace stopped.";

bool IsColourByte(char c) { return static_cast<unsigned char>(c) < 16; }

// Where the text of s ends (trailing blanks and a trailing colour code are
// not text), for strings of any length.
int TextEnd(const std::string& s)
{
    int n = static_cast<int>(s.size());
    while (n > 0) {
        char c = s[n - 1];
        if (c == ' ') {
            --n;
        } else if (c == '\t' && n > 1 && IsColourByte(s[n - 2])) {
            n -= 2;
            if (n > 0 && IsColourByte(s[n - 1])) --n;
        } else {
            break;
        }
    }
    return n;
}

void DropTrailingBlanks(std::string& s)
{
    while (!s.empty() && s.back() == ' ') s.pop_back();
}

// What storing `text` as a line of `capacity` costs beyond what it has.
size_t GrowthCost(const std::string& text, int capacity)
{
    return static_cast<int>(text.size()) > capacity ? text.size() - capacity : 0;
}

// The lines inserted at or before the position F6 was pressed move it down,
// as they move a bookmark.
void ReturnFollowsInsert(Editor& ed, int at)
{
    if (ed.ReplaceReturn.line >= at) ++ed.ReplaceReturn.line;
    if (ed.ReplaceReturn.top >= at) ++ed.ReplaceReturn.top;
}

void ReturnFollowsDelete(Editor& ed, int at)
{
    if (ed.ReplaceReturn.line > at) --ed.ReplaceReturn.line;
    if (ed.ReplaceReturn.top > at) --ed.ReplaceReturn.top;
}

}  // namespace

bool ExchangeText(Editor& ed, int line, int column, int findLength, const std::string& replacement,
                  int& resumeLine, int& resumeColumn)
{
    if (line < 1 || line > ed.LineCount) return false;
    column = std::clamp(column, 1, MaxText + 1);
    findLength = std::max(findLength, 0);
    std::string cur(LineText(ed, line));
    const int storedEnd = TextEnd(cur);
    // The occurrence may run on into the blanks after the text.
    const size_t end = static_cast<size_t>(column - 1 + findLength);
    if (cur.size() < end) cur.append(end - cur.size(), ' ');
    cur.replace(column - 1, findLength, replacement);
    DropTrailingBlanks(cur);
    int resume = column + static_cast<int>(replacement.size());

    // The wrap typing would make, done on copies: the line, the lines it
    // makes below it (`fresh`, in order) and the line after it.
    std::vector<std::string> fresh;
    const bool haveNext = line < ed.LineCount;
    std::string next;  // read when a word is to go there
    bool nextRead = false;
    bool nextChanged = false;
    int resumeIndex = 0;  // 0: this line; k: the k-th line below it
    int wrapShift = 0;
    const int margin = ed.TabStops[1];
    const bool wrap = (ed.FillCell & WrapOff) == 0 && storedEnd <= ed.LineCapacity;
    for (int guard = 0; wrap && guard <= MaxText; ++guard) {
        const int t = TextEnd(cur);
        if (t <= ed.FormatWidth) break;
        int p = t;
        while (p > 0 && cur[p - 1] != ' ') --p;
        if (p < margin) break;  // no word to move: the line stays long
        const int w = t - p;
        if (ed.FormatWidth < w + margin) break;  // the word fits no line
        if (haveNext && !nextRead) {
            next = LineText(ed, line + 1);
            nextRead = true;
        }
        std::string* below = !fresh.empty() ? &fresh.front() : haveNext ? &next : nullptr;
        bool makeNew = below == nullptr;
        if (below) {
            const int used = TrimmedLength(*below);
            makeNew = used == 0 || FirstNonBlank(*below) == ed.TabStops[2] || ed.FormatWidth - used < w + margin;
        }
        std::string target = makeNew ? std::string() : *below;
        int q = HangingIndent(cur, target, 1);
        while (CharAt(target, q) == ' ' && q < margin) ++q;
        if (!InsertText(target, q, cur.substr(p, w) + ' ')) break;
        DropTrailingBlanks(target);
        if (makeNew) {
            fresh.insert(fresh.begin(), target);
            if (resumeIndex >= 1) ++resumeIndex;
        } else {
            if (resumeIndex == 1 && resume >= q) resume += w + 1;
            *below = target;
            if (below == &next) nextChanged = true;
        }
        // The end of the replacement went along with the word.
        if (resumeIndex == 0 && resume >= p + 2) {
            resumeIndex = 1;
            resume = resume - (p + 1) + q;
        }
        cur.erase(p, w);
        DropTrailingBlanks(cur);
        wrapShift += w + 1;
    }

    // All of it fits, or nothing is changed.
    if (static_cast<int>(cur.size()) > MaxText) {
        ShowMessage(ed, LineTooLongMessage, 1);
        return false;
    }
    const int added = static_cast<int>(fresh.size());
    if (ed.LineCount + added > MaxLines) {
        ShowMessage(ed, " TOO MANY LINES! DO NOT SAVE THIS FILE!", 1);
        return false;
    }
    size_t cost = GrowthCost(cur, LineCapacityOf(ed, line));
    for (const std::string& s : fresh) cost += std::max<size_t>(ed.LineCapacity, s.size()) + 1;
    if (nextChanged) cost += GrowthCost(next, LineCapacityOf(ed, line + 1));
    if (cost > 0 && cost >= FreeMemory(ed)) {
        ShowMessage(ed, " NOT ENOUGH MEMORY!", 1);
        return false;
    }

    const std::string before = added > 0 || nextChanged ? std::string(LineText(ed, line)) : std::string();
    BeginLineChange(ed, line);
    if (!StoreLine(ed, cur, line)) {
        ShowMessage(ed, " NOT ENOUGH MEMORY!", 1);
        return false;
    }
    // Should the heap refuse what the budget allowed, what was done so far
    // is taken back.
    int inserted = 0;
    auto undo = [&]() {
        for (; inserted > 0; --inserted) {
            int at = line + 1;
            DeleteLine(ed, at);
            ReturnFollowsDelete(ed, line + 1);
        }
        ed.LineEdited = true;
        StoreLine(ed, before, line);
        return false;
    };
    for (const std::string& s : fresh) {
        int at = line + 1 + inserted;
        InsertLine(ed, ed.LineCapacity, at);
        if (ed.OperationFailed != 0) return undo();
        ReturnFollowsInsert(ed, at);
        ++inserted;
        if (!StoreLine(ed, s, at)) {
            ShowMessage(ed, " NOT ENOUGH MEMORY!", 1);
            return undo();
        }
    }
    if (nextChanged && !StoreLine(ed, next, line + 1 + added)) {
        ShowMessage(ed, " NOT ENOUGH MEMORY!", 1);
        return undo();
    }
    ed.Modified = true;
    ed.WrapShift = (ed.WrapShift + wrapShift) & 0xFF;
    resumeLine = line + resumeIndex;
    resumeColumn = resume;
    return true;
}

namespace {

enum class End { RanOut, ByUser, Stopped, OddPairs };

Redraw RunReplaceLoop(Editor& ed);

// Step 5: from the first line of the scope, the whole line searched.
void StartPass(Editor& ed)
{
    const int line = std::clamp(ed.ReplaceInBlock ? ed.LineBlockFirst : 1, 1, std::max(ed.LineCount, 1));
    if (line != ed.CurrentLine) ed.LineEdited = false;
    ed.CurrentLine = line;
    ed.CurrentColumn = 1;
    ed.ReplaceFrom = 0;
    ed.PreviousLine = ed.PreviousColumn = 0;
    ed.ReplaceAsk = ed.ReplaceAskEach;
}

Redraw FinishReplace(Editor& ed, End how)
{
    ed.ReplacePending = false;
    const bool byFile = static_cast<bool>(ed.NextPair);
    ed.NextPair = nullptr;  // closes the pairs file
    const int line = std::clamp(ed.ReplaceReturn.line, 1, std::max(ed.LineCount, 1));
    if (line != ed.CurrentLine) ed.LineEdited = false;
    ed.CurrentLine = line;
    ed.CurrentColumn = std::clamp(ed.ReplaceReturn.column, 1, MaxText + 1);
    ed.TopLine = std::clamp(ed.ReplaceReturn.top, 1, line);
    RedrawCycle(ed, Redraw::Full);
    if (how == End::RanOut && !byFile) ShowMessage(ed, " All replacements done.", 1);
    if (how == End::OddPairs) ShowMessage(ed, "Odd number of strings in file!", 1);
    return Redraw::Status;
}

// Exchanges the occurrence under the cursor; the next search begins right
// after the stored replacement.
bool ReplaceHere(Editor& ed)
{
    int line = 0;
    int column = 0;
    if (!ExchangeText(ed, ed.CurrentLine, ed.CurrentColumn, static_cast<int>(ed.FindString.size()),
                      ed.ReplaceString, line, column))
        return false;
    if (line != ed.CurrentLine) ed.LineEdited = false;
    ed.CurrentLine = line;
    ed.ReplaceFrom = column - 1;
    ed.CurrentColumn = std::clamp(column - 1, 1, MaxText + 1);
    return true;
}

enum class Answer { Go, Stop, Failed };

Answer AnswerQuestion(Editor& ed)
{
    ShowChoice(ed, " To change ? | 1 - yes | 2 - no | 3 - all | 4 or Esc - dismiss process |");
    switch (ed.ChoiceResult) {
    case 3:
        ed.ReplaceAsk = false;
        [[fallthrough]];
    case 1:
        return ReplaceHere(ed) ? Answer::Go : Answer::Failed;
    case 2:
        // Left as it is: the search goes on after it.
        ed.PreviousLine = ed.CurrentLine;
        ed.PreviousColumn = ed.CurrentColumn;
        ed.ReplaceFrom = ed.CurrentColumn;
        return Answer::Go;
    default:
        return Answer::Stop;
    }
}

Redraw AfterAnswer(Editor& ed, Answer answer)
{
    if (answer == Answer::Stop) return FinishReplace(ed, End::ByUser);
    if (answer == Answer::Failed) return FinishReplace(ed, End::Stopped);
    return RunReplaceLoop(ed);
}

// The main loop has shown the occurrence; now the question.
Redraw ContinueAtQuestion(Editor& ed) { return AfterAnswer(ed, AnswerQuestion(ed)); }

// A waiting Esc ends a change by file between two pairs: a long or wrong
// pairs file can be stopped.
bool EscWaiting(Editor& ed)
{
    KeyEvent key = ed.con.KeyWaiting();
    if ((key & 0xFFFF) != 0x011B) return false;
    ReadEditorKey(ed);
    return true;
}

Redraw RunReplaceLoop(Editor& ed)
{
    for (;;) {
        const int end = ed.ReplaceInBlock ? ed.LineBlockLast : ed.LineCount;
        Found found = Found::No;
        if (ed.CurrentLine <= end)
            found = FindText(ed, ed.FindString, ed.CurrentLine, end, ed.ReplaceFrom, false, ed.ReplaceCase, false);
        if (found == Found::Cancelled) return FinishReplace(ed, End::ByUser);
        if (found == Found::No || (ed.CurrentLine == ed.PreviousLine && ed.CurrentColumn == ed.PreviousColumn)) {
            if (!ed.NextPair) return FinishReplace(ed, End::RanOut);
            // Change by file: this pair is done, the next runs over the same
            // scope with the same answers.
            if (EscWaiting(ed)) return FinishReplace(ed, End::ByUser);
            const int got = ed.NextPair(ed);
            if (got == 0) return FinishReplace(ed, End::RanOut);
            if (got == 2) return FinishReplace(ed, End::OddPairs);
            StartPass(ed);
            continue;
        }
        if (ed.ReplaceAsk) {
            if (!PlaybackRunning(ed)) {
                ed.ReplacePending = true;
                ed.ContinueReplace = ContinueAtQuestion;
                return Redraw::Window;
            }
            // A playback draws nothing, but the user answers from the
            // keyboard and must see what is asked about.
            const int playing = ed.PlaybackIndex;
            ed.PlaybackIndex = 0;
            RedrawCycle(ed, Redraw::Window);
            ed.PlaybackIndex = playing;
            const Answer answer = AnswerQuestion(ed);
            if (answer != Answer::Go) return AfterAnswer(ed, answer);
            continue;
        }
        if (!ReplaceHere(ed)) return FinishReplace(ed, End::Stopped);
    }
}

}  // namespace

Redraw BeginReplace(Editor& ed)
{
    ed.ReplacePending = false;
    ed.ReplaceReturn = {ed.CurrentLine, ed.CurrentColumn, ed.TopLine};
    ed.ReplaceInBlock = false;
    if (ed.LineBlockFirst > 0) {
        ShowChoice(ed, "Through all the file ? | 1 - yes | 2 - through line block | 3 or Esc - abort |");
        if (ed.ChoiceResult != 1 && ed.ChoiceResult != 2) {
            ed.NextPair = nullptr;
            return Redraw::Status;
        }
        ed.ReplaceInBlock = ed.ChoiceResult == 2;
    }
    ShowChoice(ed, " To ask OK for every case ? | 1 - yes | 2 - no | 3 or Esc - abort |");
    if (ed.ChoiceResult != 1 && ed.ChoiceResult != 2) {
        ed.NextPair = nullptr;
        return Redraw::Status;
    }
    ed.ReplaceAskEach = ed.ChoiceResult == 1;
    StartPass(ed);
    return RunReplaceLoop(ed);
}

Redraw CmdReplace(Editor& ed)
{
    std::string find = ed.FindString;
    InputLine(ed, find, InputSearch);
    if (ed.OperationFailed == 0) {
        std::string replacement = ed.ReplaceString;
        InputLine(ed, replacement, InputReplacement);
        if (ed.OperationFailed == 0) ed.ReplaceString = replacement;
    }
    if (ed.OperationFailed == 127) {
        StopRecording(ed);
        return Redraw::Full;
    }
    if (ed.OperationFailed != 0) return Redraw::Status;
    if (find.empty()) {
        ShowMessage(ed, " Nothing to change: the text to find is empty.", 1);
        return Redraw::Status;
    }
    ed.FindString = find;
    ed.ReplaceCase = 0;
    ed.NextPair = nullptr;
    return BeginReplace(ed);
}

}  // namespace lumo
