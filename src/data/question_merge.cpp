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

// A field's CP932 bytes; counters and most correct numbers are plain ASCII,
// which needs no conversion.
Conversion encodeField(const std::string& text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return encodeCp932(text);
        }
    }
    Conversion ascii;
    ascii.text = text;
    return ascii;
}

bool endsWithLineEnd(const std::string& bytes) {
    return bytes.empty() || bytes.back() == '\n' || bytes.back() == '\r';
}

}  // namespace

namespace {

// Two texts compare as they are; only the other kinds ("1" and 1, an empty
// cell and "") need their texts made.
bool sameText(const Cell& a, const Cell& b) {
    if (a.isText() && b.isText()) {
        return a == b;
    }
    return a.asText() == b.asText();
}

}  // namespace

bool sameQuestion(const QuestionRow& a, const QuestionRow& b) {
    for (int c = kQuestionText; c <= kCorrectNumber; ++c) {
        if (!sameText(a[c], b[c])) {
            return false;
        }
    }
    return true;
}

bool sameRow(const QuestionRow& a, const QuestionRow& b) {
    for (int c = 0; c < kColumns; ++c) {
        if (!sameText(a[c], b[c])) {
            return false;
        }
    }
    return true;
}

namespace {

// A key that tells most questions apart cheaply: the start of each text and
// its length. Rows that share a key are compared whole when looked up.
std::uint64_t identity(const QuestionRow& row) {
    constexpr size_t kStart = 16;
    std::uint64_t key = 0;
    for (int c = kQuestionText; c <= kCorrectNumber; ++c) {
        const std::string text = row[c].isText() ? std::string() : row[c].asText();
        const std::string_view view = row[c].isText() ? row[c].textView() : std::string_view(text);
        key = (key ^ hashBytes(view.substr(0, kStart))) * 0x100000001b3ULL + view.size();
    }
    return key;
}

}  // namespace

QuestionIndex::QuestionIndex(const QuestionTable& table, int count) : m_table(table) {
    for (int r = 0; r < std::clamp(count, 0, kRows); ++r) {
        m_rows[identity(table.rows[r])].push_back(r);
    }
}

std::vector<int> QuestionIndex::twins(const QuestionRow& row) const {
    std::vector<int> twins;
    if (const auto found = m_rows.find(identity(row)); found != m_rows.end()) {
        for (const int r : found->second) {
            if (sameQuestion(m_table.rows[r], row)) {
                twins.push_back(r);
            }
        }
    }
    return twins;
}

namespace {

// The rule of findQuestion, given the twins of row `row` on both sides.
int chooseTwin(const QuestionTable& read, const std::vector<int>& twinsRead, int row,
               const QuestionTable& now, const std::vector<int>& twinsNow) {
    if (std::find(twinsRead.begin(), twinsRead.end(), row) == twinsRead.end()) {
        return -1;  // not a row that was read
    }
    // Without twins the question is itself whatever its counters say now:
    // another machine's pass may have counted it meanwhile.
    if (twinsRead.size() == 1 && twinsNow.size() == 1) {
        return twinsNow.front();
    }
    const QuestionRow& target = read.rows[row];
    int alike = 0;       // twins read that are the same in every cell
    int alikeOrder = 0;  // and the place of `row` among them
    for (const int r : twinsRead) {
        if (sameRow(read.rows[r], target)) {
            alikeOrder += r < row ? 1 : 0;
            ++alike;
        }
    }
    std::vector<int> alikeNow;
    for (const int r : twinsNow) {
        if (sameRow(now.rows[r], target)) {
            alikeNow.push_back(r);
        }
    }
    return static_cast<int>(alikeNow.size()) == alike ? alikeNow[alikeOrder] : -1;
}

std::vector<int> twinsOf(const QuestionTable& table, int count, const QuestionRow& row) {
    std::vector<int> twins;
    for (int r = 0; r < std::clamp(count, 0, kRows); ++r) {
        if (sameQuestion(table.rows[r], row)) {
            twins.push_back(r);
        }
    }
    return twins;
}

}  // namespace

int findQuestion(const QuestionIndex& read, int row, const QuestionIndex& now) {
    if (row < 0 || row >= kRows) {
        return -1;
    }
    const QuestionRow& target = read.table().rows[row];
    return chooseTwin(read.table(), read.twins(target), row, now.table(), now.twins(target));
}

int findQuestion(const QuestionTable& read, int readCount, int row, const QuestionTable& now,
                 int nowCount) {
    // One question: a scan of both tables costs less than indexing them.
    if (row < 0 || row >= std::clamp(readCount, 0, kRows)) {
        return -1;
    }
    const QuestionRow& target = read.rows[row];
    return chooseTwin(read, twinsOf(read, readCount, target), row, now,
                      twinsOf(now, nowCount, target));
}

