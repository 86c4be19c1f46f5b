#include "data/question_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "data/file_io.h"
#include "data/question_change.h"
#include "faulty_file_system.h"
#include "test_dir.h"

namespace studyhop {
namespace {

test::FaultyFileSystem fs;

using test::listDirectory;
using test::readBytes;
using test::sjis;
using test::TestDir;
using test::writeBytes;

// 日本の首都は？ 東京 大阪 京都 ﾅｼ in CP932.
const std::string kQ = "\x93\xfa\x96\x7b\x82\xcc\x8e\xf1\x93\x73\x82\xcd\x81\x48";
const std::string kTokyo = "\x93\x8c\x8b\x9e";
const std::string kOsaka = "\x91\xe5\x8d\xe3";
const std::string kKyoto = "\x8b\x9e\x93\x73";
const std::string kNashi = "\xc5\xbc";

QuestionRow editorRow(const std::string& question, const std::string& correct) {
    QuestionRow row{};
    const char* texts[] = {"東京", "大阪", "京都", "ﾅｼ", "ﾅｼ"};
    row[kQuestionText] = Cell::text(question);
    for (int k = 0; k < 5; ++k) {
        row[kChoice1 + k] = Cell::text(texts[k]);
    }
    row[kCorrectNumber] = Cell::text(correct);
    row[kTimesAsked] = Cell::text("0");
    row[kTimesCorrect] = Cell::text("0");
    row[kReserved] = Cell::text(kNoChoice);
    return row;
}

// A whole file written as a new one is: the bytes questionFileText gives.
Status saveNew(const std::string& path, FileFormat format, const QuestionTable& table, int count) {
    return encodeAndReplace(fs, path, questionFileText(format, table, count));
}

// Adds row `row` of `table` to the file as the editor's registration does.
Status appendRow(const std::string& path, const QuestionTable& table, int row) {
    const FileFormat format = formatForName(path);
    LoadResult loaded = format == FileFormat::Current ? loadCurrentQuestionFile(fs, path)
                                                      : loadLegacyQuestionFile(fs, path);
    const ChangeResult r = QuestionFileChanger(fs).apply(questionFileRead(path, format, loaded),
                                                         QuestionChange::add(table.rows[row]));
    return r.outcome == ChangeOutcome::Written ? Status{} : r.status;
}

// Records the counters `table` holds over what the file held when loaded.
Status writeBack(const LoadResult& loaded, const QuestionTable& table, const std::string& path) {
    std::vector<double> asked;
    std::vector<double> correct;
    for (int r = 0; r < loaded.recordsRead; ++r) {
        const auto delta = [&](int c) {
            return table.rows[r][c].numericValue().value_or(0) -
                   loaded.table.rows[r][c].numericValue().value_or(0);
        };
        asked.push_back(delta(kTimesAsked));
        correct.push_back(delta(kTimesCorrect));
    }
    const ChangeResult r =
        QuestionFileChanger(fs).apply(questionFileRead(path, FileFormat::Current, loaded),
                                      QuestionChange::counts(asked, correct));
    return r.outcome == ChangeOutcome::Written ? Status{} : r.status;
}

std::string record(const std::string& tail) {
    return kQ + "," + kTokyo + "," + kOsaka + "," + kKyoto + "," + kNashi + "," + kNashi + tail;
}

TEST(QuestionFileTest, EditorSaveOfANewQuestionIsByteExact) {
    TestDir dir;
    QuestionTable table;
    table.rows[0] = editorRow("日本の首都は？", "1");
    ASSERT_TRUE(saveNew("a.qz2", FileFormat::Current, table, 1).ok());
    EXPECT_EQ(readBytes("a.qz2"), "1\r\n" + record(",1,0,0," + kNashi + "\r\n"));
}

TEST(QuestionFileTest, StatisticsWriteBackPutsBlanksAroundEveryNumber) {
    TestDir dir;
    writeBytes("a.qz2", "1\r\n" + record(",1,0,0," + kNashi + "\r\n"));
    LoadResult loaded = loadCurrentQuestionFile(fs, "a.qz2");
    ASSERT_TRUE(loaded.status.ok()) << loaded.status.message();
    EXPECT_EQ(loaded.table.rows[0][kCorrectNumber], Cell::number(1));
    QuestionTable counted = loaded.table;
    ASSERT_TRUE(counted.rows[0][kTimesAsked].addOne());
    ASSERT_TRUE(counted.rows[0][kTimesCorrect].addOne());
    ASSERT_TRUE(writeBack(loaded, counted, "a.qz2").ok());
    // The counters become numbers in plain style; the correct number nobody
    // changed keeps its bytes.
    EXPECT_EQ(readBytes("a.qz2"), "1\r\n" + record(",1, 1 , 1 ," + kNashi + "\r\n"));
}

TEST(QuestionFileTest, LegacyRewriteQuotesOnlyTheFirstRecord) {
    TestDir dir;
    const std::string second = record(", 2 \r\n");
    writeBytes("a.qzb", record(",1\r\n") + second);
    LoadResult loaded = loadLegacyQuestionFile(fs, "a.qzb", 100);
    ASSERT_TRUE(loaded.status.ok());
    ASSERT_EQ(loaded.count, 2);
    EXPECT_TRUE(loaded.table.rows[0][kTimesAsked].isEmpty());
    QuestionTable table = loaded.table;
    table.rows[0] = editorRow("日本の首都は？", "1");  // what the editor stores: all texts
    ASSERT_TRUE(saveNew("a.qzb", FileFormat::Legacy, table, 2).ok());
    const std::string q = "\"";
    EXPECT_EQ(readBytes("a.qzb"), q + kQ + q + "," + q + kTokyo + q + "," + q + kOsaka + q + "," +
                                      q + kKyoto + q + "," + q + kNashi + q + "," + q + kNashi + q +
                                      ",\"1\"\r\n" + second);
}

TEST(QuestionFileTest, QuotedOneStaysTextUnquotedOneBecomesANumber) {
    TestDir dir;
    writeBytes("a.qzb", "\"q\",\"a\",\"b\",\"c\",\"d\",\"e\",\"1\"\r\nq,a,b,c,d,e,1\r\n");
    LoadResult loaded = loadLegacyQuestionFile(fs, "a.qzb");
    ASSERT_TRUE(loaded.status.ok());
    EXPECT_EQ(loaded.table.rows[0][kCorrectNumber], Cell::text("1"));
    EXPECT_EQ(loaded.table.rows[1][kCorrectNumber], Cell::number(1));
    ASSERT_TRUE(saveNew("a.qzb", FileFormat::Legacy, loaded.table, 2).ok());
    EXPECT_EQ(readBytes("a.qzb"),
              "\"q\",\"a\",\"b\",\"c\",\"d\",\"e\",\"1\"\r\nq,a,b,c,d,e, 1 \r\n");
}

TEST(QuestionFileTest, CountLineWinsOverRecordsRead) {
    TestDir dir;
    std::string four;
    for (int i = 0; i < 4; ++i) {
        four += "q,a,b,c,d,e,1,0,0,x\r\n";
    }
    writeBytes("a.qz2", "3\r\n" + four);
    LoadResult loaded = loadCurrentQuestionFile(fs, "a.qz2");
    ASSERT_TRUE(loaded.status.ok());
    EXPECT_EQ(loaded.count, 3);
    EXPECT_EQ(loaded.recordsRead, 4);
    writeBytes("b.qz2", "5\r\nq,a,b,c,d,e,1,0,0,x\r\n");
    loaded = loadCurrentQuestionFile(fs, "b.qz2");
    ASSERT_TRUE(loaded.status.ok());
    EXPECT_EQ(loaded.count, 5);
    EXPECT_TRUE(loaded.table.rows[1][0].isEmpty());
}

TEST(QuestionFileTest, RecordsMaySpanLinesAndBlankLinesEndTheFile) {
    TestDir dir;
    writeBytes("a.qz2", "1\r\nq,a,b\r\nc,d,e\r\n1,0,0,x\r\n\r\n  \r\n\r\n");
    LoadResult loaded = loadCurrentQuestionFile(fs, "a.qz2");
    ASSERT_TRUE(loaded.status.ok()) << loaded.status.message();
    EXPECT_EQ(loaded.recordsRead, 1);
    EXPECT_EQ(loaded.table.rows[0][kChoice1 + 2], Cell::text("c"));
    EXPECT_EQ(loaded.table.rows[0][kReserved], Cell::text("x"));
}

TEST(QuestionFileTest, LegacyRecordLimitOnlyForTheEditor) {
    TestDir dir;
    std::string records;
    for (int i = 0; i < 101; ++i) {
        records += "q" + std::to_string(i) + ",a,b,c,d,e,1\r\n";
    }
    writeBytes("a.qzb", records);
    LoadResult editor = loadLegacyQuestionFile(fs, "a.qzb", 100);
    EXPECT_TRUE(editor.status.ok());
    EXPECT_EQ(editor.count, 100);
    LoadResult quiz = loadLegacyQuestionFile(fs, "a.qzb");
    EXPECT_TRUE(quiz.status.ok());
    EXPECT_EQ(quiz.count, 101);
    EXPECT_EQ(quiz.table.rows[100][0], Cell::text("q100"));

    writeBytes("b.qzb", records + "q101,a,b,c,d,e,1\r\n");
    LoadResult tooMany = loadLegacyQuestionFile(fs, "b.qzb");
    EXPECT_EQ(tooMany.status.kind(), ErrorKind::TooManyRecords);
    EXPECT_EQ(tooMany.status.line(), 102);
    EXPECT_EQ(tooMany.recordsRead, 101);
    EXPECT_EQ(loadLegacyQuestionFile(fs, "b.qzb", 100).count, 100);
}

TEST(QuestionFileTest, EveryBrokenFileHasItsOwnErrorKindAndLine) {
    struct Case {
        const char* name;
        std::string bytes;
        ErrorKind kind;
        int line;
    } cases[] = {
        {"empty", "", ErrorKind::BadCountLine, 1},
        {"blank count", "\r\nq,a,b,c,d,e,1,0,0,x\r\n", ErrorKind::BadCountLine, 1},
        {"negative count", "-1\r\n", ErrorKind::BadCountLine, 1},
        {"text count", "abc\r\n", ErrorKind::BadCountLine, 1},
        {"exponent count", "1e9\r\n", ErrorKind::BadCountLine, 1},
        {"count above 101", "102\r\n", ErrorKind::BadCountLine, 1},
        {"fractional count", "1.5\r\n", ErrorKind::BadCountLine, 1},
        {"cut short", "2\r\nq,a,b,c,d,e,1,0,0,x\r\nq,a,b\r\n", ErrorKind::CutShort, 3},
        {"quote left open", "1\r\n\"q,a,b,c,d,e,1,0,0,x\r\n", ErrorKind::CutShort, 2},
        {"invalid cp932", "1\r\nq,\x81\x20,b,c,d,e,1,0,0,x\r\n", ErrorKind::Encoding, 2},
        {"lone lead byte", "1\r\nq,a,b,c,d,e,1,0,0,\x81", ErrorKind::Encoding, 2},
        {"nul byte", std::string("1\r\n\r\nq\0,a", 9), ErrorKind::NulByte, 3},
    };
    for (const Case& c : cases) {
        TestDir dir;
        writeBytes("bad.qz2", c.bytes);
        const LoadResult loaded = loadCurrentQuestionFile(fs, "bad.qz2");
        EXPECT_EQ(loaded.status.kind(), c.kind) << c.name;
        EXPECT_EQ(loaded.status.line(), c.line) << c.name;
        EXPECT_EQ(loaded.status.file(), "bad.qz2") << c.name;
        EXPECT_FALSE(loaded.status.message().empty()) << c.name;
    }
    TestDir dir;
    EXPECT_EQ(loadCurrentQuestionFile(fs, "missing.qz2").status.kind(), ErrorKind::NotFound);
    EXPECT_EQ(loadLegacyQuestionFile(fs, "missing.qzb").status.kind(), ErrorKind::NotFound);
}

TEST(QuestionFileTest, CutShortKeepsTheRowsReadBefore) {
    TestDir dir;
    writeBytes("a.qzb", "q1,a,b,c,d,e,1\r\nq2,a,b\r\n");
    const LoadResult loaded = loadLegacyQuestionFile(fs, "a.qzb");
    EXPECT_EQ(loaded.status.kind(), ErrorKind::CutShort);
    EXPECT_EQ(loaded.recordsRead, 1);
    EXPECT_EQ(loaded.table.rows[0][0], Cell::text("q1"));
}

// Old Windows media name files in capitals: "CHIRI.QZB" is a legacy file.
TEST(QuestionFileTest, FormatFollowsTheExtensionInAnyCase) {
    EXPECT_EQ(formatForName("x.qzb"), FileFormat::Legacy);
    EXPECT_EQ(formatForName("x.QZB"), FileFormat::Legacy);
    EXPECT_EQ(formatForName("x.Qzb"), FileFormat::Legacy);
    EXPECT_EQ(formatForName("x.QZ2"), FileFormat::Current);
    EXPECT_EQ(formatForName("x.qz2"), FileFormat::Current);
    EXPECT_EQ(formatForName("qzb"), FileFormat::Legacy);
}

TEST(QuestionFileTest, AppendAddsOneRecordAndKeepsTheOldBytes) {
    TestDir dir;
    const std::string old = "\"q\",\"a\",\"b\",\"c\",\"d\",\"e\",\"1\"\r\nq2,a,b,c,d,e, 2 \r\n";
    writeBytes("a.qzb", old);
    QuestionTable table;
    table.rows[2] = editorRow("日本の首都は？", "1");
    ASSERT_TRUE(appendRow("a.qzb", table, 2).ok());
    EXPECT_EQ(readBytes("a.qzb"), old + record(",1\r\n"));

    writeBytes("b.qzb", "q,a,b,c,d,e,1");  // no line end after the last record
    ASSERT_TRUE(appendRow("b.qzb", table, 2).ok());
    EXPECT_EQ(readBytes("b.qzb"), "q,a,b,c,d,e,1\r\n" + record(",1\r\n"));
    EXPECT_EQ(loadLegacyQuestionFile(fs, "b.qzb").count, 2);

    ASSERT_TRUE(appendRow("new.qzb", table, 2).ok());
    EXPECT_EQ(readBytes("new.qzb"), record(",1\r\n"));
}

TEST(QuestionFileTest, UnencodableTextOrFailedWriteLeavesTheFileUnchanged) {
    TestDir dir;
    const std::string old = "1\r\n" + record(",1,0,0," + kNashi + "\r\n");
    writeBytes("a.qz2", old);
    QuestionTable table;
    table.rows[0] = editorRow("絵文字😀", "1");
    const Status s = saveNew("a.qz2", FileFormat::Current, table, 1);
    EXPECT_EQ(s.kind(), ErrorKind::Encoding);
    EXPECT_NE(s.message().find("😀"), std::string::npos);
    EXPECT_EQ(appendRow("a.qz2", table, 0).kind(), ErrorKind::Encoding);
    EXPECT_EQ(readBytes("a.qz2"), old);

    table.rows[0] = editorRow("q", "1");
    const LoadResult loaded = loadCurrentQuestionFile(fs, "a.qz2");
    QuestionTable counted = loaded.table;
    counted.rows[0][kTimesAsked].addOne();
    fs.hook = [](FileOp op) { return op == FileOp::Rename ? EIO : 0; };
    EXPECT_EQ(saveNew("a.qz2", FileFormat::Current, table, 1).kind(), ErrorKind::Io);
    EXPECT_EQ(appendRow("a.qz2", table, 0).kind(), ErrorKind::Io);
    EXPECT_EQ(writeBack(loaded, counted, "a.qz2").kind(), ErrorKind::Io);
    fs.hook = nullptr;
    EXPECT_EQ(readBytes("a.qz2"), old);
    EXPECT_EQ(listDirectory(), "a.qz2");
}

TEST(QuestionFileTest, AppendNeverReplacesAFileItCannotRead) {
    TestDir dir;
    writeBytes("big.qzb", "");
    ASSERT_EQ(::truncate("big.qzb", kMaxFileBytes + 1), 0);
    QuestionTable table;
    EXPECT_EQ(appendRow("big.qzb", table, 0).kind(), ErrorKind::TooLarge);
    EXPECT_EQ(test::readBytes("big.qzb").size(), kMaxFileBytes + 1);
}

TEST(QuestionFileTest, FullTableRoundTripsThroughBothFormats) {
    TestDir dir;
    QuestionTable table;
    for (int r = 0; r < kRows; ++r) {
        table.rows[r] = editorRow("問" + std::to_string(r) + " 〜 ①", std::to_string(r % 5 + 1));
        table.rows[r][kCorrectNumber] = Cell::number(r % 5 + 1);
        table.rows[r][kTimesAsked] = Cell::number(r);
        table.rows[r][kTimesCorrect] = Cell::number(r / 2);
    }
    ASSERT_TRUE(saveNew("a.qz2", FileFormat::Current, table, kRows).ok());
    const LoadResult loaded = loadCurrentQuestionFile(fs, "a.qz2");
    ASSERT_TRUE(loaded.status.ok()) << loaded.status.message();
    EXPECT_EQ(loaded.count, kRows);
    EXPECT_EQ(loaded.table.rows[100][kQuestionText], Cell::text("問100 ～ ①"));
    EXPECT_EQ(loaded.table.rows[100][kTimesAsked], Cell::number(100));
    const std::string first = readBytes("a.qz2");
    ASSERT_TRUE(
        saveNew("a.qz2", FileFormat::Current, loaded.table, loaded.count).ok());
    EXPECT_TRUE(readBytes("a.qz2") == first) << "a reloaded table saves to the same bytes";
}

TEST(QuestionFileTest, ReadingAsWrittenGivesBackTheBytesOfEveryWriter) {
    struct Case {
        const char* what;
        FileFormat format;
        std::string bytes;
    };
    const Case cases[] = {
        {"editor", FileFormat::Current, "1\r\n" + record(",1,0,0," + kNashi + "\r\n")},
        {"after a quiz", FileFormat::Current, "1\r\n" + record(", 1 , 1 , 1 ," + kNashi + "\r\n")},
        {"edited after a quiz", FileFormat::Current,
         "2\r\n" + record(", 2 , 3 , 1 ," + kNashi + "\r\n") + record(",2,0,0," + kNashi + "\r\n")},
        {"numbers as texts", FileFormat::Current, "1\r\n2024,\"1.50\",-3 ,\"007\",a,b,1,0,0,x\r\n"},
        {"legacy", FileFormat::Legacy,
         "\"" + kQ + "\",\"a\",\"b\",\"c\",\"d\",\"e\",\"1\"\r\n" + record(",3\r\n")},
    };
    for (const Case& c : cases) {
        const LoadResult loaded = parseQuestionFileAsWritten("a", c.bytes, c.format);
        ASSERT_TRUE(loaded.status.ok()) << c.what << ": " << loaded.status.message();
        const std::string text = questionFileText(c.format, loaded.table, loaded.count);
        EXPECT_EQ(sjis(text), c.bytes) << c.what;
    }
}

TEST(QuestionFileTest, RecordLinesFollowTheFile) {
    const LoadResult loaded = parseCurrentQuestionFile(
        "a.qz2", "2\r\n\r\nq,a,b,c,d,e,1,0,0,x\r\nq,a,b,c\r\nd,e,1,0,0,x\r\n");
    ASSERT_TRUE(loaded.status.ok());
    EXPECT_EQ(loaded.recordLine[0], 3);
    EXPECT_EQ(loaded.recordLine[1], 4);
}

}  // namespace
}  // namespace studyhop

