#include "editor/linestore.h"

#include <algorithm>
#include <vector>

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
    FollowInsert(ed, at, 1);
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

    FollowDelete(ed, at, 1);
    --ed.LineCount;
    if (at > ed.LineCount) at = ed.LineCount;
    ed.LineEdited = false;
    ed.CurrentLine = std::clamp(ed.CurrentLine, 1, ed.LineCount);
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


Replaced ReplaceLines(Editor& ed, int first, int count, const std::vector<std::string>& lines)
{
    if (first < 1 || count < 0 || first + count - 1 > ed.LineCount) return Replaced::Refused;
    const int added = static_cast<int>(lines.size()) - count;
    if (ed.LineCount + added > MaxLines) return Replaced::TooManyLines;
    // Every new record is made before anything changes, so that a refusal
    // (budget or heap) leaves the text as it was.
    std::vector<LineRecord> made(lines.size());
    size_t oldCost = 0;
    size_t newCost = 0;
    for (int i = 0; i < count; ++i) oldCost += RecordCost(ed.LineTable[first + i].capacity());
    auto releaseMade = [&made]() {
        for (LineRecord& r : made) r.clear();
    };
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string_view t(lines[i]);
        if (t.size() > MaxText) t = t.substr(0, MaxText);
        const int old = static_cast<int>(i) < count ? ed.LineTable[first + i].capacity() : ed.LineCapacity;
        const int capacity = std::max(old, LengthWithoutBlanks(t));
        newCost += RecordCost(capacity);
        if ((newCost > oldCost && newCost - oldCost >= FreeMemory(ed)) || !made[i].assign(t, capacity)) {
            releaseMade();
            return Replaced::NoMemory;
        }
    }
    for (int i = 0; i < count; ++i) ed.LineTable[first + i].clear();
    Release(ed, oldCost);
    Charge(ed, newCost);
    const auto begin = ed.LineTable.begin();
    if (added > 0)
        std::move_backward(begin + first + count, begin + ed.LineCount + 1, begin + ed.LineCount + 1 + added);
    else if (added < 0)
        std::move(begin + first + count, begin + ed.LineCount + 1, begin + first + count + added);
    for (int i = ed.LineCount + added + 1; i <= ed.LineCount; ++i) ed.LineTable[i] = LineRecord{};
    std::copy(made.begin(), made.end(), begin + first);
    ed.LineCount += added;
    ed.Modified = true;
    return Replaced::Done;
}

}  // namespace lumo

// ---- many lines at once (blocks, paste) ----

