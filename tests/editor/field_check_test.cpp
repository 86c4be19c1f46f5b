#include "editor/field_check.h"

#include <gtest/gtest.h>

namespace studyhop {
namespace {

TEST(FieldCheckTest, FillsEmptyChoicesUntilTheCorrectOne) {
    QuestionFields f{"q", {"a", "", "c", "", ""}, "3"};
    EXPECT_TRUE(fillMissingChoices(f));
    EXPECT_EQ(f.choices[1], "ﾅｼ");
    EXPECT_EQ(f.choices[4], "ﾅｼ");
    QuestionFields bad{"q", {"a", "b", "", "", ""}, "4"};
    EXPECT_FALSE(fillMissingChoices(bad));
    EXPECT_EQ(bad.choices[2], "ﾅｼ");
    EXPECT_EQ(bad.choices[3], "");
    QuestionFields marker{"q", {"ﾅｼ", "b", "", "", ""}, "1"};
    EXPECT_FALSE(fillMissingChoices(marker));
}

TEST(FieldCheckTest, UnstorableMessageNamesTheBox) {
    const QuestionFields f{"q", {"a", "b", "1,2", "", ""}, "1"};
    const auto message = unstorableMessage(f);
    ASSERT_TRUE(message);
    EXPECT_NE(message->find("回答３"), std::string::npos);
    EXPECT_NE(message->find("カンマ"), std::string::npos);
    EXPECT_FALSE(unstorableMessage(QuestionFields{"日本", {"〜", "", "", "", ""}, "1"}));
}

}  // namespace
}  // namespace studyhop
