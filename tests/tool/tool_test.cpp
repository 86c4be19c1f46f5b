#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "data/cp932.h"
#include "data/file_io.h"
#include "data/question_file.h"
#include "data/text_encoding.h"
#include "faulty_file_system.h"
#include "test_dir.h"
#include "tool/check.h"
#include "tool/commands.h"
#include "tool/interruption.h"
#include "tool/question_sheet.h"
#include "tool/workbook.h"

namespace studyhop::tool {
namespace {

namespace fs = std::filesystem;
// The tool's files, relative to the test's working directory.
FileSystem disk;
using test::readBytes;
using test::sjis;
using test::TestDir;
using test::writeBytes;

const std::string kFixtures = STUDYHOP_FIXTURES;

std::string fixture(const std::string& name) {
    return kFixtures + "/" + name;
}

int importFile(const std::string& in, const std::string& out, Output& output, bool force = false,
               bool split = false) {
    return runImport(disk, {in, out, force, split}, output);
}

int exportFile(const std::string& in, const std::string& out, ExportFormat format, Output& output) {
    return runExport(disk, {in, out, format, false}, output);
}

// A current file as the quiz leaves it: every number with blanks around it.
void writeQuizFile(const std::string& name) {
    QuestionTable table;
    for (int r = 0; r < 3; ++r) {
        QuestionRow& row = table.rows[r];
        row[kQuestionText] = Cell::text("問" + std::to_string(r) + "　全角空白 〜");
        for (int k = 1; k <= 5; ++k) {
            row[k] = Cell::text(k <= 3 ? "答" + std::to_string(k) : kNoChoice);
        }
        row[kCorrectNumber] = Cell::number(r % 3 + 1);
        row[kTimesAsked] = Cell::text("0");
        row[kTimesCorrect] = Cell::text("0");
        for (int n = 0; n <= r; ++n) {
            row[kTimesAsked].addOne();
        }
        row[kTimesCorrect].addOne();
        row[kReserved] = Cell::text(kNoChoice);
    }
    table.rows[2][kReserved] = Cell::text("メモ");
    table.rows[2][kQuestionText] = Cell::number(2024);
    ASSERT_TRUE(encodeAndReplace(disk, name, questionFileText(FileFormat::Current, table, 3)).ok());
}

TEST(ToolTest, ExportThenImportGivesBackTheFileBytes) {
    TestDir dir;
    test::copyFile(std::string(STUDYHOP_EXAMPLES) + "/一般常識.qz2", "general.qz2");
    test::copyFile(std::string(STUDYHOP_EXAMPLES) + "/日本の地理.qzb", "geography.qzb");
    writeQuizFile("quiz.qz2");
    struct Case {
        const char* file;
        ExportFormat format;
        const char* sheet;
        const char* back;
    };
    const Case cases[] = {
        {"general.qz2", ExportFormat::Csv, "general.csv", "general-back.qz2"},
        {"general.qz2", ExportFormat::Tsv, "general.tsv", "general-back2.qz2"},
        {"geography.qzb", ExportFormat::Csv, "geography.csv", "geography-back.qzb"},
        {"quiz.qz2", ExportFormat::Csv, "quiz.csv", "quiz-back.qz2"},
        {"quiz.qz2", ExportFormat::Tsv, "quiz.tsv", "quiz-back2.qz2"},
        {"general.qz2", ExportFormat::Xlsx, "general.xlsx", "general-back3.qz2"},
        {"geography.qzb", ExportFormat::Xlsx, "geography.xlsx", "geography-back3.qzb"},
        {"quiz.qz2", ExportFormat::Xlsx, "quiz.xlsx", "quiz-back3.qz2"},
    };
    for (const Case& c : cases) {
        Output output;
        if (c.format == ExportFormat::Xlsx && !workbooksSupported()) {
            continue;
        }
        ASSERT_EQ(exportFile(c.file, c.sheet, c.format, output), kExitOk) << output.err;
        ASSERT_EQ(importFile(c.sheet, c.back, output), kExitOk) << output.err;
        EXPECT_TRUE(readBytes(c.back) == readBytes(c.file)) << c.file << " via " << c.sheet;
    }
    // The sheet opens as UTF-8 in a spreadsheet, and a counted number keeps its blanks.
    const std::string csv = readBytes("quiz.csv");
    EXPECT_TRUE(
        csv.starts_with("\xEF\xBB\xBF問題,回答1,回答2,回答3,回答4,回答5,正解番号,出題回数,"
                        "正解回数,予備\r\n"));
    // CP932 holds the wave dash as Windows reads it back: U+FF5E.
    EXPECT_NE(csv.find("\r\n問0　全角空白 ～,答1,答2,答3,,,\" 1 \",\" 1 \",\" 1 \",ﾅｼ\r\n"),
              std::string::npos);
    EXPECT_TRUE(
        readBytes("general.csv")
            .starts_with(
                "\xEF\xBB\xBF問題,回答1,回答2,回答3,回答4,回答5,正解番号,出題回数,正解回数\r\n"));
}

TEST(ToolTest, SpreadsheetDialectsImportAsTheEditorWouldSave) {
    TestDir dir;
    const std::string tokyo = "日本の首都は？,東京,大阪,京都,ﾅｼ,ﾅｼ,1,0,0,ﾅｼ\r\n";
    const std::string water = "水の化学式は？,H2O,CO2,ﾅｼ,ﾅｼ,ﾅｼ,1,0,0,ﾅｼ\r\n";
    struct Case {
        const char* sheet;
        std::string expected;
    };
    const Case cases[] = {
        {"excel_utf8_bom_crlf.csv", "3\r\n" + tokyo + "水の化学式は？,a,b,ﾅｼ,ﾅｼ,ﾅｼ,2,0,0,ﾅｼ\r\n" +
                                        "富士山の高さは？,3776m,3000m,ﾅｼ,ﾅｼ,ﾅｼ,1,0,0,ﾅｼ\r\n"},
        {"calc_quoted_lf.csv", "2\r\n" + tokyo + water},
        {"tab_separated.tsv", "2\r\n" + tokyo + water},
        {"excel_shift_jis.csv", "1\r\n" + tokyo},
    };
    for (const Case& c : cases) {
        Output output;
        const std::string out = std::string(c.sheet) + ".qz2";
        ASSERT_EQ(importFile(fixture("sheets/") + c.sheet, out, output), kExitOk)
            << c.sheet << output.err;
        EXPECT_EQ(readBytes(out), sjis(c.expected)) << c.sheet;
    }
}

// Texts that the plain style would turn into numbers or trim are written
// quoted, so they come back exactly as they stand in the sheet.
TEST(ToolTest, NumberLikeAndBlankEdgedTextsImportAndReadBackExactly) {
    TestDir dir;
    writeBytes("in.csv", " q,007,1.50,+3,b ,,1\r\n");
    Output output;
    ASSERT_EQ(importFile("in.csv", "out.qz2", output), kExitOk) << output.err;
    EXPECT_EQ(readBytes("out.qz2"), "1\r\n\" q\",\"007\",\"1.50\",\"+3\",b ," + sjis("ﾅｼ,1,0,0,ﾅｼ") + "\r\n");
    const LoadResult loaded = loadCurrentQuestionFile(disk, "out.qz2");
    ASSERT_TRUE(loaded.status.ok());
    const char* texts[] = {" q", "007", "1.50", "+3", "b "};
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(loaded.table.rows[0][c].asText(), texts[c]) << c;
        EXPECT_FALSE(loaded.table.rows[0][c].isNumber()) << c;
    }
}

// A spreadsheet opening the CSV would change these texts: the export names
// each cell and points to xlsx, which keeps them.
TEST(ToolTest, CsvExportNamesTheCellsASpreadsheetWouldChange) {
    TestDir dir;
    writeBytes("in.csv", "q,a,b,,,,1\r\n007,1.50,1/2,2-3,3:00,(1),1\r\n"
                         "１，０００,1e3,+5,=A1,-3,2024年,1\r\n");
    Output output;
    ASSERT_EQ(importFile("in.csv", "in.qz2", output), kExitOk) << output.err;
    output = {};
    ASSERT_EQ(exportFile("in.qz2", "out.csv", ExportFormat::Csv, output), kExitOk);
    EXPECT_EQ(output.err,
              "out.csv: 注意: 表計算ソフトでこのCSVを開くと、数値・日付・式として読まれて書き換わる"
              "セルがあります: A3「007」、B3「1.50」、C3「1/2」、D3「2-3」、E3「3:00」、F3「(1)」、"
              "A4「１，０００」、B4「1e3」、C4「+5」、D4「=A1」。表計算ソフトで編集するときは "
              "--format xlsx で書き出してください\n");
    output = {};
    ASSERT_EQ(exportFile("in.qz2", "out.tsv", ExportFormat::Tsv, output), kExitOk);
    writeBytes("plain.csv", "q,a,b,,,,1\r\n");
    ASSERT_EQ(importFile("plain.csv", "plain.qz2", output), kExitOk);
    ASSERT_EQ(exportFile("plain.qz2", "plain-out.csv", ExportFormat::Csv, output), kExitOk);
    EXPECT_EQ(output.err, "") << "no warning where nothing changes";
}

TEST(ToolTest, QuestionFileSavedAsUtf8ImportsToItsShiftJisBytes) {
    TestDir dir;
    const std::string original = readBytes(std::string(STUDYHOP_EXAMPLES) + "/一般常識.qz2");
    const Conversion text = decodeCp932(original);
    ASSERT_TRUE(text.ok);
    writeBytes("utf8.qz2", text.text);
    Output output;
    EXPECT_EQ(importFile("utf8.qz2", "", output), kExitFault) << "the input itself is not replaced";
    EXPECT_EQ(importFile("utf8.qz2", "", output, true), kExitOk) << output.err;
    EXPECT_TRUE(readBytes("utf8.qz2") == original);
}

TEST(ToolTest, QuotedLineBreakIsRefusedOnItsLineAndNothingIsWritten) {
    TestDir dir;
    Output output;
    const std::string in = fixture("sheets/quoted_newline.csv");
    EXPECT_EQ(importFile(in, "out.qz2", output), kExitFault);
    EXPECT_NE(output.err.find(in + ":3:1: セルの中の改行"), std::string::npos) << output.err;
    EXPECT_FALSE(test::fileExists("out.qz2"));
}

TEST(ToolTest, ImportFaultsNameLineAndColumn) {
    struct Case {
        std::string sheet;
        std::string where;
        const char* what;
    };
    const std::string header = "問題,回答1,回答2,回答3,回答4,回答5,正解番号,出題回数,正解回数\r\n";
    const Case cases[] = {
        {"q,a,b,,,,7\r\n", "1:7", "1〜5の整数ではありません"},
        {"q,a,b,,,,2.5\r\n", "1:7", "1〜5の整数ではありません"},
        {"q,a,,,,,2\r\n", "1:7", "回答2が空です"},
        {",a,b,,,,1\r\n", "1:1", "問題文が空です"},
        {"q,,,,,,1\r\n", "1:2", "回答が1つもありません"},
        {"q,𠮷,b,,,,1\r\n", "1:2", "U+20BB7"},
        {"q,\"a,b\",c,,,,1\r\n", "1:2", "カンマ"},
        {"q,a\tb,c,,,,1\r\n", "1:2", "U+0009"},
        {"q,a,b\r\n", "1:4", "列が足りません"},
        {"q,a,b,,,,1,0,0,ﾅｼ,extra\r\n", "1:11", "どの項目でもない列"},
        {"q,\"a\"x,b,,,,1\r\n", "1:2", "閉じた引用符"},
        {"ok,a,b,,,,1\r\nq,a,b,,,,1,x,0\r\n", "2:8", "0以上の整数ではありません"},
        {header + "q,a,b,,,,1,3,5\r\n", "2:9", "正解回数 5 が出題回数 3 を超えています"},
        {"問題,問題,正解番号\r\n", "1:2", "2回あります"},
        {"回答1,正解番号\r\n", "1", "「問題」の列がありません"},
        {std::string("\xFF\xFEq\0\t\0", 6), "1", "UTF-16"},
        // はい,いいえ in EUC-JP reads as CP932 half-width katakana.
        {"\xA4\xCF\xA4\xA4,\xA4\xA4\xA4\xA8,b,,,,1\r\n", "1", "EUC-JP"},
        {"\x1B$B$O$$\x1B(B,a,b,,,,1\r\n", "1", "ISO-2022-JP"},
        {"#N/A,a,b,,,,1\r\n", "1:1", "セルA1は「#N/A」という表計算ソフトのエラー値"},
        {"ok,a,b,,,,1\r\nq,a,b,,,,#DIV/0!\r\n", "2:7", "セルG2は「#DIV/0!」"},
        {"q,#REF!,b,,,,1\r\n", "1:2", "エラー値"},
        {"問題,回答1,回答2,正解番号,問題\r\nq,a,b,1,\r\n", "1:5", "2回あります（A列とE列）"},
        // A line break inside a cell: the row the spreadsheet shows, then the text line.
        {"ok,a,b,,,,1\r\nq,\"x\r\ny\",b,,,,1\r\nq,a,b,,,,9\r\n", "3:7",
         "1〜5の整数ではありません（表の3行目、テキストの4行目）"},
        {"q,\"x\r\ny\",b,,,,1\r\nq,\"a\"b,c,,,,1\r\n", "2:2", "（表の2行目、テキストの3行目）"},
    };
    for (const Case& c : cases) {
        TestDir dir;
        writeBytes("in.csv", c.sheet);
        Output output;
        EXPECT_EQ(importFile("in.csv", "out.qz2", output), kExitFault) << c.sheet;
        EXPECT_NE(output.err.find("in.csv:" + c.where + ": "), std::string::npos)
            << c.sheet << output.err;
        EXPECT_NE(output.err.find(c.what), std::string::npos) << c.sheet << output.err;
        EXPECT_FALSE(test::fileExists("out.qz2")) << c.sheet;
    }
    // A broken header would make every row's faults wrong: it is the only one.
    TestDir dir;
    writeBytes("in.csv", "問題,回答1,回答2,正解番号,問題\r\nq,a,b,1,\r\n");
    Output output;
    EXPECT_EQ(importFile("in.csv", "out.qz2", output), kExitFault);
    EXPECT_NE(output.err.find("1件の不具合"), std::string::npos) << output.err;
}

// Sheets as people type and save them: each imports to the question file the
// editor would save, and what was left out is named in a note.
TEST(ToolTest, SheetsAsPeopleMakeThemImportWithoutLoss) {
    struct Case {
        const char* what;
        std::string sheet;
        std::string expected;  // the file's text, before it goes to CP932
        const char* note;
    };
    const std::string header = "問題,回答1,回答2,回答3,回答4,回答5,正解番号";
    const std::string one = "1\r\nq,a,b,ﾅｼ,ﾅｼ,ﾅｼ,2,0,0,ﾅｼ\r\n";
    const Case cases[] = {
        {"full-width correct number", "q,a,b,,,,２\r\n", one, ""},
        {"blank-only choices", "q,a,b,　,\" \",,2\r\n", one, ""},
        {"trailing empty columns", "q,a,b,,,,2,,0,\r\n", one, ""},
        {"tabs in a file named .csv", "q\ta\tb\t\t\t\t2\r\n", one, ""},
        {"tabs below a title", "第1回\r\n問題\t回答1\t回答2\t正解番号\r\nq\ta\tb\t2\r\n", one,
         "表題として読み飛ばしました"},
        {"an unknown header is left out", header + ",解説\r\nq,a,b,,,,2,長い説明\r\n", one,
         "in.csv:1:8: 見出し「解説」のH列は問題ファイルの項目ではないので読み込みません"},
        {"headers with ideographic spaces and full-width digits",
         "問題,回答　１,回答 ２,正解　番号\r\nq,a,b,2\r\n", one, ""},
        {"a title above the header", "第1回 小テスト,,\r\n\r\n" + header + "\r\nq,a,b,,,,2\r\n", one,
         "in.csv:1: 「第1回 小テスト」の行は見出しの上の表題として読み飛ばしました"},
        {"CP932 that is valid UTF-8 too", sjis("q,a,b,ﾅｼ,ﾅｼ,ﾅｼ,2,0,0,ﾅｼ\r\n"), one, ""},
    };
    for (const Case& c : cases) {
        TestDir dir;
        writeBytes("in.csv", c.sheet);
        Output output;
        ASSERT_EQ(importFile("in.csv", "out.qz2", output), kExitOk) << c.what << output.err;
        EXPECT_EQ(readBytes("out.qz2"), sjis(c.expected)) << c.what;
        EXPECT_NE(output.err.find(c.note), std::string::npos) << c.what << output.err;
    }
}

// A short EUC-JP sheet of kanji was taken as CP932 mojibake: its bytes are
// valid CP932 too. Each sheet is named by its encoding or imports as what it
// says; a CP932 sheet whose bytes EUC-JP could hold too is noted.
TEST(ToolTest, SheetEncodingsAreToldApartOnShortSheets) {
    struct Case {
        const char* what;
        std::string sheet;
        std::string result;  // the question file's text, or the fault
        const char* note;    // a note that must be printed, or ""
    };
    const std::string eucJp =
        "in.csv:1: EUC-JPで保存されています。UTF-8かShift_JIS（CP932）で保存し直して";
    const std::string rulers = "徳川家康,織田信長,豊臣秀吉,,,,1\r\n富士山,北海道,札幌,那覇,,,1\r\n";
    const std::string rulersFile =
        "2\r\n徳川家康,織田信長,豊臣秀吉,ﾅｼ,ﾅｼ,ﾅｼ,1,0,0,ﾅｼ\r\n富士山,北海道,札幌,那覇,ﾅｼ,ﾅｼ,1,0,0,ﾅｼ\r\n";
    const Case cases[] = {
        {"EUC-JP kanji that are valid CP932",
         "\xC6\xC1\xC0\xEE\xB2\xC8\xB9\xAF,\xBF\xA5\xC5\xC4\xBF\xAE\xC4\xB9,\xCB\xAD\xBF\xC3\xBD"
         "\xA8\xB5\xC8,,,,1\r\n\xC9\xD9\xBB\xCE\xBB\xB3,\xCB\xCC\xB3\xA4\xC6\xBB,\xBB\xA5\xCB\xDA,"
         "\xC6\xE1\xC7\xC6,,,1\r\n",
         eucJp, ""},
        {"one row of them",
         "\xC6\xC1\xC0\xEE\xB2\xC8\xB9\xAF,\xBF\xA5\xC5\xC4\xBF\xAE\xC4\xB9,\xCB"
         "\xAD\xBF\xC3\xBD\xA8\xB5\xC8,,,,1\r\n",
         eucJp, ""},
        {"EUC-JP that CP932 cannot read",
         "\xC5\xEC\xB5\xFE,\xC2\xE7\xBA\xE5,\xB5\xFE\xC5\xD4,,,,1\r\n", eucJp, ""},
        {"EUC-JP whose CP932 reading breaks the kana (ﾇｭ)", "\xB8\xDE,\xC7\xAD,,,,,1\r\n", eucJp,
         ""},
        {"the same sheet in CP932", sjis(rulers), rulersFile, ""},
        {"and in UTF-8", rulers, rulersFile, ""},
        {"CP932 half-width katakana", sjis("ﾆﾎﾝﾉ ｼｭﾄﾊ?,ﾄｳｷｮｳ,ｵｵｻｶ,ｷｮｳﾄ,,,1\r\n"),
         "1\r\nﾆﾎﾝﾉ ｼｭﾄﾊ?,ﾄｳｷｮｳ,ｵｵｻｶ,ｷｮｳﾄ,ﾅｼ,ﾅｼ,1,0,0,ﾅｼ\r\n", ""},
        {"CP932 half-width katakana that EUC-JP could hold", sjis("ｺﾞ?,ｱｶ?,,,,,1\r\n"),
         "1\r\nｺﾞ?,ｱｶ?,ﾅｼ,ﾅｼ,ﾅｼ,ﾅｼ,1,0,0,ﾅｼ\r\n",
         "in.csv:1: Shift_JIS（CP932）の半角カタカナとして読みました（「ｺﾞ?」）。EUC-JPとしても"},
    };
    for (const Case& c : cases) {
        TestDir dir;
        writeBytes("in.csv", c.sheet);
        Output output;
        const int status = importFile("in.csv", "out.qz2", output);
        if (c.result.starts_with("in.csv:")) {
            EXPECT_EQ(status, kExitFault) << c.what;
            EXPECT_NE(output.err.find(c.result), std::string::npos) << c.what << "\n" << output.err;
            EXPECT_FALSE(test::fileExists("out.qz2")) << c.what;
            continue;
        }
        ASSERT_EQ(status, kExitOk) << c.what << "\n" << output.err;
        EXPECT_EQ(readBytes("out.qz2"), sjis(c.result)) << c.what;
        EXPECT_EQ(output.err.find("EUC-JP") != std::string::npos, *c.note != '\0') << c.what << "\n"
                                                                                   << output.err;
        EXPECT_NE(output.err.find(c.note), std::string::npos) << c.what << "\n" << output.err;
    }
}

TEST(ToolTest, HeaderNamesChooseTheColumnsInAnyOrder) {
    TestDir dir;
    writeBytes("in.csv",
               "Correct Number,Question,choice_2,CHOICE 1,times asked,Times Correct\n"
               "2,q,b,a, 4 ,3\n");
    Output output;
    ASSERT_EQ(importFile("in.csv", "", output), kExitOk) << output.err;
    EXPECT_EQ(readBytes("in.qz2"), sjis("1\r\nq,a,b,ﾅｼ,ﾅｼ,ﾅｼ,2, 4 ,3,ﾅｼ\r\n"));
}

TEST(ToolTest, MoreThanAHundredQuestionsAreRefusedOrSplit) {
    TestDir dir;
    std::string sheet;
    for (int i = 1; i <= 205; ++i) {
        sheet += "q" + std::to_string(i) + ",a,b,,,,1\r\n";
    }
    writeBytes("big.csv", sheet);
    Output output;
    EXPECT_EQ(importFile("big.csv", "big.qz2", output), kExitFault);
    EXPECT_NE(output.err.find("big.csv:101: "), std::string::npos) << output.err;
    EXPECT_EQ(test::listDirectory(), "big.csv");
    ASSERT_EQ(importFile("big.csv", "big.qz2", output, false, true), kExitOk) << output.err;
    const int expected[] = {100, 100, 5};
    for (int f = 0; f < 3; ++f) {
        const std::string name = "big-" + std::to_string(f + 1) + ".qz2";
        const LoadResult loaded = loadCurrentQuestionFile(disk, name);
        ASSERT_TRUE(loaded.status.ok()) << name;
        EXPECT_EQ(loaded.count, expected[f]) << name;
        EXPECT_EQ(loaded.table.rows[0][kQuestionText].asText(), "q" + std::to_string(f * 100 + 1));
    }
    // Fewer parts over an earlier split: the part left over is named, not deleted.
    writeBytes("big.csv", sheet.substr(0, sheet.find("q151,")));
    output = {};
    ASSERT_EQ(importFile("big.csv", "big.qz2", output, true, true), kExitOk) << output.err;
    EXPECT_NE(output.err.find("big-3.qz2: 前に分けて書き出したファイルが残っています"),
              std::string::npos)
        << output.err;
    EXPECT_TRUE(test::fileExists("big-3.qz2"));
}

TEST(ToolTest, ExistingFilesAreReplacedOnlyWithForce) {
    TestDir dir;
    writeBytes("in.csv", "q,a,b,,,,1\r\n");
    writeBytes("in.qz2", "mine");
    writeBytes("in-2.qz2", "mine too");
    Output output;
    EXPECT_EQ(importFile("in.csv", "", output), kExitFault);
    EXPECT_NE(output.err.find("--force"), std::string::npos);
    EXPECT_EQ(readBytes("in.qz2"), "mine");
    EXPECT_EQ(importFile("in.csv", "", output, true), kExitOk);
    EXPECT_EQ(readBytes("in.qz2"), sjis("1\r\nq,a,b,ﾅｼ,ﾅｼ,ﾅｼ,1,0,0,ﾅｼ\r\n"));

    std::string many;
    for (int i = 0; i < 101; ++i) {
        many += "q,a,b,,,,1\r\n";
    }
    writeBytes("many.csv", many);
    EXPECT_EQ(importFile("many.csv", "in.qz2", output, false, true), kExitFault);
    EXPECT_FALSE(test::fileExists("in-1.qz2")) << "a split writes nothing when one name is taken";
    EXPECT_EQ(readBytes("in-2.qz2"), "mine too");

    EXPECT_EQ(exportFile("in.qz2", "in.csv", ExportFormat::Csv, output), kExitFault);
    EXPECT_EQ(readBytes("in.csv"), "q,a,b,,,,1\r\n");
}

#ifndef _WIN32  // named pipes, devices and signals are POSIX's
// --force replaced a named pipe or a device node with a regular file and
// reported success; check waited for ever on a named pipe.
TEST(ToolTest, ForceReplacesRegularFilesOnly) {
    for (const test::SpecialFile& kind : test::kSpecialFiles) {
        TestDir dir;
        writeBytes("in.csv", "q,a,b,,,,1\r\n");
        writeQuizFile("in.qz2");
        if (!test::makeSpecialFile("out", kind.type)) {
            continue;  // a device node needs root
        }
        const test::HangGuard guard;
        Output output;
        EXPECT_EQ(importFile("in.csv", "out", output, true), kExitFault);
        EXPECT_EQ(runExport(disk, {"in.qz2", "out", ExportFormat::Csv, true}, output), kExitFault);
        EXPECT_EQ(runCheck(disk, {"out"}, output), kExitFault);
        const std::string refused = "out: 通常のファイルではないので置き換えません（" +
                                    std::string(kind.word) + "）。そのままです\n";
        EXPECT_EQ(output.err, refused + refused);
        EXPECT_EQ(output.out, "out: 通常のファイルではないので読みません（" + std::string(kind.word) +
                                  "）\n1個のファイルを調べました。1個のファイルに1件の不具合があります\n");
        EXPECT_EQ(fs::symlink_status("out").type(), kind.type) << kind.word;
        EXPECT_EQ(test::listDirectory(), "in.csv in.qz2 out") << kind.word;
    }
}

// An interrupted tool (Ctrl-C during a slow fsync) left its .studyhop-*.tmp; a
// signal during a write now takes effect once the write is done.
TEST(ToolTest, InterruptedWriteEndsByTheSignalAndLeavesNoTemporaryFile) {
    const std::pair<int, FileOp> cases[] = {
        {SIGINT, FileOp::Sync}, {SIGTERM, FileOp::Write}, {SIGHUP, FileOp::Close}};
    for (const auto& [signal, step] : cases) {
        TestDir dir;
        writeBytes("out.qz2", "old");
        const pid_t child = ::fork();
        if (child == 0) {
            ::signal(signal, SIG_DFL);  // as in a terminal, whatever runs the tests
            removeTemporaryFileWhenInterrupted();
            test::FaultyFileSystem interrupted;
            interrupted.hook = [&](FileOp op) { return op == step ? ::raise(signal) : 0; };
            interrupted.replaceFile("out.qz2", "new");
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal;
        // The signal waits for the write: the new file is whole, and nothing else is there.
        EXPECT_EQ(readBytes("out.qz2"), "new") << signal;
        EXPECT_EQ(test::listDirectory(), "out.qz2") << signal;
    }
}

#endif

TEST(ToolTest, ReadAndWriteFailuresNameTheFileAndReportAFault) {
    TestDir dir;
    writeBytes("in.csv", "q,a,b,,,,1\r\n");
    Output output;
    EXPECT_EQ(importFile("missing.csv", "out.qz2", output), kExitFault);
    EXPECT_EQ(output.err, "missing.csv: ファイルが見つかりません\n");
    output = {};
    EXPECT_EQ(importFile("in.csv", "no-such-dir/out.qz2", output), kExitFault);
    EXPECT_TRUE(output.err.starts_with("no-such-dir/out.qz2: 書き込めませんでした（"))
        << output.err;
    EXPECT_EQ(output.out, "");
    output = {};
    EXPECT_EQ(exportFile("missing.qz2", "", ExportFormat::Csv, output), kExitFault);
    EXPECT_EQ(output.err, "missing.qz2: ファイルが見つかりません\n");
}

TEST(ToolTest, ExportRefusesAFileItCannotReadWhole) {
    TestDir dir;
    writeBytes("bad.qz2", "3\r\nq,a,b,c,d,e,1,0,0,x\r\n");
    Output output;
    EXPECT_EQ(exportFile("bad.qz2", "", ExportFormat::Csv, output), kExitFault);
    EXPECT_NE(output.err.find("bad.qz2:1: "), std::string::npos) << output.err;
    EXPECT_FALSE(test::fileExists("bad.csv"));
}

#ifndef _WIN32  // no Windows file is named in CP932 bytes
// A file named in CP932 bytes (unpacked from a Windows archive) gave its raw
// bytes to the workbook's sheet name, which made the workbook invalid XML that
// import refused, and to the cards' tags inside their UTF-8 text.
TEST(ToolTest, SheetNamesAndTagsOfAFileNamedInCp932AreItsNameAsText) {
    TestDir dir;
    const std::string name = sjis("地理表.qzb");  // no name Windows can hold
    test::copyFile(std::string(STUDYHOP_EXAMPLES) + "/日本の地理.qzb", name);
    Output output;
    ASSERT_EQ(exportFile(name, "cards.txt", ExportFormat::Cards, output), kExitOk) << output.err;
    const std::string cards = readBytes("cards.txt");
    EXPECT_TRUE(isValidUtf8(cards));
    EXPECT_NE(cards.find("\t地理表\r\n"), std::string::npos) << cards;
    if (workbooksSupported()) {
        ASSERT_EQ(exportFile(name, "book.xlsx", ExportFormat::Xlsx, output), kExitOk) << output.err;
        ASSERT_EQ(importFile("book.xlsx", "back.qzb", output), kExitOk) << output.err;
        EXPECT_TRUE(readBytes("back.qzb") == readBytes(name));
    }
}

#endif

// Outputs are named so that Windows can hold them, on every system.
TEST(ToolTest, OutputNamesWindowsCannotHoldAreRefusedAndNothingIsWritten) {
    TestDir dir;
    writeBytes("in.csv", "q,a,b,,,,1\r\n");
    writeQuizFile("quiz.qz2");
    const struct {
        bool import;
        const char* output;
        const char* reason;
    } cases[] = {
        {true, "CON.qz2", "装置の名前"},
        {true, "a:b.qz2", "「:」は使えません"},
        {true, "name .qz2", ""},  // a blank before the extension is fine
        {false, "nul.csv", "装置の名前"},
        {false, "what?.csv", "「?」は使えません"},
        {false, "out.csv.", "最後に「.」"},
    };
    for (const auto& c : cases) {
        Output output;
        const int status = c.import ? importFile("in.csv", c.output, output)
                                    : exportFile("quiz.qz2", c.output, ExportFormat::Csv, output);
        if (*c.reason == '\0') {
            EXPECT_EQ(status, kExitOk) << c.output << output.err;
            continue;
        }
        EXPECT_EQ(status, kExitFault) << c.output;
        EXPECT_NE(output.err.find(c.reason), std::string::npos) << c.output << output.err;
    }
    EXPECT_EQ(test::listDirectory(), "in.csv name .qz2 quiz.qz2");
}

TEST(ToolTest, CardsShowQuestionAndNumberedChoicesWithTheAnswerOnTheBack) {
    QuestionTable table;
    QuestionRow& row = table.rows[0];
    const char* texts[] = {"1 < 2 & 3", "東京", "ﾅｼ", "大阪", "ﾅｼ", "京都", "3", "0", "0", "ﾅｼ"};
    for (int c = 0; c < kColumns; ++c) {
        row[c] = Cell::text(texts[c]);
    }
    EXPECT_EQ(exportCards(table, 1, "日本 地理"),
              "#separator:tab\r\n#html:true\r\n#tags column:3\r\n"
              "1 &lt; 2 &amp; 3<br>1. 東京<br>3. 大阪<br>5. 京都\t3. 大阪\t日本_地理\r\n"
              "");
    row[kCorrectNumber] = Cell::number(5);
    EXPECT_NE(exportCards(table, 1, "t").find("\t5. 京都\tt\r\n"), std::string::npos);
    // The program's text reader skips a line that begins with '#'.
    row[kQuestionText] = Cell::text("#1 問題");
    EXPECT_NE(exportCards(table, 1, "#t").find("\r\n\"#1 問題<br>"), std::string::npos);
    EXPECT_NE(exportCards(table, 1, "#t").find("\t\"#t\"\r\n"), std::string::npos);
}

// Mnemosyne's reader splits each line on tabs and takes two fields as front
// and back: no header, no quotes, no tags.
TEST(ToolTest, MnemosyneCardsAreFrontTabBackLines) {
    QuestionTable table;
    const char* rows[][kColumns] = {
        {"1 < 2 & 3", "東京", "", "大阪", "ﾅｼ", "京都", "3", "0", "0", "ﾅｼ"},
        {"\"#q\"", "a\tb", "c", "ﾅｼ", "ﾅｼ", "ﾅｼ", "1", "0", "0", "ﾅｼ"},
    };
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            table.rows[r][c] = Cell::text(rows[r][c]);
        }
    }
    EXPECT_EQ(exportMnemosyneCards(table, 2),
              "1 &lt; 2 &amp; 3<br>1. 東京<br>3. 大阪<br>5. 京都\t3. 大阪\n"
              "\"#q\"<br>1. a b<br>2. c\t1. a b\n");
}

