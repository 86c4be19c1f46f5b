#include "shell/file_chooser.h"

#include <algorithm>
#include <string_view>

#include <QDir>

#include "data/file_io.h"
#include "data/file_name.h"
#include "data/platform.h"
#include "data/question_file.h"
#include "ui/controls.h"
#include "ui/prompt.h"
#include "ui/twips.h"
#include "window/question_files.h"
#include "window/shared_state.h"

namespace studyhop {

Form7::Form7(const WindowContext& context)
    : Form(context, WindowId::Form7, QStringLiteral("ファイルを開く"), 3240, 2175) {
    File1 = new FileListBox(this);
    File1->setObjectName(QStringLiteral("File1"));
    placeTwips(File1, 120, 120, 1695, 1530);
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->addItems({QStringLiteral("*.qz2"), QStringLiteral("*.qzb"), QStringLiteral("すべて")});
    Combo1->setCurrentIndex(2);
    placeTwips(Combo1, 120, 1800, 1695, 300);
    Command3 = makeButton(this, "Command3", QStringLiteral("新規作成"), 1920, 120, 1215, 375);
    Command1 = makeButton(this, "Command1", QStringLiteral("開    く"), 1920, 600, 1215, 375);
    Command2 = makeButton(this, "Command2", QStringLiteral("ｷｬﾝｾﾙ"), 1920, 1080, 1215, 375);
    Label1 = makeLabel(this, "Label1", QString(), 1920, 1560, 1215, 255);
    Label1->setVisible(false);

    setTabOrder(Command2, Command1);
    setTabOrder(Command1, File1);
    setTabOrder(File1, Command3);
    setTabOrder(Command3, Combo1);

    connect(Combo1, &QComboBox::activated, this, [this](int) { Combo1_Click(); });
    connect(Command1, &QPushButton::clicked, this, &Form7::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form7::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form7::Command3_Click);
    onKeyDown(File1, [this](KeyDown key) {
        File1_KeyDown(key.keyCode, key.shift);
        return key.keyCode == kKeyEnter;
    });
    setDialogKeys(nullptr, Command2);
    File1->setAccessibleName(QStringLiteral("問題ファイル"));
    Combo1->setAccessibleName(QStringLiteral("ファイルの種類"));
    nameComboBox(Combo1, QStringLiteral("ファイルの種類"));
    Command3->setAccessibleName(QStringLiteral("新規作成"));
    Command1->setAccessibleName(QStringLiteral("開く"));
    Command2->setAccessibleName(QStringLiteral("キャンセル"));
    Command2->setFocus();
}

void Form7::Form_Load() {
    if (m_state.Mode() == 1) {
        Label1->setVisible(true);
    }
    // The list shows the directory as it is now.
    File1->setFileSystem(&m_fs);
    File1->setPattern(kQuestionFilePattern);
}

void Form7::OpenForQuiz() {
    m_mode = ChooserMode::Quiz;
    Label1->setText(QStringLiteral("2"));
    moveTopTwips(Command1, 120);
    moveTopTwips(Command2, 600);
    Command3->setVisible(false);
}

bool Form7::selectFile(const std::string& nameOrPath) {
    File1->clearSelection();
    File1->setCurrentItem(nullptr);
    // Worked out on the bytes: Qt's file names would turn a CP932 name into
    // replacement characters that name no file.
    const size_t slash = lastPathSeparator(nameOrPath);
    const std::string folder = slash == std::string::npos ? "." : nameOrPath.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? nameOrPath : nameOrPath.substr(slash + 1);
    const QString shown = QString::fromStdString(displayFileName(nameOrPath).text);
    const bool here = sameFolder(folder, ".");
    QString problem;
    if (name.empty() || !m_fs.exists(nameOrPath)) {
        problem = QStringLiteral("次のファイルが見つかりません\r\nファイル名 ：") + shown;
    } else if (!here) {
        problem = QStringLiteral(
                      "次のファイルは作業中のフォルダーにないため開けません\r\n"
                      "ファイル名 ：") +
                  shown + QStringLiteral("\r\n作業中のフォルダー ：") +
                  QDir::toNativeSeparators(QDir::currentPath());
    } else if (const Status type = m_fs.checkType(name); !type.ok()) {
        problem = QString::fromStdString(type.message());
    } else if (const int row = File1->rowOfBytes(name); row >= 0) {
        File1->setCurrentRow(row);
        File1->scrollToItem(File1->item(row));
        // Enter now opens the file.
        File1->setFocus();
        return true;
    } else {
        problem = QStringLiteral(
                      "次のファイルは問題ファイル（*.qz2, *.qzb）として"
                      "一覧にないため開けません\r\nファイル名 ：") +
                  shown;
    }
    m_prompt.ask(problem, QStringLiteral("エラー"));
    return false;
}

void Form7::Combo1_Click() {
    File1->setPattern(Combo1->currentIndex() == 2 ? kQuestionFilePattern : Combo1->currentText());
}

void Form7::Command1_Click() {
    openSelected();
}

void Form7::File1_KeyDown(int keyCode, int /*shift*/) {
    if (keyCode == kKeyEnter) {
        openSelected();
    }
}

void Form7::Command2_Click() {
    unloadSelf();
}

void Form7::Command3_Click() {
    m_owner.show(WindowId::Form3);
}

void Form7::openSelected() {
    const QString name = File1->selectedName();
    if (name.isEmpty() && File1->count() == 0) {
        // Nothing to open: say where question files come from.
        const bool filtered = Combo1->currentIndex() != 2;
        QString text = QStringLiteral("このフォルダーには開ける問題ファイル（%1）がありません。\r\n"
                                      "フォルダー ：%2\r\n")
                           .arg(filtered ? Combo1->currentText() : QStringLiteral("*.qz2, *.qzb"),
                                QDir::toNativeSeparators(QDir::currentPath()));
        if (filtered) {
            text += QStringLiteral("ほかの種類の問題ファイルは、ファイルの種類を「すべて」にすると表示されます。");
        } else if (m_mode == ChooserMode::Editor) {
            text += QStringLiteral("問題ファイルを作るには「新規作成」を押してください。");
        } else {
            text += QStringLiteral(
                "問題ファイルを作るには、メイン画面の「問題登録」を押して最初の問題を登録してください。");
        }
        m_prompt.ask(text, QStringLiteral("確認"));
        if (!filtered) {
            unloadSelf();
        }
        return;
    }
    if (name.isEmpty()) {
        unloadSelf();
        return;
    }
    if (!File1->selectedNameDecodes()) {
        m_prompt.ask(
            QStringLiteral("ファイル名 ：") + name +
                QStringLiteral("\r\nファイル名に読めない文字（�）があるため開けません。\r\n"
                               "ファイル名を変えてから開いてください。"),
            QStringLiteral("エラー"));
        return;
    }
    // The editor goes: input typed there and not registered is the user's to drop.
    if (!m_owner.queryUnload(WindowId::Form2)) {
        return;
    }
    m_state.setFileNameBytes(name, File1->selectedBytes());
    const FileState fileState = formatForName(File1->selectedBytes()) == FileFormat::Legacy
                                    ? FileState::Legacy
                                    : FileState::Current;
    const bool editorMode = m_mode == ChooserMode::Editor;
    if (editorMode) {
        m_prompt.ask(QStringLiteral("次のファイルを開きました\r\nファイル名 ：") + name,
                     QStringLiteral("確認ＢＯＸ"));
        tellOfConflictCopies(name, File1->selectedBytes());
    } else {
        tellOfConflictCopies(name, File1->selectedBytes());
        m_state.setF_name(name);
    }
    m_state.setFileState(fileState);
    // The window that opens always loads afresh. A result window left from an
    // earlier quiz goes too, so its OK cannot close the new quiz.
    m_owner.unload(WindowId::Form2);
    m_owner.unload(WindowId::Form4);
    m_owner.unload(WindowId::Form6);
    if (editorMode) {
        m_state.setText1(name);
        m_owner.show(WindowId::Form2);
    } else {
        m_owner.show(WindowId::Form4);
    }
    unloadSelf();
}

void Form7::tellOfConflictCopies(const QString& shown, const std::string& bytes) {
    auto display = [](const std::string& name) {
        return QString::fromStdString(displayFileName(name).text);
    };
    QString text;
    if (const std::optional<ConflictCopy> copy = conflictCopy(bytes)) {
        if (!m_state.firstNotice("is a conflict copy: " + bytes)) {
            return;
        }
        text = QStringLiteral(
                   "次のファイルは、同期ソフトが作った「%1」の競合コピーです。\r\n"
                   "ファイル名 ：%2\r\n"
                   "ここで登録した問題や成績は「%1」には入りません。")
                   .arg(display(copy->original), shown);
    } else {
        QStringList names;
        std::vector<std::string> copies = conflictCopiesOf(bytes, m_fs.list());
        std::sort(copies.begin(), copies.end());
        for (const std::string& c : copies) {
            if (m_state.firstNotice("conflict copy beside its file: " + c)) {
                names << QStringLiteral("競合コピー ：") + display(c);
            }
        }
        if (names.isEmpty()) {
            return;
        }
        text = QStringLiteral("次のファイルには、同期ソフトが作った競合コピーがあります。\r\n"
                              "ファイル名 ：%1\r\n%2\r\n"
                              "競合コピーは、2台のパソコンで同時に変更されたとき、もう一方の変更を"
                              "残したファイルです。このファイルにない問題や成績があるかもしれません。"
                              "「studyhop-tool merge ファイル 競合コピー」で、競合コピーにしかない問題を"
                              "このファイルに加えられます。中身を確かめて、要らなくなったら削除してください。")
                   .arg(shown, names.join(QStringLiteral("\r\n")));
    }
    m_prompt.ask(text, QStringLiteral("確認"));
}

}  // namespace studyhop
