#include "console/termdecode.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>

#include "editor/editor.h"

namespace lumo {
namespace {

// Runs records through the queue as the terminal console does and returns the
// events ReadKey gives, with the editor's shift folding applied.
std::vector<KeyEvent> Drain(const std::vector<KeyRecord>& records)
{
    KeyQueue q;
    std::vector<KeyEvent> events;
    for (const KeyRecord& r : records) {
        q.Put(r);
        while (q.HasKey()) {
            KeyEvent e = q.ReadKey();
            uint32_t shift = (e >> 16) & 0xFF;
            if (shift == 1 || shift == 3) e = (e & 0xFF00FFFF) | 0x20000;
            events.push_back(e);
        }
    }
    return events;
}

std::vector<KeyEvent> Decode(const std::string& bytes)
{
    TermDecoder d;
    std::vector<KeyRecord> records;
    d.Feed(bytes, 0, records);
    d.Expire(TermDecoder::PasteQuietMs * 2, records);
    return Drain(records);
}

// The same bytes fed one at a time, all at once in time.
std::vector<KeyEvent> DecodeByteByByte(const std::string& bytes)
{
    TermDecoder d;
    std::vector<KeyRecord> records;
    for (char c : bytes) d.Feed(&c, 1, 0, records);
    d.Expire(TermDecoder::PasteQuietMs * 2, records);
    return Drain(records);
}

using Events = std::vector<KeyEvent>;

struct KeyCase {
    const char* key;
    KeyEvent event;
    std::vector<std::string> forms;  // legacy, modifyOtherKeys, kitty, ... as the terminal sends them
};

const std::vector<KeyCase>& KeyCases()
{
    static const std::vector<KeyCase> cases = {
        {"a", 0x00001E61, {"a", "\x1b[97u", "\x1b[97;1:1u", "\x1b[97;;97u"}},
        {"Shift+a", 0x00021E41, {"A", "\x1b[97:65;2u", "\x1b[97;2;65u"}},
        {"Ctrl+K", 0x0004250B, {"\x0b", "\x1b[27;5;107~", "\x1b[107;5u"}},
        {"Ctrl+Shift+K", 0x0007250B, {"\x1b[27;6;75~", "\x1b[107:75;6u"}},
        {"Alt+K", 0x03082500, {"\x1bk", "\x1b[27;3;107~", "\x1b[107;3u"}},
        {"Alt+Shift+K", 0x030B2500, {"\x1bK", "\x1b[27;4;75~", "\x1b[107:75;4u", "\x1b[75;4u"}},
        {"Alt+Ctrl+K", 0x030C2500, {"\x1b\x0b", "\x1b[27;7;107~", "\x1b[107;7u"}},
        {"Alt+C", 0x03082E00, {"\x1b" "c", "\x1b[27;3;99~", "\x1b[99;3u"}},
        {"Esc", 0x0000011B, {"\x1b", "\x1b[27u"}},
        {"Enter", 0x00001C0D, {"\r", "\x1b[13u", "\x1b[57414u"}},
        {"Shift+Enter", 0x00021C0D, {"\x1b[27;2;13~", "\x1b[13;2u"}},
        {"Ctrl+Enter", 0x00041C0A, {"\x1b[27;5;13~", "\x1b[13;5u"}},
        {"Backspace", 0x00000E08, {"\x7f", "\x1b[127u"}},
        {"Ctrl+Backspace", 0x00040E7F, {"\x08", "\x1b[27;5;127~", "\x1b[127;5u", "\x1b[8;5u"}},
        {"Alt+Backspace", 0x03080E00, {"\x1b\x7f", "\x1b[27;3;127~", "\x1b[127;3u"}},
        {"Tab", 0x00000F09, {"\t", "\x1b[9u"}},
        {"Shift+Tab", 0x03020F00, {"\x1b[Z", "\x1b[27;2;9~", "\x1b[9;2u"}},
        {"Ctrl+Tab", 0x03049400, {"\x1b[27;5;9~", "\x1b[9;5u"}},
        {"Alt+Ctrl+Tab", 0x030C0F00, {"\x1b[27;7;9~", "\x1b[9;7u"}},
        {"Alt+Shift+Tab", 0x030B0F00, {"\x1b[27;4;9~", "\x1b[9;4u", "\x1b\x1b[Z"}},
        {"Space", 0x00003920, {" ", "\x1b[32u"}},
        {"Ctrl+Space", 0x00043920, {std::string(1, '\0'), "\x1b[27;5;32~", "\x1b[32;5u"}},
        {"Alt+1", 0x03087800, {"\x1b" "1", "\x1b[27;3;49~", "\x1b[49;3u"}},
        {"Alt+0", 0x03088100, {"\x1b" "0", "\x1b[48;3u"}},
        {"Alt+-", 0x03088200, {"\x1b-", "\x1b[45;3u"}},
        {"Alt+=", 0x03080D00, {"\x1b=", "\x1b[61;3u"}},
        {"Ctrl+1", 0x03040200, {"\x1b[27;5;49~", "\x1b[49;5u"}},
        {"backslash", 0x00002B5C, {"\\", "\x1b[92u"}},
        {"Alt+\\", 0x03082B00, {"\x1b\\", "\x1b[92;3u"}},
        {"Alt+Shift+\\", 0x030B2B00, {"\x1b|", "\x1b[92:124;4u"}},
        {"Alt+/", 0x03083500, {"\x1b/", "\x1b[47;3u"}},
        {"F1", 0x0200FF01, {"\x1bOP", "\x1b[11~", "\x1b[P"}},
        {"F3", 0x0200FF03, {"\x1bOR", "\x1b[13~"}},
        {"F5", 0x0200FF05, {"\x1b[15~"}},
        {"F10", 0x0200FF0A, {"\x1b[21~"}},
        {"F11", 0x0200FF0B, {"\x1b[23~"}},
        {"F12", 0x0200FF0C, {"\x1b[24~"}},
        {"Shift+F2", 0x0202FF02, {"\x1b[1;2Q", "\x1bO2Q"}},
        {"Ctrl+Shift+F2", 0x0207FF02, {"\x1b[1;6Q"}},
        {"Ctrl+F1", 0x0204FF01, {"\x1b[1;5P"}},
        {"Alt+F3", 0x0208FF03, {"\x1b[1;3R", "\x1b[13;3~"}},
        {"Shift+F11", 0x0202FF0B, {"\x1b[23;2~"}},
        {"Ctrl+F12", 0x0204FF0C, {"\x1b[24;5~"}},
        {"Ctrl+Shift+F8", 0x0207FF08, {"\x1b[19;6~"}},
        {"Shift+Alt+F8", 0x020BFF08, {"\x1b[19;4~"}},
        {"Up", 0x0200FF21, {"\x1b[A", "\x1bOA", "\x1b[1;1A"}},
        {"Alt+Up", 0x0208FF21, {"\x1b[1;3A", "\x1b\x1b[A"}},
        {"Home", 0x0200FF20, {"\x1b[H", "\x1bOH", "\x1b[1~", "\x1b[7~"}},
        {"Ctrl+Home", 0x0204FF20, {"\x1b[1;5H", "\x1b[7^"}},
        {"Shift+End", 0x0202FF26, {"\x1b[1;2F", "\x1b[4;2~", "\x1b[8$"}},
        {"PgDn", 0x0200FF28, {"\x1b[6~"}},
        {"Ctrl+PgDn", 0x0204FF28, {"\x1b[6;5~"}},
        {"Ins", 0x0200FF29, {"\x1b[2~"}},
        {"Ctrl+Ins", 0x0204FF29, {"\x1b[2;5~"}},
        {"Del", 0x0200FF2A, {"\x1b[3~"}},
        {"Ctrl+Del", 0x0204FF2A, {"\x1b[3;5~"}},
        {"Ctrl+Shift+Left", 0x0207FF23, {"\x1b[1;6D"}},
        {"Alt+Down", 0x0208FF27, {"\x1b[1;3B"}},
        {"Right", 0x0200FF25, {"\x1b[C"}},
        {"keypad 5", 0x03004C00, {"\x1b[E", "\x1b[G", "\x1bOE", "\x1b[57427u", "\x1b[57427~"}},
        {"Ctrl+keypad plus", 0x03049000, {"\x1b[57413;5u"}},
        {"keypad 7 with Num Lock", 0x00000837, {"\x1b[57406u", "\x1bOw"}},
        {"Cyrillic й", 0x000010A9, {"\xd0\xb9", "\x1b[1081u", "\x1b[1081::113u"}},
        {"Cyrillic Й", 0x00021089, {"\xd0\x99", "\x1b[1081:1049:113;2u", "\x1b[1081;2;1049u"}},
        {"Cyrillic ф on A", 0x00001EE4, {"\xd1\x84", "\x1b[1092::97u"}},
        {"Cyrillic ё", 0x000029F1, {"\xd1\x91"}},
        {"Alt+л", 0x03082500, {"\x1b\xd0\xbb", "\x1b[1083::107;3u"}},
        {"Ctrl+с", 0x00042E03, {"\x1b[1089::99;5u"}},
        {"box drawing ╔", 0x000000C9, {"\xe2\x95\x94"}},
    };
    return cases;
}

TEST(TermDecoder, EveryFormOfAKeyGivesItsEvent)
{
    for (const KeyCase& c : KeyCases()) {
        for (const std::string& form : c.forms) {
            EXPECT_EQ(Decode(form), Events{c.event}) << c.key << " from " << testing::PrintToString(form);
            EXPECT_EQ(DecodeByteByByte(form), Events{c.event})
                << c.key << " split, from " << testing::PrintToString(form);
        }
    }
}

TEST(TermDecoder, KeysInOneReadStayApart)
{
    // A burst of everything in the table, in one read: each key once, in order.
    std::string all;
    Events expected;
    for (const KeyCase& c : KeyCases()) {
        for (const std::string& form : c.forms) {
            if (form == "\x1b") continue;  // a lone Esc needs its quiet time
            all += form;
            expected.push_back(c.event);
        }
    }
    EXPECT_EQ(Decode(all), expected);
}

TEST(TermDecoder, LoneEscWaitsForQuiet)
{
    TermDecoder d;
    std::vector<KeyRecord> out;
    d.Feed("\x1b", 1000, out);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(d.MillisecondsToWait(1000), TermDecoder::EscapeQuietMs);
    EXPECT_EQ(d.MillisecondsToWait(1030), TermDecoder::EscapeQuietMs - 30);
    d.Expire(1000 + TermDecoder::EscapeQuietMs - 1, out);
    EXPECT_TRUE(out.empty());
    d.Expire(1000 + TermDecoder::EscapeQuietMs, out);
    EXPECT_EQ(Drain(out), Events{0x0000011B});
    EXPECT_EQ(d.MillisecondsToWait(2000), -1);
}

TEST(TermDecoder, SequenceSplitInTimeStaysWhole)
{
    TermDecoder d;
    std::vector<KeyRecord> out;
    d.Feed("\x1b", 0, out);
    d.Feed("[1;", 10, out);
    d.Feed("5H", 20, out);
    EXPECT_EQ(Drain(out), Events{0x0204FF20});
}

TEST(TermDecoder, EscThenLetterAfterQuietIsTwoKeys)
{
    TermDecoder d;
    std::vector<KeyRecord> out;
    d.Feed("\x1b", 0, out);
    d.Feed("k", 80, out);  // the reader missed the timeout: still Esc, then k
    EXPECT_EQ(Drain(out), (Events{0x0000011B, 0x0000256B}));
}

TEST(TermDecoder, EscBracketAloneIsAltBracket)
{
    EXPECT_EQ(Decode("\x1b["), Events{0x03081A00});
    EXPECT_EQ(Decode("\x1bO"), Events{0x030B1800});
}

// Feeds bytes and returns the events and the pastes' texts.
struct Decoded {
    Events events;
    std::vector<std::string> pastes;
};

Decoded DecodeWithPastes(const std::vector<std::pair<std::string, long long>>& reads, long long endMs)
{
    TermDecoder d;
    std::vector<KeyRecord> out;
    for (const auto& [bytes, at] : reads) d.Feed(bytes, at, out);
    d.Expire(endMs, out);
    Decoded r{Drain(out), {}};
    for (const PastedText& p : d.pastes) r.pastes.push_back(p.tooLarge ? "<too large>" : p.text);
    return r;
}

TEST(TermDecoder, BracketedPasteArrivesAsOneText)
{
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, long long>> reads;
        Events events;
        std::vector<std::string> pastes;
    };
    const Case cases[] = {
        {"keys around a paste keep their places; line ends are one LF; a sequence inside is dropped",
         {{"q\x1b[200~aB\r\nc\r\rd\ne\x1b[A\x1b[21~\x1bOP\x1b[201~x", 0}},
         {0x00001071, PasteEvent, 0x00002D78},
         {"aB\nc\n\nd\ne"}},
        {"TAB kept, other control characters dropped, characters kept as UTF-8",
         {{"\x1b[200~\t\x01\x7f\x08\xc2\x85\xd0\x99\xd1\x91\xe2\x82\xac!\x1b[201~", 0}},
         {PasteEvent},
         {"\t\xd0\x99\xd1\x91\xe2\x82\xac!"}},
        {"markers and characters split across reads",
         {{"\x1b[2", 0}, {"00~a\xd0", 10}, {"\x99\x1b[20", 20}, {"1~\x1b[A", 500}},
         {PasteEvent, 0x0200FF21},
         {"a\xd0\x99"}},
        {"a paste without its end marker ends after quiet with what came",
         {{"\x1b[200~ab\x1b[20", 0}},
         {PasteEvent},
         {"ab"}},
        {"two pastes in one read",
         {{"\x1b[200~1\x1b[201~\x1b[200~2\n\x1b[201~", 0}},
         {PasteEvent, PasteEvent},
         {"1", "2\n"}},
    };
    for (const Case& c : cases) {
        Decoded r = DecodeWithPastes(c.reads, 5000);
        EXPECT_EQ(r.events, c.events) << c.what;
        EXPECT_EQ(r.pastes, c.pastes) << c.what;
    }
    // After the quiet time, keys are keys again.
    TermDecoder d;
    std::vector<KeyRecord> out;
    d.Feed("\x1b[200~a", 0, out);
    EXPECT_TRUE(d.InPaste());
    d.Expire(TermDecoder::PasteQuietMs, out);
    EXPECT_FALSE(d.InPaste());
    d.Feed("\x1b[A", TermDecoder::PasteQuietMs + 10, out);
    EXPECT_EQ(Drain(out), (Events{PasteEvent, 0x0200FF21}));
}

TEST(TermDecoder, PasteLongerThanTheCapIsMarkedTooLarge)
{
    TermDecoder d;
    std::vector<KeyRecord> out;
    d.Feed("\x1b[200~", 0, out);
    std::string chunk(1 << 20, 'x');
    for (size_t sent = 0; sent <= TermDecoder::PasteCap; sent += chunk.size()) d.Feed(chunk, 1, out);
    d.Feed("\x1b[201~y", 2, out);
    ASSERT_EQ(d.pastes.size(), 1u);
    EXPECT_TRUE(d.pastes[0].tooLarge);
    EXPECT_TRUE(d.pastes[0].text.empty());
    EXPECT_EQ(Drain(out), (Events{PasteEvent, 0x00001579}));
}

TEST(TermDecoder, ReportsAndUnknownSequencesAreDropped)
{
    EXPECT_EQ(Decode("\x1b[<0;12;5M\x1b[<0;12;5m" "a"), Events{0x00001E61});
    EXPECT_EQ(Decode("\x1b[M !\xff" "a"), Events{0x00001E61});  // X10 mouse, raw bytes
    EXPECT_EQ(Decode("\x1b[I\x1b[O" "a"), Events{0x00001E61});  // focus
    EXPECT_EQ(Decode("\x1b[99z\x1b[5;5;5;5;5;5;5;5;5;5;5;5t\x1b[>0;1u" "a"), Events{0x00001E61});
    EXPECT_EQ(Decode("\x1b[99999999999999999999~a"), Events{0x00001E61});
    EXPECT_EQ(Decode("\x1b[ [" "a"), Events{0x00001E61});  // not the Linux console's ESC [ [ A
    // € has no CP866 byte: it goes on as itself, for the text's character map.
    EXPECT_EQ(Decode("\xe2\x82\xac" "a"), (Events{UnicodeKeyEvent(0x20AC), 0x00001E61}));
    EXPECT_EQ(Decode("\xff\xc0\x80" "a"), Events{0x00001E61});  // not UTF-8
    // An over-long sequence is eaten whole, even in pieces.
    TermDecoder d;
    std::vector<KeyRecord> out;
    d.Feed("\x1b[" + std::string(100, '1'), 0, out);
    d.Feed(std::string(100, '2') + "~a", 1, out);
    EXPECT_EQ(Drain(out), Events{0x00001E61});
}

TEST(TermDecoder, StringRepliesAreDroppedWhole)
{
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, long long>> reads;
        Events events;
    };
    const Case cases[] = {
        {"OSC ended by BEL", {{"\x1b]11;rgb:ffff/ffff/ffff\x07" "a", 0}}, {0x00001E61}},
        {"OSC ended by ST, which is not Alt+\\", {{"\x1b]10;rgb:0/0/0\x1b\\" "a", 0}}, {0x00001E61}},
        {"DCS", {{"\x1bP1$r0;1m\x1b\\" "a", 0}}, {0x00001E61}},
        {"DCS of XTVERSION", {{"\x1bP>|xterm(379)\x1b\\" "a", 0}}, {0x00001E61}},
        {"APC, PM, SOS", {{"\x1b_Gi=1;OK\x1b\\\x1b^pm\x1b\\\x1bXsos\x1b\\" "a", 0}}, {0x00001E61}},
        {"a reply arriving late, in pieces, beyond the Esc time",
         {{"\x1b]11;rgb:", 0}, {"ffff/", 120}, {"0000\x1b", 240}, {"\\a", 360}},
         {0x00001E61}},
        {"an ESC that is not ST ends the string and begins a key",
         {{"\x1b]11;x\x1b[A", 0}}, {0x0200FF21}},
        {"a string without its terminator ends after quiet",
         {{"\x1b]11;never ends", 0}, {"a", TermDecoder::StringQuietMs + 1}}, {0x00001E61}},
        {"Alt+] alone and Alt+Shift+P before a key stay keys",
         {{"\x1b]", 0}, {"\x1bPa", 100}}, {0x03081B00, 0x030B1900, 0x00001E61}},
        {"ESC \\ outside a string is Alt+\\", {{"\x1b\\", 0}}, {0x03082B00}},
    };
    for (const Case& c : cases) {
        TermDecoder d;
        std::vector<KeyRecord> out;
        for (const auto& [bytes, at] : c.reads) d.Feed(bytes, at, out);
        d.Expire(100000, out);
        EXPECT_EQ(Drain(out), c.events) << c.what;
    }
    // Past the cap, a string is no reply: what follows counts again.
    TermDecoder d;
    std::vector<KeyRecord> out;
    d.Feed("\x1b]1;" + std::string(TermDecoder::StringCap + 10, 'x') + "a", 0, out);
    Events expected(11, 0x00002D78);
    expected.push_back(0x00001E61);
    EXPECT_EQ(Drain(out), expected);
}

