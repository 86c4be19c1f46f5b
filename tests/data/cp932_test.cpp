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

namespace studyhop {
namespace {

// Long texts are encoded by a table learnt from iconv, short ones by iconv
// itself: both must give the same bytes for every character CP932 has.
TEST(Cp932Test, LongTextsEncodeToTheSameBytesAsShortOnes) {
    std::vector<std::string> pieces;
    for (int c = 1; c < 0x80; ++c) {
        pieces.emplace_back(1, static_cast<char>(c));
    }
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const std::string bytes =
                lead >= 0xA1 && lead <= 0xDF
                    ? std::string(1, static_cast<char>(lead))
                    : std::string{static_cast<char>(lead), static_cast<char>(trail)};
            const Conversion text = decodeCp932(bytes);
            if (text.ok) {
                pieces.push_back(text.text);
            }
        }
    }
    std::string expected;
    std::string longText;
    for (const std::string& piece : pieces) {
        const Conversion one = encodeCp932(piece);
        ASSERT_TRUE(one.ok) << piece;
        expected += one.text;
        longText += piece;
    }
    ASSERT_GT(longText.size(), 4096u);
    const Conversion all = encodeCp932(longText);
    ASSERT_TRUE(all.ok);
    EXPECT_TRUE(all.text == expected);

    // The Unicode twins and characters CP932 lacks behave in long texts as in short ones.
    const std::string padding(5000, 'a');
    EXPECT_EQ(encodeCp932(padding + "\u301C\u2212").text, padding + "\x81\x60\x81\x7C");
    const Conversion missing = encodeCp932(padding + "한");
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.character, "한");
    EXPECT_EQ(missing.offset, padding.size());
}

}  // namespace
}  // namespace studyhop
