// The code pages' character maps: one character per byte, letters where
// CP866 has them, and spare bytes that are never letters.
#include <gtest/gtest.h>

#include <set>

#include "console/cp866.h"
#include "editor/charmap.h"

namespace lumo {
namespace {

TEST(CharMap, EveryPageMapIsOneToOneAndKeepsTheLetters)
{
    for (CodePage page : {CodePage::ASCII, CodePage::ANSI, CodePage::KOI8, CodePage::UTF8}) {
        const CharMap& map = CodePageMap(page);
        std::set<char32_t> seen;
        for (int b = 0x80; b < 0x100; ++b) {
            EXPECT_TRUE(seen.insert(map[b]).second) << int(page) << " byte " << b;
            bool letter = b < 0xB0 || (b >= 0xE0 && b <= 0xF1);
            if (letter) {
                EXPECT_EQ(map[b], Cp866TextChar(static_cast<uint8_t>(b))) << b;
            }
        }
    }
    // Three of the 1251 pairings the screen now tells apart from ═ ╒ ╢.
    EXPECT_EQ(CodePageMap(CodePage::ANSI)[0xCD], U'\u2014');
    EXPECT_EQ(CodePageMap(CodePage::ANSI)[0xD5], U'\u00AB');
    EXPECT_EQ(CodePageMap(CodePage::ANSI)[0xB6], U'\u2026');
    EXPECT_EQ(CodePageMap(CodePage::KOI8)[0xFC], U'\u00A9');
}

TEST(CharMap, SpareBytesAreNeverLettersAndRunOut)
{
    std::array<bool, 256> taken{};
    std::set<int> given;
    // — takes its 1251 partner first.
    EXPECT_EQ(ChooseSpareByte(U'\u2014', taken), 0xCD);
    for (char32_t c = 0x4E00;; ++c) {
        int b = ChooseSpareByte(c, taken);
        if (b < 0) break;
        EXPECT_TRUE((b >= 0xB0 && b <= 0xDF) || b >= 0xF8) << b;
        taken[b] = true;
        given.insert(b);
    }
    EXPECT_EQ(given.size(), 56u);
    // The bytes the line-drawing keys type come last.
    std::array<bool, 256> none{};
    EXPECT_EQ(ChooseSpareByte(U'\u4E00', none), 0xB5);
}

}  // namespace
}  // namespace lumo
