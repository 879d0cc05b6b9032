#include "console/termdecode.h"

#include <cstring>

#include "console/cp866.h"

namespace lumo {

namespace {

constexpr int ModShift = 1, ModAlt = 2, ModCtrl = 4;

constexpr uint8_t LetterScan[26] = {
    0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,
    0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C,
};

struct UsKey {
    char plain;
    char shifted;
    uint16_t virtualKey;
    uint8_t scan;
};

// The keys of a US layout other than the letters.
constexpr UsKey UsKeys[] = {
    {'`', '~', vk::Oem3, 0x29},   {'1', '!', '1', 0x02},   {'2', '@', '2', 0x03},
    {'3', '#', '3', 0x04},        {'4', '$', '4', 0x05},   {'5', '%', '5', 0x06},
    {'6', '^', '6', 0x07},        {'7', '&', '7', 0x08},   {'8', '*', '8', 0x09},
    {'9', '(', '9', 0x0A},        {'0', ')', '0', 0x0B},   {'-', '_', vk::OemMinus, 0x0C},
    {'=', '+', vk::OemPlus, 0x0D}, {'[', '{', vk::Oem4, 0x1A}, {']', '}', vk::Oem6, 0x1B},
    {'\\', '|', vk::Oem5, 0x2B},  {';', ':', vk::Oem1, 0x27}, {'\'', '"', vk::Oem7, 0x28},
    {',', '<', vk::OemComma, 0x33}, {'.', '>', vk::OemPeriod, 0x34}, {'/', '?', vk::Oem2, 0x35},
    {' ', ' ', vk::Space, 0x39},
};

// The Latin key each Cyrillic letter а..я sits on in the Russian layout.
constexpr char RuKeyOf[32] = {
    'f', ',', 'd', 'u', 'l', 't', ';', 'p', 'b', 'q', 'r', 'k', 'v', 'y', 'j', 'g',
    'h', 'c', 'n', 'e', 'a', '[', 'w', 'x', 'i', 'o', ']', 's', 'm', '\'', '.', 'z',
};

struct Position {
    uint16_t virtualKey = 0;
    uint8_t scan = 0;
    bool shifted = false;
};

bool UsPosition(char32_t c, Position& p)
{
    if (c >= 'a' && c <= 'z') {
        p = {uint16_t('A' + (c - 'a')), LetterScan[c - 'a'], false};
        return true;
    }
    if (c >= 'A' && c <= 'Z') {
        p = {uint16_t(c), LetterScan[c - 'A'], true};
        return true;
    }
    for (const UsKey& k : UsKeys) {
        if (char32_t(k.plain) == c) {
            p = {k.virtualKey, k.scan, false};
            return true;
        }
        if (char32_t(k.shifted) == c) {
            p = {k.virtualKey, k.scan, true};
            return true;
        }
    }
    return false;
}

// Where a character sits: a US key, a key of the Russian layout, or nowhere.
Position PositionOf(char32_t c)
{
    Position p;
    if (UsPosition(c, p)) return p;
    char32_t lower = 0;
    bool upper = false;
    if (c >= 0x0430 && c <= 0x044F) lower = c;
    else if (c >= 0x0410 && c <= 0x042F) { lower = c + 0x20; upper = true; }
    if (lower) {
        UsPosition(char32_t(RuKeyOf[lower - 0x0430]), p);
        p.shifted = upper;
        return p;
    }
    if (c == 0x0451 || c == 0x0401) return {vk::Oem3, 0x29, c == 0x0401};  // ё Ё
    if (c == 0x2116) return {'3', 0x04, true};                             // №
    return p;
}

char32_t ShiftedChar(char32_t c)
{
    if (c >= 'a' && c <= 'z') return c - 0x20;
    if (c >= 0x0430 && c <= 0x044F) return c - 0x20;
    if (c == 0x0451) return 0x0401;
    for (const UsKey& k : UsKeys)
        if (char32_t(k.plain) == c) return char32_t(k.shifted);
    return c;
}

char32_t ToggleCase(char32_t c)
{
    if (c >= 'a' && c <= 'z') return c - 0x20;
    if (c >= 'A' && c <= 'Z') return c + 0x20;
    if (c >= 0x0430 && c <= 0x044F) return c - 0x20;
    if (c >= 0x0410 && c <= 0x042F) return c + 0x20;
    return c;
}

// Scan codes of the navigation and keypad keys.
constexpr uint8_t ScanHome = 0x47, ScanUp = 0x48, ScanPgUp = 0x49, ScanLeft = 0x4B,
                  ScanKp5 = 0x4C, ScanRight = 0x4D, ScanEnd = 0x4F, ScanDown = 0x50,
                  ScanPgDn = 0x51, ScanIns = 0x52, ScanDel = 0x53;

constexpr uint8_t NumpadScan[10] = {0x52, 0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D, 0x47, 0x48, 0x49};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Parsed parameters of a control sequence: up to 8 parameters of up to 4
// colon-separated parts; -1 where a part is left out.
struct Params {
    static constexpr int Max = 8;
    long v[Max][4];
    int count = 0;
    bool overflow = false;