namespace studyhop {
namespace {

QuestionRow plainRow(const std::string& choice) {
    QuestionRow row{};
    const char* texts[] = {"q", "", "b", "c", "d", "e", "1", "0", "0", "x"};
    for (int c = 0; c < kColumns; ++c) {
        row[c] = Cell::text(texts[c]);
    }
    row[kChoice1] = Cell::text(choice);
    return row;
}

// A text that plain style would turn into a number or trim is quoted; every
// other cell keeps the bytes it always had.
TEST(QuestionFileTest, TextsThatWouldReadBackChangedAreQuotedAndOnlyThose) {
    struct Case {
        std::string text;
        std::string written;  // CP932
    } cases[] = {
        {"東京", kTokyo},
        {"1", "1"},
        {"-1", "-1"},
        {"ab ", "ab "},  // blanks after a text are kept by the reader
        {"", ""},
        {"1e5", "1e5"},
        {"007", "\"007\""},
        {"1.50", "\"1.50\""},
        {"+3", "\"+3\""},
        {" a", "\" a\""},
        {"1 ", "\"1 \""},
        {"  ", "\"  \""},
        {"12345678901234567890", "\"12345678901234567890\""},
        {"-0", "\"-0\""},
        {".5", "\".5\""},
        {"1.", "\"1.\""},
    };
    for (const Case& c : cases) {
        TestDir dir;
        QuestionTable table;
        table.rows[0] = plainRow(c.text);
        ASSERT_TRUE(saveNew("a.qz2", FileFormat::Current, table, 1).ok());
        EXPECT_EQ(readBytes("a.qz2"), "1\r\nq," + c.written + ",b,c,d,e,1,0,0,x\r\n") << c.text;
        const LoadResult loaded = loadCurrentQuestionFile(fs, "a.qz2");
        ASSERT_TRUE(loaded.status.ok()) << c.text;
        EXPECT_EQ(loaded.table.rows[0][kChoice1].asText(), c.text);

        writeBytes("a.qzb", "\"q\",\"a\",\"b\",\"c\",\"d\",\"e\",\"1\"\r\n");
        ASSERT_TRUE(appendRow("a.qzb", table, 0).ok());
        EXPECT_EQ(loadLegacyQuestionFile(fs, "a.qzb").table.rows[1][kChoice1].asText(), c.text);
    }
    // The correct number and the counters are numbers: never quoted.
    TestDir dir;
    QuestionTable table;
    table.rows[0] = plainRow("a");
    table.rows[0][kCorrectNumber] = Cell::text("01");
    table.rows[0][kTimesAsked] = Cell::number(3);
    ASSERT_TRUE(saveNew("a.qz2", FileFormat::Current, table, 1).ok());
    EXPECT_EQ(readBytes("a.qz2"), "1\r\nq,a,b,c,d,e,01, 3 ,0,x\r\n");
}

TEST(QuestionFileTest, Utf8FilesAreRefusedByNameAndNeverWrittenInto) {
    const char* names[] = {"utf8_with_bom.qz2", "utf8_without_bom.qzb", "utf8_valid_as_cp932.qzb"};
    for (const char* name : names) {
        TestDir dir;
        const std::string bytes = readBytes(std::string(STUDYHOP_FIXTURES) + "/" + name);
        writeBytes(name, bytes);
        const LoadResult loaded = formatForName(name) == FileFormat::Legacy
                                      ? loadLegacyQuestionFile(fs, name, 100)
                                      : loadCurrentQuestionFile(fs, name);
        EXPECT_EQ(loaded.status.kind(), ErrorKind::Utf8) << name;
        const std::string message = loaded.status.message();
        EXPECT_NE(message.find(name), std::string::npos) << message;
        EXPECT_NE(message.find("UTF-8"), std::string::npos) << message;
        EXPECT_NE(message.find("studyhop-tool import"), std::string::npos) << message;
        QuestionTable table;
        table.rows[0] = plainRow("a");
        EXPECT_EQ(appendRow(name, table, 0).kind(), ErrorKind::Utf8) << name;
        EXPECT_EQ(readBytes(name), bytes) << name;
    }
}

// "蜀舜" in CP932 is E5 86 8F 77, valid UTF-8 ("冏w"): such a file would be
// refused when read, so it is never written.
TEST(QuestionFileTest, WritersRefuseBytesTheReadersWouldTakeForUtf8) {
    TestDir dir;
    writeBytes("a.qz2", "old");
    writeBytes("a.qzb", "q,a,b,c,d,e,1\r\n");
    QuestionTable table;
    table.rows[0] = plainRow("蜀舜");
    EXPECT_EQ(saveNew("a.qz2", FileFormat::Current, table, 1).kind(),
              ErrorKind::Encoding);
    EXPECT_EQ(appendRow("a.qzb", table, 0).kind(), ErrorKind::Encoding);
    EXPECT_EQ(readBytes("a.qz2"), "old");
    EXPECT_EQ(readBytes("a.qzb"), "q,a,b,c,d,e,1\r\n");
    table.rows[0] = plainRow("蜀舜の");  // a kana makes it plain CP932
    ASSERT_TRUE(saveNew("a.qz2", FileFormat::Current, table, 1).ok());
    EXPECT_EQ(loadCurrentQuestionFile(fs, "a.qz2").table.rows[0][kChoice1].asText(), "蜀舜の");
}

TEST(QuestionFileTest, CutShortRecordIsFoundWhereverItStandsAndOnItsOwnLine) {
    TestDir dir;
    const std::string fixture = std::string(STUDYHOP_FIXTURES) + "/legacy_cut_short_after_100_records.qzb";
    writeBytes("a.qzb", readBytes(fixture));
    for (const int limit : {100, kNoRecordLimit}) {
        const LoadResult loaded = loadLegacyQuestionFile(fs, "a.qzb", limit);
        EXPECT_EQ(loaded.status.kind(), ErrorKind::CutShort) << limit;
        EXPECT_EQ(loaded.status.line(), 101) << limit;
        EXPECT_NE(loaded.status.message().find("101行目"), std::string::npos);
    }
    struct Case {
        const char* name;
        std::string bytes;
        int line;
    } cases[] = {
        {"blank lines after", "q1,a,b,c,d,e,1\r\nq2,a,b\r\n\r\n\r\n", 2},
        {"no line end", "q1,a,b,c,d,e,1\r\nq2,a,b", 2},
        {"comma at the end", "q1,a,b,c,d,e,1\r\nq2,a,\r\n", 2},
        {"record over lines", "q1,a,b,c,d,e,1\r\nq2,a\r\nb,c\r\n", 3},
        {"quoted field over lines", "q1,a,b,c,d,e,1\r\nq2,\"a\r\nb\"\r\n", 3},
        {"quote left open", "q1,a,b,c,d,e,1\r\nq2,\"a\r\nb\r\n", 2},
    };
    for (const Case& c : cases) {
        writeBytes("b.qzb", c.bytes);
        const LoadResult loaded = loadLegacyQuestionFile(fs, "b.qzb");
        EXPECT_EQ(loaded.status.kind(), ErrorKind::CutShort) << c.name;
        EXPECT_EQ(loaded.status.line(), c.line) << c.name;
    }
}

TEST(QuestionFileTest, RecordsPastTheEditorsLimitAreCountedAndACountLineThatDisagreesShows) {
    TestDir dir;
    std::string records;
    for (int i = 0; i < 102; ++i) {
        records += "q,a,b,c,d,e,1\r\n";
    }
    writeBytes("a.qzb", records);
    const LoadResult limited = loadLegacyQuestionFile(fs, "a.qzb", 100);
    ASSERT_TRUE(limited.status.ok());
    EXPECT_EQ(limited.count, 100);
    EXPECT_EQ(limited.recordsBeyondLimit, 2);
    EXPECT_TRUE(limited.table.rows[100][0].isEmpty());
    // A limit above the table's rows is no limit.
    EXPECT_EQ(loadLegacyQuestionFile(fs, "a.qzb", 200).status.kind(), ErrorKind::TooManyRecords);

    struct Case {
        const char* fixture;
        int count;
        int records;
    } cases[] = {
        {"count_line_below_records.qz2", 2, 3},
        {"count_line_above_records.qz2", 5, 2},
    };
    for (const Case& c : cases) {
        writeBytes("c.qz2", readBytes(std::string(STUDYHOP_FIXTURES) + "/" + c.fixture));
        const LoadResult loaded = loadCurrentQuestionFile(fs, "c.qz2");
        ASSERT_TRUE(loaded.status.ok()) << c.fixture;
        EXPECT_EQ(loaded.count, c.count) << c.fixture;
        EXPECT_EQ(loaded.recordsRead, c.records) << c.fixture;
        EXPECT_TRUE(loaded.countLineDisagrees()) << c.fixture;
    }
    writeBytes("d.qz2", "1\r\nq,a,b,c,d,e,1,0,0,x\r\n");
    EXPECT_FALSE(loadCurrentQuestionFile(fs, "d.qz2").countLineDisagrees());
}

// The editor's and the quiz's way: load, then write only over what was loaded.
TEST(QuestionFileTest, WritesCheckTheFileAgainstWhatWasLoaded) {
    TestDir dir;
    writeBytes("a.qz2", "1\r\nq,a,b,c,d,e,1,0,0,x\r\n");
    LoadResult loaded = loadCurrentQuestionFile(fs, "a.qz2");
    ASSERT_TRUE(loaded.status.ok());
    FileStamp now;
    ASSERT_TRUE(fs.stamp("a.qz2", now).ok());
    EXPECT_EQ(loaded.stamp, now);
    EXPECT_FALSE(loadCurrentQuestionFile(fs, "missing.qz2").stamp.exists);

    const std::string text = questionFileText(FileFormat::Current, loaded.table, 1);
    WriteCheck check;
    check.expected = loaded.stamp;
    ASSERT_TRUE(encodeAndReplace(fs, "a.qz2", text, &check).ok());
    check.expected = check.written;
    ASSERT_TRUE(encodeAndReplace(fs, "a.qz2", text, &check).ok());

    writeBytes("a.qz2", "2\r\nq,a,b,c,d,e,1,0,0,x\r\nq,a,b,c,d,e,1,0,0,x\r\n");  // elsewhere
    const std::string theirs = readBytes("a.qz2");
    check.expected = check.written;
    EXPECT_EQ(encodeAndReplace(fs, "a.qz2", text, &check).kind(), ErrorKind::Changed);
    EXPECT_EQ(fs.removeFile("a.qz2", &check).kind(), ErrorKind::Changed);
    EXPECT_EQ(readBytes("a.qz2"), theirs);
    EXPECT_EQ(listDirectory(), "a.qz2");
}

}  // namespace
}  // namespace studyhop

