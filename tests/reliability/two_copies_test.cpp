// Two copies of the program on one folder, each a real window set driven
// from stdin (copy_driver), editing and quizzing the same file in turns, each
// with what it read earlier still in memory. A change one copy made is never
// lost: the other copy applies its own change to the file as it is now, and
// asks only when both changed the same question or the file is gone.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "data/file_io.h"
#include "data/question_file.h"
#include "test_dir.h"

namespace studyhop {
namespace {

using test::readBytes;
using test::sjis;
using test::listDirectory;
using test::writeBytes;

// One running copy_driver with pipes to its stdin and stdout; with a user
// and group, run as them (through setpriv, by root only).
class Copy {
public:
    explicit Copy(const char* user = nullptr, const char* group = nullptr) {
        int in[2];
        int out[2];
        if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) {
            return;
        }
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(in[0], 0);
            ::dup2(out[1], 1);
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
            if (user != nullptr) {
                ::execlp("setpriv", "setpriv", "--reuid", user, "--regid", group, "--clear-groups",
                         STUDYHOP_COPY_DRIVER, static_cast<char*>(nullptr));
            }
            ::execl(STUDYHOP_COPY_DRIVER, STUDYHOP_COPY_DRIVER, static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        m_to = ::fdopen(in[1], "w");
        m_from = ::fdopen(out[0], "r");
    }
    ~Copy() {
        if (m_to != nullptr) {
            std::fclose(m_to);
        }
        if (m_from != nullptr) {
            std::fclose(m_from);
        }
        if (m_pid > 0) {
            int status = 0;
            ::waitpid(m_pid, &status, 0);
        }
    }
    Copy(const Copy&) = delete;
    Copy& operator=(const Copy&) = delete;

