#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace studyhop {

// Comma-separated (RFC 4180) and tab-separated text as spreadsheets save it.
// A field that begins with a double quote runs to the closing quote; a
// doubled quote inside stands for one quote, and separators and line breaks
// inside belong to the field. Records end with CR LF, LF or a lone CR; a line
// end right before the end of the text does not start another record.
// A UTF-8 byte order mark at the start is not part of the first field.

struct DelimitedCell {
    std::string text;
    int line = 1;  // the line on which the field begins
};

struct DelimitedRecord {
    std::vector<DelimitedCell> cells;
    int line = 1;
};

struct DelimitedText {
    std::vector<DelimitedRecord> records;
    bool hadBom = false;
    bool ok = true;
    // Where the text broke the quoting rules, when !ok: 1-based line and field.
    int errorLine = 0;
    int errorColumn = 0;
    std::string error;  // a Japanese description
};

// Reads the whole text. Stops at the first quoting fault (a quote left open,
// or text after a closing quote); the records before it are kept.
DelimitedText readDelimited(std::string_view text, char separator);

// One record, every field quoted where a reader would otherwise split it or
// drop blanks: a separator, a quote, a line break, or blanks at either end;
// and a field that begins with '#', which some readers take for a comment.
// Ends with CR LF.
std::string delimitedRecord(const std::vector<std::string>& fields, char separator);

}  // namespace studyhop