namespace studyhop {
namespace {

// What the loaders make of every question file of the bad-file catalogue,
// for the quiz (all records) and for the editor (at most 100 kept). A new
// fixture without an entry here fails the test.
TEST(QuestionFileTest, EveryCatalogueFileLoadsToItsKnownOutcome) {
    struct Expected {
        const char* name;
        ErrorKind kind;
        bool countLineDisagrees = false;
    };
    const Expected catalogue[] = {
        {"binary_garbage.qz2", ErrorKind::NulByte},
        {"blank_lines_after_records.qzb", ErrorKind::None},
        {"count_line_above_101.qz2", ErrorKind::BadCountLine},
        {"count_line_above_records.qz2", ErrorKind::None, true},
        {"count_line_below_records.qz2", ErrorKind::None, true},
        {"count_line_empty.qz2", ErrorKind::BadCountLine},
        {"count_line_exponent.qz2", ErrorKind::BadCountLine},
        {"count_line_fraction.qz2", ErrorKind::BadCountLine},
        {"count_line_negative.qz2", ErrorKind::BadCountLine},
        {"count_line_text.qz2", ErrorKind::BadCountLine},
        {"count_line_zero.qz2", ErrorKind::None, true},
        {"counter_not_a_number.qz2", ErrorKind::None},
        {"cr_only_line_ends.qz2", ErrorKind::None},
        {"empty_file.qz2", ErrorKind::BadCountLine},
        {"invalid_cp932.qz2", ErrorKind::Encoding},
        {"legacy_cut_short_after_100_records.qzb", ErrorKind::CutShort},
        {"legacy_record_without_line_end.qzb", ErrorKind::None},
        {"lf_only_line_ends.qz2", ErrorKind::None},
        {"lone_lead_byte_at_end.qz2", ErrorKind::Encoding},
        {"nul_bytes.qz2", ErrorKind::NulByte},
        {"nul_bytes.qzb", ErrorKind::NulByte},
        {"only_blank_lines.qz2", ErrorKind::BadCountLine},
        {"only_separators.qz2", ErrorKind::None},
        {"quote_left_open.qz2", ErrorKind::CutShort},
        {"quote_left_open.qzb", ErrorKind::CutShort},
        {"record_cut_short.qz2", ErrorKind::CutShort},
        {"record_cut_short.qzb", ErrorKind::CutShort},
        {"too_many_records.qz2", ErrorKind::TooManyRecords},
        {"too_many_records.qzb", ErrorKind::TooManyRecords},
        {"utf8_valid_as_cp932.qzb", ErrorKind::Utf8},
        {"utf8_with_bom.qz2", ErrorKind::Utf8},
        {"utf8_without_bom.qzb", ErrorKind::Utf8},
    };
    std::set<std::string> listed;
    for (const Expected& e : catalogue) {
        listed.insert(e.name);
        TestDir dir;
        writeBytes(e.name, readBytes(std::string(STUDYHOP_FIXTURES) + "/" + e.name));
        const bool legacy = formatForName(e.name) == FileFormat::Legacy;
        const LoadResult quiz =
            legacy ? loadLegacyQuestionFile(fs, e.name) : loadCurrentQuestionFile(fs, e.name);
        EXPECT_EQ(quiz.status.kind(), e.kind) << e.name;
        if (!quiz.status.ok()) {
            EXPECT_NE(quiz.status.message().find(e.name), std::string::npos) << e.name;
        } else if (!legacy) {
            EXPECT_EQ(quiz.countLineDisagrees(), e.countLineDisagrees) << e.name;
        }
        if (legacy) {
            // The editor's limit hides no fault; only too many records is no fault for it.
            const LoadResult editor = loadLegacyQuestionFile(fs, e.name, 100);
            const ErrorKind kind = e.kind == ErrorKind::TooManyRecords ? ErrorKind::None : e.kind;
            EXPECT_EQ(editor.status.kind(), kind) << e.name;
        }
    }
    for (const auto& entry : std::filesystem::directory_iterator(STUDYHOP_FIXTURES)) {
        if (entry.is_regular_file()) {
            EXPECT_EQ(listed.count(entry.path().filename().string()), 1u)
                << entry.path().filename() << " has no expected outcome";
        }
    }
}

}  // namespace
}  // namespace studyhop
