#include "data/field_reader.h"

#include <gtest/gtest.h>

#include <vector>

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