QuestionFileBytes::QuestionFileBytes(std::string path, std::string bytes, FileFormat format)
    : m_path(std::move(path)), m_bytes(std::move(bytes)), m_format(format) {
    parse();
}

// The records are read twice: once by the file's own reader, so that what is
// matched is exactly what the windows read, and once more for the places of
// the fields, which only a file that read cleanly has.
QuestionFileBytes::QuestionFileBytes(std::string path, std::string bytes, FileFormat format,
                                     const QuestionTable& known, int knownCount)
    : m_path(std::move(path)), m_bytes(std::move(bytes)), m_format(format) {
    if (!placeKnown(known, knownCount)) {
        parse();
    }
}

// The places of the fields without making their values: the bytes read as
// `known` already.
bool QuestionFileBytes::placeKnown(const QuestionTable& known, int knownCount) {
    m_read = LoadResult{};
    m_records.clear();
    FieldReader reader(m_bytes);
    if (m_format == FileFormat::Current) {
        Cell count;
        if (reader.atEndOfRecords() || !reader.readField(count)) {
            return false;
        }
        const auto value = wholeNumber(count, 0, kRows);
        if (!value) {
            return false;
        }
        m_read.count = static_cast<int>(*value);
        m_countLine = {reader.lastFieldBegin(), reader.lastFieldEnd()};
    }
    const int fields = fieldsOf(m_format);
    while (!reader.atEndOfRecords()) {
        if (static_cast<int>(m_records.size()) >= knownCount) {
            return false;
        }
        Record record;
        for (int c = 0; c < fields; ++c) {
            if (reader.skip() != FieldReader::Result::Ok) {
                return false;
            }
            record.fields[c] = {reader.lastFieldBegin(), reader.lastFieldEnd()};
        }
        record.whole = {record.fields[0].begin, reader.position()};
        m_records.push_back(std::move(record));
    }
    if (static_cast<int>(m_records.size()) != knownCount) {
        return false;
    }
    m_table = &known;
    m_read.recordsRead = knownCount;
    if (m_format == FileFormat::Legacy) {
        m_read.count = knownCount;
    }
    return true;
}

// One pass of the file's own reader, so that what is matched is exactly
// what the windows read, noting where every field lies.
void QuestionFileBytes::parse() {
    FieldPlaces places;
    m_read = parseQuestionFileWithPlaces(m_path, m_bytes, m_format, places);
    m_table = &m_read.table;
    m_records.clear();
    m_countLine = {};
    if (!m_read.status.ok()) {
        return;
    }
    m_countLine = {places.countLine.first, places.countLine.second};
    m_records.resize(static_cast<size_t>(m_read.recordsRead));
    for (size_t r = 0; r < m_records.size(); ++r) {
        Record& record = m_records[r];
        for (int c = 0; c < fieldsOf(m_format); ++c) {
            record.fields[c] = {places.fields[r][c].first, places.fields[r][c].second};
        }
        record.whole = {record.fields[0].begin, places.recordEnd[r]};
    }
}

Status QuestionFileBytes::countLineShort() const {
    return Status::error(ErrorKind::CutShort, m_path, 1,
                         "1行目の問題数は" + std::to_string(m_read.count) + "ですが、ファイルには" +
                             std::to_string(m_read.recordsRead) + "問しかありません");
}

int QuestionFileBytes::recordsAfter() const {
    int kept = 0;
    for (const Record& r : m_records) {
        kept += (r.erased ? 0 : 1) + r.inserted;
    }
    return kept + m_appendedCount;
}

Status QuestionFileBytes::set(int record, const QuestionRow& row) {
    if (record < 0 || record >= static_cast<int>(m_records.size())) {
        return Status::error(ErrorKind::BadValue, m_path);
    }
    std::array<std::string, kColumns> replaced;
    std::array<bool, kColumns> changed{};
    for (int c = 0; c < fieldsOf(m_format); ++c) {
        // What was displayed and given back unchanged keeps the file's
        // spelling ("3.140" stays, though it reads as 3.14).
        changed[c] = !sameText(row[c], m_table->rows[record][c]);
        if (!changed[c]) {
            continue;
        }
        Conversion encoded = encodeField(plainFieldText(row[c], c));
        if (!encoded.ok) {
            return unencodable(m_path, encoded);
        }
        replaced[c] = std::move(encoded.text);
    }
    m_records[record].changed = changed;
    m_records[record].replaced = std::move(replaced);
    return {};
}

Status QuestionFileBytes::setCell(int record, int column, const Cell& cell) {
    if (record < 0 || record >= static_cast<int>(m_records.size()) || column < 0 ||
        column >= fieldsOf(m_format)) {
        return Status::error(ErrorKind::BadValue, m_path);
    }
    Record& r = m_records[record];
    r.changed[column] = !sameText(cell, m_table->rows[record][column]);
    if (r.changed[column]) {
        Conversion encoded = encodeField(plainFieldText(cell, column));
        if (!encoded.ok) {
            return unencodable(m_path, encoded);
        }
        r.replaced[column] = std::move(encoded.text);
    }
    return {};
}