    Params() { std::memset(v, 0xFF, sizeof v); }
    long Get(int i, int sub = 0, long fallback = -1) const
    {
        if (i >= count || v[i][sub] < 0) return fallback;
        return v[i][sub];
    }
};

Params ParseParams(const std::string& s, size_t from, size_t to)
{
    Params p;
    if (from == to) return p;
    p.count = 1;
    int sub = 0;
    for (size_t i = from; i < to; ++i) {
        char c = s[i];
        if (IsDigit(c)) {
            if (p.count > Params::Max || sub > 3) continue;
            long& x = p.v[p.count - 1][sub];
            if (x < 0) x = 0;
            x = x * 10 + (c - '0');
            if (x > 99999999) {
                p.overflow = true;
                x = 99999999;
            }
        } else if (c == ';') {
            ++p.count;
            sub = 0;
        } else if (c == ':') {
            ++sub;
        } else {
            p.overflow = true;  // stray private markers and the like
        }
    }
    if (p.count > Params::Max) p.count = Params::Max;
    return p;
}

// The modifier bits of a "1 + bits" parameter: Shift, Alt, Ctrl; Meta counts
// as Alt. Super and Hyper are left out; lock bits are read by the caller.
int ModifierBits(long param)
{
    if (param < 1) return 0;
    long bits = param - 1;
    int m = 0;
    if (bits & 1) m |= ModShift;
    if (bits & 2) m |= ModAlt;
    if (bits & 4) m |= ModCtrl;
    if (bits & 32) m |= ModAlt;
    return m;
}

}  // namespace

struct TermDecoder::Key {
    uint16_t virtualKey = 0;
    uint8_t scan = 0;
    bool enhanced = false;
    char32_t text = 0;  // the character typed when neither Ctrl nor Alt decide
    int mods = 0;
    int event = 1;  // 1 press, 2 repeat, 3 release
};

namespace {

using Key = TermDecoder::Key;

Key NavKey(uint16_t virtualKey, uint8_t scan)
{
    Key k;
    k.virtualKey = virtualKey;
    k.scan = scan;
    k.enhanced = true;
    return k;
}

Key FunctionKey(int n)  // F1 = 1
{
    Key k;
    k.virtualKey = uint16_t(vk::F1 + n - 1);
    k.scan = n <= 10 ? uint8_t(0x3B + n - 1) : n == 11 ? 0x57 : n == 12 ? 0x58 : 0xFE;
    return k;
}

Key CharacterKey(char32_t c)
{
    Key k;
    switch (c) {
    case 0x0D: k.virtualKey = vk::Return; k.scan = 0x1C; k.text = c; return k;
    case 0x09: k.virtualKey = vk::Tab; k.scan = 0x0F; k.text = c; return k;
    case 0x7F: case 0x08: k.virtualKey = vk::Back; k.scan = 0x0E; k.text = 0x08; return k;
    case 0x1B: k.virtualKey = vk::Escape; k.scan = 0x01; k.text = c; return k;
    default: break;
    }
    Position p = PositionOf(c);
    k.virtualKey = p.virtualKey;
    k.scan = p.scan;
    k.text = c;
    if (p.shifted) k.mods |= ModShift;
    return k;
}

// The key of a legacy control byte (0x00-0x1F and 0x7F).
Key ControlByteKey(unsigned char b)
{
    Key k;
    switch (b) {
    case 0x00: k = CharacterKey(' '); k.mods = ModCtrl; return k;
    case 0x08: k = CharacterKey(0x7F); k.mods = ModCtrl; return k;  // Ctrl+Backspace
    case 0x09: case 0x0D: case 0x1B: case 0x7F: return CharacterKey(b);
    // A bare LF is the keypad's Enter (tmux, xterm's legacy forms). Ctrl+J,
    // where a terminal tells it apart, arrives as a sequence.
    case 0x0A: return CharacterKey(0x0D);
    case 0x1C: k = CharacterKey('\\'); k.mods = ModCtrl; return k;
    case 0x1D: k = CharacterKey(']'); k.mods = ModCtrl; return k;
    case 0x1E: k = CharacterKey('6'); k.mods = ModCtrl | ModShift; return k;
    case 0x1F: k = CharacterKey('-'); k.mods = ModCtrl | ModShift; return k;
    default: break;
    }
    k = CharacterKey(char32_t('a' + b - 1));
    k.mods = ModCtrl;
    return k;
}

// The key of a "CSI n ~" number, false for none.
bool TildeKey(long n, Key& k)
{
    switch (n) {
    case 1: case 7: k = NavKey(vk::Home, ScanHome); return true;
    case 2: k = NavKey(vk::Insert, ScanIns); return true;
    case 3: k = NavKey(vk::Delete, ScanDel); return true;
    case 4: case 8: k = NavKey(vk::End, ScanEnd); return true;
    case 5: k = NavKey(vk::Prior, ScanPgUp); return true;
    case 6: k = NavKey(vk::Next, ScanPgDn); return true;
    case 11: case 12: case 13: case 14: case 15: k = FunctionKey(int(n - 10)); return true;
    case 17: case 18: case 19: case 20: case 21: k = FunctionKey(int(n - 11)); return true;
    case 23: case 24: case 25: case 26: k = FunctionKey(int(n - 12)); return true;
    case 28: case 29: k = FunctionKey(int(n - 13)); return true;
    case 31: case 32: case 33: case 34: k = FunctionKey(int(n - 14)); return true;
    case 57427: k = NavKey(vk::Clear, ScanKp5); k.enhanced = false; return true;
    default: return false;
    }
}

// The key of a final byte that names a key by itself (CSI 1;m X, SS3 X).
bool LetterKey(char f, Key& k)
{
    switch (f) {
    case 'A': k = NavKey(vk::Up, ScanUp); return true;
    case 'B': k = NavKey(vk::Down, ScanDown); return true;
    case 'C': k = NavKey(vk::Right, ScanRight); return true;
    case 'D': k = NavKey(vk::Left, ScanLeft); return true;
    case 'H': k = NavKey(vk::Home, ScanHome); return true;
    case 'F': k = NavKey(vk::End, ScanEnd); return true;
    case 'E': case 'G': k = NavKey(vk::Clear, ScanKp5); k.enhanced = false; return true;
    case 'P': case 'Q': case 'R': case 'S': k = FunctionKey(f - 'P' + 1); return true;
    default: return false;
    }
}

Key NumpadKey(int digit)
{
    Key k;
    k.virtualKey = uint16_t(vk::Numpad0 + digit);
    k.scan = NumpadScan[digit];
    k.text = char32_t('0' + digit);
    return k;
}

Key PadKey(uint16_t virtualKey, uint8_t scan, char32_t text, bool enhanced = false)
{
    Key k;
    k.virtualKey = virtualKey;
    k.scan = scan;
    k.text = text;
    k.enhanced = enhanced;
    return k;
}

// Keypad keys in application mode: SS3 j..y and SS3 M.
bool KeypadFinal(char f, Key& k)
{
    if (f >= 'p' && f <= 'y') {
        k = NumpadKey(f - 'p');
        return true;
    }
    switch (f) {
    case 'M': k = PadKey(vk::Return, 0x1C, 0x0D, true); return true;
    case 'j': k = PadKey(vk::Multiply, 0x37, '*'); return true;
    case 'k': k = PadKey(vk::Add, 0x4E, '+'); return true;
    case 'l': k = PadKey(vk::Separator, 0x53, ','); return true;
    case 'm': k = PadKey(vk::Subtract, 0x4A, '-'); return true;
    case 'n': k = PadKey(vk::Decimal, 0x53, '.'); return true;
    case 'o': k = PadKey(vk::Divide, 0x35, '/', true); return true;
    case 'X': k = PadKey(vk::OemPlus, 0x0D, '='); return true;
    default: return false;
    }
}

enum class KittyKind { None, Key, RightAlt };

// The kitty protocol's private-use key numbers.
KittyKind KittyFunctional(long code, Key& k)
{
    if (code >= 57399 && code <= 57408) {
        k = NumpadKey(int(code - 57399));
        return KittyKind::Key;
    }
    if (code >= 57376 && code <= 57387) {
        k = FunctionKey(int(code - 57376 + 13));
        return KittyKind::Key;
    }
    switch (code) {
    case 57358: k = PadKey(vk::Capital, 0x3A, 0); return KittyKind::Key;
    case 57359: k = PadKey(vk::Scroll, 0x46, 0); return KittyKind::Key;
    case 57360: k = PadKey(vk::NumLock, 0x45, 0); return KittyKind::Key;
    case 57361: k = PadKey(vk::Snapshot, 0x37, 0, true); return KittyKind::Key;
    case 57362: k = PadKey(vk::Pause, 0xFE, 0); return KittyKind::Key;
    case 57363: k = PadKey(vk::Apps, 0xFE, 0, true); return KittyKind::Key;
    case 57409: k = PadKey(vk::Decimal, 0x53, '.'); return KittyKind::Key;
    case 57410: k = PadKey(vk::Divide, 0x35, '/', true); return KittyKind::Key;
    case 57411: k = PadKey(vk::Multiply, 0x37, '*'); return KittyKind::Key;
    case 57412: k = PadKey(vk::Subtract, 0x4A, '-'); return KittyKind::Key;
    case 57413: k = PadKey(vk::Add, 0x4E, '+'); return KittyKind::Key;
    case 57414: k = PadKey(vk::Return, 0x1C, 0x0D, true); return KittyKind::Key;
    case 57415: k = PadKey(vk::OemPlus, 0x0D, '='); return KittyKind::Key;
    case 57416: k = PadKey(vk::Separator, 0x53, ','); return KittyKind::Key;
    case 57417: k = PadKey(vk::Left, ScanLeft, 0); return KittyKind::Key;
    case 57418: k = PadKey(vk::Right, ScanRight, 0); return KittyKind::Key;
    case 57419: k = PadKey(vk::Up, ScanUp, 0); return KittyKind::Key;
    case 57420: k = PadKey(vk::Down, ScanDown, 0); return KittyKind::Key;
    case 57421: k = PadKey(vk::Prior, ScanPgUp, 0); return KittyKind::Key;
    case 57422: k = PadKey(vk::Next, ScanPgDn, 0); return KittyKind::Key;
    case 57423: k = PadKey(vk::Home, ScanHome, 0); return KittyKind::Key;
    case 57424: k = PadKey(vk::End, ScanEnd, 0); return KittyKind::Key;
    case 57425: k = PadKey(vk::Insert, ScanIns, 0); return KittyKind::Key;
    case 57426: k = PadKey(vk::Delete, ScanDel, 0); return KittyKind::Key;
    case 57427: k = PadKey(vk::Clear, ScanKp5, 0); return KittyKind::Key;
    case 57441: k = PadKey(vk::Shift, 0x2A, 0); return KittyKind::Key;
    case 57447: k = PadKey(vk::Shift, 0x36, 0); return KittyKind::Key;
    case 57442: k = PadKey(vk::Control, 0x1D, 0); return KittyKind::Key;
    case 57448: k = PadKey(vk::Control, 0x1D, 0, true); return KittyKind::Key;
    case 57443: k = PadKey(vk::Menu, 0x38, 0); return KittyKind::Key;
    case 57449: case 57453: k = PadKey(vk::Menu, 0x38, 0, true); return KittyKind::RightAlt;
    case 57444: k = PadKey(vk::LWin, 0x5B, 0, true); return KittyKind::Key;
    case 57450: k = PadKey(vk::RWin, 0x5C, 0, true); return KittyKind::Key;
    default: break;
    }
    if (code >= 57344 && code <= 63743) {  // any other private-use key
        k = PadKey(0, 0xFE, 0);
        return KittyKind::Key;
    }
    return KittyKind::None;
}

// What DecodeCsi and DecodeSs3 return when the bytes are no sequence at all.
constexpr size_t NotSequence = ~size_t(0);

long long Clamp(long long x, long long lo, long long hi) { return x < lo ? lo : x > hi ? hi : x; }

// Whether the byte after ESC ], ESC P, ESC _, ESC ^ or ESC X can begin a
// string reply. The same bytes typed with Alt in legacy mode (Alt+], Alt+P,
// ...) come alone or before a key of their own, which this keeps apart.
bool StringStart(unsigned char introducer, unsigned char next)
{
    if (introducer == ']' || introducer == 'P')
        return IsDigit(char(next)) || std::strchr(">=<?!$+;", next) != nullptr;
    return next >= 0x20 && next <= 0x7E;
}

bool StringIntroducer(unsigned char c) { return c == ']' || c == 'P' || c == '_' || c == '^' || c == 'X'; }

}  // namespace

void TermDecoder::Reset()
{
    buf_.clear();
    paste_ = false;
    pasteCr_ = false;
    pasteText_ = {};
    inString_ = false;
    stringLength_ = 0;
    utf8Held_ = false;
    skipCsi_ = false;
    rightAltDown_ = false;
}

void TermDecoder::Feed(const char* data, size_t length, long long nowMs,
                       std::vector<KeyRecord>& out)
{
    if (length == 0) return;
    // What waited long enough before these bytes came is settled first: an
    // Esc typed before a letter is not Alt with that letter.
    if (inString_ && nowMs - lastInputMs_ >= StringQuietMs) {
        EndString();
        buf_.clear();  // at most the ESC that might have begun its terminator
    }
    if (!paste_ && !inString_ && (!buf_.empty() || skipCsi_) && nowMs - lastInputMs_ >= EscapeQuietMs)
        Process(nowMs, true, out);
    lastInputMs_ = nowMs;
    buf_.append(data, length);
    Process(nowMs, false, out);
}

void TermDecoder::Expire(long long nowMs, std::vector<KeyRecord>& out)
{
    long long quiet = nowMs - lastInputMs_;
    if (paste_) {
        if (quiet < PasteQuietMs) return;
        // The end marker never came: what is left of it is not text, what
        // came before it is the paste.
        buf_.clear();
        EndPaste(out);
        return;
    }
    if (inString_) {
        if (quiet < StringQuietMs) return;
        EndString();
        buf_.clear();  // at most the ESC that might have begun its terminator
        return;
    }
    if ((!buf_.empty() || skipCsi_) && quiet >= EscapeQuietMs) Process(nowMs, true, out);
}

int TermDecoder::MillisecondsToWait(long long nowMs) const
{
    if (paste_) return int(Clamp(lastInputMs_ + PasteQuietMs - nowMs, 0, PasteQuietMs));
    if (inString_) return int(Clamp(lastInputMs_ + StringQuietMs - nowMs, 0, StringQuietMs));
    // An incomplete UTF-8 character waits for its last byte without a timer.
    if ((buf_.empty() || utf8Held_) && !skipCsi_) return -1;
    return int(Clamp(lastInputMs_ + EscapeQuietMs - nowMs, 0, EscapeQuietMs));
}

void TermDecoder::Process(long long nowMs, bool settle, std::vector<KeyRecord>& out)
{
    size_t pos = 0;
    utf8Held_ = false;
    while (pos < buf_.size()) {
        size_t used;
        if (inString_) {
            used = SkipString(pos);
            if (used == 0 && !inString_) continue;  // ended by the ESC at pos
        } else if (skipCsi_) {
            unsigned char b = buf_[pos];
            if (b >= 0x20 && b <= 0x3F) {
                used = 1;
            } else {
                skipCsi_ = false;
                used = (b >= 0x40 && b <= 0x7E) ? 1 : 0;
                if (used == 0) continue;
            }
        } else if (paste_) {
            used = DecodePaste(pos, settle, nowMs, out);
        } else {
            used = DecodeOne(pos, settle, out);
        }
        if (used == 0) break;
        pos += used;
    }
    buf_.erase(0, pos);
    // Settling consumes everything but an incomplete UTF-8 character (and
    // what a string or a paste holds back for its terminator).
    if (settle && !paste_) skipCsi_ = false;
}

void TermDecoder::EndString()
{
    inString_ = false;
    stringLength_ = 0;
}

size_t TermDecoder::SkipString(size_t pos)
{
    // Everything up to BEL or ST (ESC \) is dropped; an ESC followed by
    // anything else ends the string and begins what follows.
    size_t i = pos;
    while (i < buf_.size()) {
        unsigned char b = buf_[i];
        if (b == 0x07) {
            EndString();
            return i + 1 - pos;
        }
        if (b == 0x1B) {
            if (i + 1 >= buf_.size()) {
                if (i == pos) return 0;  // wait for the byte after it
                break;
            }
            EndString();
            return buf_[i + 1] == '\\' ? i + 2 - pos : i - pos;
        }
        if (++stringLength_ > StringCap) {
            EndString();
            return i + 1 - pos;
        }
        ++i;
    }
    return i - pos;
}

size_t TermDecoder::DecodeOne(size_t pos, bool settle, std::vector<KeyRecord>& out)
{
    unsigned char b = buf_[pos];
    if (b == 0x1B) return DecodeEscape(pos, settle, out);
    if (b < 0x80) {
        ByteKey(b, false, out);
        return 1;
    }
    char32_t c;
    int n = DecodeUtf8(reinterpret_cast<const unsigned char*>(buf_.data()) + pos,
                       buf_.size() - pos, c);
    if (n == 0) {
        // The rest of the character is still on its way, however slowly.
        utf8Held_ = true;
        return 0;
    }
    if (n < 0) return 1;  // not UTF-8: dropped
    CharKey(c, false, out);
    return size_t(n);
}

size_t TermDecoder::DecodeEscape(size_t pos, bool settle, std::vector<KeyRecord>& out)
{
    size_t avail = buf_.size() - pos;
    if (avail == 1) {
        if (!settle) return 0;
        ByteKey(0x1B, false, out);
        return 1;
    }
    unsigned char c = buf_[pos + 1];
    if (c == '[' || c == 'O') {
        size_t n = DecodeSequence(pos, false, out);
        if (n == NotSequence) {
            ByteKey(c, true, out);
            return 2;
        }
        if (n) return n;
        if (!settle) return 0;
        // Settled without a whole sequence: ESC [ and ESC O alone are Alt
        // with that key; anything longer is a broken report.
        if (avail == 2) {
            ByteKey(c, true, out);
            return 2;
        }
        return avail;
    }
    if (StringIntroducer(c)) {
        if (avail == 2) {
            if (!settle) return 0;
        } else if (StringStart(c, buf_[pos + 2])) {
            inString_ = true;
            stringLength_ = 0;
            return 2;
        }
    }
    if (c == 0x1B) {
        // ESC ESC [ ... is Alt with a key that sends a sequence; otherwise the
        // first ESC is the Esc key.
        if (avail == 2) {
            if (!settle) return 0;
            ByteKey(0x1B, false, out);
            return 1;
        }
        unsigned char d = buf_[pos + 2];
        if (d == '[' || d == 'O') {
            size_t n = DecodeSequence(pos + 1, true, out);
            if (n && n != NotSequence) return n + 1;
            if (n == 0 && !settle) return 0;
        }
        ByteKey(0x1B, false, out);
        return 1;
    }
    if (c < 0x80) {
        ByteKey(c, true, out);
        return 2;
    }
    char32_t ch;
    int n = DecodeUtf8(reinterpret_cast<const unsigned char*>(buf_.data()) + pos + 1, avail - 1, ch);
    if (n == 0 && !settle) return 0;
    if (n <= 0) {
        ByteKey(0x1B, false, out);
        return 1;
    }
    CharKey(ch, true, out);
    return 1 + size_t(n);
}

size_t TermDecoder::DecodeSequence(size_t pos, bool alt, std::vector<KeyRecord>& out)
{
    return buf_[pos + 1] == '[' ? DecodeCsi(pos, alt, out) : DecodeSs3(pos, alt, out);
}

size_t TermDecoder::DecodeSs3(size_t pos, bool alt, std::vector<KeyRecord>& out)
{
    // ESC O [modifier digits] final
    size_t i = pos + 2;
    while (i < buf_.size() && (IsDigit(buf_[i]) || buf_[i] == ';') && i - pos < 12) ++i;
    if (i >= buf_.size()) return 0;
    if (i - pos >= 12) return NotSequence;
    char f = buf_[i];
    Params p = ParseParams(buf_, pos + 2, i);
    long modParam = p.count >= 2 ? p.Get(1) : p.Get(0);
    Key k;
    bool known = LetterKey(f, k) || KeypadFinal(f, k);
    if (!known && f >= 'a' && f <= 'd') {  // rxvt: Ctrl+arrows
        LetterKey(char(f - 'a' + 'A'), k);
        k.mods |= ModCtrl;
        known = true;
    }
    if (!known) return NotSequence;
    k.mods |= ModifierBits(modParam);
    if (alt) k.mods |= ModAlt;
    Emit(k, out);
    return i + 1 - pos;
}

size_t TermDecoder::DecodeCsi(size_t pos, bool alt, std::vector<KeyRecord>& out)
{
    const size_t size = buf_.size();
    size_t i = pos + 2;
    char marker = 0;
    if (i < size && (buf_[i] == '<' || buf_[i] == '=' || buf_[i] == '>' || buf_[i] == '?'))
        marker = buf_[i++];
    size_t paramsFrom = i;
    while (i < size && buf_[i] >= 0x30 && buf_[i] <= 0x3F) ++i;
    size_t paramsTo = i;
    // rxvt puts '$' where others put a modifier parameter: take it as the end.
    bool rxvtShift = false;
    if (i < size && buf_[i] == '$' && marker == 0 && paramsTo > paramsFrom) {
        rxvtShift = true;
    } else {
        while (i < size && buf_[i] >= 0x20 && buf_[i] <= 0x2F) ++i;
    }
    if (i >= size) {
        if (i - pos > 64) {
            // Far too long for anything a terminal sends: eat the rest of it
            // as it comes.
            skipCsi_ = true;
            return i - pos;
        }
        return 0;
    }
    unsigned char f = buf_[i];
    if (f < 0x40 || f > 0x7E) {
        if (!rxvtShift) return i - pos;  // broken sequence: dropped up to the odd byte
    }
    size_t length = i + 1 - pos;
    bool intermediates = paramsTo != i;
    Params p = ParseParams(buf_, paramsFrom, paramsTo);
    if (p.overflow) return length;

    // X10 mouse report: three raw bytes follow.
    if (f == 'M' && marker == 0 && p.count == 0 && !intermediates) {
        if (size - pos < length + 3) return 0;
        return length + 3;
    }
    // Linux console F1-F5: ESC [ [ A..E (nothing between the two brackets:
    // a report with intermediates waiting here for one more byte could hold
    // a whole read)
    if (f == '[' && marker == 0 && p.count == 0 && !intermediates) {
        if (size - pos < length + 1) return 0;
        char g = buf_[i + 1];
        if (g >= 'A' && g <= 'E') {
            Key k = FunctionKey(g - 'A' + 1);
            if (alt) k.mods |= ModAlt;
            Emit(k, out);
        }
        return length + 1;
    }
    if (marker == '?') {
        if (f == 'u') replies.push_back(TermReply::KittyFlags);
        else if (f == 'c') replies.push_back(TermReply::DeviceAttributes);
        return length;
    }
    if (marker != 0) return length;  // SGR mouse and other replies
    if (rxvtShift || (intermediates == false && (f == '^' || f == '@'))) {
        Key k;
        if (TildeKey(p.Get(0), k)) {
            k.mods |= f == '^' ? ModCtrl : f == '@' ? (ModCtrl | ModShift) : ModShift;
            if (alt) k.mods |= ModAlt;
            Emit(k, out);
        }
        return length;
    }
    if (intermediates) return length;

    Key k;
    long modParam = p.Get(1, 0, 1);
    int event = int(p.Get(1, 1, 1));
    switch (f) {
    case '~': {
        long n = p.Get(0);
        if (n == 200) {
            paste_ = true;
            pasteCr_ = false;
            pasteText_ = {};
            return length;
        }
        if (n == 27 && p.count >= 3) {  // modifyOtherKeys: CSI 27 ; mods ; code ~
            long code = p.Get(2);
            if (code < 0 || code > 0x10FFFF) return length;
            k = CharacterKey(char32_t(code));
            if (code >= 'A' && code <= 'Z') k.mods = 0;  // Shift comes from the parameter
            k.mods |= ModifierBits(p.Get(1, 0, 1));
            break;
        }
        if (!TildeKey(n, k)) return length;
        k.mods |= ModifierBits(modParam);
        k.event = event;
        break;
    }
    case 'u': {
        long code = p.Get(0);
        if (code < 0 || code > 0x10FFFF) return length;
        long shifted = p.Get(0, 1);
        long base = p.Get(0, 2);
        long mp = p.Get(1, 0, 1);
        int mods = ModifierBits(mp);
        bool capsLock = mp >= 1 && ((mp - 1) & 64);
        KittyKind kind = KittyFunctional(code, k);
        if (kind == KittyKind::RightAlt) rightAltDown_ = event != 3;
        if (kind == KittyKind::None) {
            if (code == 13 || code == 9 || code == 127 || code == 8 || code == 27) {
                k = CharacterKey(char32_t(code));
            } else {
                // The key: from the base-layout key when reported, else from
                // the character itself.
                char32_t typed = char32_t(code);
                Key at = CharacterKey(base > 0 && base < 0x110000 ? char32_t(base) : typed);
                k = at;
                if (mods & ModShift) typed = shifted > 0 && shifted < 0x110000 ? char32_t(shifted)
                                                                                : ShiftedChar(typed);
                if (capsLock) typed = ToggleCase(typed);
                k.text = typed;
            }
            long text = p.Get(2, 0);
            if (text > 0 && text < 0x110000) k.text = char32_t(text);
        }
        k.mods |= mods;
        k.event = event;
        break;
    }
    case 'Z':
        k = CharacterKey('\t');
        k.mods |= ModShift | ModifierBits(modParam);
        break;
    case 'I': case 'O':  // focus reports
        if (p.count == 0) return length;
        [[fallthrough]];
    default:
        if (!LetterKey(char(f), k)) {
            if (f >= 'a' && f <= 'd' && p.count == 0) {  // rxvt: Shift+arrows
                LetterKey(char(f - 'a' + 'A'), k);
                k.mods |= ModShift;
                break;
            }
            return length;
        }
        k.mods |= ModifierBits(modParam);
        k.event = event;
        break;
    }
    if (alt) k.mods |= ModAlt;
    Emit(k, out);
    return length;
}

size_t TermDecoder::DecodePaste(size_t pos, bool settle, long long nowMs, std::vector<KeyRecord>& out)
{
    static const char EndMarker[] = "\x1b[201~";
    constexpr size_t EndLength = sizeof EndMarker - 1;
    const size_t avail = buf_.size() - pos;
    unsigned char b = buf_[pos];
    if (b == 0x1B) {
        // Nothing inside a paste is a key: a sequence other than the end
        // marker is dropped whole, not typed.
        if (avail < 2) return settle && nowMs - lastInputMs_ >= PasteQuietMs ? avail : 0;
        unsigned char c = buf_[pos + 1];
        if (c == 0x1B) return 1;  // the second ESC may begin the end marker
        if (c == 'O') return avail < 3 ? 0 : 3;  // SS3 and its key letter
        if (c != '[') return 2;
        size_t i = pos + 2;
        while (i < buf_.size() && i - pos < 64 && (unsigned char)(buf_[i]) >= 0x20 &&
               (unsigned char)(buf_[i]) <= 0x3F)
            ++i;
        while (i < buf_.size() && i - pos < 64 && (unsigned char)(buf_[i]) >= 0x20 &&
               (unsigned char)(buf_[i]) <= 0x2F)
            ++i;
        if (i >= buf_.size()) return settle && nowMs - lastInputMs_ >= PasteQuietMs ? avail : 0;
        size_t length = i + 1 - pos;
        if (length == EndLength && buf_.compare(pos, EndLength, EndMarker) == 0) {
            EndPaste(out);
            return EndLength;
        }
        unsigned char f = buf_[i];
        return (f >= 0x40 && f <= 0x7E) ? length : i - pos;
    }
    if (b < 0x80) {
        // Plain text runs are taken in one go.
        size_t i = pos;
        while (i < buf_.size()) {
            unsigned char x = buf_[i];
            if (x == 0x1B || x >= 0x80) break;
            PasteByte(x);
            ++i;
        }
        return i - pos;
    }
    char32_t c;
    int n = DecodeUtf8(reinterpret_cast<const unsigned char*>(buf_.data()) + pos, avail, c);
    if (n == 0) return settle && nowMs - lastInputMs_ >= PasteQuietMs ? avail : 0;
    if (n < 0) return 1;
    pasteCr_ = false;
    // Kept as UTF-8: the editor gives each character the byte the text's
    // character map has for it. C1 controls are not text.
    if (c >= 0xA0) PasteCharacter(c);
    return size_t(n);
}

void TermDecoder::PasteCharacter(char32_t c)
{
    std::string bytes;
    AppendUtf8(bytes, c);
    for (char b : bytes) PasteByte(static_cast<unsigned char>(b));
}

void TermDecoder::PasteByte(unsigned char b)
{
    bool wasCr = pasteCr_;
    pasteCr_ = b == 0x0D;
    char keep;
    if (b == 0x0D) keep = '\n';
    else if (b == 0x0A) {
        if (wasCr) return;  // CR LF is one line end
        keep = '\n';
    } else if (b == 0x09 || (b >= 0x20 && b != 0x7F)) keep = char(b);  // UTF-8 bytes too
    else return;  // other control bytes are not text
    if (pasteText_.tooLarge) return;
    if (pasteText_.text.size() >= PasteCap) {
        pasteText_.tooLarge = true;
        pasteText_.text = std::string();
        return;
    }
    pasteText_.text += keep;
}

void TermDecoder::EndPaste(std::vector<KeyRecord>& out)
{
    paste_ = false;
    pasteCr_ = false;
    pastes.push_back(std::move(pasteText_));
    pasteText_ = {};
    KeyRecord r;
    r.kind = KeyRecord::Paste;
    out.push_back(r);
}

void TermDecoder::ByteKey(unsigned char b, bool alt, std::vector<KeyRecord>& out)
{
    Key k = (b < 0x20 || b == 0x7F) ? ControlByteKey(b) : CharacterKey(b);
    if (alt) k.mods |= ModAlt;
    Emit(k, out);
}

void TermDecoder::CharKey(char32_t c, bool alt, std::vector<KeyRecord>& out)
{
    Key k = CharacterKey(c);
    if (alt) k.mods |= ModAlt;
    Emit(k, out);
}

void TermDecoder::Emit(const Key& k, std::vector<KeyRecord>& out)
{
    if (k.event < 1 || k.event > 3) return;
    KeyRecord r;
    r.keyDown = k.event != 3;
    r.virtualKey = k.virtualKey;
    r.scanCode = k.scan;
    bool ctrl = k.mods & ModCtrl;
    bool alt = k.mods & ModAlt;
    if (k.mods & ModShift) r.controlState |= ShiftPressed;
    if (ctrl) r.controlState |= LeftCtrlPressed;
    if (alt) r.controlState |= rightAltDown_ ? RightAltPressed : LeftAltPressed;
    else if (rightAltDown_) r.controlState |= RightAltPressed;
    if (k.enhanced) r.controlState |= EnhancedKey;
    if (ctrl && !rightAltDown_) {
        // What a PC console gives for Ctrl with a key: control codes for the
        // letters and a few others, nothing for the rest.
        uint16_t v = k.virtualKey;
        bool shift = k.mods & ModShift;
        if (v >= 'A' && v <= 'Z') r.character = uint8_t(v - 0x40);
        else if (v == vk::Oem4) r.character = 0x1B;
        else if (v == vk::Oem5) r.character = 0x1C;
        else if (v == vk::Oem6) r.character = 0x1D;
        else if (v == '6' && shift) r.character = 0x1E;
        else if (v == vk::OemMinus && shift) r.character = 0x1F;
        else if (v == vk::Space) r.character = 0x20;
        else if (v == vk::Return) r.character = 0x0A;
        else if (v == vk::Back) r.character = 0x7F;
    } else if (k.text) {
        int b = UnicodeToCp866(k.text);
        if (b < 0) {
            // A character CP866 lacks goes to the editor as itself: the
            // text's character map may have a byte for it.
            if (!alt && !ctrl) r.unicode = k.text;
            b = 0;
        }
        r.character = uint8_t(b);
    }
    if (r.virtualKey == 0 && r.scanCode == 0 && r.character == 0 && r.unicode == 0) return;
    out.push_back(r);
}

}  // namespace lumo
