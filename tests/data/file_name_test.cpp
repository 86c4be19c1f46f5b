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

TEST(FileNameTest, ConflictCopiesOfTheSyncEnginesNameTheirRealFile) {
    struct Case {
        std::string name;
        std::string original;  // "" when the name is no conflict copy
        const char* date;
        const char* time;
    } cases[] = {
        // Syncthing, with and without the device, without an extension.
        {"試験ﾃﾞｰﾀ.sync-conflict-20261208-101500-ABCDEFG.qz2", "試験ﾃﾞｰﾀ.qz2", "2026-12-08", "10:15:00"},
        {"a.b.sync-conflict-20261208-101500.qzb", "a.b.qzb", "2026-12-08", "10:15:00"},
        {"notes.sync-conflict-20200101-000000-Z2Z2Z2Z", "notes", "2020-01-01", "00:00:00"},
        // Nextcloud and ownCloud, with the user's name and without, and the old mark.
        {"試験ﾃﾞｰﾀ (conflicted copy 2026-12-08 101500).qz2", "試験ﾃﾞｰﾀ.qz2", "2026-12-08",
         "10:15:00"},
        {"q (conflicted copy Taro Yamada 2026-12-08 101500).qz2", "q.qz2", "2026-12-08", "10:15:00"},
        {"q_conflict-20180410-093612.qz2", "q.qz2", "2018-04-10", "09:36:12"},
        // Dropbox: the day only, who made it, a second copy of the day, any case.
        {"試験ﾃﾞｰﾀ (conflicted copy 2026-12-08).qz2", "試験ﾃﾞｰﾀ.qz2", "2026-12-08", ""},
        {"q (Taro's conflicted copy 2026-12-08).qz2", "q.qz2", "2026-12-08", ""},
        {"q (MacBook-Pro\xE2\x80\x99s conflicted copy 2026-12-08 (1)).qz2", "q.qz2", "2026-12-08", ""},
        {"q (Taro's Conflicted Copy 2026-12-08).QZ2", "q.QZ2", "2026-12-08", ""},
        // A copy of a copy names the file itself; the folder stays.
        {"dir/q (conflicted copy 2026-12-08 101500).sync-conflict-20261209-080000-AAAAAAA.qz2",
         "dir/q.qz2", "2026-12-09", "08:00:00"},
        // Names in CP932 keep their bytes.
        {test::sjis("問題集") + ".sync-conflict-20261208-101500-ABCDEFG.qz2", test::sjis("問題集.qz2"),
         "2026-12-08", "10:15:00"},
        // Not copies: ordinary names that only look alike.
        {"試験ﾃﾞｰﾀ.qz2", "", "", ""},
        {"conflicted copy.qz2", "", "", ""},
        {"q (copy 2026-12-08).qz2", "", "", ""},
        {"q.sync-conflict-2026128-101500.qz2", "", "", ""},
        {".sync-conflict-20261208-101500-ABCDEFG.qz2", "", "", ""},
        {"q (conflicted copy 2026-12-08 1015).qz2", "", "", ""},
    };
    for (const Case& c : cases) {
        const std::optional<ConflictCopy> copy = conflictCopy(c.name);
        ASSERT_EQ(copy.has_value(), !c.original.empty()) << c.name;
        if (copy) {
            EXPECT_EQ(copy->original, c.original) << c.name;
            EXPECT_EQ(copy->date, c.date) << c.name;
            EXPECT_EQ(copy->time, c.time) << c.name;
        }
    }
    const std::vector<std::string> folder = {
        "q.qz2", "q (conflicted copy 2026-12-08).qz2", "r.qz2", "q.sync-conflict-20261208-101500-A1B2C3D.qz2",
        "r (conflicted copy 2026-12-08).qz2"};
    EXPECT_EQ(conflictCopiesOf("q.qz2", folder),
              (std::vector<std::string>{"q (conflicted copy 2026-12-08).qz2",
                                        "q.sync-conflict-20261208-101500-A1B2C3D.qz2"}));
    EXPECT_TRUE(conflictCopiesOf("s.qz2", folder).empty());
}

}  // namespace
}  // namespace studyhop
