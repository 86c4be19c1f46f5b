#include "quiz/quiz_pass.h"

#include <gtest/gtest.h>

#include "faulty_file_system.h"
#include "test_dir.h"

namespace studyhop {
namespace {

using test::readBytes;
using test::writeBytes;

// A current file of n questions whose correct number is 1, never asked yet.
std::string currentFile(int n) {
    std::string text = std::to_string(n) + "\r\n";
    for (int i = 1; i <= n; ++i) {
        text += "q" + std::to_string(i) + ",a,b,c,d,e,1,0,0,x\r\n";
    }
    return text;
}

class QuizPassTest : public ::testing::Test {
protected:
    // Loads n questions in registration order, unfiltered.
    QuizPass load(int n, bool writeBack = true) {
        writeBytes("a.qz2", currentFile(n));
        QuizPass pass;
        EXPECT_TRUE(pass.load(fs, "a.qz2", false, writeBack).ok());
        pass.order(AskingSettings{}, random);
        return pass;
    }
    // Answers every question of the pass: the first `right` correctly.
    static void answerAll(QuizPass& pass, int right) {
        for (int p = 0; p < pass.QuestionCount; ++p) {
            pass.answer(p, p < right ? 1 : 2);
        }
    }

    test::TestDir dir;
    test::FaultyFileSystem fs;
    RandomSource random;
};

TEST_F(QuizPassTest, RetestIsOfferedBelowNinetyPercentExactly) {
    struct Case {
        int questions, right;
        bool retest;
        const char* percentage;
    } cases[] = {
        {10, 9, false, "90"},   {10, 8, true, "80"},  {10, 10, false, "100"},
        {10, 0, true, "0"},     {100, 90, false, "90"}, {100, 89, true, "89"},
        {101, 91, false, "90.0990099009901"},          {101, 90, true, "89.1089108910891"},
        {1, 1, false, "100"},   {1, 0, true, "0"},
    };
    for (const Case& c : cases) {
        QuizPass pass = load(c.questions);
        answerAll(pass, c.right);
        const PassResults r = pass.judge(fs);
        EXPECT_EQ(r.retest, c.retest) << c.right << "/" << c.questions;
        EXPECT_EQ(r.percentage, c.percentage) << c.right << "/" << c.questions;
        EXPECT_EQ(r.correct, c.right);
        EXPECT_EQ(r.total, c.questions);
        EXPECT_EQ(pass.wrongCount(), c.questions - c.right);
        EXPECT_EQ(r.lines.size(), static_cast<size_t>(c.questions));
    }
}

TEST_F(QuizPassTest, NothingToAskStillOffersARetestOfNothing) {
    QuizPass pass = load(0);
    const PassResults r = pass.judge(fs);
    EXPECT_TRUE(r.retest);
    EXPECT_EQ(r.percentage, "0");
    EXPECT_TRUE(r.lines.empty());
}

TEST_F(QuizPassTest, FirstPassWritesTheCountersOnceAndRetestsNever) {
    QuizPass pass = load(3);
    answerAll(pass, 1);
    const PassResults first = pass.judge(fs);
    EXPECT_TRUE(first.writeBack.ok());
    const std::string written = readBytes("a.qz2");
    EXPECT_EQ(written,
              "3\r\nq1,a,b,c,d,e,1, 1 , 1 ,x\r\nq2,a,b,c,d,e,1, 1 ,0,x\r\n"
              "q3,a,b,c,d,e,1, 1 ,0,x\r\n");

    pass.prepareRetest();
    EXPECT_EQ(pass.QuestionCount, 2);
    EXPECT_EQ(pass.Total, 2);
    answerAll(pass, 2);
    const PassResults retest = pass.judge(fs);
    EXPECT_FALSE(retest.retest);
    EXPECT_EQ(retest.lines, (std::vector<std::string>{"問 1     正  解", "問 2     正  解"}));
    EXPECT_EQ(readBytes("a.qz2"), written);
}

TEST_F(QuizPassTest, NoWriteBackWhenEndedEarlyOrNotAskedFor) {
    for (const bool endEarly : {true, false}) {
        QuizPass pass = load(2, /*writeBack=*/endEarly);
        if (endEarly) {
            pass.endEarly();
        }
        answerAll(pass, 2);
        EXPECT_TRUE(pass.judge(fs).writeBack.ok());
        EXPECT_EQ(readBytes("a.qz2"), currentFile(2)) << endEarly;
    }
}

TEST_F(QuizPassTest, FailedWriteBackIsReportedAndTheFileStays) {
    QuizPass pass = load(2);
    fs.hook = [](FileOp op) { return op == FileOp::Rename ? EACCES : 0; };
    answerAll(pass, 2);
    const PassResults r = pass.judge(fs);
    EXPECT_FALSE(r.writeBack.ok());
    EXPECT_NE(r.writeBack.message().find("a.qz2"), std::string::npos);
    EXPECT_EQ(readBytes("a.qz2"), currentFile(2));
}

TEST_F(QuizPassTest, RetestAsksTheWrongOnesWithTheirNewCounters) {
    QuizPass pass = load(4);
    // Wrong: questions 2 and 4.
    pass.answer(0, 1);
    pass.answer(1, 3);
    pass.answer(2, 1);
    pass.answer(3, 5);
    pass.judge(fs);
    pass.prepareRetest();
    ASSERT_EQ(pass.QuestionCount, 2);
    EXPECT_EQ(pass.table.rows[0][kQuestionText], Cell::text("q2"));
    EXPECT_EQ(pass.table.rows[1][kQuestionText], Cell::text("q4"));
    EXPECT_EQ(pass.table.rows[1][kTimesAsked].numericValue(), 1.0);
    EXPECT_EQ(pass.table.rows[1][kTimesCorrect].numericValue(), 0.0);
    EXPECT_EQ(pass.Order[0], 0);
    EXPECT_EQ(pass.Order[1], 1);
    EXPECT_TRUE(pass.isAsked(0) && pass.isAsked(1));
    EXPECT_EQ(pass.Ans[0], Cell::text(""));
    EXPECT_EQ(pass.First, 0);
}

TEST_F(QuizPassTest, RowsTheFilterLeftOutAreNeitherJudgedNorCounted) {
    writeBytes("a.qz2", "3\r\nq1,a,b,c,d,e,1,10,10,x\r\nq2,a,b,c,d,e,1,10,1,x\r\n"
                        "q3,a,b,c,d,e,1,10,10,x\r\n");
    QuizPass pass;
    ASSERT_TRUE(pass.load(fs, "a.qz2", false, true).ok());
    AskingSettings filter;
    filter.rateFilter = 5;  // rates of 50 percent or less
    pass.order(filter, random);
    EXPECT_FALSE(pass.isAsked(0));
    EXPECT_TRUE(pass.isAsked(1));
    EXPECT_EQ(pass.First, 1);
    pass.answer(1, 2);  // wrong
    const PassResults r = pass.judge(fs);
    EXPECT_EQ(r.total, 1);
    EXPECT_EQ(r.lines, std::vector<std::string>{"問 2     不正解"});
    EXPECT_EQ(pass.wrongCount(), 1);
    EXPECT_EQ(pass.table.rows[0][kTimesAsked].numericValue(), 10.0);
}

TEST_F(QuizPassTest, CountersThatAreNoNumbersRefuseTheFile) {
    writeBytes("a.qz2", "1\r\nq1,a,b,c,d,e,1,0,many,x\r\n");
    QuizPass pass;
    const Status s = pass.load(fs, "a.qz2", false, true);
    EXPECT_FALSE(s.ok());
    EXPECT_NE(s.message().find("正解回数"), std::string::npos);
}

}  // namespace
}  // namespace studyhop
