#include "data/cp932.h"

#include <gtest/gtest.h>

namespace studyhop {
namespace {

TEST(Cp932Test, WindowsMappingAndExtensionsRoundTrip) {
    struct Case {
        const char* bytes;
        const char* utf8;
    } cases[] = {
        {"\x81\x60", "～"},  // U+FF5E, as Windows reads 0x8160
        {"\x81\x7c", "－"},  // U+FF0D
        {"\x87\x40", "①"},   // NEC extension
        {"\x87\x56", "Ⅲ"},
        {"\x87\x70", "㎝"},
        {"\xfb\xfc", "髙"},  // IBM extension
        {"\xc5\xbc", "ﾅｼ"},  // half-width katakana
        {"\x93\xfa\x96\x7b", "日本"},
    };
    for (const Case& c : cases) {
        const Conversion decoded = decodeCp932(c.bytes);
        ASSERT_TRUE(decoded.ok) << c.utf8;
        EXPECT_EQ(decoded.text, c.utf8);
        const Conversion encoded = encodeCp932(c.utf8);
        ASSERT_TRUE(encoded.ok) << c.utf8;
        EXPECT_EQ(encoded.text, c.bytes) << c.utf8;
    }
}

TEST(Cp932Test, UnicodeTwinsAreStoredAsWindowsStoresThem) {
    struct Case {
        const char* utf8;
        const char* bytes;
    } cases[] = {
        {"〜", "\x81\x60"}, {"−", "\x81\x7c"}, {"‖", "\x81\x61"}, {"—", "\x81\x5c"},
        {"¢", "\x81\x91"},  {"£", "\x81\x92"}, {"¬", "\x81\xca"},
    };
    for (const Case& c : cases) {
        const Conversion encoded = encodeCp932(c.utf8);
        ASSERT_TRUE(encoded.ok) << c.utf8;
        EXPECT_EQ(encoded.text, c.bytes) << c.utf8;
    }
}

TEST(Cp932Test, MissingCharacterIsNamedNeverReplaced) {
    const Conversion encoded = encodeCp932("abc😀def");
    EXPECT_FALSE(encoded.ok);
    EXPECT_EQ(encoded.character, "😀");
    EXPECT_EQ(encoded.offset, 3u);
    EXPECT_EQ(firstUnencodable("日本語"), "");
    EXPECT_EQ(firstUnencodable("한국"), "한");
}

TEST(Cp932Test, InvalidBytesFailAtTheirOffset) {
    EXPECT_FALSE(decodeCp932("ab\x81").ok);             // lone lead byte at the end
    const Conversion bad = decodeCp932("ab\x81\x20z");  // lead byte without a trail byte
    EXPECT_FALSE(bad.ok);
    EXPECT_EQ(bad.offset, 2u);
    EXPECT_FALSE(decodeCp932("\xef\xbb\xbf").ok);  // a UTF-8 byte order mark
}

}  // namespace
}  // namespace studyhop
