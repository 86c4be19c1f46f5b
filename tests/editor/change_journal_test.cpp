// The editor records every change that may remove records or lower
// statistics in the run's journal, right after the write succeeded, and
// nothing else: the soak test tells such changes from lost data by it.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "app/journal_file.h"
#include "editor/editor_window.h"
#include "window_test.h"

namespace studyhop {
namespace {

using test::readBytes;
using test::sjis;
using test::writeBytes;

const std::string kThree = sjis(
    "3\r\nq1,a,b,c,d,e,1,4,2,ﾅｼ\r\nq2,a,b,c,d,e,1,4,2,ﾅｼ\r\nq3,a,b,c,d,e,1,4,2,ﾅｼ\r\n");
const std::string kOne = sjis("1\r\nq1,a,b,c,d,e,1,4,2,ﾅｼ\r\n");
const std::string kLegacy = sjis("q1,a,b,c,d,e,1\r\nq2,a,b,c,d,e,2\r\n");

struct JournalCase {
    const char* name;
    const char* file;  // "0": a new file
    const std::string* bytes;
    std::vector<PromptAnswer> answers;
    bool failWrites;
    std::function<void(Form2*)> act;
    std::string journal;
};

void PrintTo(const JournalCase& c, std::ostream* out) {
    *out << c.name;
}

void modify(Form2* e) {
    e->Command7_Click();
    e->Text1->setText(QStringLiteral("変更"));
    e->Command4_Click();
}

void add(Form2* e) {
    e->Command2_Click();
    e->Text1->setText(QStringLiteral("新"));
    e->Text2[0]->setText(QStringLiteral("a"));
    e->Text2[1]->setText(QStringLiteral("b"));
    e->Combo1->setCurrentIndex(0);
    e->Command4_Click();
}

void deleteSecond(Form2* e) {
    e->Command6_Click();
    e->Command3_Click();
}

class ChangeJournalTest : public test::WindowTest,
                          public ::testing::WithParamInterface<JournalCase> {};

TEST_P(ChangeJournalTest, RecordsOnlyChangesThatRemoveDataAndOnlyWhenWritten) {
    const JournalCase& c = GetParam();
    JournalFile journal(dir.path() + "/journal.txt");
    windows->setJournal(journal);
    if (c.bytes != nullptr) {
        writeBytes(c.file, *c.bytes);
    }
    windows->show(WindowId::Form1);
    const QString file = QString::fromUtf8(c.file);
    state().setText1(file);
    state().setFileState(file.endsWith(QStringLiteral(".qzb")) ? FileState::Legacy
                                                               : FileState::Current);
    auto* editor = show<Form2>(WindowId::Form2);
    ASSERT_NE(editor, nullptr);
    for (PromptAnswer a : c.answers) {
        prompt.nextAnswer(a);
    }
    if (c.failWrites) {
        fs.hook = [](FileOp op) { return op == FileOp::Sync || op == FileOp::Unlink ? EIO : 0; };
    }
    c.act(editor);
    fs.hook = nullptr;
    EXPECT_EQ(test::fileExists("journal.txt") ? readBytes("journal.txt") : std::string(),
              c.journal);
}

INSTANTIATE_TEST_SUITE_P(
    EditorChanges, ChangeJournalTest,
    ::testing::Values(
        JournalCase{"DeleteAQuestion", "a.qz2", &kThree, {}, false, deleteSecond,
                    "question-deleted\ta.qz2\n"},
        JournalCase{"DeleteTwice", "a.qz2", &kThree, {}, false,
                    [](Form2* e) {
                        deleteSecond(e);
                        e->Command3_Click();
                    },
                    "question-deleted\ta.qz2\nquestion-deleted\ta.qz2\n"},
        JournalCase{"FailedDeletion", "a.qz2", &kThree, {}, true, deleteSecond, ""},
        JournalCase{"DeleteTheWholeFile", "a.qz2", &kOne, {PromptAnswer::Ok}, false,
                    [](Form2* e) { e->Command3_Click(); }, "file-deleted\ta.qz2\n"},
        JournalCase{"WholeFileKeptOnCancel", "a.qz2", &kOne, {PromptAnswer::Cancel}, false,
                    [](Form2* e) { e->Command3_Click(); }, ""},
        JournalCase{"FailedFileDeletion", "a.qz2", &kOne, {PromptAnswer::Ok}, true,
                    [](Form2* e) { e->Command3_Click(); }, ""},
        JournalCase{"ModifyClearsTheRate", "a.qz2", &kThree, {PromptAnswer::Ok}, false, modify,
                    "rate-cleared\ta.qz2\n"},
        JournalCase{"ModifyCancelled", "a.qz2", &kThree, {PromptAnswer::Cancel}, false, modify,
                    ""},
        JournalCase{"FailedModify", "a.qz2", &kThree, {PromptAnswer::Ok}, true, modify, ""},
        JournalCase{"ModifyALegacyQuestion", "a.qzb", &kLegacy, {}, false, modify,
                    "question-modified\ta.qzb\n"},
        JournalCase{"AddToAFileRemovesNothing", "a.qz2", &kThree, {}, false, add, ""},
        JournalCase{"AppendToALegacyFile", "a.qzb", &kLegacy, {}, false, add, ""},
        JournalCase{"FirstQuestionOfANewFile", "0", nullptr, {}, false,
                    [](Form2* e) {
                        e->Text1->setText(QStringLiteral("新"));
                        e->Text2[0]->setText(QStringLiteral("a"));
                        e->Text2[1]->setText(QStringLiteral("b"));
                        e->Combo1->setCurrentIndex(0);
                        e->Command4_Click();
                        add(e);  // the second question replaces nothing
                    },
                    "file-replaced\t試験ﾃﾞｰﾀ.qz2\n"}),
    [](const ::testing::TestParamInfo<JournalCase>& info) { return info.param.name; });

TEST(ChangeJournalNamesTest, EveryChangeHasItsOwnName) {
    std::set<std::string> names;
    for (JournalChange c : {JournalChange::QuestionDeleted, JournalChange::FileDeleted,
                            JournalChange::RateCleared, JournalChange::QuestionModified,
                            JournalChange::FileReplaced, JournalChange::Overwritten}) {
        const std::string name = journalChangeName(c);
        EXPECT_NE(name, "unknown");
        EXPECT_TRUE(names.insert(name).second) << name;
    }
}

}  // namespace
}  // namespace studyhop
