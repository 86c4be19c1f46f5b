#include "data/question_file.h"

#include <gtest/gtest.h>

#include "data/file_io.h"
#include "test_dir.h"

namespace studyhop {
namespace {

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

std::string record(const std::string& tail) {
    return kQ + "," + kTokyo + "," + kOsaka + "," + kKyoto + "," + kNashi + "," + kNashi + tail;
}

TEST(QuestionFileTest, EditorSaveOfANewQuestionIsByteExact) {
    TestDir dir;
    QuestionTable table;
    table.rows[0] = editorRow("日本の首都は？", "1");
    ASSERT_TRUE(saveQuestionFile("a.qz2", FileFormat::Current, table, 1).ok());
    EXPECT_EQ(readBytes("a.qz2"), "1\r\n" + record(",1,0,0," + kNashi + "\r\n"));
}

TEST(QuestionFileTest, StatisticsWriteBackPutsBlanksAroundEveryNumber) {
    TestDir dir;
    writeBytes("a.qz2", "1\r\n" + record(",1,0,0," + kNashi + "\r\n"));
    LoadResult loaded = loadCurrentQuestionFile("a.qz2");
    ASSERT_TRUE(loaded.status.ok()) << loaded.status.message();
    EXPECT_EQ(loaded.table.rows[0][kCorrectNumber], Cell::number(1));
    ASSERT_TRUE(loaded.table.rows[0][kTimesAsked].addOne());
    ASSERT_TRUE(loaded.table.rows[0][kTimesCorrect].addOne());
    ASSERT_TRUE(writeBackStatistics("a.qz2", loaded.table, loaded.count, loaded.recordsRead).ok());
    EXPECT_EQ(readBytes("a.qz2"), "1\r\n" + record(", 1 , 1 , 1 ," + kNashi + "\r\n"));
}

TEST(QuestionFileTest, LegacyRewriteQuotesOnlyTheFirstRecord) {
    TestDir dir;
    const std::string second = record(", 2 \r\n");
    writeBytes("a.qzb", record(",1\r\n") + second);
    LoadResult loaded = loadLegacyQuestionFile("a.qzb", kEditorLegacyLimit);
    ASSERT_TRUE(loaded.status.ok());
    ASSERT_EQ(loaded.count, 2);
    EXPECT_TRUE(loaded.table.rows[0][kTimesAsked].isEmpty());
    QuestionTable table = loaded.table;
    table.rows[0] = editorRow("日本の首都は？", "1");  // what the editor stores: all texts
    ASSERT_TRUE(saveQuestionFile("a.qzb", FileFormat::Legacy, table, 2).ok());
    const std::string q = "\"";
    EXPECT_EQ(readBytes("a.qzb"), q + kQ + q + "," + q + kTokyo + q + "," + q + kOsaka + q + "," +
                                      q + kKyoto + q + "," + q + kNashi + q + "," + q + kNashi + q +
                                      ",\"1\"\r\n" + second);
}

TEST(QuestionFileTest, QuotedOneStaysTextUnquotedOneBecomesANumber) {
    TestDir dir;
    writeBytes("a.qzb", "\"q\",\"a\",\"b\",\"c\",\"d\",\"e\",\"1\"\r\nq,a,b,c,d,e,1\r\n");
    LoadResult loaded = loadLegacyQuestionFile("a.qzb");
    ASSERT_TRUE(loaded.status.ok());
    EXPECT_EQ(loaded.table.rows[0][kCorrectNumber], Cell::text("1"));
    EXPECT_EQ(loaded.table.rows[1][kCorrectNumber], Cell::number(1));
    ASSERT_TRUE(saveQuestionFile("a.qzb", FileFormat::Legacy, loaded.table, 2).ok());
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
    LoadResult loaded = loadCurrentQuestionFile("a.qz2");
    ASSERT_TRUE(loaded.status.ok());
    EXPECT_EQ(loaded.count, 3);
    EXPECT_EQ(loaded.recordsRead, 4);
    writeBytes("b.qz2", "5\r\nq,a,b,c,d,e,1,0,0,x\r\n");
    loaded = loadCurrentQuestionFile("b.qz2");
    ASSERT_TRUE(loaded.status.ok());
    EXPECT_EQ(loaded.count, 5);
    EXPECT_TRUE(loaded.table.rows[1][0].isEmpty());
}

TEST(QuestionFileTest, RecordsMaySpanLinesAndBlankLinesEndTheFile) {
    TestDir dir;
    writeBytes("a.qz2", "1\r\nq,a,b\r\nc,d,e\r\n1,0,0,x\r\n\r\n  \r\n\r\n");
    LoadResult loaded = loadCurrentQuestionFile("a.qz2");
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
    LoadResult editor = loadLegacyQuestionFile("a.qzb", kEditorLegacyLimit);
    EXPECT_TRUE(editor.status.ok());
    EXPECT_EQ(editor.count, 100);
    LoadResult quiz = loadLegacyQuestionFile("a.qzb");
    EXPECT_TRUE(quiz.status.ok());
    EXPECT_EQ(quiz.count, 101);
    EXPECT_EQ(quiz.table.rows[100][0], Cell::text("q100"));

    writeBytes("b.qzb", records + "q101,a,b,c,d,e,1\r\n");
    LoadResult tooMany = loadLegacyQuestionFile("b.qzb");
    EXPECT_EQ(tooMany.status.kind(), ErrorKind::TooManyRecords);
    EXPECT_EQ(tooMany.status.line(), 102);
    EXPECT_EQ(tooMany.recordsRead, 101);
    EXPECT_EQ(loadLegacyQuestionFile("b.qzb", kEditorLegacyLimit).count, 100);
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
        {"cut short", "2\r\nq,a,b,c,d,e,1,0,0,x\r\nq,a,b\r\n", ErrorKind::CutShort, 4},
        {"quote left open", "1\r\n\"q,a,b,c,d,e,1,0,0,x\r\n", ErrorKind::CutShort, 2},
        {"invalid cp932", "1\r\nq,\x81\x20,b,c,d,e,1,0,0,x\r\n", ErrorKind::Encoding, 2},
        {"lone lead byte", "1\r\nq,a,b,c,d,e,1,0,0,\x81", ErrorKind::Encoding, 2},
        {"nul byte", std::string("1\r\n\r\nq\0,a", 9), ErrorKind::NulByte, 3},
    };
    for (const Case& c : cases) {
        TestDir dir;
        writeBytes("bad.qz2", c.bytes);
        const LoadResult loaded = loadCurrentQuestionFile("bad.qz2");
        EXPECT_EQ(loaded.status.kind(), c.kind) << c.name;
        EXPECT_EQ(loaded.status.line(), c.line) << c.name;
        EXPECT_EQ(loaded.status.file(), "bad.qz2") << c.name;
        EXPECT_FALSE(loaded.status.message().empty()) << c.name;
    }
    TestDir dir;
    EXPECT_EQ(loadCurrentQuestionFile("missing.qz2").status.kind(), ErrorKind::NotFound);
    EXPECT_EQ(loadLegacyQuestionFile("missing.qzb").status.kind(), ErrorKind::NotFound);
}

TEST(QuestionFileTest, CutShortKeepsTheRowsReadBefore) {
    TestDir dir;
    writeBytes("a.qzb", "q1,a,b,c,d,e,1\r\nq2,a,b\r\n");
    const LoadResult loaded = loadLegacyQuestionFile("a.qzb");
    EXPECT_EQ(loaded.status.kind(), ErrorKind::CutShort);
    EXPECT_EQ(loaded.recordsRead, 1);
    EXPECT_EQ(loaded.table.rows[0][0], Cell::text("q1"));
}

TEST(QuestionFileTest, FormatFollowsTheExactExtension) {
    EXPECT_EQ(formatForName("x.qzb"), FileFormat::Legacy);
    EXPECT_EQ(formatForName("x.QZB"), FileFormat::Current);
    EXPECT_EQ(formatForName("x.qz2"), FileFormat::Current);
    EXPECT_EQ(formatForName("qzb"), FileFormat::Legacy);
}

TEST(QuestionFileTest, AppendAddsOneRecordAndKeepsTheOldBytes) {
    TestDir dir;
    const std::string old = "\"q\",\"a\",\"b\",\"c\",\"d\",\"e\",\"1\"\r\nq2,a,b,c,d,e, 2 \r\n";
    writeBytes("a.qzb", old);
    QuestionTable table;
    table.rows[2] = editorRow("日本の首都は？", "1");
    ASSERT_TRUE(appendQuestionRecord("a.qzb", table, 2).ok());
    EXPECT_EQ(readBytes("a.qzb"), old + record(",1\r\n"));

    writeBytes("b.qzb", "q,a,b,c,d,e,1");  // no line end after the last record
    ASSERT_TRUE(appendQuestionRecord("b.qzb", table, 2).ok());
    EXPECT_EQ(readBytes("b.qzb"), "q,a,b,c,d,e,1\r\n" + record(",1\r\n"));
    EXPECT_EQ(loadLegacyQuestionFile("b.qzb").count, 2);

    ASSERT_TRUE(appendQuestionRecord("new.qzb", table, 2).ok());
    EXPECT_EQ(readBytes("new.qzb"), record(",1\r\n"));
}

TEST(QuestionFileTest, UnencodableTextOrFailedWriteLeavesTheFileUnchanged) {
    TestDir dir;
    const std::string old = "1\r\n" + record(",1,0,0," + kNashi + "\r\n");
    writeBytes("a.qz2", old);
    QuestionTable table;
    table.rows[0] = editorRow("絵文字😀", "1");
    const Status s = saveQuestionFile("a.qz2", FileFormat::Current, table, 1);
    EXPECT_EQ(s.kind(), ErrorKind::Encoding);
    EXPECT_NE(s.message().find("😀"), std::string::npos);
    EXPECT_EQ(appendQuestionRecord("a.qz2", table, 0).kind(), ErrorKind::Encoding);
    EXPECT_EQ(readBytes("a.qz2"), old);

    table.rows[0] = editorRow("q", "1");
    setFaultHook([](FileOp op) { return op == FileOp::Rename ? EIO : 0; });
    EXPECT_EQ(saveQuestionFile("a.qz2", FileFormat::Current, table, 1).kind(), ErrorKind::Io);
    EXPECT_EQ(appendQuestionRecord("a.qz2", table, 0).kind(), ErrorKind::Io);
    EXPECT_EQ(writeBackStatistics("a.qz2", table, 1, 1).kind(), ErrorKind::Io);
    setFaultHook(nullptr);
    EXPECT_EQ(readBytes("a.qz2"), old);
    EXPECT_EQ(listDirectory(), "a.qz2");
}

TEST(QuestionFileTest, AppendNeverReplacesAFileItCannotRead) {
    TestDir dir;
    writeBytes("big.qzb", "");
    ASSERT_EQ(::truncate("big.qzb", kMaxFileBytes + 1), 0);
    QuestionTable table;
    EXPECT_EQ(appendQuestionRecord("big.qzb", table, 0).kind(), ErrorKind::TooLarge);
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
    ASSERT_TRUE(saveQuestionFile("a.qz2", FileFormat::Current, table, kRows).ok());
    const LoadResult loaded = loadCurrentQuestionFile("a.qz2");
    ASSERT_TRUE(loaded.status.ok()) << loaded.status.message();
    EXPECT_EQ(loaded.count, kRows);
    EXPECT_EQ(loaded.table.rows[100][kQuestionText], Cell::text("問100 ～ ①"));
    EXPECT_EQ(loaded.table.rows[100][kTimesAsked], Cell::number(100));
    const std::string first = readBytes("a.qz2");
    ASSERT_TRUE(saveQuestionFile("a.qz2", FileFormat::Current, loaded.table, loaded.count).ok());
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
        {"numbers as texts", FileFormat::Current, "1\r\n2024,1.50,-3 ,007,a,b,1,0,0,x\r\n"},
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

TEST(QuestionFileTest, Utf8TextIsRefusedAndTheMessageNamesTheImport) {
    for (const FileFormat format : {FileFormat::Current, FileFormat::Legacy}) {
        const std::string utf8 = "1\r\n日本の首都は？,東京,大阪,京都,ﾅｼ,ﾅｼ,1,0,0,ﾅｼ\r\n";
        const LoadResult loaded = format == FileFormat::Current
                                      ? parseCurrentQuestionFile("u.qz2", utf8)
                                      : parseLegacyQuestionFile("u.qzb", utf8);
        EXPECT_EQ(loaded.status.kind(), ErrorKind::Encoding);
        EXPECT_NE(loaded.status.message().find("studyhop-tool import"), std::string::npos);
        EXPECT_NE(loaded.status.message().find("UTF-8"), std::string::npos);
    }
}

}  // namespace
}  // namespace studyhop
