#include "data/file_name.h"

#include <gtest/gtest.h>

#include "test_dir.h"

namespace studyhop {
namespace {

TEST(FileNameTest, NamesAreShownFromUtf8OrCp932BytesOrMarked) {
    struct Case {
        std::string bytes;
        std::string text;
        NameEncoding encoding;
    } cases[] = {
        {"a.qz2", "a.qz2", NameEncoding::Utf8},
        {"問題.qz2", "問題.qz2", NameEncoding::Utf8},
        {test::sjis("問題集.qz2"), "問題集.qz2", NameEncoding::Cp932},
        {test::sjis("ﾃｽﾄ.qzb"), "ﾃｽﾄ.qzb", NameEncoding::Cp932},
        {"a\x81.qz2", "a\xEF\xBF\xBD.qz2", NameEncoding::Undecodable},  // lead byte, no trail
        {test::sjis("問") + "\xFF" + test::sjis("題.qz2"), "問\xEF\xBF\xBD題.qz2",
         NameEncoding::Undecodable},
        {"\x81", "\xEF\xBF\xBD", NameEncoding::Undecodable},
        {"", "", NameEncoding::Utf8},
    };
    for (const Case& c : cases) {
        const DisplayName shown = displayFileName(c.bytes);
        EXPECT_EQ(shown.text, c.text) << c.text;
        EXPECT_EQ(shown.encoding, c.encoding) << c.text;
    }
}

}  // namespace
}  // namespace studyhop