void QuestionFileBytes::erase(int record) {
    if (record >= 0 && record < static_cast<int>(m_records.size())) {
        m_records[record].erased = true;
    }
}

Status QuestionFileBytes::append(const QuestionRow& row) {
    Conversion encoded = encodeCp932(plainRecordText(row, fieldsOf(m_format)));
    if (!encoded.ok) {
        return unencodable(m_path, encoded);
    }
    m_appended += encoded.text;
    ++m_appendedCount;
    m_appendedRows.push_back(row);
    return {};
}

Status QuestionFileBytes::insertBefore(int record, const QuestionRow& row) {
    if (record < 0 || record >= static_cast<int>(m_records.size())) {
        return Status::error(ErrorKind::BadValue, m_path);
    }
    Conversion encoded = encodeCp932(plainRecordText(row, fieldsOf(m_format)));
    if (!encoded.ok) {
        return unencodable(m_path, encoded);
    }
    m_records[record].before += encoded.text;
    ++m_records[record].inserted;
    m_records[record].insertedRows.push_back(row);
    return {};
}

namespace {

// A row as the reader reads back the plain-style record written for it.
QuestionRow readBack(const QuestionRow& row, int fields) {
    const Conversion encoded = encodeCp932(plainRecordText(row, fields));
    FieldReader reader(encoded.text);
    QuestionRow back;
    for (int c = 0; c < fields; ++c) {
        reader.read(back[c]);
    }
    return back;
}

}  // namespace

QuestionTable QuestionFileBytes::tableAfter() const {
    QuestionTable table;
    const int fields = fieldsOf(m_format);
    int out = 0;
    const auto add = [&](const QuestionRow& row) {
        if (out < kRows) {
            table.rows[out] = row;
        }
        ++out;
    };
    for (size_t r = 0; r < m_records.size(); ++r) {
        const Record& record = m_records[r];
        for (const QuestionRow& row : record.insertedRows) {
            add(readBack(row, fields));
        }
        if (record.erased) {
            continue;
        }
        QuestionRow row = m_table->rows[r];
        for (int c = 0; c < fields; ++c) {
            if (record.changed[c]) {
                FieldReader reader(record.replaced[c]);
                reader.read(row[c]);
            }
        }
        add(row);
    }
    for (const QuestionRow& row : m_appendedRows) {
        add(readBack(row, fields));
    }
    return table;
}

Status QuestionFileBytes::checkShape(const std::string& bytes, int records) const {
    const Status cut = Status::error(ErrorKind::CutShort, m_path);
    FieldReader reader(bytes);
    if (m_format == FileFormat::Current) {
        Cell count;
        if (reader.atEndOfRecords() || !reader.readField(count) ||
            !count.equalsNumber(records)) {
            return Status::error(ErrorKind::BadCountLine, m_path, 1);
        }
    }
    int read = 0;
    while (!reader.atEndOfRecords()) {
        for (int c = 0; c < fieldsOf(m_format); ++c) {
            if (reader.skip() != FieldReader::Result::Ok) {
                return cut;
            }
        }
        if (++read > kRows) {
            return Status::error(ErrorKind::TooManyRecords, m_path);
        }
    }
    return read == records ? Status{} : cut;
}

std::string QuestionFileBytes::result() const {
    std::string out;
    out.reserve(m_bytes.size() + m_appended.size() + 16);
    size_t from = 0;
    // Copies the bytes up to `to` as they are, then continues after `next`.
    const auto copyUpTo = [&](size_t to, size_t next) {
        out.append(m_bytes, from, to - from);
        from = next;
    };
    const int count = recordsAfter();
    if (m_format == FileFormat::Current && m_read.status.ok() && count != m_read.count) {
        copyUpTo(m_countLine.begin, m_countLine.end);
        out += std::to_string(count);
    }
    for (const Record& record : m_records) {
        if (record.inserted > 0) {
            copyUpTo(record.whole.begin, record.whole.begin);
            out += record.before;
        }
        if (record.erased) {
            copyUpTo(record.whole.begin, record.whole.end);
            continue;
        }
        for (int c = 0; c < kColumns; ++c) {
            if (record.changed[c]) {
                copyUpTo(record.fields[c].begin, record.fields[c].end);
                out += record.replaced[c];
            }
        }
    }
    copyUpTo(m_bytes.size(), m_bytes.size());
    if (!m_appended.empty()) {
        // Without a line end the old last record and the new one would merge.
        if (!endsWithLineEnd(out)) {
            out += "\r\n";
        }
        out += m_appended;
    }
    return out;
}

}  // namespace studyhop
