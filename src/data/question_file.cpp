#include "data/question_file.h"

#include <strings.h>

#include <algorithm>

#include "data/cp932.h"
#include "data/field_reader.h"
#include "data/file_io.h"
#include "data/text_encoding.h"

namespace studyhop {

namespace {

constexpr int kCurrentFields = 10;
constexpr int kLegacyFields = 7;

enum class Style { Quoted, Plain };
enum class Spelling { AsRead, AsWritten };

int lineAt(std::string_view text, size_t offset) {
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + offset, '\n'));
}

// Question and choice texts; the columns after them hold numbers, which the
// editor keeps as texts such as "1" and "0" that are meant to read back as
// numbers.
constexpr int kLastTextColumn = kChoice1 + 4;

// A text in plain style is quoted when plain bytes would read back as
// another text. A double quote cannot be quoted; such texts are refused
// where they are typed.
bool needsQuotes(const std::string& text, int column) {
    return column <= kLastTextColumn && !readsBackPlain(text) &&
           text.find('"') == std::string::npos;
}

void appendCell(std::string& out, const Cell& cell, Style style, int column) {
    switch (cell.kind()) {
        case CellKind::Empty:
            break;
        case CellKind::Text:
            if (style == Style::Quoted || needsQuotes(cell.asText(), column)) {
                out += '"';
                out += cell.asText();
                out += '"';
            } else {
                out += cell.asText();
            }
            break;
        case CellKind::Number: {
            const std::string digits = cell.asText();
            if (style == Style::Quoted) {
                out += digits;
            } else if (!digits.empty() && digits[0] == '-') {
                out += digits + " ";
            } else {
                out += " " + digits + " ";
            }
            break;
        }
    }
}

void appendRecord(std::string& out, const QuestionRow& row, int fields, Style style) {
    for (int c = 0; c < fields; ++c) {
        if (c > 0) {
            out += ',';
        }
        appendCell(out, row[c], style, c);
    }
    out += "\r\n";
}

Status fieldError(const std::string& path, FieldReader::Result result, int line) {
    switch (result) {
        case FieldReader::Result::Encoding:
            return Status::error(ErrorKind::Encoding, path, line);
        case FieldReader::Result::TooLong:
            return Status::error(ErrorKind::TooLarge, path, line, "1つの項目が長すぎます");
        default:
            return Status::error(ErrorKind::CutShort, path, line);
    }
}

// A number cell that the file spells without a blank after it was written
// from a text cell: the plain style puts blanks around numbers only.
void keepWrittenSpelling(const FieldReader& reader, Cell& cell) {
    const std::string_view bytes = reader.lastFieldBytes();
    if (cell.isNumber() && !bytes.empty() && bytes.back() != ' ') {
        cell = Cell::text(std::string(bytes));
    }
}

// Reads records of `fields` fields into rows from 0 until the end of the
// text. With a `limit` of at most kRows (none when negative) the records
// after it are read and checked but not kept, and there is no fixed maximum.
void readRecords(const std::string& path, FieldReader& reader, int fields, int limit,
                 LoadResult& result, Spelling spelling = Spelling::AsRead,
                 FieldPlaces* places = nullptr) {
    int row = 0;
    QuestionRow beyond{};
    while (!reader.atEndOfRecords()) {
        const bool limited = limit >= 0 && limit <= kRows;
        const bool keep = !limited || row < limit;
        if (!limited && row >= kRows) {
            result.status = Status::error(ErrorKind::TooManyRecords, path, reader.line());
            return;
        }
        QuestionRow& target = keep ? result.table.rows[row] : beyond;
        if (keep) {
            result.recordLine[row] = reader.line();
        }
        if (places != nullptr) {
            places->fields.emplace_back();
        }
        for (int c = 0; c < fields; ++c) {
            Cell& cell = target[c];
            const FieldReader::Result r = reader.read(cell);
            if (r != FieldReader::Result::Ok) {
                target = QuestionRow{};
                result.status = fieldError(path, r, reader.faultLine());
                return;
            }
            if (spelling == Spelling::AsWritten) {
                keepWrittenSpelling(reader, cell);
            }
            if (places != nullptr) {
                places->fields.back()[c] = {reader.lastFieldBegin(), reader.lastFieldEnd()};
            }
        }
        if (places != nullptr) {
            places->recordEnd.push_back(reader.position());
        }
        ++row;
        if (keep) {
            result.recordsRead = row;
        } else {
            ++result.recordsBeyondLimit;
        }
    }
}

// NUL bytes make a file no text file at all; UTF-8 text is named as such
// rather than read as CP932 mojibake.
Status checkText(const std::string& path, std::string_view bytes) {
    const size_t nul = bytes.find('\0');
    if (nul != std::string_view::npos) {
        return Status::error(ErrorKind::NulByte, path, lineAt(bytes, nul));
    }
    if (looksLikeUtf8Text(bytes)) {
        return Status::error(ErrorKind::Utf8, path);
    }
    return {};
}

}  // namespace

