#include "data/text_encoding.h"

#include <gtest/gtest.h>

#include <string>

#include "test_dir.h"

namespace studyhop {
namespace {

TEST(TextEncodingTest, TellsUtf8FromCp932) {
    struct Case {
        std::string bytes;
        bool utf8Text;
        const char* what;
    } cases[] = {
        {"東京,大阪,京都,日本,正解,福岡,1\r\n", true, "UTF-8 record"},
        {std::string(kUtf8Bom) + "a,b\r\n", true, "BOM before ASCII"},
        {test::sjis("東京,大阪,京都,日本,正解,福岡,1\r\n"), false, "CP932 record"},
        {test::sjis("What?,yes,no,ﾅｼ,ﾅｼ,ﾅｼ,1\r\n"), false, "CP932 half-width katakana"},
        {"caf\xC3\xA9", false, "two-byte UTF-8 only"},
        {"3\r\nabc,def\r\n", false, "plain ASCII"},
        {"", false, "empty"},
        {"\xC0\xAF", false, "overlong slash"},
        {"\xED\xA0\x80", false, "surrogate"},
        {"\xF4\x90\x80\x80", false, "above U+10FFFF"},
        {"\xE6\x97", false, "cut-short sequence"},
        {"\xF0\x9F\x98\x80", true, "emoji"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(looksLikeUtf8Text(c.bytes), c.utf8Text) << c.what;
    }
    EXPECT_TRUE(isValidUtf8("abc"));
    EXPECT_FALSE(isValidUtf8("\x80"));
}

}  // namespace
}  // namespace studyhop
