#include "window/guarded_write.h"

#include "ui/prompt.h"

namespace studyhop {

QString changedOnDiskQuestion(const Status& changed) {
    // The data layer's detail says which: removed, rewritten or made anew.
    return QString::fromStdString(changed.message()) +
           QStringLiteral(
               "\r\nこのプログラムが読み込んだ内容と違います。それでも書き込みますか？\r\n"
               "OK：書き込む　キャンセル：書き込まない");
}

Status guardedWrite(Prompt& prompt, FileStamp& onDisk, ChangeJournal& journal,
                    const std::string& file, const std::function<Status(WriteCheck*)>& write) {
    WriteCheck check;
    check.expected = onDisk;
    Status status = write(&check);
    if (status.kind() == ErrorKind::Changed) {
        if (prompt.ask(changedOnDiskQuestion(status), QStringLiteral("確認"),
                       PromptButtons::OkCancel) == PromptAnswer::Cancel) {
            return status;
        }
        check.expected.reset();
        status = write(&check);
        if (status.ok()) {
            journal.record(JournalChange::Overwritten, file);
        }
    }
    if (status.ok()) {
        onDisk = check.written;
    }
    return status;
}

}  // namespace studyhop