TEST(ToolTest, CheckFlagsEveryCatalogueFileOnItsLine) {
    struct Case {
        const char* name;
        int line;
        const char* what;
    };
    const Case cases[] = {
        {"binary_garbage.qz2", 2, "NUL"},
        {"blank_lines_after_records.qzb", 2, "空行"},
        {"count_line_above_101.qz2", 1, "問題数「102」"},
        {"count_line_above_records.qz2", 1, "問題数 5 と問題の数 2"},
        {"count_line_empty.qz2", 1, "問題数"},
        {"count_line_exponent.qz2", 1, "問題数「1e9」"},
        {"count_line_fraction.qz2", 1, "問題数「1.5」"},
        {"count_line_negative.qz2", 1, "問題数「-1」"},
        {"count_line_text.qz2", 1, "問題数「abc」"},
        {"count_line_below_records.qz2", 1, "問題数 2 と問題の数 3"},
        {"count_line_zero.qz2", 1, "問題数 0 と問題の数 1"},
        {"counter_not_a_number.qz2", 2, "出題回数「many」"},
        {"cr_only_line_ends.qz2", 1, "CRだけ"},
        {"empty_file.qz2", 1, "問題数"},
        {"invalid_cp932.qz2", 2, "0x81 0x20"},
        {"legacy_record_without_line_end.qzb", 2, "改行がありません"},
        {"legacy_cut_short_after_100_records.qzb", 101, "101問目が途中で終わって"},
        {"lf_only_line_ends.qz2", 1, "LFだけ"},
        {"lone_lead_byte_at_end.qz2", 2, "0x81"},
        {"nul_bytes.qz2", 2, "NUL"},
        {"nul_bytes.qzb", 1, "NUL"},
        {"only_blank_lines.qz2", 1, "問題数"},
        {"only_separators.qz2", 2, "問題文が空"},
        {"quote_left_open.qz2", 2, "途中で終わって"},
        {"quote_left_open.qzb", 1, "途中で終わって"},
        {"record_cut_short.qz2", 3, "2問目が途中で終わって"},
        {"record_cut_short.qzb", 2, "2問目が途中で終わって"},
        {"too_many_records.qz2", 102, "100問を超えています（101問）"},
        {"too_many_records.qzb", 101, "100問を超えています"},
        {"utf8_valid_as_cp932.qzb", 1, "studyhop-tool import"},
        {"utf8_with_bom.qz2", 1, "studyhop-tool import"},
        {"utf8_without_bom.qzb", 1, "studyhop-tool import"},
        {"settings/empty.sys", 1, "設定がありません"},
        {"settings/five_fields.sys", 1, "多すぎます"},
        {"settings/fraction.sys", 1, "出題範囲「1.5」"},
        {"settings/invalid_cp932.sys", 1, "Shift_JIS"},
        {"settings/negative.sys", 1, "出題範囲「-1」"},
        {"settings/nul_byte.sys", 1, "NUL"},
        {"settings/one_field.sys", 1, "1つしかありません"},
        {"settings/order_out_of_range.sys", 1, "出題順「2」"},
        {"settings/quote_left_open.sys", 1, "途中で終わって"},
        {"settings/rate_out_of_range.sys", 1, "出題範囲「10」"},
        {"settings/text_values.sys", 1, "出題範囲「a」"},
    };
    TestDir dir;
    std::set<std::string> covered;
    for (const Case& c : cases) {
        covered.insert(c.name);
        const std::string bytes = readBytes(fixture(c.name));
        // Settings files are known by their name in any letter case.
        const std::string name = std::string(c.name).starts_with("settings/")
                                     ? (covered.size() % 2 ? "system.sys" : "SYSTEM.SYS")
                                     : c.name;
        const std::vector<Fault> faults = checkBytes(name, bytes);
        ASSERT_FALSE(faults.empty()) << c.name;
        EXPECT_EQ(faults[0].line, c.line) << c.name << ": " << faultLine(faults[0]);
        EXPECT_NE(faults[0].message.find(c.what), std::string::npos)
            << c.name << ": " << faultLine(faults[0]);
        EXPECT_EQ(readBytes(fixture(c.name)), bytes) << c.name;
    }
    for (const char* sub : {"", "settings"}) {
        for (const auto& entry : fs::directory_iterator(fixture(sub))) {
            const std::string name = (std::string(sub).empty() ? "" : std::string(sub) + "/") +
                                     entry.path().filename().string();
            EXPECT_TRUE(!entry.is_regular_file() || covered.count(name))
                << name << " is not checked";
        }
    }
}

