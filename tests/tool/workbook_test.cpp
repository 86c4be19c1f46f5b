#include "tool/workbook.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <filesystem>
#include <regex>
#include <utility>

#include "data/file_io.h"
#include "test_dir.h"
#include "tool/commands.h"

namespace studyhop::tool {
namespace {

using Parts = std::vector<std::pair<std::string, std::string>>;
using Rows = std::vector<std::vector<std::string>>;

// A zip archive of `parts`, written by minizip as a spreadsheet writes one.
std::string zipOf(const Parts& parts) {
    test::TestDir dir;
    zipFile zip = zipOpen64("book.zip", APPEND_STATUS_CREATE);
    for (const auto& [name, bytes] : parts) {
        zipOpenNewFileInZip64(zip, name.c_str(), nullptr, nullptr, 0, nullptr, 0, nullptr,
                              Z_DEFLATED, Z_BEST_COMPRESSION, 1);
        zipWriteInFileInZip(zip, bytes.data(), static_cast<unsigned>(bytes.size()));
        zipCloseFileInZip(zip);
    }
    zipClose(zip, nullptr);
    return test::readBytes("book.zip");
}

const std::string kWorkbook =
    "<workbook xmlns:r=\"rel\"><sheets><sheet name=\"x\" r:id=\"rId2\"/>"
    "<sheet name=\"y\" r:id=\"rId1\"/></sheets></workbook>";
const std::string kRelationships =
    "<Relationships><Relationship Id=\"rId1\" Target=\"worksheets/sheet1.xml\"/>"
    "<Relationship Id=\"rId2\" Target=\"/xl/worksheets/first.xml\"/></Relationships>";
// Style 1 shows a date (built-in 14), style 2 a time by its own code, style 3 a text.
const std::string kStyles =
    "<styleSheet><numFmts><numFmt numFmtId=\"164\" formatCode=\"h:mm\"/></numFmts>"
    "<cellStyleXfs><xf numFmtId=\"14\"/></cellStyleXfs><cellXfs><xf numFmtId=\"0\"/>"
    "<xf numFmtId=\"14\"/><xf numFmtId=\"164\"/><xf numFmtId=\"49\"/></cellXfs></styleSheet>";
const std::string kStrings =
    "<sst><si><t>問題</t></si><si><r><t>髙</t></r><r><t xml:space=\"preserve\"> 橋</t></r>"
    "<rPh sb=\"0\" eb=\"1\"><t>タカ</t></rPh></si><si><t>007</t></si></sst>";

std::string book(const std::string& sheetData, std::string styles = kStyles) {
    return zipOf({{"xl/workbook.xml", kWorkbook},
                  {"xl/_rels/workbook.xml.rels", kRelationships},
                  {"xl/sharedStrings.xml", kStrings},
                  {"xl/styles.xml", std::move(styles)},
                  {"xl/worksheets/first.xml", "<worksheet><sheetData>" + sheetData +
                                                  "</sheetData></worksheet>"}});
}

Rows cellsOf(const WorkbookRead& read) {
    Rows rows;
    for (const DelimitedRecord& record : read.sheet.records) {
        rows.emplace_back();
        for (const DelimitedCell& cell : record.cells) {
            rows.back().push_back(cell.text);
        }
    }
    return rows;
}

// What the reader refuses: the whole book, or a cell it cannot take.
std::vector<SheetFault> faultsOf(const WorkbookRead& read) {
    std::vector<SheetFault> all = read.faults;
    all.insert(all.end(), read.cellFaults.begin(), read.cellFaults.end());
    return all;
}

TEST(WorkbookTest, FirstSheetReadsAsTheSpreadsheetShowsIt) {
    if (!workbooksSupported()) {
        GTEST_SKIP() << "built without the workbook libraries";
    }
    struct Case {
        const char* what;
        std::string sheetData;
        Rows expected;
    };
    const Case cases[] = {
        {"shared strings without their readings",
         "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"C1\" t=\"s\"><v>1</v></c></row>",
         {{"問題", "", "髙 橋"}}},
        {"inline strings, formula texts, booleans",
         "<row r=\"2\"><c r=\"A2\" t=\"inlineStr\"><is><t>1/2</t></is></c>"
         "<c r=\"B2\" t=\"str\"><f>A1</f><v>x</v></c><c r=\"C2\" t=\"b\"><v>1</v></c></row>",
         {{""}, {"1/2", "x", "TRUE"}}},
        {"numbers as General shows them",
         "<row r=\"1\"><c r=\"A1\"><v>1.5</v></c><c r=\"B1\"><v>0.30000000000000004</v></c>"
         "<c r=\"C1\"><v>7</v></c><c r=\"D1\"><v>1E+20</v></c><c r=\"E1\" s=\"3\"><v>-0.25</v>"
         "</c></row>",
         {{"1.5", "0.3", "7", "1E+20", "-0.25"}}},
        {"an error value comes as its text",
         "<row r=\"1\"><c r=\"A1\" t=\"e\"><v>#N/A</v></c></row>", {{"#N/A"}}},
        {"cells without references follow each other",
         "<row><c t=\"s\"><v>2</v></c><c><v>2</v></c></row>", {{"007", "2"}}},
    };
    for (const Case& c : cases) {
        const WorkbookRead read = readWorkbook(book(c.sheetData));
        EXPECT_TRUE(read.faults.empty()) << c.what << ": " << read.faults[0].message;
        EXPECT_EQ(cellsOf(read), c.expected) << c.what;
    }
}

// OpenDocument: repeated rows and cells are spelled out, a comment is not
// the cell's text, and a date is refused with its cell.
TEST(WorkbookTest, OpenDocumentSheetsReadTheirFirstTable) {
    if (!workbooksSupported()) {
        GTEST_SKIP() << "built without the workbook libraries";
    }
    const auto ods = [](const std::string& rows) {
        return zipOf({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                      {"content.xml", "<d xmlns:t=\"t\" xmlns:x=\"x\"><t:table>" + rows +
                                          "</t:table><t:table><t:table-row><t:table-cell>"
                                          "<x:p>second</x:p></t:table-cell></t:table-row>"
                                          "</t:table></d>"}});
    };
    const WorkbookRead read = readWorkbook(ods(
        "<t:table-row t:number-rows-repeated=\"2\"><t:table-cell t:number-columns-repeated=\"2\">"
        "<x:p>a<x:s x:c=\"2\"/>b</x:p><x:annotation><x:p>note</x:p></x:annotation></t:table-cell>"
        "<t:table-cell t:value-type=\"float\" t:value=\"0.1000000000000000055\"><x:p>0.1</x:p>"
        "</t:table-cell><t:table-cell t:value-type=\"boolean\" t:boolean-value=\"true\"/>"
        "</t:table-row><t:table-row t:number-rows-repeated=\"1048570\"/>"));
    EXPECT_TRUE(read.faults.empty()) << read.faults[0].message;
    ASSERT_EQ(read.sheet.records.size(), 2u) << "the empty rows below are not spelled out";
    EXPECT_EQ(cellsOf(read), (Rows{{"a  b", "a  b", "0.1", "TRUE"}, {"a  b", "a  b", "0.1", "TRUE"}}));
    const WorkbookRead date = readWorkbook(
        ods("<t:table-row/><t:table-row><t:table-cell/><t:table-cell t:value-type=\"date\" "
            "t:date-value=\"2024-01-02\"/></t:table-row>"));
    ASSERT_EQ(faultsOf(date).size(), 1u);
    EXPECT_NE(faultsOf(date)[0].message.find("セルB2は日付か時刻"), std::string::npos);
}

TEST(WorkbookTest, DatesBrokenBooksAndBombsAreRefusedWithTheirCell) {
    if (!workbooksSupported()) {
        GTEST_SKIP() << "built without the workbook libraries";
    }
    WorkbookLimits small;
    small.partBytes = 64 * 1024;
    small.entries = 8;
    small.cells = 3;
    small.strings = 3;
    struct Case {
        const char* what;
        std::string bytes;
        int row;
        int column;
        const char* message;
    };
    Parts many;
    for (int i = 0; i < 9; ++i) {
        many.push_back({"part" + std::to_string(i), "x"});
    }
    const Case cases[] = {
        {"a date", book("<row r=\"3\"><c r=\"B3\" s=\"1\"><v>45000</v></c></row>"), 3, 2,
         "セルB3は日付か時刻"},
        {"a time by its own code", book("<row r=\"1\"><c r=\"D1\" s=\"2\"><v>0.125</v></c></row>"),
         1, 4, "セルD1は日付か時刻"},
        {"an ISO date cell", book("<row r=\"2\"><c r=\"A2\" t=\"d\"><v>2024-01-02</v></c></row>"),
         2, 1, "セルA2は日付（2024-01-02）"},
        {"a missing shared string", book("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>9</v></c></row>"),
         1, 1, "セルA1の文字列が見つかりません"},
        {"a cell far out", book("<row r=\"70000\"><c r=\"A70000\"><v>1</v></c></row>"), 70000, 1,
         "大きすぎます"},
        {"not a zip", "PK\x03\x04 but nothing else", 1, 0, "xlsx（Excelブック）として読めません"},
        {"a zip bomb", book("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>" +
                            std::string(100 * 1024, ' ')),
         1, 0, "展開すると大きすぎます"},
        {"too many entries", zipOf(many), 1, 0, "ファイルが多すぎます"},
        {"too many cells", book("<row r=\"1\"><c><v>1</v></c><c><v>2</v></c></row><row r=\"2\">"
                                "<c><v>3</v></c><c><v>4</v></c></row>"),
         2, 2, "3個を超えていて"},
        {"a document type", book("", "<!DOCTYPE a [<!ENTITY e \"x\">]><styleSheet/>"), 1, 0,
         "xl/styles.xml が読めません"},
    };
    for (const Case& c : cases) {
        const std::vector<SheetFault> faults = faultsOf(readWorkbook(c.bytes, small));
        ASSERT_EQ(faults.size(), 1u) << c.what;
        EXPECT_EQ(faults[0].line, c.row) << c.what;
        EXPECT_EQ(faults[0].column, c.column) << c.what;
        EXPECT_NE(faults[0].message.find(c.message), std::string::npos)
            << c.what << ": " << faults[0].message;
    }
    small.strings = 2;
    const WorkbookRead read = readWorkbook(book(""), small);
    ASSERT_EQ(read.faults.size(), 1u);
    EXPECT_NE(read.faults[0].message.find("文字列が多すぎます"), std::string::npos);
}

// A workbook that LibreOffice Calc 7.4 saved from an exported one, and one
// typed there: every text comes back as it was, a number typed into a cell
// as the cell shows it.
TEST(WorkbookTest, BooksSavedByLibreOfficeImport) {
    if (!workbooksSupported()) {
        GTEST_SKIP() << "built without the workbook libraries";
    }
    const std::string sheets = std::string(STUDYHOP_FIXTURES) + "/sheets/";
    struct Case {
        const char* book;
        const char* expected;
    };
    const Case cases[] = {
        {"calc_resaved_export.xlsx", "calc_resaved_export.qz2"},
        {"calc_typed.xlsx", "calc_typed.qz2"},
        {"calc_resaved_export.ods", "calc_resaved_export.qz2"},
        {"calc_typed.ods", "calc_typed.qz2"},
    };
    for (const Case& c : cases) {
        test::TestDir dir;
        FileSystem disk;
        Output output;
        ASSERT_EQ(runImport(disk, {sheets + c.book, "out.qz2", false, false}, output), kExitOk)
            << c.book << output.err;
        EXPECT_EQ(test::readBytes("out.qz2"), test::readBytes(sheets + c.expected)) << c.book;
    }
}

// A date in a teacher's 解説 column blocked the whole import. A cell the
// import leaves out (a column the header does not name, or names as nothing
// it reads) never stops it; the same cell where it is read still does.
TEST(WorkbookTest, CellsInColumnsTheImportLeavesOutNeverBlockIt) {
    if (!workbooksSupported()) {
        GTEST_SKIP() << "built without the workbook libraries";
    }
    const std::string sheets = std::string(STUDYHOP_FIXTURES) + "/sheets/";
    const std::string header =
        "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"inlineStr\"><is><t>回答1"
        "</t></is></c><c r=\"C1\" t=\"inlineStr\"><is><t>正解番号</t></is></c></row>";
    const auto row2 = [](const std::string& b2) {
        return "<row r=\"2\"><c r=\"A2\" t=\"inlineStr\"><is><t>q</t></is></c>" + b2 +
               "<c r=\"C2\"><v>1</v></c><c r=\"D2\" s=\"1\"><v>45383</v></c></row>";
    };
    struct Case {
        const char* what;
        std::string name;
        std::string bytes;
        std::string result;  // the question file's text, or the fault
    };
    const std::string two =
        "2\r\n日本の首都は？,東京,大阪,ﾅｼ,ﾅｼ,ﾅｼ,1,0,0,ﾅｼ\r\n"
        "水の化学式は？,H2O,CO2,ﾅｼ,ﾅｼ,ﾅｼ,1,0,0,ﾅｼ\r\n";
    const std::string notes =
        "問題,回答1,回答2,正解番号,解説,\r\n日本の首都は？,東京,大阪,1,2024/04/01,10:30\r\n"
        "水の化学式は？,H2O,CO2,1,教科書 12ページ,\r\n";
    const std::string tsv = std::regex_replace(notes, std::regex(","), "\t");
    const Case cases[] = {
        {"Calc's xlsx, a date and a time beside the table", "in.xlsx",
         test::readBytes(sheets + "calc_date_in_notes.xlsx"), two},
        {"Calc's ods, the same", "in.ods", test::readBytes(sheets + "calc_date_in_notes.ods"), two},
        {"CSV, the same as Calc saves it", "in.csv", notes, two},
        {"TSV, the same", "in.tsv", tsv, two},
        {"a date in a column without a header", "in.xlsx",
         book(header + row2("<c r=\"B2\" t=\"inlineStr\"><is><t>a</t></is></c>")),
         "1\r\nq,a,ﾅｼ,ﾅｼ,ﾅｼ,ﾅｼ,1,0,0,ﾅｼ\r\n"},
        {"a date where a choice is read", "in.xlsx",
         book(header + row2("<c r=\"B2\" s=\"1\"><v>45000</v></c>")),
         "in.xlsx:2:2: セルB2は日付か時刻"},
        {"a date where the question is read, in a row of its own", "in.xlsx",
         book(header + "<row r=\"3\"><c r=\"A3\" t=\"d\"><v>2024-01-02</v></c></row>"),
         "in.xlsx:3:1: セルA3は日付（2024-01-02）"},
    };
    for (const Case& c : cases) {
        test::TestDir dir;
        test::writeBytes(c.name, c.bytes);
        FileSystem disk;
        Output output;
        const int status = runImport(disk, {c.name, "out.qz2", false, false}, output);
        if (c.result.starts_with("in.")) {
            EXPECT_EQ(status, kExitFault) << c.what;
            EXPECT_NE(output.err.find(c.result), std::string::npos) << c.what << "\n" << output.err;
            EXPECT_FALSE(test::fileExists("out.qz2")) << c.what;
        } else {
            ASSERT_EQ(status, kExitOk) << c.what << "\n" << output.err;
            EXPECT_EQ(test::readBytes("out.qz2"), test::sjis(c.result)) << c.what;
        }
    }
}

}  // namespace
}  // namespace studyhop::tool
