#include "app/journal_file.h"

#include "app/hook_file.h"

namespace studyhop {

const char* journalChangeName(JournalChange change) {
    switch (change) {
        case JournalChange::QuestionDeleted:
            return "question-deleted";
        case JournalChange::FileDeleted:
            return "file-deleted";
        case JournalChange::RateCleared:
            return "rate-cleared";
        case JournalChange::QuestionModified:
            return "question-modified";
        case JournalChange::FileReplaced:
            return "file-replaced";
        case JournalChange::Overwritten:
            return "overwritten";
    }
    return "unknown";
}

void JournalFile::record(JournalChange change, const std::string& file) {
    // One write of the whole line with O_APPEND: a reader never sees half a
    // line of two writers mixed.
    const std::string line = std::string(journalChangeName(change)) + '\t' + file + '\n';
    appendHookFile(m_path, line);
}

}  // namespace studyhop