TEST(ToolTest, CheckNamesTheFaultsOfReadableRecords) {
    struct Case {
        std::string bytes;
        int line;
        const char* what;
    };
    const std::string ok = "q,a,b,c,d,e,1,0,0,x\r\n";
    const Case cases[] = {
        {"2\r\n" + ok + "q,a,b,c,d,e,9,0,0,x\r\n", 3, "2問目の正解番号 9 は 1〜5 の範囲外です"},
        {"1\r\nq,a,ﾅｼ,c,d,e,2,0,0,x\r\n", 2, "正解番号 2 の回答が空です"},
        {"1\r\nq,a,b,c,d,e,1,3,4,x\r\n", 2, "正解回数 4 が出題回数 3 を超えています"},
        {"1\r\nq,a,b,c,d,e,1,1.5,0,x\r\n", 2, "出題回数「1.5」が0以上の整数ではありません"},
        {"1\r\nq,a,b,c,d,e,1,0,-1,x\r\n", 2, "正解回数「-1」"},
        {"1\r\nq,ﾅｼ,ﾅｼ,,ﾅｼ,ﾅｼ,1,0,0,x\r\n", 2, "回答が1つもありません"},
        // What import refuses, check names too.
        {"1\r\n\"a\tb\",x,y,c,d,e,1,0,0,x\r\n", 2, "1問目の問題文: 制御文字（U+0009）"},
        {"1\r\nq,\"a\r\nb\",y,c,d,e,1,0,0,x\r\n", 2, "1問目の回答1: "},
    };
    for (const Case& c : cases) {
        const std::vector<Fault> faults = checkBytes("a.qz2", sjis(c.bytes));
        ASSERT_FALSE(faults.empty()) << c.bytes;
        EXPECT_EQ(faults[0].line, c.line) << c.bytes << faultLine(faults[0]);
        EXPECT_NE(faults[0].message.find(c.what), std::string::npos) << faultLine(faults[0]);
    }
    EXPECT_TRUE(checkBytes("a.qz2", "1\r\n" + ok).empty());
    // はい in EUC-JP is valid CP932 half-width katakana.
    EXPECT_EQ(checkBytes("a.qz2", "1\r\n\xA4\xCF\xA4\xA4,a,b,c,d,e,1,0,0,x\r\n").at(0).message,
              "Shift_JIS（CP932）ではなくEUC-JPのテキストです");
    // 徳川家康 in EUC-JP is valid CP932 too; check decides as import does.
    EXPECT_EQ(checkBytes("a.qz2", "1\r\n\xC6\xC1\xC0\xEE\xB2\xC8\xB9\xAF,a,b,c,d,e,1,0,0,x\r\n")
                  .at(0)
                  .message,
              "Shift_JIS（CP932）ではなくEUC-JPのテキストです");
    EXPECT_TRUE(checkBytes("a.qzb", "\"007\",a,b,c,d,e,1\r\n").empty())
        << "the quoted first record of a legacy file keeps its texts";
}

