#include "data/question_change.h"

#include <gtest/gtest.h>

#include "faulty_file_system.h"
#include "test_dir.h"

namespace studyhop {
namespace {

using test::readBytes;
using test::sjis;
using test::writeBytes;

// A record of a current file: "TEXT,a,b,ﾅｼ,ﾅｼ,ﾅｼ,1,ASKED,CORRECT,RESERVED".
std::string rec(const std::string& text, const std::string& counters = "0,0",
                const std::string& reserved = "ﾅｼ") {
    return text + ",a,b,ﾅｼ,ﾅｼ,ﾅｼ,1," + counters + "," + reserved + "\r\n";
}

std::string current(const std::vector<std::string>& records) {
    std::string text = std::to_string(records.size()) + "\r\n";
    for (const std::string& r : records) {
        text += r;
    }
    return sjis(text);
}

QuestionRow typed(const std::string& text) {
    QuestionRow row;
    row[kQuestionText] = Cell::text(text);
    const char* choices[] = {"a", "b", "ﾅｼ", "ﾅｼ", "ﾅｼ"};
    for (int k = 0; k < 5; ++k) {
        row[kChoice1 + k] = Cell::text(choices[k]);
    }
    row[kCorrectNumber] = Cell::text("1");
    row[kTimesAsked] = Cell::text("0");
    row[kTimesCorrect] = Cell::text("0");
    row[kReserved] = Cell::text(kNoChoice);
    return row;
}

class QuestionChangeTest : public ::testing::Test {
protected:
    QuestionFileRead read(const std::string& path = "a.qz2") {
        const FileFormat format = formatForName(path);
        const LoadResult loaded = format == FileFormat::Current ? loadCurrentQuestionFile(fs, path)
                                                                : loadLegacyQuestionFile(fs, path);
        return questionFileRead(path, format, loaded);
    }
    ChangeResult apply(const QuestionFileRead& base, const QuestionChange& change,
                       Consent consent = Consent::None) {
        return QuestionFileChanger(fs).apply(base, change, consent);
    }

