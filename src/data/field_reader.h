#pragma once

#include <string_view>

#include "data/cell.h"

namespace studyhop {

// Reads the comma-separated fields of a question or settings file (decoded
// text). A field ends at a comma or a line end (CR LF, CR or LF); a record is
// just the next n fields, so a record may span lines.
//
// Blanks before a field are skipped. A field that begins with a double quote
// runs to the next double quote and is a text, whatever it holds; what follows
// the closing quote up to the next separator is skipped. An unquoted field is
// a number when it has the form of one, otherwise a text. Blanks after an
// unquoted text are kept: they are part of what the user typed, and keeping
// them lets a text written in plain style read back unchanged. An empty field
// is an empty cell.
class FieldReader {
public:
    explicit FieldReader(std::string_view text) : m_text(text) {}

    // Skips blanks and line ends; true when nothing else is left. Blank lines
    // between and after records are never read as fields.
    bool atEndOfRecords();

    // Reads one field into `cell`. False when the text ends before the field
    // begins, or inside a quoted field that is never closed.
    bool readField(Cell& cell);

    // The 1-based line of the reading position.
    int line() const { return m_line; }

private:
    bool atLineEnd() const;
    void consumeLineEnd();
    void consumeSeparator();

    std::string_view m_text;
    size_t m_pos = 0;
    int m_line = 1;
    bool m_afterComma = false;
};

}  // namespace studyhop
