#include "console/cp866.h"

#include <gtest/gtest.h>

#include <set>

namespace lumo {
namespace {

TEST(Cp866, DisplayTableSamples)
{
    EXPECT_EQ(Cp866ToUnicode(0x00), U' ');
    EXPECT_EQ(Cp866ToUnicode(0x01), U'\u263A');
    EXPECT_EQ(Cp866ToUnicode(0x1F), U'\u25BC');
    EXPECT_EQ(Cp866ToUnicode('A'), U'A');
    EXPECT_EQ(Cp866ToUnicode(0x7F), U'\u2302');
    EXPECT_EQ(Cp866ToUnicode(0x80), U'\u0410');  // А
    EXPECT_EQ(Cp866ToUnicode(0xAF), U'\u043F');  // п
    EXPECT_EQ(Cp866ToUnicode(0xB0), U'\u2591');
    EXPECT_EQ(Cp866ToUnicode(0xC9), U'\u2554');  // ╔
    EXPECT_EQ(Cp866ToUnicode(0xDF), U'\u2580');
    EXPECT_EQ(Cp866ToUnicode(0xE0), U'\u0440');  // р
    EXPECT_EQ(Cp866ToUnicode(0xF0), U'\u0401');  // Ё
    EXPECT_EQ(Cp866ToUnicode(0xFC), U'\u2116');  // №
    EXPECT_EQ(Cp866ToUnicode(0xFF), U'\u00A0');
}

TEST(Cp866, EveryByteHasItsOwnGlyphAndRoundTrips)
{
    std::set<char32_t> seen;
    for (int b = 0; b < 256; ++b) {
        char32_t c = Cp866ToUnicode(uint8_t(b));
        EXPECT_TRUE(seen.insert(c).second || b == 0x20) << b;  // 0x00 and 0x20 both blank
        EXPECT_EQ(UnicodeToCp866(Cp866TextChar(uint8_t(b))), b) << b;
    }
}

TEST(Cp866, ControlCharactersAreThemselvesNotGlyphs)
{
    EXPECT_EQ(UnicodeToCp866(U'\u0001'), 0x01);
    EXPECT_EQ(UnicodeToCp866(U'\u007F'), 0x7F);
    EXPECT_EQ(UnicodeToCp866(U'\u263A'), -1);
    EXPECT_EQ(UnicodeToCp866(U'\u20AC'), -1);  // €
    EXPECT_EQ(UnicodeToCp866(U'\u0451'), 0xF1);  // ё
}

TEST(Cp866, Utf8DecodeRejectsWhatIsNotUtf8)
{
    auto decode = [](const std::string& s, char32_t& c) {
        return DecodeUtf8(reinterpret_cast<const unsigned char*>(s.data()), s.size(), c);
    };
    char32_t c = 0;
    EXPECT_EQ(decode("\xd0\xb9", c), 2);
    EXPECT_EQ(c, U'\u0439');
    EXPECT_EQ(decode("\xf0\x9f\x98\x80", c), 4);
    EXPECT_EQ(c, U'\U0001F600');
    EXPECT_EQ(decode("\xd0", c), 0);          // incomplete
    EXPECT_EQ(decode("\xe2\x95", c), 0);      // incomplete
    EXPECT_EQ(decode("\xc0\x80", c), -1);     // overlong
    EXPECT_EQ(decode("\xe0\x80", c), -1);     // overlong, seen early
    EXPECT_EQ(decode("\xed\xa0\x80", c), -1); // surrogate
    EXPECT_EQ(decode("\xf4\x90\x80\x80", c), -1);
    EXPECT_EQ(decode("\x80", c), -1);
    EXPECT_EQ(decode("\xd0" "a", c), -1);
}

TEST(Cp866, TextConversions)
{
    std::string text = "Ab \x8F\xE0\xA8\xA2\xA5\xE2 \x01";  // "Ab Привет \x01"
    std::string utf8 = Cp866ToUtf8(text);
    EXPECT_EQ(utf8, "Ab \xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82 \x01");
    std::string back;
    EXPECT_TRUE(Utf8ToCp866(utf8, back));
    EXPECT_EQ(back, text);
    EXPECT_FALSE(Utf8ToCp866("a\xe2\x82\xac", back));  // €
    EXPECT_FALSE(Utf8ToCp866("a\xff", back));
}

}  // namespace
}  // namespace lumo
