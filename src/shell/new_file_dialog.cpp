#include "shell/new_file_dialog.h"


#include "data/file_io.h"
#include "data/file_name.h"
#include "data/question_file.h"
#include "ui/controls.h"
#include "ui/prompt.h"
#include "ui/twips.h"
#include "window/shared_state.h"

namespace studyhop {

QString fileNameProblem(const QString& name) {
    if (name.trimmed().isEmpty()) {
        return QStringLiteral("ファイル名が空白だけです。");
    }
    if (name.contains(QStringLiteral(".."))) {
        return QStringLiteral("ファイル名に「..」は使えません。");
    }
    // The names Windows cannot hold, on every system (the folder may be
    // synced to Windows): the data layer's one check.
    return QString::fromStdString(windowsNameProblem(name.toStdString()));
}

Form3::Form3(const WindowContext& context)
    : Form(context, WindowId::Form3, QStringLiteral("新規作成"), 3630, 1065) {
    Label1 = makeLabel(this, "Label1", QStringLiteral("ファイル名を入力して下さい"), 120, 120, 2175,
                       255);
    shrinkToFit(Label1);
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    placeTwips(Text1, 120, 600, 2175, 270);
    Command1[0] =
        makeButton(this, "Command1_0", QStringLiteral("Ｏ    Ｋ  (&S)"), 2400, 120, 1095, 375);
    Command1[1] =
        makeButton(this, "Command1_1", QStringLiteral("ｷｬﾝｾﾙ (&C)"), 2400, 600, 1095, 375);
    setTabOrder(Text1, Command1[0]);
    setTabOrder(Command1[0], Command1[1]);
    for (int i = 0; i < 2; ++i) {
        connect(Command1[i], &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
    }
    onKeyDown(Text1, [this](KeyDown key) {
        Text1_KeyDown(key.keyCode, key.shift);
        return key.keyCode == kKeyEnter;
    });
    setDialogKeys(nullptr, Command1[1]);
    Text1->setAccessibleName(QStringLiteral("ファイル名"));
    Command1[0]->setAccessibleName(QStringLiteral("ＯＫ"));
    Command1[1]->setAccessibleName(QStringLiteral("キャンセル"));
    Text1->setFocus();
}

void Form3::Command1_Click(int index) {
    if (index == 0) {
        create();
    } else {
        unloadSelf();
    }
}

void Form3::Text1_KeyDown(int keyCode, int /*shift*/) {
    if (keyCode == kKeyEnter) {
        create();
    }
}

void Form3::create() {
    const QString typed = Text1->text();
    if (typed.isEmpty()) {
        unloadSelf();
        return;
    }
    const QString problem = fileNameProblem(typed);
    if (!problem.isEmpty()) {
        m_prompt.ask(problem, QStringLiteral("エラー"));
        return;
    }
    // The editor starts afresh: input typed there and not registered is the
    // user's to drop.
    if (!m_owner.queryUnload(WindowId::Form2)) {
        return;
    }
    const QString fileName = typed + QStringLiteral(".qz2");
    // A named pipe or folder under the name is never replaced: another name is needed.
    if (const Status type = m_fs.checkType(fileName.toStdString()); !type.ok()) {
        m_prompt.ask(QString::fromStdString(type.message()), QStringLiteral("エラー"));
        return;
    }
    if (m_fs.exists(fileName.toStdString())) {
        // What the replace would drop, on a line of its own; Enter keeps it.
        const LoadResult old = loadCurrentQuestionFile(m_fs, fileName.toStdString());
        const QString lost =
            old.status.ok() ? QStringLiteral("置き換えると、今ファイルにある%1問とその成績が失われます。")
                                  .arg(old.recordsRead)
                            : QStringLiteral("置き換えると、今ファイルにある内容が失われます。");
        if (m_prompt.ask(QStringLiteral("同じ名前のファイルがあります。\r\nファイル名 ：") + fileName +
                             QStringLiteral("\r\n新しいファイルで置き換えますか？\r\n") + lost,
                         QStringLiteral("確認"), PromptButtons::OkCancelSafe) == PromptAnswer::Cancel) {
            return;
        }
    }
    // Nothing is on disk yet: the editor makes the file with its first question.
    m_prompt.ask(QStringLiteral("次の名前で新しい問題ファイルを始めます\r\nファイル名 ：") + fileName +
                     QStringLiteral("\r\nファイルは最初の問題を登録したときに作られます。"),
                 QStringLiteral("確認ＢＯＸ"));
    // A new file starts empty: a fresh editor on a new current file, never
    // one that still holds the questions of another file. The shared name and
    // file state stay as they are: a running quiz decides by them.
    m_owner.unload(WindowId::Form2);
    m_state.requestNewFile(fileName);
    m_owner.show(WindowId::Form2);
    unloadSelf();
    m_owner.unload(WindowId::Form7);
}

}  // namespace studyhop
