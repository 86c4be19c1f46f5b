#pragma once

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "data/file_io.h"
#include "data/question_table.h"
#include "data/status.h"

namespace studyhop {

// The current format (count line, ten fields per question) or the legacy
// format (seven fields per question, no count line, no statistics).
enum class FileFormat { Current, Legacy };

// A name ending in "qzb" in any case ("chiri.qzb", "CHIRI.QZB") is a legacy file.
FileFormat formatForName(std::string_view name);

inline constexpr int kNoRecordLimit = -1;

// What a loader read. On an error `status` says what and where, and `table`
// keeps the rows read before it, so the caller can decide what to do.
struct LoadResult {
    QuestionTable table;
    int count = 0;                        // the count line (current) or the records read (legacy)
    int recordsRead = 0;                  // complete records read into the table
    std::array<int, kRows> recordLine{};  // the line on which each record read begins
    // Complete records after a legacy record limit: checked, not kept.
    int recordsBeyondLimit = 0;
    Status status;
    // The file the bytes came from, as it was when they were read (set by the
    // load functions; exists == false when the file is missing).
    FileStamp stamp;

    // A count line that is not the number of records in the file (legacy
    // files: records past the limit).
    bool countLineDisagrees() const { return count != recordsRead + recordsBeyondLimit; }
};

// Reads a current question file. `count` is the count line's value, which
// must be a whole number from 0 to 101, whatever number of records follows.
// UTF-8 text (see looksLikeUtf8Text) is refused with a Utf8 status.
LoadResult loadCurrentQuestionFile(FileSystem& fs, const std::string& path);
// Reads a legacy question file; with a record limit only that many records
// are kept (the editor keeps at most 100), but the rest of the file is still
// read, so a broken record anywhere is reported, and the complete records
// past the limit are counted in recordsBeyondLimit.
LoadResult loadLegacyQuestionFile(FileSystem& fs, const std::string& path,
                                  int recordLimit = kNoRecordLimit);

// The same readers over bytes already in memory; `path` only names the file
// in the status.
LoadResult parseCurrentQuestionFile(const std::string& path, std::string_view bytes);
LoadResult parseLegacyQuestionFile(const std::string& path, std::string_view bytes,
                                   int recordLimit = kNoRecordLimit);

// Where the fields of a question file lie in its bytes: [begin, end) of each
// field as FieldReader::lastFieldBegin/End give them, and where each record
// ends (after its last separator).
struct FieldPlaces {
    std::pair<size_t, size_t> countLine{};
    std::vector<std::array<std::pair<size_t, size_t>, kColumns>> fields;
    std::vector<size_t> recordEnd;
};

// parseCurrentQuestionFile or parseLegacyQuestionFile by `format`, noting
// where every field of the records read lies.
LoadResult parseQuestionFileWithPlaces(const std::string& path, std::string_view bytes,
                                       FileFormat format, FieldPlaces& places);

// Reads a question file (current or legacy by `format`) keeping what the
// writer's styles tell apart: a number that the file spells without the plain
// style's blanks ("3" rather than " 3 ") was a text when it was written, as the
// editor stores "1" and "0", and is read as that text. questionFileText of
// such a table gives back the bytes of any file the program wrote.
LoadResult parseQuestionFileAsWritten(const std::string& path, std::string_view bytes,
                                      FileFormat format);

// In plain style a question or choice text (columns 0..5) that would not read
// back as the same text (see readsBackPlain) is written quoted; every other
// cell keeps its plain bytes.

// One cell as the plain style writes it in `column` (UTF-8 text).
std::string plainFieldText(const Cell& cell, int column);
// One record of `fields` fields in plain style, with its CR LF (UTF-8 text).
std::string plainRecordText(const QuestionRow& row, int fields);

// The bytes of a whole new file holding rows 0..count-1, as UTF-8 text: the
// count line and plain records (current), or the first record quoted and
// the others plain (legacy).
std::string questionFileText(FileFormat format, const QuestionTable& table, int count);

}  // namespace studyhop