TEST(ToolTest, CheckPrintsOneLinePerFaultAndASummary) {
    TestDir dir;
    test::copyFile(std::string(STUDYHOP_EXAMPLES) + "/一般常識.qz2", "good.qz2");
    writeBytes("System.sys", "3,1\r\n");
    Output output;
    EXPECT_EQ(runCheck(disk, {"good.qz2", "System.sys"}, output), kExitOk);
    EXPECT_EQ(output.out, "2個のファイルを調べました。不具合はありません\n");
    writeBytes("bad.qz2", "1\r\nq,a,b,c,d,e,7,0,0,x\n");
    output = {};
    EXPECT_EQ(runCheck(disk, {"good.qz2", "bad.qz2", "missing.qz2"}, output), kExitFault);
    EXPECT_EQ(output.out,
              "bad.qz2:2: 行末がCR LFではなくLFだけです\n"
              "bad.qz2:2: 1問目の正解番号 7 は 1〜5 の範囲外です\n"
              "missing.qz2: ファイルが見つかりません\n"
              "3個のファイルを調べました。2個のファイルに3件の不具合があります\n");
}

// Conflict copies of a sync engine were checked as files like any other.
TEST(ToolTest, CheckNamesConflictCopiesBesideAFileAndTheFileACopyCopies) {
    TestDir dir;
    fs::create_directory("sub");
    const std::string good = readBytes(std::string(STUDYHOP_EXAMPLES) + "/一般常識.qz2");
    for (const char* name : {"試験ﾃﾞｰﾀ.qz2", "試験ﾃﾞｰﾀ (conflicted copy 2026-12-08 101500).qz2",
                             "試験ﾃﾞｰﾀ.sync-conflict-20261208-101500-ABCDEFG.qz2", "other.qz2",
                             "sub/a.qz2", "sub/a (Taro's conflicted copy 2026-12-08).qz2"}) {
        writeBytes(name, good);
    }
    const struct {
        const char* file;
        int status;
        std::string out;
    } cases[] = {
        {"試験ﾃﾞｰﾀ.qz2", kExitFault,
         "試験ﾃﾞｰﾀ.qz2: 同期ソフトが作った競合コピー「試験ﾃﾞｰﾀ (conflicted copy 2026-12-08 "
         "101500).qz2」があります\n"
         "試験ﾃﾞｰﾀ.qz2: 同期ソフトが作った競合コピー「試験ﾃﾞｰﾀ.sync-conflict-20261208-101500-"
         "ABCDEFG.qz2」があります\n"
         "1個のファイルを調べました。1個のファイルに2件の不具合があります\n"},
        {"試験ﾃﾞｰﾀ.sync-conflict-20261208-101500-ABCDEFG.qz2", kExitFault,
         "試験ﾃﾞｰﾀ.sync-conflict-20261208-101500-ABCDEFG.qz2: 同期ソフトが作った「試験ﾃﾞｰﾀ.qz2」の"
         "競合コピーです\n"
         "1個のファイルを調べました。1個のファイルに1件の不具合があります\n"},
        {"sub/a.qz2", kExitFault,
         "sub/a.qz2: 同期ソフトが作った競合コピー「sub/a (Taro's conflicted copy 2026-12-08).qz2」"
         "があります\n"
         "1個のファイルを調べました。1個のファイルに1件の不具合があります\n"},
        {"other.qz2", kExitOk, "1個のファイルを調べました。不具合はありません\n"},
    };
    for (const auto& c : cases) {
        Output output;
        EXPECT_EQ(runCheck(disk, {c.file}, output), c.status) << c.file;
        EXPECT_EQ(output.out, c.out) << c.file;
    }
}

