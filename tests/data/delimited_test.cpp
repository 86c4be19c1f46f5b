#include "data/delimited.h"

#include <gtest/gtest.h>

namespace studyhop {
namespace {

using Rows = std::vector<std::vector<std::string>>;

Rows cellsOf(const DelimitedText& text) {
    Rows rows;
    for (const DelimitedRecord& record : text.records) {
        rows.emplace_back();
        for (const DelimitedCell& cell : record.cells) {
            rows.back().push_back(cell.text);
        }
    }
    return rows;
}

TEST(DelimitedTest, ReadsTheDialectsSpreadsheetsWrite) {
    struct Case {
        const char* what;
        std::string text;
        char separator;
        Rows expected;
    };
    const Case cases[] = {
        {"CR LF", "a,b\r\nc,d\r\n", ',', {{"a", "b"}, {"c", "d"}}},
        {"LF and no line end at the end", "a,b\nc,d", ',', {{"a", "b"}, {"c", "d"}}},
        {"lone CR", "a\rb\r", ',', {{"a"}, {"b"}}},
        {"quoted separator", "\"a,b\",c\r\n", ',', {{"a,b", "c"}}},
        {"doubled quote", "\"say \"\"hi\"\"\",x\r\n", ',', {{"say \"hi\"", "x"}}},
        {"quoted line break", "\"a\r\nb\",c\r\n", ',', {{"a\r\nb", "c"}}},
        {"empty fields", ",,\r\n", ',', {{"", "", ""}}},
        {"separator at the very end", "a,", ',', {{"a", ""}}},
        {"empty quoted field", "\"\",x\r\n", ',', {{"", "x"}}},
        {"blank line is an empty record", "a\r\n\r\nb\r\n", ',', {{"a"}, {""}, {"b"}}},
        {"blanks are kept", " a , b \r\n", ',', {{" a ", " b "}}},
        {"quote inside an unquoted field stays", "a\"b,c\r\n", ',', {{"a\"b", "c"}}},
        {"tabs", "a\tb,c\t\"d\te\"\r\n", '\t', {{"a", "b,c", "d\te"}}},
        {"byte order mark", "\xEF\xBB\xBF\"a\",b\r\n", ',', {{"a", "b"}}},
        {"nothing", "", ',', {}},
    };
    for (const Case& c : cases) {
        const DelimitedText read = readDelimited(c.text, c.separator);
        EXPECT_TRUE(read.ok) << c.what << ": " << read.error;
        EXPECT_EQ(cellsOf(read), c.expected) << c.what;
    }
    EXPECT_TRUE(readDelimited("\xEF\xBB\xBF"
                              "a",
                              ',')
                    .hadBom);
    EXPECT_FALSE(readDelimited("a", ',').hadBom);
}

TEST(DelimitedTest, CellsKnowTheLineOnWhichTheyBegin) {
    const DelimitedText read = readDelimited("a,\"b\r\nc\nd\",e\r\nf\r\n", ',');
    ASSERT_EQ(read.records.size(), 2u);
    EXPECT_EQ(read.records[0].cells[1].line, 1);
    EXPECT_EQ(read.records[0].cells[2].line, 3);
    EXPECT_EQ(read.records[1].line, 4);
}

TEST(DelimitedTest, QuotingFaultsNameLineAndField) {
    struct Case {
        std::string text;
        int line;
        int column;
        size_t recordsKept;
    };
    const Case cases[] = {
        {"a,b\r\nc,\"d\r\ne\r\n", 2, 2, 1},    // quote left open to the end
        {"a,\"b\"x,c\r\n", 1, 2, 0},           // text after the closing quote
        {"a\r\n\"b\r\nc\"  ,d\r\n", 3, 1, 1},  // after a quoted line break
    };
    for (const Case& c : cases) {
        const DelimitedText read = readDelimited(c.text, ',');
        EXPECT_FALSE(read.ok) << c.text;
        EXPECT_EQ(read.errorLine, c.line) << c.text;
        EXPECT_EQ(read.errorColumn, c.column) << c.text;
        EXPECT_EQ(read.records.size(), c.recordsKept) << c.text;
        EXPECT_FALSE(read.error.empty());
    }
}

TEST(DelimitedTest, WrittenRecordsReadBackAsTheSameFields) {
    const std::vector<std::string> fields = {
        "plain", "",       "a,b",       "say \"hi\"", "line\r\nbreak", "lone\rcr",
        " lead", "trail ", "tab\there", "\"",         "日本語",
    };
    for (char separator : {',', '\t'}) {
        const std::string text = delimitedRecord(fields, separator);
        const DelimitedText read = readDelimited(text, separator);
        ASSERT_TRUE(read.ok) << text;
        EXPECT_EQ(cellsOf(read), Rows{fields}) << text;
    }
    EXPECT_EQ(delimitedRecord({"a", "", "b c"}, ','), "a,,b c\r\n");
    EXPECT_EQ(delimitedRecord({"a,b", " 3 "}, ','), "\"a,b\",\" 3 \"\r\n");
    EXPECT_EQ(delimitedRecord({"a,b"}, '\t'), "a,b\r\n");
    EXPECT_EQ(delimitedRecord({"#a", "b#"}, '\t'), "\"#a\"\tb#\r\n") << "not a comment line";
}

}  // namespace
}  // namespace studyhop
