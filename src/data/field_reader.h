#pragma once

#include <cstddef>
#include <string_view>

#include "data/cell.h"
#include "data/cp932.h"

namespace studyhop {

// No question text or choice is anywhere near this long; a longer field is
// refused before it is converted, so a hostile file cannot make the reader
// hold more than its own bytes.
inline constexpr std::size_t kMaxFieldBytes = 1024 * 1024;

// Reads the comma-separated fields of a question or settings file, straight
// from its CP932 bytes (commas, quotes, blanks and line ends are never part
// of a CP932 double-byte character). A field ends at a comma or a line end
// (CR LF, CR or LF); a record is just the next n fields, so a record may
// span lines.
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
    enum class Result {
        Ok,
        CutShort,  // the bytes end before the field, or inside an open quote
        Encoding,  // the field is not CP932
        TooLong,   // the field is longer than kMaxFieldBytes
    };

    // The reader keeps a view of `bytes`, which must outlive it.
    explicit FieldReader(std::string_view bytes) : m_text(bytes) {}
    explicit FieldReader(const char* bytes) : m_text(bytes) {}
    explicit FieldReader(std::string&&) = delete;

    // Skips blanks and line ends; true when nothing else is left. Blank lines
    // between and after records are never read as fields.
    bool atEndOfRecords();

    Result read(Cell& cell);
    bool readField(Cell& cell) { return read(cell) == Result::Ok; }
    // Reads past the next field as read() does, without making its value:
    // for finding where the fields of bytes already read lie.
    Result skip();

    // The 1-based line of the reading position.
    int line() const { return m_line; }
    // After a read that failed, the line the fault is on: the line of the open
    // quote, of the field that cannot be decoded, or, when the bytes end too
    // soon, the line where the last field read ended.
    int faultLine() const { return m_faultLine; }

    // The bytes of the field last read as the file spells them: without the
    // blanks before it and without its quotes. A number written in the plain
    // style keeps the blank after it here (" 3 " gives "3 ").
    std::string_view lastFieldBytes() const { return m_lastField; }
    // Where the field last read lies in the bytes: from the end of the
    // separator before it (blanks before the field included) to its own
    // separator, which is not part of it. Replacing these bytes replaces the
    // field and nothing else.
    std::size_t lastFieldBegin() const { return m_fieldBegin; }
    std::size_t lastFieldEnd() const { return m_fieldEnd; }
    // The reading position: after the separator of the field last read.
    std::size_t position() const { return m_pos; }

private:
    bool atLineEnd() const;
    void consumeLineEnd();
    void consumeSeparator();
    Result makeText(std::string_view bytes, Cell& cell);
    Result fail(Result result, int line);

    std::string_view m_text;
    std::string_view m_lastField;
    std::size_t m_pos = 0;
    std::size_t m_fieldBegin = 0;
    std::size_t m_fieldEnd = 0;
    int m_line = 1;
    int m_faultLine = 0;
    int m_lastFieldEndLine = 0;  // 0 until a field was read
    bool m_afterComma = false;
    bool m_skipping = false;
    Cp932Decoder m_decoder;
};

// True when `text` (UTF-8), written unquoted, reads back as the same text: it
// does not begin with a blank or a double quote, holds no separator, and does
// not have the form of a number unless it is exactly the text that number is
// written as (a negative zero reads back as a number equal to 0, so it does
// not count). "1" and "ab " read back as written; "007", "1.50", "+3" and
// " a" do not.
bool readsBackPlain(std::string_view text);

}  // namespace studyhop