// A sync engine's conflict copy folded into the real file: the questions only
// the copy has are added with their counts, every byte of the file stays,
// a question both hold in other versions is named and left alone, and any
// fault writes nothing.
TEST(ToolTest, MergeFoldsInWhatOnlyTheConflictCopyHas) {
    const auto rec = [](const std::string& text, const std::string& tail = "1,0,0,ﾅｼ") {
        return text + ",a,b,ﾅｼ,ﾅｼ,ﾅｼ," + tail + "\r\n";
    };
    const std::string mine = "3\r\n" + rec("q1", "1, 2 , 1 ,ﾅｼ") + rec("q2") + rec("twin");
    struct Case {
        const char* name;
        std::string copy;
        int status;
        std::string after;  // "" for unchanged
        const char* said;
    } cases[] = {
        {"only the copy's questions are added",
         "3\r\n" + rec("q1", "1,5,5,ﾅｼ") + rec("new", "1,4,3,出典") + rec("q2"), kExitOk,
         "4\r\n" + rec("q1", "1, 2 , 1 ,ﾅｼ") + rec("q2") + rec("twin") + rec("new", "1,4,3,出典"),
         "1問を加えました"},
        {"a second twin in the copy is added", "2\r\n" + rec("twin") + rec("twin"), kExitOk,
         "4\r\n" + rec("q1", "1, 2 , 1 ,ﾅｼ") + rec("q2") + rec("twin") + rec("twin"), "1問を加えました"},
        {"a question in two versions is named, not added", "1\r\n" + rec("q2", "2,0,0,ﾅｼ"), kExitOk,
         "", "回答または正解番号が違います"},
        {"nothing to add", "1\r\n" + rec("q2"), kExitOk, "", "にしかない問題はありません"},
        {"a broken copy writes nothing", "1\r\nx,a,b\r\n", kExitFault, "", "copy.qz2"},
    };
    for (const Case& c : cases) {
        TestDir dir;
        writeBytes("f.qz2", sjis(mine));
        writeBytes("copy.qz2", sjis(c.copy));
        Output output;
        EXPECT_EQ(runMerge(disk, "f.qz2", "copy.qz2", output), c.status) << c.name;
        EXPECT_EQ(readBytes("f.qz2"), sjis(c.after.empty() ? mine : c.after)) << c.name;
        EXPECT_EQ(readBytes("copy.qz2"), sjis(c.copy)) << c.name;
        EXPECT_NE((output.out + output.err).find(c.said), std::string::npos)
            << c.name << ": " << output.out << output.err;
    }
    // Past one hundred questions nothing is written.
    TestDir dir;
    std::string many = "100\r\n";
    for (int i = 0; i < 100; ++i) {
        many += rec("m" + std::to_string(i));
    }
    writeBytes("f.qz2", sjis(many));
    writeBytes("copy.qz2", sjis("1\r\n" + rec("extra")));
    Output output;
    EXPECT_EQ(runMerge(disk, "f.qz2", "copy.qz2", output), kExitFault);
    EXPECT_EQ(readBytes("f.qz2"), sjis(many));
}

