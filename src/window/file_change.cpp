#include "window/file_change.h"

#include <QEventLoop>
#include <QTimer>

#include "data/file_name.h"
#include "ui/prompt.h"

namespace studyhop {

namespace {

QString toQt(const std::string& text) {
    return QString::fromStdString(text);
}

// The box for a change that needs the user's word, and the word its OK gives.
struct Question {
    QString text;
    PromptButtons buttons = PromptButtons::OkCancel;
    Consent consent = Consent::None;
};

Question questionFor(const ChangeResult& result, const QuestionFileRead& read,
                     const QString& question) {
    const QString why = toQt(result.status.message());
    switch (result.word) {
        case WordNeeded::FileRemoved:
            return {why + QStringLiteral("\r\nこのプログラムが表示している内容（%1問）でファイルを作り直しますか？"
                                         "\r\nOK：作り直す　キャンセル：書き込まない")
                              .arg(read.count),
                    PromptButtons::OkCancel, Consent::Recreate};
        case WordNeeded::Conflict:
            return {why + QStringLiteral("\r\n問題：%1\r\nOK：入力した内容を新しい問題として追加する"
                                         "　キャンセル：書き込まない")
                              .arg(question),
                    PromptButtons::OkCancel, Consent::KeepAsNew};
        case WordNeeded::ReplaceChanged:
            return {why + QStringLiteral("\r\nそれでも新しいファイルで置き換えますか？"
                                         "\r\n置き換えると、今ファイルにある%1問とその成績が失われます。"
                                         "\r\nOK：置き換える　キャンセル：書き込まない")
                              .arg(result.questionsLost),
                    PromptButtons::OkCancelSafe, Consent::Replace};
        case WordNeeded::None:
            break;
    }
    return {};
}

}  // namespace

void pauseForBusyFile() {
    QEventLoop loop;
    QTimer::singleShot(300, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

bool isBusy(const ChangeResult& result) {
    return result.outcome == ChangeOutcome::Busy;
}

bool isBusy(const Status& status) {
    return status.kind() == ErrorKind::Busy;
}

ChangeResult changeQuestionFile(Prompt& prompt, FileSystem& fs, const QuestionFileRead& read,
                                const QuestionChange& change, const QString& question) {
    QuestionFileChanger changer(fs);
    Consent consent = Consent::None;
    ChangeResult result;
    // Each word is asked for at most once: a file that came back while the
    // box was open is merged with, which may need another word, never the
    // same one again.
    for (int round = 0; round < 3; ++round) {
        result = retryWhileBusy([&] { return changer.apply(read, change, consent); });
        if (result.outcome != ChangeOutcome::NeedsWord) {
            return result;
        }
        const Question q = questionFor(result, read, question);
        if (q.consent == consent ||
            prompt.ask(q.text, QStringLiteral("確認"), q.buttons) != PromptAnswer::Ok) {
            return result;
        }
        consent = q.consent;
    }
    return result;
}

QString changeFailureText(const QString& failed, const ChangeResult& result) {
    if (result.outcome == ChangeOutcome::Busy && result.status.kind() == ErrorKind::CutShort) {
        return failed + QStringLiteral("\r\nファイル名 ：%1\r\n%2。ほかのプログラムが書き込み中かもしれません。"
                                       "しばらくしてから、もう一度お試しください。")
                            .arg(toQt(displayFileName(result.status.file()).text),
                                 toQt(result.status.detail()));
    }
    return failed + QStringLiteral("\r\n") + toQt(result.status.message());
}

}  // namespace studyhop