FileFormat formatForName(std::string_view name) {
    // Old Windows media often spell names in capitals.
    return name.size() >= 3 && ::strncasecmp(name.data() + name.size() - 3, "qzb", 3) == 0
               ? FileFormat::Legacy
               : FileFormat::Current;
}

namespace {

LoadResult parseCurrent(const std::string& path, std::string_view bytes, Spelling spelling,
                        FieldPlaces* places = nullptr) {
    LoadResult result;
    result.status = checkText(path, bytes);
    if (!result.status.ok()) {
        return result;
    }
    FieldReader reader(bytes);
    Cell countCell;
    const bool read = !reader.atEndOfRecords() && reader.readField(countCell);
    if (places != nullptr) {
        places->countLine = {reader.lastFieldBegin(), reader.lastFieldEnd()};
    }
    const auto count = countCell.numericValue();
    if (!read || countCell.isEmpty() || !count || *count < 0 || *count > kRows ||
        *count != static_cast<int>(*count)) {
        result.status = Status::error(ErrorKind::BadCountLine, path, 1);
        return result;
    }
    result.count = static_cast<int>(*count);
    readRecords(path, reader, kCurrentFields, kNoRecordLimit, result, spelling, places);
    return result;
}

}  // namespace

LoadResult parseCurrentQuestionFile(const std::string& path, std::string_view bytes) {
    return parseCurrent(path, bytes, Spelling::AsRead);
}

LoadResult parseQuestionFileAsWritten(const std::string& path, std::string_view bytes,
                                      FileFormat format) {
    if (format == FileFormat::Current) {
        return parseCurrent(path, bytes, Spelling::AsWritten);
    }
    LoadResult result;
    result.status = checkText(path, bytes);
    if (result.status.ok()) {
        FieldReader reader(bytes);
        readRecords(path, reader, kLegacyFields, kNoRecordLimit, result, Spelling::AsWritten);
        result.count = result.recordsRead;
    }
    return result;
}

LoadResult parseQuestionFileWithPlaces(const std::string& path, std::string_view bytes,
                                       FileFormat format, FieldPlaces& places) {
    places = FieldPlaces{};
    if (format == FileFormat::Current) {
        return parseCurrent(path, bytes, Spelling::AsRead, &places);
    }
    LoadResult result;
    result.status = checkText(path, bytes);
    if (result.status.ok()) {
        FieldReader reader(bytes);
        readRecords(path, reader, kLegacyFields, kNoRecordLimit, result, Spelling::AsRead, &places);
        result.count = result.recordsRead;
    }
    return result;
}

LoadResult parseLegacyQuestionFile(const std::string& path, std::string_view bytes,
                                   int recordLimit) {
    LoadResult result;
    result.status = checkText(path, bytes);
    if (!result.status.ok()) {
        return result;
    }
    FieldReader reader(bytes);
    readRecords(path, reader, kLegacyFields, recordLimit, result);
    result.count = result.recordsRead;
    return result;
}

namespace {

template <class Parse>
LoadResult loadWith(FileSystem& fs, const std::string& path, Parse parse) {
    std::string bytes;
    FileStamp stamp;
    LoadResult result;
    result.status = fs.readFile(path, bytes, kMaxFileBytes, &stamp);
    if (result.status.ok()) {
        result = parse(bytes);
    }
    result.stamp = stamp;
    return result;
}

}  // namespace

LoadResult loadCurrentQuestionFile(FileSystem& fs, const std::string& path) {
    return loadWith(fs, path,
                    [&](std::string_view bytes) { return parseCurrentQuestionFile(path, bytes); });
}

LoadResult loadLegacyQuestionFile(FileSystem& fs, const std::string& path, int recordLimit) {
    return loadWith(fs, path, [&](std::string_view bytes) {
        return parseLegacyQuestionFile(path, bytes, recordLimit);
    });
}

namespace {

std::string currentFileText(const QuestionTable& table, int count, int rows) {
    std::string text = std::to_string(count) + "\r\n";
    for (int r = 0; r < std::clamp(rows, 0, kRows); ++r) {
        appendRecord(text, table.rows[r], kCurrentFields, Style::Plain);
    }
    return text;
}

}  // namespace

std::string plainFieldText(const Cell& cell, int column) {
    std::string text;
    appendCell(text, cell, Style::Plain, column);
    return text;
}

std::string plainRecordText(const QuestionRow& row, int fields) {
    std::string text;
    appendRecord(text, row, std::clamp(fields, 0, kColumns), Style::Plain);
    return text;
}

std::string questionFileText(FileFormat format, const QuestionTable& table, int count) {
    count = std::clamp(count, 0, kRows);
    if (format == FileFormat::Current) {
        return currentFileText(table, count, count);
    }
    std::string text;
    for (int r = 0; r < count; ++r) {
        appendRecord(text, table.rows[r], kLegacyFields, r == 0 ? Style::Quoted : Style::Plain);
    }
    return text;
}

}  // namespace studyhop
