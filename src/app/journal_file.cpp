#include "app/journal_file.h"

#include <fcntl.h>
#include <unistd.h>

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
    const int fd = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) {
        return;
    }
    [[maybe_unused]] const ssize_t written = ::write(fd, line.data(), line.size());
    ::close(fd);
}

}  // namespace studyhop
