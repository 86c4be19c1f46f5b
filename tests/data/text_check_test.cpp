#include "data/text_check.h"

#include <gtest/gtest.h>

namespace studyhop {
namespace {

TEST(TextCheckTest, NamesTheFieldAndTheCharacter) {
    struct Case {
        std::vector<std::string> texts;
        int field;
        const char* character;
    } cases[] = {
        {{"問題", "東京,大阪"}, 1, ","},        {{"「引用」と\"引用\"", "a"}, 0, "\""},
        {{"a", "b", "line\r\nbreak"}, 2, "\r"}, {{"a", "line\nbreak"}, 1, "\n"},
        {{"a", "b", "c", "笑顔😀"}, 3, "😀"},
    };
    for (const Case& c : cases) {
        const auto found = findUnstorable(c.texts);
        ASSERT_TRUE(found) << c.character;
        EXPECT_EQ(found->field, c.field) << c.character;
        EXPECT_EQ(found->character, c.character);
    }
}

TEST(TextCheckTest, StorableTextsPass) {
    EXPECT_FALSE(findUnstorable({"日本の首都は？", "東京", "ﾅｼ", "〜−①髙", "", "  blanks "}));
}

}  // namespace
}  // namespace studyhop
