#include "data/question_merge.h"

#include <algorithm>

#include "data/cp932.h"
#include "data/field_reader.h"

namespace studyhop {

namespace {

int fieldsOf(FileFormat format) {
    return format == FileFormat::Current ? kColumns : kCorrectNumber + 1;
}

Status unencodable(const std::string& path, const Conversion& encoded) {
    return Status::error(ErrorKind::Encoding, path, 0,
                         "「" + encoded.character + "」はShift_JISで保存できません");
}

}  // namespace

bool sameQuestion(const QuestionRow& a, const QuestionRow& b) {
    for (int c = kQuestionText; c <= kCorrectNumber; ++c) {
        if (a[c].asText() != b[c].asText()) {
            return false;
        }
    }
    return true;
}

int occurrenceOf(const QuestionTable& table, int count, int row) {
    int k = 0;
    for (int r = 0; r < std::min({row, count, kRows}); ++r) {
        k += sameQuestion(table.rows[r], table.rows[row]) ? 1 : 0;
    }
    return k;
}

QuestionFileBytes::QuestionFileBytes(std::string path, std::string bytes, FileFormat format)
    : m_path(std::move(path)), m_bytes(std::move(bytes)), m_format(format) {
    parse();
}

// The records are read twice: once by the file's own reader, so that what is
// matched is exactly what the windows read, and once more for the places of
// the fields, which only a file that read cleanly has.
void QuestionFileBytes::parse() {
    m_read = m_format == FileFormat::Current ? parseCurrentQuestionFile(m_path, m_bytes)
                                             : parseLegacyQuestionFile(m_path, m_bytes);
    m_records.clear();
    m_countLine = {};
    if (!m_read.status.ok()) {
        return;
    }
    FieldReader reader(m_bytes);
    Cell cell;
    if (m_format == FileFormat::Current) {
        reader.atEndOfRecords();
        reader.readField(cell);
        m_countLine = {reader.lastFieldBegin(), reader.lastFieldEnd()};
    }
    const int fields = fieldsOf(m_format);
    while (static_cast<int>(m_records.size()) < m_read.recordsRead && !reader.atEndOfRecords()) {
        Record record;
        for (int c = 0; c < fields; ++c) {
            reader.readField(cell);
            record.fields[c] = {reader.lastFieldBegin(), reader.lastFieldEnd()};
        }
        record.whole = {record.fields[0].begin, reader.position()};
        m_records.push_back(record);
    }
}

void QuestionFileBytes::splice(Span span, const std::string& with) {
    m_bytes.replace(span.begin, span.end - span.begin, with);
}

Status QuestionFileBytes::countLineShort() const {
    return Status::error(ErrorKind::CutShort, m_path, 1,
                         "1行目の問題数は" + std::to_string(m_read.count) + "ですが、ファイルには" +
                             std::to_string(m_read.recordsRead) + "問しかありません");
}

int QuestionFileBytes::find(const QuestionRow& question, int occurrence) const {
    int seen = 0;
    for (int r = 0; r < records(); ++r) {
        if (sameQuestion(m_read.table.rows[r], question) && seen++ == occurrence) {
            return r;
        }
    }
    return -1;
}

Status QuestionFileBytes::replace(int record, const QuestionRow& row) {
    if (record < 0 || record >= static_cast<int>(m_records.size())) {
        return Status::error(ErrorKind::BadValue, m_path);
    }
    const QuestionRow& old = m_read.table.rows[record];
    std::vector<std::pair<Span, std::string>> changes;
    for (int c = fieldsOf(m_format) - 1; c >= 0; --c) {
        // What was displayed and given back unchanged keeps the file's
        // spelling ("3.140" stays, though it reads as 3.14).
        if (row[c].asText() == old[c].asText()) {
            continue;
        }
        Conversion encoded = encodeCp932(plainFieldText(row[c], c));
        if (!encoded.ok) {
            return unencodable(m_path, encoded);
        }
        changes.emplace_back(m_records[record].fields[c], std::move(encoded.text));
    }
    // From the last field back, so the places of the others stay valid.
    for (const auto& [span, text] : changes) {
        splice(span, text);
    }
    parse();
    return {};
}

void QuestionFileBytes::remove(int record) {
    if (record < 0 || record >= static_cast<int>(m_records.size())) {
        return;
    }
    splice(m_records[record].whole, "");
    parse();
    fixCountLine();
}

Status QuestionFileBytes::append(const QuestionRow& row) {
    Conversion encoded = encodeCp932(plainRecordText(row, fieldsOf(m_format)));
    if (!encoded.ok) {
        return unencodable(m_path, encoded);
    }
    // Without a line end the old last record and the new one would merge.
    if (!m_bytes.empty() && m_bytes.back() != '\n' && m_bytes.back() != '\r') {
        m_bytes += "\r\n";
    }
    m_bytes += encoded.text;
    parse();
    fixCountLine();
    return {};
}

void QuestionFileBytes::fixCountLine() {
    if (m_format != FileFormat::Current || !m_read.status.ok() ||
        m_read.count == m_read.recordsRead) {
        return;
    }
    splice(m_countLine, std::to_string(m_read.recordsRead));
    parse();
}

}  // namespace studyhop
