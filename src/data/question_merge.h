#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "data/question_file.h"
#include "data/question_table.h"
#include "data/status.h"

namespace studyhop {

// Two rows are the same question when their text, choices and correct number
// read as the same texts; the counters and the reserved column do not count.
bool sameQuestion(const QuestionRow& a, const QuestionRow& b);
// Two rows read as the same texts in every column, counters included.
bool sameRow(const QuestionRow& a, const QuestionRow& b);

// The rows of a table by question (text, choices, correct number), so that
// finding every question of a file in another takes time in proportion to
// their size.
class QuestionIndex {
public:
    QuestionIndex(const QuestionTable& table, int count);
    // The rows that are the same question as `row`, in order.
    std::vector<int> twins(const QuestionRow& row) const;
    const QuestionTable& table() const { return m_table; }

private:
    const QuestionTable& m_table;
    // By a hash of the question's texts; rows whose hashes meet are told
    // apart when looked up.
    std::unordered_map<std::uint64_t, std::vector<int>> m_rows;
};

// The record of `now` that is row `row` of `read`, or -1. A question is found
// by its text, choices and correct number, whatever its counters are now, as
// long as it has no twin (an identical question) on either side. Twins are
// told apart by their counters and reserved cell as read, and by their order
// among the twins that read the same in every cell; when that leaves any
// doubt (a twin is gone, changed or added), nothing is found: another twin
// is never taken in the place of the one read.
int findQuestion(const QuestionIndex& read, int row, const QuestionIndex& now);
// The same for one question: `read` holds rows 0..readCount-1, `now` rows
// 0..nowCount-1.
int findQuestion(const QuestionTable& read, int readCount, int row, const QuestionTable& now,
                 int nowCount);

// A question file's bytes as they are on disk, with the place of every
// record and field, so that changes are made to the file as it is now: a
// record's changed cells, a removed record, an added one; every other byte
// (other records, blank lines, the spelling of cells nobody changed) stays
// as it was. Changes are collected and made at once by result(), so the work
// grows with the file's size, never with the number of changes times it.
class QuestionFileBytes {
public:
    // Reads `bytes` (CP932) as a file in `format`; status() tells whether
    // they read as a question file. `path` only names the file in statuses.
    QuestionFileBytes(std::string path, std::string bytes, FileFormat format);
    // The same for bytes known to read as `known` (rows 0..knownCount-1):
    // the bytes a window read, read again unchanged. Only the places of the
    // fields are found; bytes that turn out otherwise are read in full.
    QuestionFileBytes(std::string path, std::string bytes, FileFormat format,
                      const QuestionTable& known, int knownCount);
    // It points into itself (or at `known`, which must outlive it).
    QuestionFileBytes(const QuestionFileBytes&) = delete;
    QuestionFileBytes& operator=(const QuestionFileBytes&) = delete;

    const Status& status() const { return m_read.status; }
    // The file as the quiz and the editor read it (its table: table()).
    const LoadResult& read() const { return m_read; }
    // Its questions: rows 0..records()-1.
    const QuestionTable& table() const { return *m_table; }
    const std::string& bytes() const { return m_bytes; }
    int records() const { return m_read.recordsRead; }
    // A current file's count line that promises more records than it holds:
    // a file still being written, or one cut short.
    bool countLinePromisesMore() const {
        return m_format == FileFormat::Current && m_read.count > m_read.recordsRead;
    }
    // The CutShort status for such a file, naming both numbers.
    Status countLineShort() const;
    // How many records result() holds.
    int recordsAfter() const;

    // Writes `row` over record `record` (the last call for a record counts):
    // a cell whose text is the text read there keeps its bytes, every other
    // cell is written in plain style. Encoding when a new text has no CP932
    // form; nothing changes then.
    Status set(int record, const QuestionRow& row);
    // The same for one cell, the others as they are.
    Status setCell(int record, int column, const Cell& cell);
    // Removes record `record` with its line end.
    void erase(int record);
    // Adds `row` as a plain-style record after the last one.
    Status append(const QuestionRow& row);
    // Adds `row` as a plain-style record just before record `record`.
    Status insertBefore(int record, const QuestionRow& row);

    // The bytes with every change made; a current file's count line is the
    // number of records it holds.
    std::string result() const;
    // The questions of result() as the file's reader reads them: the rows
    // read, with the changed cells and the added records read back from the
    // bytes written for them, so the file need not be decoded again.
    QuestionTable tableAfter() const;
    // Whether `bytes` (a result()) hold `records` whole records of this
    // format, and a count line saying so: the shape the readers need,
    // checked without decoding the texts again.
    Status checkShape(const std::string& bytes, int records) const;

private:
    struct Span {
        size_t begin = 0;
        size_t end = 0;
    };
    struct Record {
        Span whole;  // the first field's first byte to after the last separator
        std::array<Span, kColumns> fields{};
        bool erased = false;
        std::array<std::string, kColumns> replaced{};  // CP932 bytes of changed fields
        std::array<bool, kColumns> changed{};
        std::string before;  // CP932 records inserted before this one
        int inserted = 0;
        std::vector<QuestionRow> insertedRows;
    };

    void parse();
    bool placeKnown(const QuestionTable& known, int knownCount);

    std::string m_path;
    std::string m_bytes;
    FileFormat m_format;
    LoadResult m_read;
    // m_read.table, or the known table of bytes read unchanged.
    const QuestionTable* m_table = &m_read.table;
    Span m_countLine;
    std::vector<Record> m_records;
    std::string m_appended;  // CP932 records to add, each with its CR LF
    int m_appendedCount = 0;
    std::vector<QuestionRow> m_appendedRows;
};

}  // namespace studyhop
