#pragma once

#include <functional>
#include <string>

#include "data/file_io.h"
#include "data/question_file.h"
#include "data/question_table.h"
#include "data/status.h"
#include "editor/field_check.h"

namespace studyhop {

class QuestionFileBytes;

// The questions an editor holds, the one it shows, and the counters a stored
// question gets (as the counter boxes show them).
struct EditedQuestions {
    QuestionTable table;
    int QCount = 0;
    int Mcnt = 0;
    std::string timesAsked;
    std::string timesCorrect;
};

// Writes the shown question's texts into row Mcnt with the counters and the
// reserved marker.
void storeQuestion(EditedQuestions& questions, const QuestionFields& fields);

// The row the editor stores for the shown texts, with these counters and
// the reserved marker.
QuestionRow questionRow(const QuestionFields& fields, const std::string& timesAsked,
                        const std::string& timesCorrect);

// One change to the editor's questions, saved at once to the file as it is
// now: the change is applied by identity to what is on disk (another copy, a
// sync engine or another program may have changed it since the editor read
// it), every other record stays byte for byte, and afterwards the questions
// are what is on disk. When the file cannot be written, the questions are
// exactly as before the change.
class QuestionEdit {
public:
    // `questions`, `fs` and `onDisk` must outlive the edit. `onDisk` is the
    // file as the editor read or last wrote it; it becomes the written file.
    QuestionEdit(EditedQuestions& questions, FileSystem& fs, std::string path, FileFormat format,
                 FileStamp& onDisk)
        : m_questions(questions),
          m_fs(fs),
          m_path(std::move(path)),
          m_format(format),
          m_onDisk(onDisk) {}
    // For an editor that read no file: nothing was on disk.
    QuestionEdit(EditedQuestions& questions, FileSystem& fs, std::string path, FileFormat format)
        : QuestionEdit(questions, fs, std::move(path), format, m_noFile) {}
    QuestionEdit(const QuestionEdit&) = delete;
    QuestionEdit& operator=(const QuestionEdit&) = delete;

    // Registers a new question (the editor counts it in QCount before) with
    // zero counters, after the last one in the file.
    Status add(const QuestionFields& fields);
    // Replaces the texts of question Mcnt; `clearCounters` sets its counters
    // to zero, else they stay what the file holds. Conflict when that
    // question is no longer in the file (nothing is written).
    Status modify(const QuestionFields& fields, bool clearCounters);
    // Deletes question Mcnt: the last one leaves the one before it shown,
    // any other makes the next ones move up. Conflict when that question is
    // no longer in the file (nothing is written).
    Status removeShown();

    // Adds the shown texts as one more question after the last one in the
    // file, with zero counters: what the user typed for a question that was
    // changed elsewhere too is kept beside the other version.
    Status addCopy(const QuestionFields& fields);
    // Makes the questions what is on disk now, showing the one at Mcnt (or
    // the last there is).
    Status reload();

    // A file removed elsewhere gives Changed. After this call the next
    // change writes the file anew from the questions the editor holds.
    void recreateIfRemoved() { m_recreate = true; }
    // The editor was opened to make a new file over one of that name, as the
    // user agreed: the change is made to the questions it holds, not to what
    // is on disk, while the file is still the one the user agreed to
    // replace (else Changed).
    void replaceWhole() { m_replace = true; }

private:
    // Runs `change` on the file as it is now and writes the result.
    template <class Change>
    Status merge(int held, Change change);
    Status appendAfter(int held, const QuestionFields& fields);
    // Finds question Mcnt, as the editor holds it, in a file as it is now.
    std::function<int(const QuestionFileBytes&)> shownQuestion() const;

    EditedQuestions& m_questions;
    FileSystem& m_fs;
    std::string m_path;
    FileFormat m_format;
    FileStamp m_noFile;
    FileStamp& m_onDisk;
    bool m_recreate = false;
    bool m_replace = false;
};

}  // namespace studyhop
