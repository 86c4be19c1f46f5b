#pragma once

#include <string>
#include <vector>

#include "data/file_io.h"
#include "data/question_file.h"
#include "data/question_table.h"
#include "data/status.h"

namespace studyhop {

// The questions most windows let a file hold; a change that would leave more
// is refused (the quiz reads a file of 101 questions, none makes one).
inline constexpr int kMaxQuestions = 100;

// A question file as a window read it (or as the last change left it): the
// base every change of that window is made against.
struct QuestionFileRead {
    std::string path;
    FileFormat format = FileFormat::Current;
    // exists == false: there was no file (a new file, or one removed).
    FileStamp stamp;
    QuestionTable table;
    int count = 0;  // the records read: rows 0..count-1
};

// What a window read, from the loader's result: every record it read,
// whatever the count line says.
QuestionFileRead questionFileRead(const std::string& path, FileFormat format,
                                  const LoadResult& loaded);

// One change a window makes to a question file.
struct QuestionChange {
    enum class Kind {
        Add,         // `row` becomes the last question
        Modify,      // question `index` (as read) gets the texts of `row`
        Remove,      // question `index` (as read) goes
        RemoveLast,  // question `index` goes, and the file with it when nothing else is in it
        Replace,     // a new file: `row` is its only question, over the file read (the user agreed)
        Counts,      // a quiz pass: `asked` and `correct` are added to the questions as read
        Insert,      // `row` goes back before question `index` as read (after the last: at the end)
    };
    Kind kind = Kind::Add;
    int index = 0;
    // Add, Replace: the whole row; Modify: columns 0..6, the counters too
    // when `clearCounters`. The reserved cell is never taken from here on a
    // modify: the file keeps its own.
    QuestionRow row;
    // Add: more rows after `row`'s place, all at once (a merge of a copy).
    std::vector<QuestionRow> rows;
    bool clearCounters = false;
    std::vector<double> asked;  // Counts: per row as read
    std::vector<double> correct;

    static QuestionChange add(const QuestionRow& row);
    // Adds every row of `rows` (at least one) in one write.
    static QuestionChange addAll(std::vector<QuestionRow> rows);
    static QuestionChange modify(int index, const QuestionRow& row, bool clearCounters);
    static QuestionChange remove(int index);
    static QuestionChange removeLast(int index);
    static QuestionChange replace(const QuestionRow& row);
    static QuestionChange counts(std::vector<double> asked, std::vector<double> correct);
    static QuestionChange insert(int index, const QuestionRow& row);
};

// The user's word on a change that needed it.
enum class Consent {
    None,
    Recreate,   // the file is gone: make it again from what the window holds
    KeepAsNew,  // the question was changed elsewhere too: add the typed one beside it
    Replace,    // the file changed since the user agreed to replace it: replace it still
};

enum class ChangeOutcome {
    Written,    // the change is on disk (a removal: the file or the record is gone)
    Refused,    // nothing was written; `status` says why
    NeedsWord,  // nothing was written; `word` says what the user is asked
    Busy,       // another copy is saving, or another program is still writing: try again soon
};

// What the user is asked before the change goes ahead.
enum class WordNeeded {
    None,
    FileRemoved,    // the file was removed elsewhere (Consent::Recreate)
    Conflict,       // the question was changed or removed elsewhere, or its twin cannot be told apart
    ReplaceChanged, // the file to be replaced changed since the user agreed (Consent::Replace)
};

struct ChangeResult {
    ChangeOutcome outcome = ChangeOutcome::Refused;
    Status status;  // the reason of any outcome but Written
    WordNeeded word = WordNeeded::None;
    // After Written: the file as it is now on disk, the window's new base.
    QuestionFileRead now;
    // The question to show afterwards (the changed or added one, or for a
    // removal the one now in its place), -1 when there is none.
    int shown = -1;
    bool fileRemoved = false;   // RemoveLast took the file away
    int otherQuestions = 0;     // RemoveLast: questions elsewhere that kept the file
    int notRecorded = 0;        // Counts: questions whose counts found no place
    int questionsLost = 0;      // ReplaceChanged: the questions the replace would drop
    QuestionRow removed;        // Remove, RemoveLast: the question as it was on disk
    int removedAt = -1;         // and its place there (where Insert puts it back)
    Consent consent = Consent::None;  // the word the change was applied with
};

// Every change of a question file goes through here: the editor's, the
// quiz's and the tool's. It reads the file as it is now under the lock,
// finds the questions by identity (findQuestion), applies the one change,
// checks that the result is still a file the program reads (at most
// kMaxQuestions questions after an add), and replaces the file; it never
// waits. Every other record keeps its bytes.
class QuestionFileChanger {
public:
    // `fs` must outlive the changer.
    explicit QuestionFileChanger(FileSystem& fs) : m_fs(fs) {}

    ChangeResult apply(const QuestionFileRead& read, const QuestionChange& change,
                       Consent consent = Consent::None);

private:
    FileSystem& m_fs;
};

}  // namespace studyhop
