#pragma once

#include <QString>
#include <functional>

#include "data/file_io.h"
#include "data/status.h"
#include "window/change_journal.h"

namespace studyhop {

class Prompt;

// One write of a file a window read earlier. `onDisk` is the stamp of the
// file as the window read it (or last wrote it). `write` is run with a check
// against it; when the file changed or vanished meanwhile, a box titled
// "確認" says so and offers to write anyway (OK) or not (キャンセル).
// OK runs `write` again without the check. Returns the status of the last
// write: Changed when the user cancelled (nothing was written; the box was
// already shown). After a successful write `onDisk` is the new file's stamp.
// A write the user allowed over a change is recorded in `journal` as
// Overwritten, under `file`.
Status guardedWrite(Prompt& prompt, FileStamp& onDisk, ChangeJournal& journal,
                    const std::string& file, const std::function<Status(WriteCheck*)>& write);

// The text of that box for a Changed status.
QString changedOnDiskQuestion(const Status& changed);

}  // namespace studyhop
