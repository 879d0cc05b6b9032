#include <gtest/gtest.h>

#include <random>

#include "console/cp866.h"
#include "editor/editor.h"
#include "files/utf8file.h"

namespace lumo {
namespace {

Utf8Kind FeedInPieces(const std::string& bytes, size_t piece, bool* bom = nullptr)
{
    Utf8Detector d;
    for (size_t i = 0; i < bytes.size(); i += piece) {
        std::string part = bytes.substr(i, piece);
        d.Feed(reinterpret_cast<const unsigned char*>(part.data()), part.size());
    }
    if (bom) *bom = d.Bom();
    return d.Result();
}

TEST(Utf8Detector, SequencesSplitBetweenReadsAreJudgedWhole)
{
    const std::string russian = "\xEF\xBB\xBF\xD0\x9F\xD1\x80\xD0\xB8 \xE2\x95\x90\xE2\x88\x9A ok";
    for (size_t piece = 1; piece <= 9; ++piece) {
        bool bom = false;
        EXPECT_EQ(FeedInPieces(russian, piece, &bom), Utf8Kind::Convertible) << piece;
        EXPECT_TRUE(bom) << piece;
        EXPECT_EQ(FeedInPieces(russian.substr(3), piece, &bom), Utf8Kind::Convertible) << piece;
        EXPECT_FALSE(bom) << piece;
    }
}

TEST(Utf8Detector, Classification)
{
    EXPECT_EQ(FeedInPieces("plain ascii\n", 4), Utf8Kind::Bytes);
    EXPECT_EQ(FeedInPieces("\xEF\xBB\xBFplain", 2), Utf8Kind::Convertible);  // only the mark
    EXPECT_EQ(FeedInPieces("\x8F\xE0\xA8\xA2", 3), Utf8Kind::Bytes);         // CP866 text
    EXPECT_EQ(FeedInPieces("\xC0\x80", 3), Utf8Kind::Bytes);                 // over-long NUL
    EXPECT_EQ(FeedInPieces("\xED\xA0\x80", 3), Utf8Kind::Bytes);             // a surrogate
    EXPECT_EQ(FeedInPieces("\xD0\x9F\xD0", 3), Utf8Kind::Bytes);             // cut at the end
    EXPECT_EQ(FeedInPieces("\xD0\x9F \xF0\x9F\x98\x80", 5), Utf8Kind::Unmappable);
    // A mark that is not at the start is a character CP866 lacks.
    EXPECT_EQ(FeedInPieces("x\xEF\xBB\xBF", 5), Utf8Kind::Unmappable);
    // The smiley that byte 0x01 shows on screen is not byte 0x01 in a file.
    EXPECT_EQ(FeedInPieces("\xE2\x98\xBA", 3), Utf8Kind::Unmappable);
}

TEST(Utf8Lines, ConversionBothWaysIsExact)
{
    std::string cp866;
    for (int b = 0; b < 256; ++b) cp866 += static_cast<char>(b);
    std::string utf8;
    AppendCp866AsUtf8(utf8, cp866);
    bool cut = false;
    std::string back = Utf8LineToCp866(utf8, cut);
    EXPECT_EQ(back, cp866.substr(0, 255));
    EXPECT_TRUE(cut);  // 256 characters: one too many
}

TEST(Utf8FileDetector, StopsWantingBytesOnceTheyCanChangeNothing)
{
    auto feed = [](Utf8FileDetector& d, const std::string& s) {
        return d.Feed(reinterpret_cast<const unsigned char*>(s.data()), s.size());
    };
    Utf8FileDetector bad;
    EXPECT_TRUE(feed(bad, "\xD0\xAF ok\n"));
    EXPECT_TRUE(bad.likelyUtf8());
    EXPECT_FALSE(feed(bad, "\xFF"));
    EXPECT_TRUE(bad.done());
    EXPECT_EQ(bad.kind(), Utf8Kind::Bytes);

    // Past as many line ends as the table takes lines, the judgement stands
    // on what was seen, even a character cut at the end of it.
    Utf8FileDetector huge;
    EXPECT_TRUE(feed(huge, "\xD0\xAF"));
    std::string ends(2 * (static_cast<size_t>(MaxLines) + 1), '\n');
    EXPECT_TRUE(feed(huge, ends));
    EXPECT_EQ(huge.offset(), ends.size() + 2);
    EXPECT_FALSE(feed(huge, "\r\xD0"));
    EXPECT_EQ(huge.kind(), Utf8Kind::Convertible);
    huge.End();  // changes nothing now
    EXPECT_EQ(huge.kind(), Utf8Kind::Convertible);

    // A read error: bytes, whatever came before.
    Utf8FileDetector failed;
    EXPECT_TRUE(feed(failed, "\xEF\xBB\xBF\xD0\xAF"));
    failed.Fail();
    EXPECT_EQ(failed.kind(), Utf8Kind::Bytes);
    EXPECT_FALSE(failed.bom());
}

TEST(Utf8Lines, LettersAndAsciiRunsConvertAndCutAt255Characters)
{
    bool cut = false;
    std::string out;
    Utf8LineToCp866("ab \xD0\x90\xD0\xBF\xD1\x80\xD1\x8F\xD0\x81\xE2\x94\x80 z", cut, out);
    EXPECT_EQ(out, "ab \x80\xAF\xE0\xEF\xF0\xC4 z");
    EXPECT_FALSE(cut);
    // 254 ASCII characters and two letters: the second letter is cut.
    Utf8LineToCp866(std::string(254, 'a') + "\xD0\xAF\xD0\xAF", cut, out);
    EXPECT_EQ(out, std::string(254, 'a') + "\x9F");
    EXPECT_TRUE(cut);
    cut = false;
    Utf8LineToCp866(std::string(300, 'a'), cut, out);
    EXPECT_EQ(out.size(), 255u);
    EXPECT_TRUE(cut);
}

// The byte-at-a-time judgement (pieces of a few bytes leave the common
// case's two-byte look-ahead no room) against the one over whole reads, and
// the conversion against one character at a time, over random mixtures of
// what Russian UTF-8 texts hold and what they must not.
TEST(Utf8Detector, TheCommonCaseAgreesWithTheCharacterByCharacterWay)
{
    const char* pieces[] = {"a", " ", "\n", "Zq", "\xD0\x90", "\xD0\xBF", "\xD1\x80", "\xD1\x8F", "\xD0\xB6",
                            "\xD0\x81", "\xD1\x91", "\xD0\x8F", "\xD1\x90", "\xC2\xAB", "\xC2\xA0",
                            "\xE2\x80\x94", "\xE2\x95\x90", "\xE2\x84\x96", "\xF0\x9F\x98\x80",
                            "\xD0", "\xFF", "\x80", "\xEF\xBB\xBF"};
    std::mt19937 random(12);
    for (int run = 0; run < 3000; ++run) {
        std::string text;
        const int count = 1 + int(random() % 40);
        for (int i = 0; i < count; ++i) {
            // The faulty pieces (a lone lead, 0xFF, a lone continuation,
            // a BOM inside) now and then only, so most texts are UTF-8.
            size_t pick = random() % std::size(pieces);
            if (pick >= std::size(pieces) - 4 && random() % 8) pick = random() % 5;
            text += pieces[pick];
        }
        const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
        Utf8Detector whole, split;
        whole.Feed(bytes, text.size());
        for (size_t at = 0; at < text.size();) {
            const size_t n = std::min(text.size() - at, size_t(1 + random() % 3));
            split.Feed(bytes + at, n);
            at += n;
        }
        ASSERT_EQ(whole.Result(), split.Result()) << text;
        ASSERT_EQ(whole.Multibyte(), split.Multibyte()) << text;
        ASSERT_EQ(whole.Bom(), split.Bom()) << text;
        ASSERT_EQ(whole.Present(), split.Present()) << text;
        Utf8Extras extras, splitExtras;
        ASSERT_EQ(whole.AssignExtras(extras), split.AssignExtras(splitExtras)) << text;
        ASSERT_EQ(extras, splitExtras) << text;
        if (whole.Result() != Utf8Kind::Convertible && whole.Result() != Utf8Kind::Unmappable) continue;

        std::string expect;
        size_t at = whole.Bom() ? 3 : 0;
        for (char32_t c; at < text.size();) {
            const int length = DecodeUtf8(bytes + at, text.size() - at, c);
            ASSERT_GT(length, 0) << text;
            int b = UnicodeToCp866(c);
            if (c >= 0x80 && (b < 0x80 || Cp866TextChar(uint8_t(b)) != c)) {
                b = '?';
                for (const auto& [ch, byte] : extras)
                    if (ch == c) b = byte;
            }
            expect += char(b);
            at += size_t(length);
        }
        std::string got;
        Utf8ToCp866Part(std::string_view(text).substr(whole.Bom() ? 3 : 0), expect.size(), got, &extras);
        ASSERT_EQ(got, expect) << text;
    }
}

}  // namespace
}  // namespace lumo
