#include "data/question_change.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "data/cp932.h"
#include "data/question_merge.h"

namespace studyhop {

namespace {

using Kind = QuestionChange::Kind;

RewritePlan leave(Status status = {}) {
    RewritePlan plan;
    plan.status = std::move(status);
    return plan;
}

Status limitReached(const std::string& path) {
    return Status::error(ErrorKind::TooManyRecords, path, 0,
                         "1つのファイルに登録できる問題は" + std::to_string(kMaxQuestions) +
                             "問までです。新しい問題ファイルを作ってください");
}

// The bytes of a whole file holding the first `count` rows of `table`, as the
// program writes a new one.
std::string fileBytes(FileFormat format, const QuestionTable& table, int count) {
    return encodeCp932(questionFileText(format, table, count)).text;
}

}  // namespace

QuestionChange QuestionChange::add(const QuestionRow& row) {
    QuestionChange c;
    c.kind = Kind::Add;
    c.row = row;
    return c;
}

QuestionChange QuestionChange::addAll(std::vector<QuestionRow> rows) {
    QuestionChange c;
    c.kind = Kind::Add;
    c.rows = std::move(rows);
    return c;
}

QuestionChange QuestionChange::modify(int index, const QuestionRow& row, bool clearCounters) {
    QuestionChange c;
    c.kind = Kind::Modify;
    c.index = index;
    c.row = row;
    c.clearCounters = clearCounters;
    return c;
}

QuestionChange QuestionChange::remove(int index) {
    QuestionChange c;
    c.kind = Kind::Remove;
    c.index = index;
    return c;
}

QuestionChange QuestionChange::removeLast(int index) {
    QuestionChange c = remove(index);
    c.kind = Kind::RemoveLast;
    return c;
}

QuestionChange QuestionChange::replace(const QuestionRow& row) {
    QuestionChange c = add(row);
    c.kind = Kind::Replace;
    return c;
}

QuestionChange QuestionChange::counts(std::vector<double> asked, std::vector<double> correct) {
    QuestionChange c;
    c.kind = Kind::Counts;
    c.asked = std::move(asked);
    c.correct = std::move(correct);
    return c;
}

QuestionChange QuestionChange::insert(int index, const QuestionRow& row) {
    QuestionChange c = add(row);
    c.kind = Kind::Insert;
    c.index = index;
    return c;
}

QuestionFileRead questionFileRead(const std::string& path, FileFormat format,
                                  const LoadResult& loaded) {
    QuestionFileRead read;
    read.path = path;
    read.format = format;
    read.stamp = loaded.stamp;
    read.table = loaded.table;
    read.count = loaded.recordsRead;
    return read;
}

namespace {

// One attempt of a change on the file as it is now: what to write, and in
// `result` what that means to the window.
class Attempt {
public:
    Attempt(const QuestionFileRead& base, const QuestionChange& change, Consent consent,
            ChangeResult& result)
        : m_base(base), m_change(change), m_consent(consent), m_result(result) {}

    RewritePlan plan(const Status& read, std::string& bytes, const FileStamp& stamp) {
        m_result = ChangeResult{};
        const bool missing = read.kind() == ErrorKind::NotFound;
        if (missing) {
            if (m_base.stamp.exists) {
                if (std::optional<RewritePlan> p = removedElsewhere()) {
                    return *std::move(p);
                }
            }
            // Made again from what the window holds (a new file: from
            // nothing), then changed like any file.
            const bool recreate = m_base.stamp.exists && m_change.kind != Kind::Replace;
            bytes = fileBytes(m_base.format, m_base.table, recreate ? m_base.count : 0);
        } else if (m_change.kind == Kind::Replace && m_base.stamp.exists) {
            // Only the file the user agreed to replace is replaced; one that
            // arrived after that choice (a sync engine) is merged with.
            if (!stamp.sameContent(m_base.stamp) && m_consent != Consent::Replace) {
                const QuestionFileBytes now(m_base.path, bytes, m_base.format);
                m_result.questionsLost = now.records();
                return ask(WordNeeded::ReplaceChanged,
                           Status::error(ErrorKind::Changed, m_base.path, 0, "ほかで書き換えられました"));
            }
            bytes = fileBytes(m_base.format, m_base.table, 0);
        }
        // The file the window read, unchanged (the usual case): its rows
        // are known, only where they lie is looked for.
        const bool asRead = !missing && m_base.stamp.exists && stamp.sameContent(m_base.stamp) &&
                            !(m_change.kind == Kind::Replace);
        QuestionFileBytes file =
            asRead ? QuestionFileBytes(m_base.path, std::move(bytes), m_base.format, m_base.table,
                                       m_base.count)
                   : QuestionFileBytes(m_base.path, std::move(bytes), m_base.format);
        if (!file.status().ok()) {
            return refuse(file.status());
        }
        // A count line that promises more records than the file holds: a file
        // still being written when it came to be so since the window read it,
        // else one the editor opened as the records it has (and said so).
        // Statistics are never put into such a file.
        if (file.countLinePromisesMore()) {
            if (!stamp.sameContent(m_base.stamp)) {
                m_result.outcome = ChangeOutcome::Busy;
                m_result.status = file.countLineShort();
                return leave(m_result.status);
            }
            if (m_change.kind == Kind::Counts) {
                return refuse(file.countLineShort());
            }
        }
        if (Status s = change(file); !s.ok() || m_result.outcome != ChangeOutcome::Written) {
            return leave(s);
        }
        if (m_result.fileRemoved) {
            RewritePlan p;
            p.action = RewritePlan::Action::Remove;
            return p;
        }
        return replaceWith(file);
    }

private:
    // A file the window read is gone. Its removal is the user's wish when
    // the window meant to remove the file anyway; otherwise it is made again
    // only with the user's word (nullopt then).
    std::optional<RewritePlan> removedElsewhere() {
        const Status gone = Status::error(ErrorKind::Changed, m_base.path, 0, "ほかで削除されました");
        if (m_change.kind == Kind::Counts) {
            m_result.notRecorded = countsToRecord();
            return refuse(Status::error(ErrorKind::NotFound, m_base.path, 0, "ほかで削除されました"));
        }
        if (m_change.kind == Kind::RemoveLast && m_base.count <= 1) {
            m_result.outcome = ChangeOutcome::Written;
            m_result.fileRemoved = true;
            return leave();
        }
        if (m_change.kind == Kind::Replace) {
            return std::nullopt;  // nothing there to lose: made anew below
        }
        if (m_consent != Consent::Recreate) {
            return ask(WordNeeded::FileRemoved, gone);
        }
        return std::nullopt;
    }

