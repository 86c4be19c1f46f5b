#pragma once

#include <string>

#include "window/change_journal.h"

namespace studyhop {

// A change journal kept in a file: each change appends one line, the change's
// name and the file's path separated by a tab ("question-deleted\tA.qz2"),
// written at once so that a checker reading between two inputs sees it.
class JournalFile : public ChangeJournal {
public:
    explicit JournalFile(std::string path) : m_path(std::move(path)) {}
    void record(JournalChange change, const std::string& file) override;

private:
    std::string m_path;
};

// The name a journal line gives a change.
const char* journalChangeName(JournalChange change);

}  // namespace studyhop
