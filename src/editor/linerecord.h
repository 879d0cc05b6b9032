// One line's storage: its text without trailing blanks, and its capacity.
//
// A line behaves as if it were `capacity` characters long, blank-padded, but
// the padding is never held in memory: a text of 24,575 short lines at
// capacity 254 would otherwise cost megabytes of blanks. One block per line:
// byte 0 the text length, byte 1 the capacity, byte 2 flags (whether the
// block is the record's own heap block or a piece of a larger block that the
// line store packed a loaded text into, freed all at once; whether the line
// store keeps what the file held beyond the text; whether the line was cut
// at 255 characters when read), then the characters.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>

namespace lumo {

class LineRecord {
public:
    // A plain handle, so that inserting and deleting lines moves the table's
    // references with one block move. The line store releases records
    // (clear) when their line goes; the Editor releases the rest at the end.
    int length() const { return block_ ? static_cast<uint8_t>(block_[0]) : 0; }
    int capacity() const { return block_ ? static_cast<uint8_t>(block_[1]) : 0; }
    std::string_view text() const { return {block_ ? block_ + Header : "", static_cast<size_t>(length())}; }
    // The block's address: what the line store files the line's kept part
    // under (it moves with the record when lines are inserted or deleted).
    const char* id() const { return block_; }
    // The line store keeps this line's end as read (trailing blanks, the part
    // beyond 255): set while the line is as read; any store clears it.
    bool kept() const { return block_ && (block_[2] & KeptFlag); }
    // The file's line went on beyond 255 characters. Stays when the line is
    // changed, so that a changed cut line can be told from an untouched one.
    bool cut() const { return block_ && (block_[2] & CutFlag); }
    void markKept(bool on) { SetFlag(KeptFlag, on); }
    void markCut(bool on) { SetFlag(CutFlag, on); }
    // Changes the characters in place (same length): for reinterpreting a
    // freshly read line in another code page without storing new text.
    char* characters() { return block_ ? block_ + Header : nullptr; }
    // Bytes a packed record of `size` characters takes.
    static constexpr size_t PackedSize(size_t size) { return size + Header; }
    // A record placed at `where` (PackedSize bytes), owned by the caller's block.
    static LineRecord Packed(char* where, std::string_view text, int capacity)
    {
        LineRecord r;
        r.block_ = where;
        r.Fill(where, text, capacity, Packed_);
        return r;
    }
    // The record as the line shows it: the text padded with blanks to the capacity.
    std::string padded() const
    {
        std::string s(text());
        if (static_cast<int>(s.size()) < capacity()) s.append(capacity() - s.size(), ' ');
        return s;
    }
    // Stores `text` (trailing blanks dropped; at most `capacity` characters kept)
    // with the given capacity. False when the heap refuses.
    bool assign(std::string_view text, int capacity)
    {
        if (capacity < 0) capacity = 0;
        if (capacity > 255) capacity = 255;
        if (static_cast<int>(text.size()) > capacity) text = text.substr(0, capacity);
        while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
        const bool wasPacked = packed();
        const char keepCut = block_ ? static_cast<char>(block_[2] & CutFlag) : 0;
        char* target = block_;
        if (!block_ || length() < static_cast<int>(text.size()) || (!wasPacked && LargerThanNeeded(text.size()))) {
            target = static_cast<char*>(std::malloc(text.size() + Header));
            if (!target) return false;
        }
        // `text` may lie inside the old block: copy before releasing it.
        Fill(target, text, capacity, static_cast<char>((target == block_ && wasPacked ? Packed_ : Own) | keepCut));
        if (target != block_) {
            if (!wasPacked) std::free(block_);
            block_ = target;
        }
        return true;
    }
    void clear()
    {
        if (!packed()) std::free(block_);
        block_ = nullptr;
    }

private:
    static constexpr int Header = 3;
    enum : char { Own = 0, Packed_ = 1, KeptFlag = 2, CutFlag = 4 };
    bool packed() const { return block_ && (block_[2] & Packed_); }
    void SetFlag(char flag, bool on)
    {
        if (!block_) return;
        block_[2] = static_cast<char>(on ? (block_[2] | flag) : (block_[2] & ~flag));
    }
    static void Fill(char* target, std::string_view text, int capacity, char kind)
    {
        if (!text.empty()) std::memmove(target + Header, text.data(), text.size());
        target[0] = static_cast<char>(text.size());
        target[1] = static_cast<char>(capacity);
        target[2] = kind;
    }
    // The block is reused for shorter texts unless that would waste much.
    bool LargerThanNeeded(size_t size) const { return length() > static_cast<int>(size) + 32; }
    char* block_ = nullptr;
};

static_assert(std::is_trivially_copyable_v<LineRecord>);

}  // namespace lumo
