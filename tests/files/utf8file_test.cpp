#include <gtest/gtest.h>

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

}  // namespace
}  // namespace lumo