TEST(TermDecoder, SplitUtf8WaitsForItsLastByteAndLfIsEnter)
{
    TermDecoder d;
    std::vector<KeyRecord> out;
    d.Feed("\xd0", 0, out);
    EXPECT_EQ(d.MillisecondsToWait(0), -1);  // no timer runs for it
    d.Expire(500, out);
    d.Feed("\x99", 600, out);
    d.Feed("\xe2\x95", 700, out);
    d.Expire(900, out);
    d.Feed("\x94\xd0", 1000, out);
    d.Feed("a", 1100, out);  // an invalid continuation: the lead byte is dropped
    // Keypad Enter in tmux and xterm's legacy form is a bare LF: Enter.
    d.Feed("\n", 1200, out);
    EXPECT_EQ(Drain(out), (Events{0x00021089, 0x000000C9, 0x00001E61, 0x00001C0D}));
}

TEST(TermDecoder, QueryRepliesAreRoutedOut)
{
    TermDecoder d;
    std::vector<KeyRecord> out;
    d.Feed("\x1b[?31u\x1b[?62;22c", 0, out);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(d.replies, (std::vector<TermReply>{TermReply::KittyFlags, TermReply::DeviceAttributes}));
}

TEST(TermDecoder, KittyReleasesAndRepeats)
{
    // press, repeat, release of "a": two events
    EXPECT_EQ(Decode("\x1b[97u\x1b[97;1:2u\x1b[97;1:3u"), (Events{0x00001E61, 0x00001E61}));
    // a lone Shift press and release: nothing
    EXPECT_EQ(Decode("\x1b[57441;2u\x1b[57441;1:3u"), Events{});
    // Up released
    EXPECT_EQ(Decode("\x1b[1;1:3A"), Events{});
}