    // Sends one command and returns the boxes it showed ("TITLE\tTEXT");
    // `ok` tells whether the driver could carry it out.
    std::vector<std::string> send(const std::string& command, bool& ok) {
        start(command);
        return finish(ok);
    }
    // The same in two halves, so that two copies work at once.
    void start(const std::string& command) {
        if (m_to != nullptr) {
            std::fputs((command + "\n").c_str(), m_to);
            std::fflush(m_to);
        }
    }
    std::vector<std::string> finish(bool& ok) {
        std::vector<std::string> boxes;
        ok = false;
        if (m_to == nullptr || m_from == nullptr) {
            return boxes;
        }
        char buffer[65536];
        while (std::fgets(buffer, sizeof buffer, m_from) != nullptr) {
            std::string line(buffer);
            if (!line.empty() && line.back() == '\n') {
                line.pop_back();
            }
            if (line.rfind("box\t", 0) == 0) {
                boxes.push_back(line.substr(4));
            } else if (line.rfind("end", 0) == 0) {
                ok = line == "end";
                break;
            }
        }
        return boxes;
    }

private:
    pid_t m_pid = -1;
    FILE* m_to = nullptr;
    FILE* m_from = nullptr;
};

// The question texts of a file, or "<missing>" / "<broken>"; with `asked`,
// the times each was asked.
std::vector<std::string> questionsOf(const std::string& name, std::vector<int>* asked = nullptr) {
    FileSystem fs(".");
    const LoadResult loaded = loadCurrentQuestionFile(fs, name);
    if (loaded.status.kind() == ErrorKind::NotFound) {
        return {"<missing>"};
    }
    if (!loaded.status.ok()) {
        return {"<broken>"};
    }
    std::vector<std::string> texts;
    for (int row = 0; row < loaded.recordsRead; ++row) {
        texts.push_back(loaded.table.rows[row][kQuestionText].asText());
        if (asked != nullptr) {
            asked->push_back(
                static_cast<int>(loaded.table.rows[row][kTimesAsked].numericValue().value_or(-1)));
        }
    }
    return texts;
}

struct Step {
    char copy;  // 'A' or 'B'
    std::string command;
};

struct Interleaving {
    const char* name;
    std::vector<Step> steps;
    // The copy whose last step must meet the other's change with a "確認"
    // box, or 0 when nobody is asked.
    char warned;
    std::vector<std::string> questionsAfter;
    std::vector<int> askedAfter;  // the times each question was asked
};

void PrintTo(const Interleaving& run, std::ostream* out) {
    *out << run.name;
}

const std::string kRateClear = "内容を変更すると正解率がクリアされますがよろしいですか？";

class TwoCopiesTest : public ::testing::TestWithParam<Interleaving> {};

TEST_P(TwoCopiesTest, EveryChangeOfBothCopiesIsKeptAndOnlyAConflictAsks) {
    const Interleaving& run = GetParam();
    test::TestDir dir;
    writeBytes("f.qz2", sjis("3\r\nq1,a,b,c,d,e,1,4,2,ﾅｼ\r\nq2,a,b,c,d,e,1,4,2,ﾅｼ\r\n"
                             "q3,a,b,c,d,e,1,4,2,ﾅｼ\r\n"));
    Copy a;
    Copy b;
    std::vector<std::string> lastBoxes;
    for (size_t i = 0; i < run.steps.size(); ++i) {
        const Step& step = run.steps[i];
        bool ok = false;
        lastBoxes = (step.copy == 'A' ? a : b).send(step.command, ok);
        ASSERT_TRUE(ok) << step.copy << ": " << step.command;
        // Before the last step every save met an unchanged file: no conflict.
        if (i + 1 < run.steps.size()) {
            for (const std::string& box : lastBoxes) {
                EXPECT_EQ(box.find("f.qz2"), std::string::npos) << step.command << ": " << box;
            }
        }
    }
    bool warned = false;
    for (const std::string& box : lastBoxes) {
        if (box.rfind("確認\t", 0) == 0 && box.find(kRateClear) == std::string::npos &&
            box.find("f.qz2") != std::string::npos) {
            warned = true;
        }
    }
    EXPECT_EQ(warned, run.warned != 0) << run.warned;
    std::vector<int> asked;
    EXPECT_EQ(questionsOf("f.qz2", &asked), run.questionsAfter);
    if (!run.askedAfter.empty()) {
        EXPECT_EQ(asked, run.askedAfter);
    }
    EXPECT_EQ(listDirectory().find(".studyhop-"), std::string::npos)
        << "no temporary file is left: " << listDirectory();
}

// "answers" queue the replies to the boxes of the next command in order: the
// rate-clear question first, then the change on disk.
INSTANTIATE_TEST_SUITE_P(
    Interleavings, TwoCopiesTest,
    ::testing::Values(
        Interleaving{"BothModifyOtherQuestionsKeepsBoth",
                     {{'A', "edit f.qz2"},
                      {'B', "edit f.qz2"},
                      {'A', "modify 0 A1"},
                      {'B', "modify 1 B2"}},
                     0,
                     {"A1", "B2", "q3"},
                     {0, 0, 4}},
        Interleaving{"BothModifyTheSameQuestionCancelKeepsA",
                     {{'A', "edit f.qz2"},
                      {'B', "edit f.qz2"},
                      {'A', "modify 0 A1"},
                      {'B', "answers ok cancel"},
                      {'B', "modify 0 B1"}},
                     'B',
                     {"A1", "q2", "q3"}},
        Interleaving{"BothModifyTheSameQuestionOkKeepsBothVersions",
                     {{'A', "edit f.qz2"},
                      {'B', "edit f.qz2"},
                      {'A', "modify 0 A1"},
                      {'B', "answers ok ok"},
                      {'B', "modify 0 B1"}},
                     'B',
                     {"A1", "q2", "q3", "B1"}},
        Interleaving{"DeleteThenAddKeepsBoth",
                     {{'A', "edit f.qz2"},
                      {'B', "edit f.qz2"},
                      {'A', "delete 0"},
                      {'B', "add B4"}},
                     0,
                     {"q2", "q3", "B4"}},
        Interleaving{"QuizWriteBackAfterAnEditKeepsTheEdit",
                     {{'A', "quiz f.qz2"},
                      {'B', "edit f.qz2"},
                      {'B', "modify 2 B3"},
                      {'A', "answerall"}},
                     0,
                     {"q1", "q2", "B3"},
                     {5, 5, 0}},
        Interleaving{"EditAfterAQuizWriteBackKeepsTheStatistics",
                     {{'B', "edit f.qz2"},
                      {'A', "quiz f.qz2"},
                      {'A', "answerall"},
                      {'B', "modify 0 B1"}},
                     0,
                     {"B1", "q2", "q3"},
                     {0, 5, 5}},
        Interleaving{"FileDeletedElsewhereIsNotMadeAgainOnCancel",
                     {{'A', "edit f.qz2"},
                      {'B', "edit f.qz2"},
                      {'B', "delete 2"},
                      {'B', "delete 1"},
                      {'B', "answers ok"},
                      {'B', "delete 0"},
                      {'A', "answers ok cancel"},
                      {'A', "modify 0 A1"}},
                     'A',
                     {"<missing>"}}),
    [](const ::testing::TestParamInfo<Interleaving>& info) { return info.param.name; });

// The "result" box of a copy's loop.
std::string resultOf(const std::vector<std::string>& boxes) {
    for (const std::string& box : boxes) {
        if (box.rfind("result\t", 0) == 0) {
            return box.substr(7);
        }
    }
    return {};
}

int number(const std::string& text, const std::string& after) {
    const size_t at = text.find(after + " ");
    return at == std::string::npos ? -1 : std::stoi(text.substr(at + after.size() + 1));
}

// Two copies save the same file at machine speed; every save either copy
// reported as done is in the file afterwards.
TEST(TwoCopiesRaceTest, NothingReportedAsSavedIsLost) {
    test::TestDir dir;
    writeBytes("f.qz2", sjis("2\r\nq1,a,b,c,d,e,1,0,0,ﾅｼ\r\nq2,a,b,c,d,e,1,0,0,ﾅｼ\r\n"));
    Copy a;
    Copy b;
    bool okA = false;
    bool okB = false;

    // 200 quiz passes: every saved pass asked each question once more.
    a.start("passes 100 f.qz2");
    b.start("passes 100 f.qz2");
    const std::string passesA = resultOf(a.finish(okA));
    const std::string passesB = resultOf(b.finish(okB));
    ASSERT_TRUE(okA && okB);
    const int saved = number(passesA, "saved") + number(passesB, "saved");
    std::vector<int> asked;
    ASSERT_EQ(questionsOf("f.qz2", &asked), (std::vector<std::string>{"q1", "q2"}));
    EXPECT_EQ(asked, (std::vector<int>{saved, saved}));
    EXPECT_GE(saved, 180) << "the copies waited for each other instead of saving";

    // 98 registrations into one file.
    a.start("adds 49 f.qz2 A");
    b.start("adds 49 f.qz2 B");
    const std::string addsA = resultOf(a.finish(okA));
    const std::string addsB = resultOf(b.finish(okB));
    ASSERT_TRUE(okA && okB);
    const std::vector<std::string> texts = questionsOf("f.qz2");
    int registered = 0;
    for (const std::string& reported : {addsA, addsB}) {
        size_t from = 0;
        for (size_t space; (space = reported.find(' ', from)) != std::string::npos; from = space + 1) {
            const std::string text = reported.substr(from, space - from);
            EXPECT_NE(std::find(texts.begin(), texts.end(), text), texts.end()) << text << " was lost";
            ++registered;
        }
    }
    EXPECT_EQ(static_cast<int>(texts.size()), 2 + registered);
    EXPECT_GE(registered, 90);

    // 400 settings saves, each copy changing only its own value.
    a.start("settings 200 rate");
    b.start("settings 200 order");
    const std::string settingsA = resultOf(a.finish(okA));
    const std::string settingsB = resultOf(b.finish(okB));
    ASSERT_TRUE(okA && okB);
    EXPECT_EQ(number(settingsA, "lost"), 0) << settingsA;
    EXPECT_EQ(number(settingsB, "lost"), 0) << settingsB;
    EXPECT_GE(number(settingsA, "saved") + number(settingsB, "saved"), 360);
    EXPECT_EQ(listDirectory().find(".studyhop-"), std::string::npos) << listDirectory();
    std::printf("RACE passes=%d registrations=%d settings=%s / %s\n", saved, registered,
                settingsA.c_str(), settingsB.c_str());
}

// A question file shared through its group (owner 1001, group 1000, mode
// 0660, in a folder of that group): a quiz pass by root or by another member
// of the group leaves it to its owner, readable by its owner as before.
TEST(SharedFileTest, AQuizPassKeepsTheOwnerGroupAndModeOfTheFile) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to make a file of another user";
    }
    const std::pair<const char*, const char*> runners[] = {{nullptr, nullptr}, {"1002", "1000"}};
    for (const auto& [user, group] : runners) {
        test::TestDir dir;
        ASSERT_EQ(::chown(dir.path().c_str(), 1001, 1000), 0);
        ASSERT_EQ(::chmod(dir.path().c_str(), 02775), 0);
        writeBytes("f.qz2", sjis("2\r\nq1,a,b,c,d,e,1,0,0,ﾅｼ\r\nq2,a,b,c,d,e,1,0,0,ﾅｼ\r\n"));
        ASSERT_EQ(::chown("f.qz2", 1001, 1000), 0);
        ASSERT_EQ(::chmod("f.qz2", 0660), 0);
        {
            Copy copy(user, group);
            bool ok = false;
            copy.send("quiz f.qz2", ok);
            ASSERT_TRUE(ok) << (user ? user : "root");
            const std::vector<std::string> boxes = copy.send("answerall", ok);
            ASSERT_TRUE(ok);
            for (const std::string& box : boxes) {
                EXPECT_EQ(box.find("f.qz2"), std::string::npos) << box;
            }
        }
        struct stat st {};
        ASSERT_EQ(::stat("f.qz2", &st), 0);
        const char* who = user ? user : "root";
        EXPECT_EQ(st.st_uid, 1001u) << who;
        EXPECT_EQ(st.st_gid, 1000u) << who;
        EXPECT_EQ(st.st_mode & 07777, 0660u) << who;
        std::vector<int> asked;
        EXPECT_EQ(questionsOf("f.qz2", &asked), (std::vector<std::string>{"q1", "q2"})) << who;
        EXPECT_EQ(asked, (std::vector<int>{1, 1})) << who;
        EXPECT_EQ(listDirectory().find(".studyhop-"), std::string::npos)
            << "no backup or temporary file is left: " << listDirectory();
    }
}

}  // namespace
}  // namespace studyhop
