#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/delimited.h"
#include "tool/question_sheet.h"

namespace studyhop::tool {

// Spreadsheet workbooks (.xlsx, Office Open XML): the file a spreadsheet
// keeps its cells in, so that no text is reinterpreted on the way.

// How much a workbook may unpack to: a small file may inflate to gigabytes
// (a zip bomb), so every part is counted as it is inflated.
struct WorkbookLimits {
    std::size_t partBytes = 64u * 1024 * 1024;    // one part, inflated
    std::size_t totalBytes = 128u * 1024 * 1024;  // all the parts read, inflated
    std::size_t entries = 10000;                  // files in the archive
    int rows = 65536;
    int columns = 1024;
    std::size_t cells = 200000;    // cells with something in them
    std::size_t strings = 200000;  // shared strings
};

struct WorkbookRead {
    // One record per row of the first sheet, from row 1 (empty rows are empty
    // records), each cell as the spreadsheet shows it in General format;
    // `line` is the row.
    DelimitedText sheet;
    // What cannot be taken at all (a workbook that is not one, one too
    // large), each naming its cell in A1 style where there is one.
    std::vector<SheetFault> faults;
    // Cells whose value cannot be taken (a date, a string the book lacks),
    // each with its row and column: they stop an import only where it reads
    // the cell, never in a column it leaves out.
    std::vector<SheetFault> cellFaults;
};

// Reads the first sheet of an .xlsx workbook, or the first table of an
// OpenDocument spreadsheet (.ods, repeated rows and cells spelled out within
// the limits, comments left out): shared and inline strings, formula results, numbers
// (as General shows them: "1.5", "1E+20"), booleans ("TRUE"). An error value
// comes as its text ("#N/A") for the sheet reader to refuse. Never reads more
// than `limits` allow; a document type declaration is refused.
WorkbookRead readWorkbook(std::string_view bytes, const WorkbookLimits& limits = {});

// True for a name ending in .xlsx or .ods, or bytes that begin as a zip archive does.
bool isWorkbook(std::string_view name, std::string_view bytes);

// The bytes of a workbook with one sheet named `sheetName`: `cells` row by
// row (the first row is the header, frozen and bold), every cell a text cell
// in a text-formatted column (so that what is typed later stays text too),
// columns as wide as their texts allow. nullopt with `error` set when the
// workbook could not be made (it is built in a temporary file).
std::optional<std::string> workbookBytes(const std::vector<std::vector<std::string>>& cells,
                                         const std::string& sheetName, std::string& error);

// False when the program was built without the workbook libraries.
bool workbooksSupported();

}  // namespace studyhop::tool