TEST(TermDecoder, KittyAltKeypadCode)
{
    const std::string altDown = "\x1b[57443;3u";
    const std::string altUp = "\x1b[57443;1:3u";
    auto kp = [](int digit) { return "\x1b[" + std::to_string(57399 + digit) + ";3u"; };
    EXPECT_EQ(Decode(altDown + kp(2) + kp(5) + kp(1) + altUp), Events{0x000000FB});
    // Only the last three digits count: 551 is too big, nothing comes.
    EXPECT_EQ(Decode(altDown + kp(2) + kp(5) + kp(5) + kp(1) + altUp), Events{});
    // 0 gives character 0, kind 3.
    EXPECT_EQ(Decode(altDown + kp(0) + altUp), Events{0x03000000});
    // Another key ends the collection and arrives as itself.
    EXPECT_EQ(Decode(altDown + kp(6) + "\x1b[107;3u" + kp(5) + altUp), (Events{0x03082500, 0x00000005}));
    // Keypad keys with Num Lock off count as their digits.
    EXPECT_EQ(Decode(altDown + "\x1b[57424;3u\x1b[57420;3u" + altUp), Events{0x0000000C});
    // Without releases (legacy), Alt+digit is Alt+digit.
    EXPECT_EQ(Decode("\x1b" "2\x1b" "5"), (Events{0x03087900, 0x03087C00}));
}

