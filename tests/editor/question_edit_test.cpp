#include "editor/question_edit.h"

#include <gtest/gtest.h>

#include "faulty_file_system.h"
#include "test_dir.h"

namespace studyhop {
namespace {

using test::readBytes;
using test::writeBytes;

QuestionFields fields(const std::string& question) {
    QuestionFields f;
    f.question = question;
    f.choices = {"a", "b", "ﾅｼ", "ﾅｼ", "ﾅｼ"};
    f.correct = "2";
    return f;
}

// Questions "q1".."qn" with counters 3 and 2, as the editor holds them.
EditedQuestions questions(int n) {
    EditedQuestions q;
    for (int r = 0; r < n; ++r) {
        storeQuestion(q, fields("q" + std::to_string(r + 1)));
        q.table.rows[r][kTimesAsked] = Cell::number(3);
        q.table.rows[r][kTimesCorrect] = Cell::number(2);
        ++q.Mcnt;
    }
    q.QCount = n;
    q.Mcnt = 0;
    q.timesAsked = "3";
    q.timesCorrect = "2";
    return q;
}

std::vector<std::string> texts(const EditedQuestions& q) {
    std::vector<std::string> all;
    for (int r = 0; r < q.QCount; ++r) {
        all.push_back(q.table.rows[r][kQuestionText].asText());
    }
    return all;
}

class QuestionEditTest : public ::testing::Test {
protected:
    // Makes every replace of the file fail.
    void failWrites() {
        fs.hook = [](FileOp op) { return op == FileOp::Rename ? EIO : 0; };
    }

    test::TestDir dir;
    test::FaultyFileSystem fs;
};

TEST_F(QuestionEditTest, RemovingMovesTheNextOnesUpOrShowsTheOneBefore) {
    struct Case {
        int shown;
        std::vector<std::string> left;
        int shownAfter;
    } cases[] = {
        {0, {"q2", "q3"}, 0},
        {1, {"q1", "q3"}, 1},
        {2, {"q1", "q2"}, 1},
    };
    for (const Case& c : cases) {
        EditedQuestions q = questions(3);
        q.Mcnt = c.shown;
        const std::string file = "a" + std::to_string(c.shown) + ".qz2";
        QuestionEdit edit(q, fs, file, FileFormat::Current);
        ASSERT_TRUE(edit.removeShown().ok()) << c.shown;
        EXPECT_EQ(texts(q), c.left) << c.shown;
        EXPECT_EQ(q.Mcnt, c.shownAfter) << c.shown;
        EXPECT_EQ(readBytes(file).substr(0, 3), "2\r\n") << c.shown;
    }
}

TEST_F(QuestionEditTest, EveryFailedSaveLeavesTheQuestionsAsTheyWere) {
    const EditedQuestions before = questions(3);
    struct Case {
        const char* what;
        std::function<Status(QuestionEdit&)> change;
    } cases[] = {
        {"add", [](QuestionEdit& e) { return e.add(fields("new")); }},
        {"modify", [](QuestionEdit& e) { return e.modify(fields("changed"), true); }},
        {"remove", [](QuestionEdit& e) { return e.removeShown(); }},
    };
    for (const FileFormat format : {FileFormat::Current, FileFormat::Legacy}) {
        for (const Case& c : cases) {
            writeBytes("a.qz2", "old bytes");
            failWrites();
            EditedQuestions q = before;
            q.Mcnt = 1;
            if (std::string(c.what) == "add") {
                q.QCount = 4;  // the editor counts the new question before it is stored
            }
            const EditedQuestions shown = q;
            QuestionEdit edit(q, fs, "a.qz2", format);
            EXPECT_FALSE(c.change(edit).ok()) << c.what;
            EXPECT_EQ(q.QCount, shown.QCount) << c.what;
            EXPECT_EQ(q.Mcnt, shown.Mcnt) << c.what;
            EXPECT_EQ(q.timesAsked, "3") << c.what;
            EXPECT_EQ(q.timesCorrect, "2") << c.what;
            for (int r = 0; r < 4; ++r) {
                EXPECT_EQ(q.table.rows[r], before.table.rows[r]) << c.what << " row " << r;
            }
            EXPECT_EQ(readBytes("a.qz2"), "old bytes") << c.what;
        }
    }
}

TEST_F(QuestionEditTest, AddStoresTheNewLastQuestionWithZeroCounters) {
    EditedQuestions q = questions(1);
    q.QCount = 2;
    QuestionEdit edit(q, fs, "a.qz2", FileFormat::Current);
    ASSERT_TRUE(edit.add(fields("new")).ok());
    EXPECT_EQ(q.Mcnt, 1);
    EXPECT_EQ(q.table.rows[1][kQuestionText], Cell::text("new"));
    EXPECT_EQ(q.table.rows[1][kTimesAsked].asText(), "0");
    EXPECT_EQ(q.timesAsked, "0");
    EXPECT_EQ(q.table.rows[1][kReserved], Cell::text(kNoChoice));
}

TEST_F(QuestionEditTest, ModifyKeepsTheCountersUnlessToldToClearThem) {
    for (const bool clear : {false, true}) {
        EditedQuestions q = questions(2);
        QuestionEdit edit(q, fs, clear ? "a.qz2" : "b.qz2", FileFormat::Current);
        ASSERT_TRUE(edit.modify(fields("changed"), clear).ok());
        EXPECT_EQ(q.table.rows[0][kQuestionText], Cell::text("changed"));
        EXPECT_EQ(q.table.rows[0][kTimesAsked].asText(), clear ? "0" : "3") << clear;
        EXPECT_EQ(q.table.rows[1][kQuestionText], Cell::text("q2"));
    }
}

}  // namespace
}  // namespace studyhop