    int countsToRecord() const {
        int n = 0;
        for (size_t r = 0; r < m_change.asked.size(); ++r) {
            const double correct = r < m_change.correct.size() ? m_change.correct[r] : 0;
            n += m_change.asked[r] != 0 || correct != 0 ? 1 : 0;
        }
        return n;
    }

    RewritePlan refuse(Status status) {
        m_result.outcome = ChangeOutcome::Refused;
        m_result.status = std::move(status);
        return leave(m_result.status);
    }

    RewritePlan ask(WordNeeded word, Status why) {
        m_result.outcome = ChangeOutcome::NeedsWord;
        m_result.word = word;
        m_result.status = std::move(why);
        return leave(m_result.status);
    }

    Status written(int shown) {
        m_result.outcome = ChangeOutcome::Written;
        m_result.shown = shown;
        return {};
    }

    int find(const QuestionFileBytes& file) const {
        return findQuestion(m_base.table, m_base.count, m_change.index, file.table(),
                            file.records());
    }

    Status conflict() {
        const Status s = Status::error(ErrorKind::Conflict, m_base.path);
        if (m_change.kind == Kind::Modify) {
            ask(WordNeeded::Conflict, s);
        } else {
            refuse(s);
        }
        return {};
    }

    Status append(QuestionFileBytes& file, const QuestionRow& row) {
        if (file.records() >= kMaxQuestions) {
            refuse(limitReached(m_base.path));
            return {};
        }
        if (Status s = file.append(row); !s.ok()) {
            refuse(s);
            return s;
        }
        return written(file.recordsAfter() - 1);
    }

    Status appendAll(QuestionFileBytes& file, const std::vector<QuestionRow>& rows) {
        if (file.records() + static_cast<int>(rows.size()) > kMaxQuestions) {
            refuse(limitReached(m_base.path));
            return {};
        }
        for (const QuestionRow& row : rows) {
            if (Status s = file.append(row); !s.ok()) {
                refuse(s);
                return s;
            }
        }
        return written(file.records());
    }

    // Applies the change to `file`; sets the outcome.
    Status change(QuestionFileBytes& file) {
        switch (m_change.kind) {
            case Kind::Add:
                if (!m_change.rows.empty()) {
                    return appendAll(file, m_change.rows);
                }
                return append(file, m_change.row);
            case Kind::Replace:
                return append(file, m_change.row);
            case Kind::Modify: {
                const int record = find(file);
                if (record < 0) {
                    if (m_consent == Consent::KeepAsNew) {
                        QuestionRow row = m_change.row;
                        row[kTimesAsked] = Cell::text("0");
                        row[kTimesCorrect] = Cell::text("0");
                        return append(file, row);
                    }
                    return conflict();
                }
                QuestionRow row = file.table().rows[record];
                for (int c = kQuestionText; c <= kCorrectNumber; ++c) {
                    row[c] = m_change.row[c];
                }
                if (m_change.clearCounters) {
                    row[kTimesAsked] = Cell::text("0");
                    row[kTimesCorrect] = Cell::text("0");
                }
                if (Status s = file.set(record, row); !s.ok()) {
                    refuse(s);
                    return s;
                }
                return written(record);
            }
            case Kind::Remove:
            case Kind::RemoveLast: {
                const int record = find(file);
                if (record < 0) {
                    return conflict();
                }
                m_result.removed = file.table().rows[record];
                m_result.removedAt = record;
                if (m_change.kind == Kind::RemoveLast && file.records() == 1) {
                    m_result.fileRemoved = true;
                    return written(-1);
                }
                file.erase(record);
                m_result.otherQuestions =
                    m_change.kind == Kind::RemoveLast ? file.recordsAfter() : 0;
                return written(std::min(record, file.recordsAfter() - 1));
            }
            case Kind::Counts:
                return counts(file);
            case Kind::Insert: {
                // Before the question that followed it, wherever that is now;
                // at the end when it is gone or there was none.
                const int follower = m_change.index < m_base.count ? find(file) : -1;
                if (follower < 0) {
                    return append(file, m_change.row);
                }
                if (file.records() >= kMaxQuestions) {
                    refuse(limitReached(m_base.path));
                    return {};
                }
                if (Status s = file.insertBefore(follower, m_change.row); !s.ok()) {
                    refuse(s);
                    return s;
                }
                return written(follower);
            }
        }
        return {};
    }

