#pragma once

#include <QString>

#include "data/question_change.h"
#include "data/status.h"

namespace studyhop {

class Prompt;

// How often and how long a window waits for a file another copy is saving or
// another program is still writing: a few tries 300 ms apart.
inline constexpr int kBusyTries = 5;

// Lets 300 ms pass while the windows keep painting and timers keep running;
// the user's input waits meanwhile, so nothing is clicked twice.
void pauseForBusyFile();

bool isBusy(const ChangeResult& result);
bool isBusy(const Status& status);

// Runs `attempt` again, after a pause, while it answers Busy; the last
// answer comes back (Busy still, after kBusyTries).
template <class Attempt>
auto retryWhileBusy(Attempt attempt) -> decltype(attempt()) {
    auto result = attempt();
    for (int tries = 1; tries < kBusyTries && isBusy(result); ++tries) {
        pauseForBusyFile();
        result = attempt();
    }
    return result;
}

// A window's change of a question file: applied by the change object, asked
// about in a box titled "確認" when it needs the user's word (OK applies it
// with that word, キャンセル writes nothing), tried again while the file is
// busy. A box whose OK would drop questions has キャンセル as its default and
// says how many would go. `question` names the question a conflict is
// about. The result is the last one the change object gave: Written, or why
// not (NeedsWord after キャンセル).
ChangeResult changeQuestionFile(Prompt& prompt, FileSystem& fs, const QuestionFileRead& read,
                                const QuestionChange& change, const QString& question = {});

// The text for a change that ended Busy or Refused, after `failed` (what
// did not happen, for example "問題ファイルに保存できませんでした。").
QString changeFailureText(const QString& failed, const ChangeResult& result);

}  // namespace studyhop
