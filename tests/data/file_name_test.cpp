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

TEST(FileNameTest, NamesWindowsCannotHoldAreRefusedWithTheReason) {
    const struct {
        std::string name;
        const char* reason;  // "" for a name Windows holds
    } cases[] = {
        {"一般常識.qz2", ""},
        {"con-test.qz2", ""},
        {"COM0.qz2", ""},
        {"LPT10", ""},
        {".hidden", ""},
        {test::sjis("表.qz2"), ""},  // its trail byte is a backslash's, the name is not
        {"CON", "「CON」はWindowsの装置の名前"},
        {"nul.qz2", "「nul」はWindowsの装置の名前"},
        {"Com1.csv", "「Com1」はWindowsの装置の名前"},
        {"lpt9 .txt", "装置の名前"},
        {"aux", "装置の名前"},
        {"prn.qzb", "装置の名前"},
        {"a<b", "「<」は使えません"},
        {"a>b", "「>」は使えません"},
        {"a:b", "「:」は使えません"},
        {"a\"b", "「\"」は使えません"},
        {"a\\b", "「\\」は使えません"},
        {"a|b", "「|」は使えません"},
        {"a?b", "「?」は使えません"},
        {"a*b", "「*」は使えません"},
        {"a/b", "「/」は使えません"},
        {"tab\there", "制御文字"},
        {"name.", "最後に「.」や空白"},
        {"name ", "最後に「.」や空白"},
        {"", "空です"},
    };
    for (const auto& c : cases) {
        const std::string problem = windowsNameProblem(c.name);
        if (*c.reason == '\0') {
            EXPECT_EQ(problem, "") << c.name;
        } else {
            EXPECT_NE(problem.find(c.reason), std::string::npos) << c.name << ": " << problem;
        }
    }
}

}  // namespace
}  // namespace studyhop