    test::TestDir dir;
    test::FaultyFileSystem fs;
};

// Each change on a file nobody else touched: only the bytes it changes move.
TEST_F(QuestionChangeTest, EachChangeRewritesOnlyWhatItChanges) {
    const std::string three = current({rec("q1", " 3 , 2 "), rec("q2", "1,1", "出典p.12"), rec("q3")});
    struct Case {
        const char* name;
        std::string before;
        std::string path;
        QuestionChange change;
        std::string after;  // "<missing>" when the file goes
        int shown;
    } cases[] = {
        {"add", three, "a.qz2", QuestionChange::add(typed("新")),
         current({rec("q1", " 3 , 2 "), rec("q2", "1,1", "出典p.12"), rec("q3"), rec("新")}), 3},
        {"add to a legacy file without a last line end", sjis("\"q1\",a,b,c,d,e,\"1\""), "a.qzb",
         QuestionChange::add(typed("新")), sjis("\"q1\",a,b,c,d,e,\"1\"\r\n新,a,b,ﾅｼ,ﾅｼ,ﾅｼ,1\r\n"), 1},
        // A hand-written reserved cell stays when only the text changes.
        {"modify keeps counters and the reserved cell", three, "a.qz2",
         QuestionChange::modify(1, typed("q2b"), false),
         current({rec("q1", " 3 , 2 "), rec("q2b", "1,1", "出典p.12"), rec("q3")}), 1},
        {"modify clears the counters", three, "a.qz2", QuestionChange::modify(0, typed("q1"), true),
         current({rec("q1", "0,0"), rec("q2", "1,1", "出典p.12"), rec("q3")}), 0},
        {"remove moves the next one up", three, "a.qz2", QuestionChange::remove(1),
         current({rec("q1", " 3 , 2 "), rec("q3")}), 1},
        {"remove the last shows the one before", three, "a.qz2", QuestionChange::remove(2),
         current({rec("q1", " 3 , 2 "), rec("q2", "1,1", "出典p.12")}), 1},
        {"remove the only question removes the file", current({rec("q1")}), "a.qz2",
         QuestionChange::removeLast(0), "<missing>", -1},
        {"replace an unchanged file", three, "a.qz2", QuestionChange::replace(typed("新")),
         current({rec("新")}), 0},
        {"counts", three, "a.qz2", QuestionChange::counts({1, 1, 0}, {1, 0, 0}),
         current({rec("q1", " 4 , 3 "), rec("q2", " 2 ,1", "出典p.12"), rec("q3")}), -1},
    };
    for (const Case& c : cases) {
        test::TestDir here;
        writeBytes(c.path, c.before);
        const ChangeResult r = apply(read(c.path), c.change);
        ASSERT_EQ(r.outcome, ChangeOutcome::Written) << c.name << ": " << r.status.message();
        EXPECT_EQ(readBytes(c.path), c.after) << c.name;
        EXPECT_EQ(r.shown, c.shown) << c.name;
        EXPECT_EQ(r.fileRemoved, c.after == "<missing>") << c.name;
        if (!r.fileRemoved) {
            // The window's new base is the file on disk.
            FileStamp now;
            ASSERT_TRUE(fs.stamp(c.path, now).ok());
            EXPECT_EQ(r.now.stamp, now) << c.name;
            const QuestionFileRead reread = read(c.path);
            ASSERT_EQ(r.now.count, reread.count) << c.name;
            for (int row = 0; row < reread.count; ++row) {
                EXPECT_EQ(r.now.table.rows[row], reread.table.rows[row]) << c.name << ", row " << row;
            }
        }
    }
}

// Two windows (or two machines) read the same file; one changes it, then the
// other's change meets the file as it is now.
TEST_F(QuestionChangeTest, TheFileAsItIsNowDecidesAndTwinsAreNeverTakenForEachOther) {
    const std::string twins = current({rec("q", "5,5"), rec("q", "0,0"), rec("r")});
    struct Case {
        const char* name;
        std::string before;     // what the window read ("" for no file)
        std::string elsewhere;  // what is there now ("" for no file)
        QuestionChange change;
        Consent consent;
        ChangeOutcome outcome;
        WordNeeded word;
        std::string after;  // the file afterwards ("<missing>" for none)
    } cases[] = {
        {"the twin read was deleted elsewhere: delete asks", twins, current({rec("q", "0,0"), rec("r")}),
         QuestionChange::remove(0), Consent::None, ChangeOutcome::Refused, WordNeeded::None,
         current({rec("q", "0,0"), rec("r")})},
        {"the twin read was deleted elsewhere: modify asks", twins, current({rec("q", "0,0"), rec("r")}),
         QuestionChange::modify(0, typed("q2"), false), Consent::None, ChangeOutcome::NeedsWord,
         WordNeeded::Conflict, current({rec("q", "0,0"), rec("r")})},
        {"the other twin was deleted elsewhere: this one is found", twins,
         current({rec("q", "5,5"), rec("r")}), QuestionChange::remove(0), Consent::None,
         ChangeOutcome::Written, WordNeeded::None, current({rec("r")})},
        {"identical twins in order", current({rec("q"), rec("q"), rec("r")}),
         current({rec("q"), rec("q"), rec("r"), rec("s")}), QuestionChange::modify(1, typed("q2"), false),
         Consent::None, ChangeOutcome::Written, WordNeeded::None,
         current({rec("q"), rec("q2"), rec("r"), rec("s")})},
        {"counts of twins that changed elsewhere are not recorded", twins,
         current({rec("q", "6,6"), rec("q", "1,0"), rec("r")}), QuestionChange::counts({1, 1, 1}, {1, 1, 1}),
         Consent::None, ChangeOutcome::Written, WordNeeded::None,
         current({rec("q", "6,6"), rec("q", "1,0"), rec("r", " 1 , 1 ")})},
        {"a question without twins merges its counts", current({rec("q", "2,1")}),
         current({rec("q", "3,2")}), QuestionChange::counts({1}, {0}), Consent::None,
         ChangeOutcome::Written, WordNeeded::None, current({rec("q", " 4 ,2")})},
        // A new file that a sync engine delivered while the user typed.
        {"a new file that meanwhile exists is added to", "", current({rec("x"), rec("y")}),
         QuestionChange::replace(typed("新")), Consent::None, ChangeOutcome::Written,
         WordNeeded::None, current({rec("x"), rec("y"), rec("新")})},
        {"the file to replace changed since the user agreed", current({rec("x")}),
         current({rec("x"), rec("y")}), QuestionChange::replace(typed("新")), Consent::None,
         ChangeOutcome::NeedsWord, WordNeeded::ReplaceChanged, current({rec("x"), rec("y")})},
        {"deleting the last shown question keeps a question added elsewhere", current({rec("x")}),
         current({rec("x"), rec("y")}), QuestionChange::removeLast(0), Consent::None,
         ChangeOutcome::Written, WordNeeded::None, current({rec("y")})},
        {"a removed file asks before it is made again", current({rec("x"), rec("y")}), "",
         QuestionChange::add(typed("新")), Consent::None, ChangeOutcome::NeedsWord,
         WordNeeded::FileRemoved, "<missing>"},
        // Made from what the window read: its numbers in plain style.
        {"made again with the user's word", current({rec("x"), rec("y")}), "",
         QuestionChange::add(typed("新")), Consent::Recreate, ChangeOutcome::Written,
         WordNeeded::None,
         sjis("3\r\nx,a,b,ﾅｼ,ﾅｼ,ﾅｼ, 1 , 0 , 0 ,ﾅｼ\r\ny,a,b,ﾅｼ,ﾅｼ,ﾅｼ, 1 , 0 , 0 ,ﾅｼ\r\n") + current({rec("新")}).substr(3)},
        // Delete + create by another program: the file is back with more.
        {"recreate merges with a file that came back", current({rec("x")}),
         current({rec("x"), rec("z")}), QuestionChange::add(typed("新")), Consent::Recreate,
         ChangeOutcome::Written, WordNeeded::None, current({rec("x"), rec("z"), rec("新")})},
        {"a pass over a removed file records nothing", current({rec("x")}), "",
         QuestionChange::counts({1}, {1}), Consent::None, ChangeOutcome::Refused, WordNeeded::None,
         "<missing>"},
    };
    for (const Case& c : cases) {
        test::TestDir here;
        QuestionFileRead base;
        if (!c.before.empty()) {
            writeBytes("a.qz2", c.before);
            base = read();
            ::unlink("a.qz2");
        } else {
            base = read();  // no file: a new one
        }
        if (!c.elsewhere.empty()) {
            writeBytes("a.qz2", c.elsewhere);
        }
        const ChangeResult r = apply(base, c.change, c.consent);
        EXPECT_EQ(r.outcome, c.outcome) << c.name << ": " << r.status.message();
        EXPECT_EQ(r.word, c.word) << c.name;
        EXPECT_EQ(readBytes("a.qz2"), c.after) << c.name;
    }
}

TEST_F(QuestionChangeTest, NothingIsAddedPastOneHundredQuestions) {
    for (const int records : {100, 101}) {
        std::vector<std::string> many(static_cast<size_t>(records), rec("q"));
        for (int i = 0; i < records; ++i) {
            many[i] = rec("q" + std::to_string(i));
        }
        writeBytes("a.qz2", current(many));
        const QuestionFileRead base = read();
        const ChangeResult r = apply(base, QuestionChange::add(typed("新")));
        EXPECT_EQ(r.outcome, ChangeOutcome::Refused) << records;
        EXPECT_EQ(r.status.kind(), ErrorKind::TooManyRecords) << records;
        EXPECT_NE(r.status.message().find("100問まで"), std::string::npos) << r.status.message();
        EXPECT_EQ(readBytes("a.qz2"), current(many)) << records;
        // Changes that add nothing still go through.
        EXPECT_EQ(apply(base, QuestionChange::counts({1}, {1})).outcome, ChangeOutcome::Written);
    }
}

TEST_F(QuestionChangeTest, ABusyFileIsLeftAloneAndSaidSo) {
    writeBytes("a.qz2", current({rec("x")}));
    const QuestionFileRead base = read();
    {
        // Another copy of the program holds the lock for its own save.
        FileSystem other;
        FileLock held;
        ASSERT_TRUE(other.tryLock("a.qz2", held).ok());
        ASSERT_TRUE(held.held());
        const ChangeResult r = apply(base, QuestionChange::add(typed("新")));
        EXPECT_EQ(r.outcome, ChangeOutcome::Busy);
        EXPECT_EQ(r.status.kind(), ErrorKind::Busy);
    }
    EXPECT_EQ(apply(base, QuestionChange::counts({1}, {1})).outcome, ChangeOutcome::Written);
    // A program still writing the file: its count line promises more.
    const std::string writing = sjis("2\r\n" + rec("x"));
    writeBytes("a.qz2", writing);
    const ChangeResult r = apply(base, QuestionChange::add(typed("新")));
    EXPECT_EQ(r.outcome, ChangeOutcome::Busy);
    EXPECT_EQ(r.status.kind(), ErrorKind::CutShort);
    EXPECT_EQ(readBytes("a.qz2"), writing);
    EXPECT_EQ(test::listDirectory(), "a.qz2");
}

}  // namespace
}  // namespace studyhop
