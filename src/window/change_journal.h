#pragma once

#include <string>

namespace studyhop {

// What a change the user authorised did to a question file when it may lower
// statistics or remove records: a question deleted, the whole file deleted, a
// question modified with its rate cleared, a file replaced by a new one. The
// windows record each one right after the write succeeded; a checker outside
// the program tells such changes from lost data by it.
enum class JournalChange {
    QuestionDeleted,
    FileDeleted,
    RateCleared,       // a current file's question modified; its counters start again
    QuestionModified,  // a legacy file's question modified (its old text is gone)
    FileReplaced,      // a new file's first question written over a file of that name
    Overwritten,       // a file changed on disk replaced after the user's OK
};

class ChangeJournal {
public:
    virtual ~ChangeJournal() = default;
    // `file` is the path the window wrote, as it wrote it.
    virtual void record(JournalChange change, const std::string& file) = 0;
};

// The journal of a program run nobody checks: it keeps nothing.
class NoChangeJournal : public ChangeJournal {
public:
    void record(JournalChange, const std::string&) override {}
};

}  // namespace studyhop
