#include "editor/linestore.h"

#include <algorithm>

#include "editor/keptparts.h"
#include "editor/services.h"

namespace lumo {

namespace {

// What one record of capacity c costs: its characters and its length byte.
size_t RecordCost(size_t capacity) { return capacity + 1; }

void Charge(Editor& ed, size_t bytes) { ed.MemoryUsed += bytes; }
void Release(Editor& ed, size_t bytes) { ed.MemoryUsed -= std::min(bytes, ed.MemoryUsed); }

// Length of s without its trailing blanks only (colour codes count).
int LengthWithoutBlanks(std::string_view s)
{
    int n = static_cast<int>(s.size());
    while (n > 0 && s[n - 1] == ' ') --n;
    return n;
}

bool IsColourByte(char c) { return static_cast<unsigned char>(c) < 16; }

}  // namespace

size_t FreeMemory(const Editor& ed)
{
    return ed.MemoryBudget > ed.MemoryUsed ? ed.MemoryBudget - ed.MemoryUsed : 0;
}

size_t LargestFreeBlock(const Editor& ed) { return FreeMemory(ed); }

void SetLineCapacity(Editor& ed, int capacity)
{
    ed.LineCapacity = std::clamp(capacity, 0, MaxText);
    ed.BlankFiller.assign(ed.LineCapacity, ' ');
}

std::string GetLine(const Editor& ed, int n)
{
    if (n < 0 || n > ed.LineCount) return {};
    return ed.LineTable[n].padded();
}

int LineCapacityOf(const Editor& ed, int n)
{
    if (n < 0 || n > ed.LineCount) return 0;
    return ed.LineTable[n].capacity();
}

std::string_view LineText(const Editor& ed, int n)
{
    if (n < 0 || n > ed.LineCount) return {};
    return ed.LineTable[n].text();
}

int TrimmedLength(const std::string& s)
{
    std::string t = s.substr(0, MaxText);
    int n = static_cast<int>(t.size());
    while (n > 0) {
        char c = t[n - 1];
        if (c == ' ') {
            --n;
        } else if (c == '\t' && n > 1 && IsColourByte(t[n - 2])) {
            // A trailing line-colour code: TAB after one or two colour bytes.
            t[n - 1] = ' ';
            t[n - 2] = ' ';
            if (n > 2 && IsColourByte(t[n - 3])) t[n - 3] = ' ';
        } else {
            break;
        }
    }
    return n;
}

int FirstNonBlank(const std::string& s)
{
    for (size_t i = 0; i < s.size(); ++i)
        if (s[i] != ' ') return static_cast<int>(i) + 1;
    return 0;
}

void SetLine(Editor& ed, const std::string& s, int n)
{
    if (n < 0 || n > ed.LineCount) return;
    LineRecord& record = ed.LineTable[n];
    int capacity = record.capacity();
    std::string_view t(s);
    if (t.size() > MaxText) t = t.substr(0, MaxText);
    // The record must hold the text and any trailing colour code whole, so
    // that the line keeps its colour.
    int needed = LengthWithoutBlanks(t);
    if (record.kept()) {
        // Storing the text the line already holds changes nothing: the line
        // stays as read. Any other text drops what was kept of the file.
        if (needed <= capacity && t.substr(0, needed) == record.text()) return;
        DropKeptPart(ed, record);
    }
    if (n != 0 && needed > capacity) {
        size_t oldCost = RecordCost(capacity);
        if (static_cast<size_t>(needed) >= LargestFreeBlock(ed) + oldCost) return;
        if (!record.assign(t, needed)) return;
        Release(ed, oldCost);
        Charge(ed, RecordCost(needed));
        return;
    }
    record.assign(t, capacity);
}

void InsertLine(Editor& ed, int capacity, int& at)
{
    ed.OperationFailed = 0;
    capacity = std::clamp(capacity, 0, MaxText);
    bool refused = false;
    if (ed.LineCount >= MaxLines) {
        ShowMessage(ed, " TOO MANY LINES! DO NOT SAVE THIS FILE!", 1);
        refused = true;
    } else if (static_cast<size_t>(capacity) >= LargestFreeBlock(ed)) {
        ShowMessage(ed, " NOT ENOUGH MEMORY!", 1);
        refused = true;
    }
    if (refused) {
        ed.OperationFailed = 1;
        at = std::max(at - 1, 1);
        return;
    }
    at = std::clamp(at, 1, ed.LineCount + 1);
    if (ed.LineCount > 0) ed.Modified = true;
    ++ed.LineCount;
    std::move_backward(ed.LineTable.begin() + at, ed.LineTable.begin() + ed.LineCount,
                       ed.LineTable.begin() + ed.LineCount + 1);
    ed.LineTable[at] = LineRecord{};  // the slot still names the record now at at+1
    if (!ed.LineTable[at].assign("", capacity)) {
        // The heap refused what the budget allowed: undo the move.
        std::move(ed.LineTable.begin() + at + 1, ed.LineTable.begin() + ed.LineCount + 1,
                  ed.LineTable.begin() + at);
        ed.LineTable[ed.LineCount] = LineRecord{};
        --ed.LineCount;
        ShowMessage(ed, " NOT ENOUGH MEMORY!", 1);
        ed.OperationFailed = 1;
        at = std::max(at - 1, 1);
        return;
    }
    Charge(ed, RecordCost(capacity));

    auto shift = [at](int& ref) {
        if (ref >= at) ++ref;
    };
    for (int i = 1; i <= 3; ++i) shift(ed.LineBookmarks[i]);
    for (int i = 1; i <= 2; ++i) {
        shift(ed.PositionBookmarks[i].line);
        shift(ed.PositionBookmarks[i].top);
    }
    shift(ed.LineBlockFirst);
    shift(ed.LineBlockLast);
    shift(ed.BoxFirstLine);
    shift(ed.BoxLastLine);
    if (ed.CurrentLine > at) ++ed.CurrentLine;
}

void DeleteLine(Editor& ed, int& at)
{
    if (ed.LineCount < 1) return;
    at = std::clamp(at, 1, ed.LineCount);
    BeginLineChange(ed, at);
    if (ed.LineCount == 1) {
        ed.CurrentColumn = 1;
        ClearToEnd(ed);
        return;
    }
    DropKeptPart(ed, ed.LineTable[at]);
    Release(ed, RecordCost(ed.LineTable[at].capacity()));
    ed.LineTable[at].clear();
    std::move(ed.LineTable.begin() + at + 1, ed.LineTable.begin() + ed.LineCount + 1,
              ed.LineTable.begin() + at);
    ed.LineTable[ed.LineCount] = LineRecord{};  // moved down, not released

    auto follow = [at](int& ref) {
        if (ref > at) --ref;
        else if (ref == at) ref = 0;
    };
    for (int i = 1; i <= 3; ++i) follow(ed.LineBookmarks[i]);
    for (int i = 1; i <= 2; ++i) {
        follow(ed.PositionBookmarks[i].line);
        if (ed.PositionBookmarks[i].top > at) --ed.PositionBookmarks[i].top;
    }
    if (ed.LineBlockFirst > at) --ed.LineBlockFirst;
    if (ed.BoxFirstLine > at) --ed.BoxFirstLine;
    if (ed.LineBlockLast >= at) --ed.LineBlockLast;
    if (ed.BoxLastLine >= at) --ed.BoxLastLine;

    --ed.LineCount;
    if (at > ed.LineCount) at = ed.LineCount;
    ed.LineEdited = false;
    if (at < ed.CurrentLine) --ed.CurrentLine;
    ed.CurrentLine = std::clamp(ed.CurrentLine, 1, ed.LineCount);

    if (ed.LineBlockLast < ed.LineBlockFirst) ed.LineBlockFirst = ed.LineBlockLast = 0;
    if (ed.BoxLastLine < ed.BoxFirstLine) ed.BoxFirstLine = ed.BoxLastLine = 0;
}

void DeleteChars(Editor& ed, int n, int position, int count)
{
    if (n < 1 || n > ed.LineCount || position < 1 || count <= 0) return;
    std::string s = GetLine(ed, n);
    if (position > static_cast<int>(s.size())) return;
    s.erase(position - 1, count);
    SetLine(ed, s, n);
}

void ClearToEnd(Editor& ed)
{
    int n = ed.CurrentLine;
    if (n < 1 || n > ed.LineCount) return;
    BeginLineChange(ed, n);
    LineRecord& record = ed.LineTable[n];
    DropKeptPart(ed, record);
    int from = std::max(ed.CurrentColumn, 1);
    if (from <= record.length()) record.assign(record.text().substr(0, from - 1), record.capacity());
}

void BeginLineChange(Editor& ed, int n)
{
    if (ed.LineEdited) return;
    ed.Modified = true;
    ed.LineEdited = true;
    ed.RestoreIndex = (ed.RestoreIndex + 1) % 16;
    ed.RestoreRing[ed.RestoreIndex] = GetLine(ed, n);
}

namespace {

// Room for one packed record at the end of the last line block, or a new
// block. Loading takes this path: one allocation per block instead of one
// per line keeps start-up quick and the heap lean.
char* PackedRoom(Editor& ed, size_t size)
{
    constexpr size_t BlockSize = 64 * 1024;
    if (ed.LineBlockFree < size) {
        char* block = static_cast<char*>(std::malloc(BlockSize));
        if (!block) return nullptr;
        ed.LineBlocks.emplace_back(block, std::free);
        ed.LineBlockFree = BlockSize;
    }
    char* at = ed.LineBlocks.back().get() + (BlockSize - ed.LineBlockFree);
    ed.LineBlockFree -= size;
    return at;
}

}  // namespace

bool AppendLoadedLine(Editor& ed, std::string_view text, std::string_view rest)
{
    if (ed.LineCount >= MaxLines) return false;
    std::string_view t = text.substr(0, MaxText);
    size_t capacity = std::max<size_t>(ed.LineCapacity, t.size());
    // Most lines end in a character and fit: nothing beyond the record to pay for.
    const bool plain = rest.empty() && (t.empty() || (t.back() != ' ' && t.back() != '\0'));
    const size_t kept = plain ? 0 : KeptSize(t, rest);
    if (RecordCost(capacity) + kept > FreeMemory(ed)) return false;
    const std::string_view read = t;
    while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
    char* room = PackedRoom(ed, LineRecord::PackedSize(t.size()));
    if (!room) return false;
    ed.LineTable[ed.LineCount + 1] = LineRecord::Packed(room, t, static_cast<int>(capacity));
    ++ed.LineCount;
    Charge(ed, RecordCost(capacity));
    if (!plain) KeepReadLine(ed, ed.LineCount, read, rest);
    return true;
}

void ReleaseAllLines(Editor& ed)
{
    DropAllKeptParts(ed);
    for (int i = 1; i <= ed.LineCount; ++i) {
        Release(ed, RecordCost(ed.LineTable[i].capacity()));
        ed.LineTable[i].clear();
    }
    ed.LineCount = 0;
    ed.LineBlocks.clear();
    ed.LineBlockFree = 0;
}

}  // namespace lumo
