#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "data/delimited.h"
#include "data/question_file.h"
#include "data/question_table.h"

namespace studyhop::tool {

// Question tables as spreadsheet text: one row per question with the columns
// question, choices 1 to 5, correct number, and for current files times asked
// and times correct (plus a reserved column when a file uses that cell).
//
// How cells travel so that export then import gives back the file's bytes:
// - a choice the question does not have ("ﾅｼ") is an empty cell;
// - a number is written as the question file spells it, with a blank on each
//   side (" 3 "), as the quiz writes its counters; a value without blanks
//   ("3") is a text, as the editor and a spreadsheet write it;
// - when the counter columns are absent, they become "0" and "0", and the
//   reserved cell "ﾅｼ", as the editor registers a new question.

// The first row of an exported sheet.
std::vector<std::string> sheetHeader(FileFormat source, bool withReserved);

// The cells of an exported sheet: the header row, then rows 0..rows-1.
// `table` should be read with parseQuestionFileAsWritten.
std::vector<std::vector<std::string>> sheetCells(const QuestionTable& table, int rows,
                                                 FileFormat source);

// The question and choice texts of `cells` that a spreadsheet opening them
// as CSV shows otherwise and saves changed: numbers it rewrites ("007",
// "1.50", "+5", "１，０００"), dates and times ("1/2", "2-3", "3:00"),
// accounting negatives ("(1)") and formulas ("=A1"). Each as "B3「007」".
std::vector<std::string> cellsSpreadsheetsChange(const std::vector<std::vector<std::string>>& cells);

// UTF-8 text with a byte order mark (so that spreadsheets take it as UTF-8), a
// header row, then rows 0..rows-1 of the table. `table` should be read with
// parseQuestionFileAsWritten.
std::string exportSheet(const QuestionTable& table, int rows, FileFormat source, char separator);

// Tab-separated notes for a flash-card program: front = question and the
// numbered choices, back = the correct choice with its number, tag = `tag`.
std::string exportCards(const QuestionTable& table, int rows, const std::string& tag);

// Mnemosyne's tab-separated text: one line per question, front and back
// (as for exportCards) split by a tab, nothing else; UTF-8 with LF.
std::string exportMnemosyneCards(const QuestionTable& table, int rows);

struct SheetFault {
    int line = 0;    // the text line; for a workbook, the row
    int column = 0;  // 1-based field of the row; 0 when the fault is the whole row
    std::string message;
    int row = 0;  // the row a spreadsheet shows; 0 when it is `line`
};

// "B" for column 2, "AA" for 27: how a spreadsheet names a column.
std::string columnLetters(int column);

struct SheetImport {
    std::vector<QuestionRow> rows;
    std::vector<int> lines;      // the line on which each row begins
    std::vector<int> sheetRows;  // the row a spreadsheet shows for each
    std::vector<SheetFault> faults;
    // What was read otherwise than the user may expect (columns left out, a
    // title row skipped); they do not stop the import.
    std::vector<SheetFault> notes;
    // Without faults: the bytes of each question file of up to 100 rows, as
    // the program writes them (they were read back to check every text).
    std::vector<std::string> fileBytes;
};

// Reads a sheet (UTF-8 with or without a byte order mark; CP932 as a
// spreadsheet on Windows saves it is taken too; EUC-JP, ISO-2022-JP and
// UTF-16 are refused by name) into question rows for a file of `target`
// format, and lists every fault with its row, line and column. Bytes that
// are valid CP932 and hold no UTF-8 character of three bytes or more are
// CP932, as the question-file readers take them. Rows with only empty cells
// are skipped; a header row is recognised by its names (a title row above it
// is skipped, columns with other names or none are left out, each with a
// note), and so is the count line of a question file saved as UTF-8.
SheetImport importSheet(std::string_view bytes, char separator, FileFormat target);

// The same for cells already read (from a workbook): each record is a row.
// `cellFaults` are the cells whose value could not be read (by row and
// column): each is a fault where the import reads that cell, and nothing
// where it does not (a column the header leaves out, a title row).
SheetImport importRecords(const DelimitedText& sheet, FileFormat target,
                          const std::vector<SheetFault>& cellFaults = {});

// Tab for names ending in .tsv, .tab or .txt; otherwise a tab when the first
// few lines have more tabs than commas (a spreadsheet saves tab-separated
// text as .csv too), else a comma.
char guessSeparator(std::string_view name, std::string_view bytes);

}  // namespace studyhop::tool