#if defined(STUDYHOP_TOOL) && !defined(_WIN32)  // runs the tool through a POSIX shell
// Runs the installed-style binary; returns its exit status and leaves its output in `out`.
int runTool(const std::string& arguments, std::string& out) {
    const std::string command =
        std::string("'") + STUDYHOP_TOOL + "' " + arguments + " > out.txt 2>&1";
    const int status = std::system(command.c_str());
    out = readBytes("out.txt");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(ToolTest, TheProgramAnswersWithItsExitStatus) {
    TestDir dir;
    writeBytes("in.csv", "q,a,b,,,,1\r\n");
    struct Case {
        std::string arguments;
        int status;
        const char* output;
    };
    const Case cases[] = {
        {"--help", 0, "使い方: studyhop-tool コマンド"},
        {"check --help", 0, "使い方: studyhop-tool check"},
        {"import -h", 0, "--split"},
        {"export --help", 0, "--format"},
        {"merge --help", 0, "競合コピー"},
        {"merge in.csv", 2, "1つずつ指定してください"},
        {"", 2, "使い方"},
        {"frobnicate", 2, "知らないコマンドです: frobnicate"},
        {"check", 2, "ファイルを指定してください"},
        {"import --bogus in.csv", 2, "知らないオプションです: bogus"},
        {"import in.csv extra.csv", 2, "1つ指定してください"},
        {"export in.qz2 --format pdf", 2, "csv、tsv、xlsx、anki、mnemosyne"},
        {"export --help", 0, "mnemosyne  Mnemosyne の「タブ区切りテキスト」"},
        {"check '" + fixture("empty_file.qz2") + "'", 1, "empty_file.qz2:1: "},
        {"import in.csv -o out.qz2", 0, "out.qz2: 1問を書き出しました"},
        {"check out.qz2", 0, "不具合はありません"},
        {"export out.qz2 -o -", 0, "\xEF\xBB\xBF問題,回答1"},
        {"import in.csv -o out.qz2", 1, "--force"},
    };
    for (const Case& c : cases) {
        std::string out;
        EXPECT_EQ(runTool(c.arguments, out), c.status) << c.arguments << "\n" << out;
        EXPECT_NE(out.find(c.output), std::string::npos) << c.arguments << "\n" << out;
    }
}

// Names reached the tool decoded as UTF-8: a file named in CP932 was "not
// found", and -o wrote a file named with U+FFFD. A legacy file named in
// capitals was read as the current format.
TEST(ToolTest, TheProgramTakesFileNamesAsTheBytesGiven) {
    TestDir dir;
    const std::string legacy = sjis("地理表.QZB");  // 表 ends in the byte of a backslash
    const std::string made = sjis("表.qz2");
    test::copyFile(std::string(STUDYHOP_EXAMPLES) + "/日本の地理.qzb", legacy);
    writeBytes("in.csv", "q,a,b,,,,1\r\n");
    const std::pair<std::string, std::string> cases[] = {
        {"check '" + legacy + "'", "1個のファイルを調べました。不具合はありません"},
        {"export '" + legacy + "' -o out.csv", "out.csv: 4問を書き出しました"},
        {"import in.csv -o '" + made + "'", made + ": 1問を書き出しました"},
    };
    for (const auto& [arguments, said] : cases) {
        std::string out;
        EXPECT_EQ(runTool(arguments, out), kExitOk) << arguments << "\n" << out;
        EXPECT_NE(out.find(said), std::string::npos) << arguments << "\n" << out;
    }
    EXPECT_TRUE(readBytes("out.csv").starts_with(
        "\xEF\xBB\xBF問題,回答1,回答2,回答3,回答4,回答5,正解番号\r\n"));
    EXPECT_EQ(readBytes(made), sjis("1\r\nq,a,b,ﾅｼ,ﾅｼ,ﾅｼ,1,0,0,ﾅｼ\r\n"));
    EXPECT_EQ(test::listDirectory(), "in.csv out.csv out.txt " + legacy + " " + made);
}

#endif

}  // namespace
}  // namespace studyhop::tool
