#pragma once

#include <string>
#include <string_view>

#include "data/file_io.h"
#include "data/question_table.h"
#include "data/status.h"

namespace studyhop {

// The current format (count line, ten fields per question) or the legacy
// format (seven fields per question, no count line, no statistics).
enum class FileFormat { Current, Legacy };

// A name ending in exactly "qzb" (case significant) is a legacy file.
FileFormat formatForName(std::string_view name);

inline constexpr int kNoRecordLimit = -1;

// What a loader read. On an error `status` says what and where, and `table`
// keeps the rows read before it, so the caller can decide what to do.
struct LoadResult {
    QuestionTable table;
    int count = 0;        // the count line (current) or the records read (legacy)
    int recordsRead = 0;  // complete records read into the table
    Status status;
};

// Reads a current question file. `count` is the count line's value, which
// must be a whole number from 0 to 101, whatever number of records follows.
LoadResult loadCurrentQuestionFile(FileSystem& fs, const std::string& path);
// Reads a legacy question file; with a record limit the reading stops after
// that many records (the editor reads at most 100).
LoadResult loadLegacyQuestionFile(FileSystem& fs, const std::string& path,
                                  int recordLimit = kNoRecordLimit);

// The same readers over bytes already in memory; `path` only names the file
// in the status.
LoadResult parseCurrentQuestionFile(const std::string& path, std::string_view bytes);
LoadResult parseLegacyQuestionFile(const std::string& path, std::string_view bytes,
                                   int recordLimit = kNoRecordLimit);

// Rewrites the whole file from rows 0..count-1, atomically.
Status saveQuestionFile(FileSystem& fs, const std::string& path, FileFormat format,
                        const QuestionTable& table, int count);
// Adds one plain-style legacy record at the end; the old bytes stay as they
// are (a missing line end after the last old record is added first).
Status appendQuestionRecord(FileSystem& fs, const std::string& path, const QuestionTable& table,
                            int row);
// The quiz's rewrite of a current file with updated statistics: the count
// line `count` and the rows 0..rows-1. The quiz passes the records it read,
// so a record beyond the count line is kept and no record is invented.
Status writeBackStatistics(FileSystem& fs, const std::string& path, const QuestionTable& table,
                           int count, int rows);

// The bytes of a whole file as saveQuestionFile writes them, as UTF-8 text.
std::string questionFileText(FileFormat format, const QuestionTable& table, int count);

}  // namespace studyhop
