#include "data/field_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "test_dir.h"

namespace studyhop {
namespace {

std::vector<Cell> readAll(std::string_view text) {
    FieldReader reader(text);
    std::vector<Cell> cells;
    while (!reader.atEndOfRecords()) {
        Cell c;
        while (reader.readField(c)) {
            cells.push_back(c);
        }
        break;
    }
    return cells;
}

TEST(FieldReaderTest, FieldsEndAtCommasAndLineEndsAlike) {
    const auto cells = readAll("a,b\r\nc\nd\re");
    ASSERT_EQ(cells.size(), 5u);
    EXPECT_EQ(cells[2], Cell::text("c"));
    EXPECT_EQ(cells[4], Cell::text("e"));
}

TEST(FieldReaderTest, QuotedFieldsAreTextsAndKeepCommas) {
    const auto cells = readAll(R"("1",  "a,b"junk,"")");
    ASSERT_EQ(cells.size(), 3u);
    EXPECT_EQ(cells[0], Cell::text("1"));
    EXPECT_EQ(cells[1], Cell::text("a,b"));
    EXPECT_EQ(cells[2], Cell::text(""));
}

TEST(FieldReaderTest, NumbersBlanksAndEmptyFields) {
    const auto cells = readAll(" 1 , -2,x ,,1e9,");
    ASSERT_EQ(cells.size(), 6u);
    EXPECT_EQ(cells[0], Cell::number(1));
    EXPECT_EQ(cells[1], Cell::number(-2));
    EXPECT_EQ(cells[2], Cell::text("x "));  // blanks after a text are kept
    EXPECT_EQ(cells[3], Cell());
    EXPECT_EQ(cells[4], Cell::text("1e9"));
    EXPECT_EQ(cells[5], Cell());  // a comma before the end promises an empty field
}

TEST(FieldReaderTest, EndOfRecordsSkipsBlankLinesAndCountsLines) {
    FieldReader reader("a\r\n\r\n  \r\n");
    ASSERT_FALSE(reader.atEndOfRecords());
    Cell c;
    ASSERT_TRUE(reader.readField(c));
    EXPECT_TRUE(reader.atEndOfRecords());
    EXPECT_EQ(reader.line(), 4);
    EXPECT_FALSE(reader.readField(c));
}

TEST(FieldReaderTest, UnclosedQuoteIsNoField) {
    FieldReader reader("\"abc\r\ndef");
    Cell c;
    EXPECT_FALSE(reader.readField(c));
}

}  // namespace
}  // namespace studyhop

namespace studyhop {
namespace {

TEST(FieldReaderTest, ReadsCp932BytesAndRefusesBadOrHugeFields) {
    FieldReader reader("\x93\xfa,\"\x96\x7b,\"\r\n\x81\x20,");
    Cell c;
    ASSERT_EQ(reader.read(c), FieldReader::Result::Ok);
    EXPECT_EQ(c, Cell::text("日"));
    ASSERT_EQ(reader.read(c), FieldReader::Result::Ok);
    EXPECT_EQ(c, Cell::text("本,"));
    EXPECT_EQ(reader.read(c), FieldReader::Result::Encoding);
    EXPECT_EQ(reader.line(), 2);

    const std::string huge(kMaxFieldBytes + 1, 'x');
    FieldReader big(huge);
    EXPECT_EQ(big.read(c), FieldReader::Result::TooLong);
    const std::string quoted = "\"" + huge + "\"";
    FieldReader bigQuoted(quoted);
    EXPECT_EQ(bigQuoted.read(c), FieldReader::Result::TooLong);
}

}  // namespace
}  // namespace studyhop

namespace studyhop {
namespace {

// Whether the reader gives back `text` (UTF-8) written unquoted and alone.
bool readerGivesBack(const std::string& text) {
    const std::string bytes = test::sjis(text) + "\r\n";
    FieldReader reader(bytes);
    Cell cell;
    if (!reader.readField(cell) || !reader.atEndOfRecords()) {
        return false;
    }
    const auto value = cell.numericValue();
    const bool negativeZero = cell.isNumber() && *value == 0 && std::signbit(*value);
    return cell.asText() == text && !negativeZero;
}

// Every string of up to four characters from an alphabet that holds every
// character the reader treats specially agrees with the predicate.
TEST(FieldReaderTest, PlainStylePredicateAgreesWithTheReader) {
    const std::string alphabet = "01.+- \ta\",";
    std::vector<std::string> texts = {"", "12345678901234567890", "1e5", "0.1", "-1.5",
                                      "ﾅｼ", "東京 ", std::string(600, '1')};
    std::vector<std::string> level = {""};
    for (int length = 1; length <= 4; ++length) {
        std::vector<std::string> next;
        for (const std::string& prefix : level) {
            for (char c : alphabet) {
                next.push_back(prefix + c);
            }
        }
        texts.insert(texts.end(), next.begin(), next.end());
        level = std::move(next);
    }
    int plain = 0;
    for (const std::string& text : texts) {
        ASSERT_EQ(readsBackPlain(text), readerGivesBack(text)) << "[" << text << "]";
        plain += readsBackPlain(text) ? 1 : 0;
    }
    EXPECT_GT(plain, 1000);  // the property is not vacuous
}

}  // namespace
}  // namespace studyhop
