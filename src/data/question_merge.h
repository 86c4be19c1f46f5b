#pragma once

#include <string>
#include <vector>

#include "data/question_file.h"
#include "data/question_table.h"
#include "data/status.h"

namespace studyhop {

// Two rows are the same question when their text, choices and correct number
// read as the same texts; the counters and the reserved column do not count.
bool sameQuestion(const QuestionRow& a, const QuestionRow& b);
// How many rows before `row` (of rows 0..count-1) are the same question as it:
// the k-th of identical questions in one file is matched with the k-th in another.
int occurrenceOf(const QuestionTable& table, int count, int row);

// A question file's bytes as they are on disk, with the place of every
// record and field, so that one change is made to the file as it is now:
// a record's changed cells, a removed record or an added one; every other
// byte (other records, blank lines, the spelling of cells nobody changed)
// stays as it was. A window that held the file in memory while it was
// changed elsewhere applies its own change here instead of writing its
// stale copy.
class QuestionFileBytes {
public:
    // Reads `bytes` (CP932) as a file in `format`; status() tells whether
    // they read as a question file. `path` only names the file in statuses.
    QuestionFileBytes(std::string path, std::string bytes, FileFormat format);

    const Status& status() const { return m_read.status; }
    // The file as the quiz and the editor read it.
    const LoadResult& read() const { return m_read; }
    const std::string& bytes() const { return m_bytes; }
    int records() const { return m_read.recordsRead; }
    // A current file's count line that promises more records than it holds:
    // a file still being written, or one cut short.
    bool countLinePromisesMore() const {
        return m_format == FileFormat::Current && m_read.count > m_read.recordsRead;
    }
    // The CutShort status for such a file, naming both numbers.
    Status countLineShort() const;

    // The record that is the `occurrence`-th (from 0) record of the same
    // question as `question`, or -1 when there is none.
    int find(const QuestionRow& question, int occurrence) const;

    // Writes `row` over record `record`: a cell whose text is the text read
    // there keeps its bytes, every other cell is written in plain style.
    // Encoding when a new text has no CP932 form; nothing changes then.
    Status replace(int record, const QuestionRow& row);
    // Removes record `record` with its line end. A current file's count line
    // becomes the number of records left.
    void remove(int record);
    // Adds `row` as a plain-style record after the last one; a current
    // file's count line becomes the number of records.
    Status append(const QuestionRow& row);
    // Makes a current file's count line the number of records it holds.
    void fixCountLine();

private:
    struct Span {
        size_t begin = 0;
        size_t end = 0;
    };
    struct Record {
        Span whole;  // the first field's first byte to after the last separator
        std::array<Span, kColumns> fields{};
    };

    void parse();
    void splice(Span span, const std::string& with);

    std::string m_path;
    std::string m_bytes;
    FileFormat m_format;
    LoadResult m_read;
    Span m_countLine;
    std::vector<Record> m_records;
};

}  // namespace studyhop