namespace lumo {

void FollowInsert(Editor& ed, int at, int count)
{
    auto shift = [at, count](int& ref) {
        if (ref >= at) ref += count;
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
    if (ed.CurrentLine > at) ed.CurrentLine += count;
}

void FollowDelete(Editor& ed, int first, int count)
{
    const int last = first + count - 1;
    auto onLine = [first, last, count](int& ref) {  // cleared with its line
        if (ref > last) ref -= count;
        else if (ref >= first) ref = 0;
    };
    auto top = [first, last, count](int& ref) {  // slides to the first deleted line
        if (ref > last) ref -= count;
        else if (ref > first) ref = first;
    };
    auto bottom = [first, count](int& ref) {
        if (ref >= first) ref = std::max(ref - count, first - 1);
    };
    for (int i = 1; i <= 3; ++i) onLine(ed.LineBookmarks[i]);
    for (int i = 1; i <= 2; ++i) {
        onLine(ed.PositionBookmarks[i].line);
        top(ed.PositionBookmarks[i].top);
    }
    top(ed.LineBlockFirst);
    top(ed.BoxFirstLine);
    bottom(ed.LineBlockLast);
    bottom(ed.BoxLastLine);
    top(ed.CurrentLine);
    if (ed.LineBlockLast < ed.LineBlockFirst) ed.LineBlockFirst = ed.LineBlockLast = 0;
    if (ed.BoxLastLine < ed.BoxFirstLine) ed.BoxFirstLine = ed.BoxLastLine = 0;
}

namespace {

// Keeps `text` for the line restore, as BeginLineChange does for a line
// about to go.
void RememberDeleted(Editor& ed, std::string_view text, int capacity)
{
    ed.RestoreIndex = (ed.RestoreIndex + 1) % 16;
    std::string& slot = ed.RestoreRing[ed.RestoreIndex];
    slot.assign(text);
    if (static_cast<int>(slot.size()) < capacity) slot.append(capacity - slot.size(), ' ');
}

// The restore ring gets lines first..last (the last 16 of them), unless the
// first is already kept because the line was being edited.
void RememberDeletedLines(Editor& ed, int first, int last)
{
    if (ed.LineEdited) ++first;
    for (int n = std::max(first, last - 15); n <= last; ++n)
        RememberDeleted(ed, ed.LineTable[n].text(), ed.LineTable[n].capacity());
}

// InsertLines without a word to the user: false, with nothing changed, when
// the budget or the heap refuses (the line limit is the caller's check).
bool PutLines(Editor& ed, int at, int count, const std::function<NewLine(int)>& source)
{
    if (count <= 0) return true;
    at = std::clamp(at, 1, ed.LineCount + 1);
    std::vector<LineRecord> made(count);
    size_t cost = 0;
    bool ok = true;
    for (int i = 0; i < count && ok; ++i) {
        NewLine line = source(i);
        line.capacity = std::clamp(std::max(line.capacity, LengthWithoutBlanks(line.text.substr(0, MaxText))), 0, MaxText);
        cost += RecordCost(line.capacity);
        ok = cost < LargestFreeBlock(ed) && made[i].assign(line.text, line.capacity);
    }
    if (!ok) {
        for (LineRecord& r : made) r.clear();
        return false;
    }
    if (ed.LineCount > 0) ed.Modified = true;
    std::move_backward(ed.LineTable.begin() + at, ed.LineTable.begin() + ed.LineCount + 1,
                       ed.LineTable.begin() + ed.LineCount + 1 + count);
    std::copy(made.begin(), made.end(), ed.LineTable.begin() + at);
    ed.LineCount += count;
    Charge(ed, cost);
    FollowInsert(ed, at, count);
    return true;
}

}  // namespace

bool RoomForLines(Editor& ed, int count, size_t capacities)
{
    const char* refusal = nullptr;
    if (count > MaxLines - ed.LineCount) refusal = " TOO MANY LINES! DO NOT SAVE THIS FILE!";
    else if ((count > 0 || capacities > 0) && capacities + static_cast<size_t>(count) >= LargestFreeBlock(ed))
        refusal = " NOT ENOUGH MEMORY!";
    if (!refusal) return true;
    ShowMessage(ed, refusal, 1);
    ed.OperationFailed = 1;
    return false;
}

bool InsertLines(Editor& ed, int at, int count, const std::function<NewLine(int)>& source)
{
    ed.OperationFailed = 0;
    if (count <= 0) return true;
    if (count > MaxLines - ed.LineCount) return RoomForLines(ed, count, 0);
    if (PutLines(ed, at, count, source)) return true;
    return RoomForLines(ed, count, static_cast<size_t>(-1) / 2);
}

bool InsertLines(Editor& ed, int at, const std::vector<std::string>& texts)
{
    const int count = static_cast<int>(texts.size());
    if (count > MaxLines - ed.LineCount) return false;
    return PutLines(ed, at, count, [&texts, &ed](int i) { return NewLine{texts[i], ed.LineCapacity}; });
}

void DeleteLines(Editor& ed, int first, int count)
{
    if (ed.LineCount < 1 || count < 1) return;
    first = std::clamp(first, 1, ed.LineCount);
    count = std::min(count, ed.LineCount - first + 1);
    // The last line of the text is blanked instead of deleted.
    const bool all = count >= ed.LineCount;
    const int removed = all ? ed.LineCount - 1 : count;
    ed.Modified = true;
    RememberDeletedLines(ed, first, first + removed - 1);
    if (removed > 0) {
        for (int n = first; n < first + removed; ++n) {
            Release(ed, RecordCost(ed.LineTable[n].capacity()));
            ed.LineTable[n].clear();
        }
        std::move(ed.LineTable.begin() + first + removed, ed.LineTable.begin() + ed.LineCount + 1,
                  ed.LineTable.begin() + first);
        std::fill(ed.LineTable.begin() + ed.LineCount + 1 - removed, ed.LineTable.begin() + ed.LineCount + 1,
                  LineRecord{});
        FollowDelete(ed, first, removed);
        ed.LineCount -= removed;
    }
    if (removed > 0) ed.LineEdited = false;
    if (all) {
        // As DeleteLine blanks a last line: kept for the restore, then it
        // counts as the line being edited.
        LineRecord& last = ed.LineTable[1];
        if (!ed.LineEdited) RememberDeleted(ed, last.text(), last.capacity());
        ed.LineEdited = true;
        last.assign("", last.capacity());
        ed.CurrentColumn = 1;
    }
    ed.CurrentLine = std::clamp(ed.CurrentLine, 1, ed.LineCount);
}

void MoveLines(Editor& ed, int first, int last, int below)
{
    if (first < 1 || last > ed.LineCount || first > last) return;
    if (below >= first && below < last) return;
    below = std::clamp(below, 0, ed.LineCount);
    const int count = last - first + 1;
    ed.Modified = true;
    RememberDeletedLines(ed, first, last);
    // As a copy below `below` followed by the delete of the originals.
    FollowInsert(ed, below + 1, count);
    FollowDelete(ed, below < first ? first + count : first, count);
    auto table = ed.LineTable.begin();
    if (below < first) std::rotate(table + below + 1, table + first, table + last + 1);
    else std::rotate(table + first, table + last + 1, table + below + 1);
    ed.LineEdited = false;
    ed.CurrentLine = std::clamp(ed.CurrentLine, 1, ed.LineCount);
}

}  // namespace lumo