    // Every question is found in the file as it was read again, before any
    // of them is changed, so that one twin's new counts never mislead the
    // search for another.
    Status counts(QuestionFileBytes& file) {
        const QuestionTable& now = file.table();
        const QuestionIndex read(m_base.table, m_base.count);
        const QuestionIndex found(now, file.records());
        for (size_t r = 0; r < m_change.asked.size() && static_cast<int>(r) < m_base.count; ++r) {
            const double asked = m_change.asked[r];
            const double correct = r < m_change.correct.size() ? m_change.correct[r] : 0;
            if (asked == 0 && correct == 0) {
                continue;
            }
            const int record = findQuestion(read, static_cast<int>(r), found);
            if (record < 0) {
                ++m_result.notRecorded;
                continue;
            }
            const auto nowAsked = now.rows[record][kTimesAsked].numericValue();
            const auto nowCorrect = now.rows[record][kTimesCorrect].numericValue();
            if (!nowAsked || !nowCorrect) {
                ++m_result.notRecorded;
                continue;
            }
            Status s = file.setCell(record, kTimesAsked, Cell::number(*nowAsked + asked));
            if (s.ok()) {
                s = file.setCell(record, kTimesCorrect, Cell::number(*nowCorrect + correct));
            }
            if (!s.ok()) {
                refuse(s);
                return s;
            }
        }
        const int notRecorded = m_result.notRecorded;
        written(-1);
        m_result.notRecorded = notRecorded;
        return {};
    }

    // The file with the change made, provided the program still reads it.
    RewritePlan replaceWith(const QuestionFileBytes& file) {
        RewritePlan p;
        p.action = RewritePlan::Action::Replace;
        p.bytes = file.result();
        if (Status s = refuseUtf8Lookalike(m_base.path, p.bytes); !s.ok()) {
            return refuse(s);
        }
        if (p.bytes == file.bytes()) {
            p.action = RewritePlan::Action::Leave;  // nothing to write: a time alone is no change
        }
        // The result read as the readers would, without decoding it all again.
        const int records = file.recordsAfter();
        if (Status s = file.checkShape(p.bytes, records); !s.ok()) {
            return refuse(s);
        }
        m_result.now.path = m_base.path;
        m_result.now.format = m_base.format;
        m_result.now.table = file.tableAfter();
        m_result.now.count = records;
        return p;
    }

    const QuestionFileRead& m_base;
    const QuestionChange& m_change;
    Consent m_consent;
    ChangeResult& m_result;
};

}  // namespace

ChangeResult QuestionFileChanger::apply(const QuestionFileRead& read, const QuestionChange& change,
                                        Consent consent) {
    ChangeResult result;
    Attempt attempt(read, change, consent, result);
    const auto given = [consent](ChangeResult r) {
        r.consent = consent;
        return r;
    };
    FileStamp written;
    const Status status = rewriteFile(
        m_fs, read.path,
        [&](const Status& r, std::string& bytes, const FileStamp& stamp) {
            return attempt.plan(r, bytes, stamp);
        },
        &written);
    if (status.kind() == ErrorKind::Busy) {
        result = ChangeResult{};
        result.outcome = ChangeOutcome::Busy;
        result.status = status;
        return given(std::move(result));
    }
    if (result.outcome != ChangeOutcome::Written) {
        if (result.status.ok()) {
            result.status = status;
        }
        return given(std::move(result));
    }
    if (!status.ok()) {
        ChangeResult failed;
        failed.outcome = ChangeOutcome::Refused;
        failed.status = status;
        return given(std::move(failed));
    }
    result.now.stamp = written;
    if (result.fileRemoved) {
        result.now = QuestionFileRead{};
        result.now.path = read.path;
        result.now.format = read.format;
    }
    return given(std::move(result));
}

}  // namespace studyhop
