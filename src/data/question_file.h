#pragma once

#include <array>
#include <string>
#include <string_view>

#include "data/question_table.h"
#include "data/status.h"

namespace studyhop {

// The current format (count line, ten fields per question) or the legacy
// format (seven fields per question, no count line, no statistics).
enum class FileFormat { Current, Legacy };

// A name ending in exactly "qzb" (case significant) is a legacy file.
FileFormat formatForName(std::string_view name);

inline constexpr int kNoRecordLimit = -1;
inline constexpr int kEditorLegacyLimit = 100;

// What a loader read. On an error `status` says what and where, and `table`
// keeps the rows read before it, so the caller can decide what to do.
struct LoadResult {
    QuestionTable table;
    int count = 0;                        // the count line (current) or the records read (legacy)
    int recordsRead = 0;                  // complete records read into the table
    std::array<int, kRows> recordLine{};  // the line on which each record read begins
    Status status;
};

// Reads a current question file. `count` is the count line's value, which
// must be a whole number from 0 to 101, whatever number of records follows.
LoadResult loadCurrentQuestionFile(const std::string& path);
// Reads a legacy question file; with a record limit the reading stops after
// that many records (the editor reads at most 100).
LoadResult loadLegacyQuestionFile(const std::string& path, int recordLimit = kNoRecordLimit);

// The same readers over bytes already in memory; `path` only names the file
// in the status.
LoadResult parseCurrentQuestionFile(const std::string& path, std::string_view bytes);
LoadResult parseLegacyQuestionFile(const std::string& path, std::string_view bytes,
                                   int recordLimit = kNoRecordLimit);

// Reads a question file (current or legacy by `format`) keeping what the
// writer's styles tell apart: a number that the file spells without the plain
// style's blanks ("3" rather than " 3 ") was a text when it was written, as the
// editor stores "1" and "0", and is read as that text. questionFileText of
// such a table gives back the bytes of any file the program wrote.
LoadResult parseQuestionFileAsWritten(const std::string& path, std::string_view bytes,
                                      FileFormat format);

// Rewrites the whole file from rows 0..count-1, atomically.
Status saveQuestionFile(const std::string& path, FileFormat format, const QuestionTable& table,
                        int count);
// Adds one plain-style legacy record at the end; the old bytes stay as they
// are (a missing line end after the last old record is added first).
Status appendQuestionRecord(const std::string& path, const QuestionTable& table, int row);
// The quiz's rewrite of a current file with updated statistics: the count
// line `count` and the rows 0..rows-1. The quiz passes the records it read,
// so a record beyond the count line is kept and no record is invented.
Status writeBackStatistics(const std::string& path, const QuestionTable& table, int count,
                           int rows);

// The bytes of a whole file as saveQuestionFile writes them, as UTF-8 text.
std::string questionFileText(FileFormat format, const QuestionTable& table, int count);

// Encodes UTF-8 text and replaces the file with it.
Status encodeAndReplace(const std::string& path, std::string_view text);

}  // namespace studyhop