TEST(TermDecoder, KittyRightAltKeepsTheCharacter)
{
    // AltGr held (reported as its own key), then "/" typed with it.
    EXPECT_EQ(Decode("\x1b[57453u\x1b[47;3u\x1b[57453;1:3u"), Events{0x0008352F});
}

TEST(TermDecoder, RandomBytesNeverCrashHangOrGiveZero)
{
    std::mt19937 rng(12345);
    const std::string alphabet = "\x1b\x1b\x1b[[[O;;;:::~u0123456789<>?=$^@ABCDHFPQRSZIOMmcEGu\x7f\x08\r\n\t \xd0\xb9\xe2\x82\xc3\xff]]P_X\\\x07";
    auto start = std::chrono::steady_clock::now();
    for (int round = 0; round < 300; ++round) {
        TermDecoder d;
        KeyQueue q;
        std::vector<KeyRecord> out;
        long long now = 0;
        int len = int(rng() % 400);
        std::string bytes;
        for (int i = 0; i < len; ++i)
            bytes += rng() % 4 ? alphabet[rng() % alphabet.size()] : char(rng() % 256);
        size_t pos = 0;
        while (pos < bytes.size()) {
            size_t n = 1 + rng() % 16;
            if (pos + n > bytes.size()) n = bytes.size() - pos;
            d.Feed(bytes.data() + pos, n, now, out);
            pos += n;
            now += rng() % 80;
            if (rng() % 3 == 0) d.Expire(now, out);
            int wait = d.MillisecondsToWait(now);
            ASSERT_LE(wait, TermDecoder::PasteQuietMs);
        }
        d.Expire(now + TermDecoder::PasteQuietMs, out);
        ASSERT_EQ(d.MillisecondsToWait(now + TermDecoder::PasteQuietMs), -1);
        for (const KeyRecord& r : out) {
            q.Put(r);
            while (q.HasKey()) ASSERT_NE(q.ReadKey(), 0u);
        }
        // Whatever came before, the decoder is not wedged.
        out.clear();
        d.Feed("x", now + 2 * TermDecoder::PasteQuietMs, out);
        ASSERT_EQ(Drain(out), Events{0x00002D78}) << testing::PrintToString(bytes);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

TEST(TermDecoder, RepliesAndStringsMixedIntoKeysAtRandomSplitPoints)
{
    const std::vector<std::string> replies = {
        "\x1b]11;rgb:ffff/0000/ffff\x07", "\x1b]10;rgb:0/0/0\x1b\\", "\x1bP1$r0;1m\x1b\\",
        "\x1bP>|xterm(379)\x1b\\",      "\x1b_Gi=1;OK\x1b\\",        "\x1b^private\x1b\\",
        "\x1bXsos\x07",                   "\x1b[?62;22c",                "\x1b[?31u",
        "\x1b[<0;12;5M",                   "\x1b[I",                      "\x1b]52;c;" + std::string(300, 'Q') + "\x07",
    };
    std::vector<std::pair<std::string, KeyEvent>> keys;
    for (const KeyCase& c : KeyCases())
        for (const std::string& form : c.forms)
            if (form != "\x1b") keys.emplace_back(form, c.event);
    std::mt19937 rng(4242);
    for (int round = 0; round < 200; ++round) {
        std::string bytes;
        Events expected;
        for (int piece = 0; piece < 40; ++piece) {
            if (rng() % 3 == 0) {
                bytes += replies[rng() % replies.size()];
            } else {
                const auto& [form, event] = keys[rng() % keys.size()];
                bytes += form;
                expected.push_back(event);
            }
        }
        // Any split, any gap shorter than the Esc time: the keys stay keys
        // and nothing of a reply is typed.
        TermDecoder d;
        std::vector<KeyRecord> out;
        long long now = 0;
        for (size_t pos = 0; pos < bytes.size();) {
            size_t n = std::min<size_t>(1 + rng() % 24, bytes.size() - pos);
            d.Feed(bytes.data() + pos, n, now, out);
            pos += n;
            now += rng() % TermDecoder::EscapeQuietMs;
        }
        d.Expire(now + TermDecoder::PasteQuietMs, out);
        ASSERT_EQ(Drain(out), expected) << testing::PrintToString(bytes);
        ASSERT_TRUE(d.pastes.empty());
    }
}

}  // namespace
}  // namespace lumo

