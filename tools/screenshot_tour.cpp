// Takes a picture of every window of the real program for the user guide:
// drives the windows through a short session over the sample files in the
// current directory and saves PNG files into the directory given.
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTest>
#include <cstdio>

#include "app/window_set.h"
#include "data/file_io.h"
#include "editor/editor_window.h"
#include "quiz/quiz_window.h"
#include "quiz/result_window.h"
#include "shell/file_chooser.h"
#include "shell/main_window.h"
#include "shell/new_file_dialog.h"
#include "shell/password_dialog.h"
#include "shell/settings_dialog.h"
#include "ui/controls.h"
#include "ui/prompt.h"
#include "window/shared_state.h"

using namespace studyhop;

namespace {

QString outDir;

// Answers every message box with OK, and pictures the first of each title.
class PicturePrompt : public Prompt {
public:
    PromptAnswer ask(const QString& text, const QString& title, PromptButtons buttons) override {
        if (!m_shot.contains(title)) {
            m_shot << title;
            QMessageBox box(QMessageBox::NoIcon, title, text);
            box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
            if (buttons == PromptButtons::OkCancel) {
                box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
            }
            box.show();
            QApplication::processEvents();
            box.grab().save(outDir + "/message_" + QString::number(m_shot.size()) + ".png");
        }
        return PromptAnswer::Ok;
    }

private:
    QStringList m_shot;
};

void shoot(QWidget* window, const char* name) {
    QApplication::processEvents();
    if (window == nullptr || !window->grab().save(outDir + "/" + name + ".png")) {
        std::fprintf(stderr, "no picture of %s\n", name);
        std::exit(1);
    }
}

template <class W>
W* loaded(WindowSet& windows, WindowId id) {
    return loadedAs<W>(windows, id);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    applyProgramFont(app);
    if (argc != 2) {
        std::fprintf(stderr, "usage: screenshot_tour OUTPUT_DIR\n");
        return 2;
    }
    outDir = QString::fromLocal8Bit(argv[1]);
    PicturePrompt prompt;
    FileSystem files(".");
    WindowSet windows(prompt, files, [] {});
    SharedState& state = windows.state();

    auto* main = showAs<Form1>(windows, WindowId::Form1);
    shoot(main, "main_window");

    main->Command1_Click(3);
    auto* settings = loaded<System>(windows, WindowId::System);
    settings->Combo1->setCurrentIndex(0);
    shoot(settings, "settings_dialog");
    settings->Command2_Click();

    // A quiz over the current sample file.
    main->Command1_Click(1);
    auto* chooser = loaded<Form7>(windows, WindowId::Form7);
    chooser->File1->setCurrentRow(0);
    shoot(chooser, "chooser_quiz_mode");
    chooser->Command1_Click();
    auto* quiz = loaded<Form4>(windows, WindowId::Form4);
    quiz->Command1_KeyDown(1, '1', 0);
    shoot(quiz, "quiz_window");
    quiz->Command1_Click(1);
    for (int i = 0;
         i < 7 && windows.isLoaded(WindowId::Form4) && !windows.isLoaded(WindowId::Form6); ++i) {
        quiz->Command1_KeyDown(1, i % 2 ? '2' : '3', 0);
        quiz->Command1_Click(1);
    }
    auto* results = loaded<Form6>(windows, WindowId::Form6);
    shoot(results, "result_window");
    shoot(quiz, "quiz_retest");
    results->Command1_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // The editor on the same file.
    main->Command1_Click(0);
    chooser = loaded<Form7>(windows, WindowId::Form7);
    shoot(chooser, "chooser_editor_mode");
    chooser->File1->setCurrentRow(0);
    chooser->Command1_Click();
    auto* editor = loaded<Form2>(windows, WindowId::Form2);
    editor->Command6_Click();
    shoot(editor, "editor_browse");
    editor->Command7_Click();
    shoot(editor, "editor_edit");
    editor->Command1_Click();
    editor->Command1_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // A new file.
    main->Command1_Click(0);
    chooser = loaded<Form7>(windows, WindowId::Form7);
    chooser->Command3_Click();
    auto* newFile = loaded<Form3>(windows, WindowId::Form3);
    newFile->Text1->setText(QStringLiteral("英単語"));
    shoot(newFile, "new_file_dialog");
    newFile->Command1_Click(0);
    editor = loaded<Form2>(windows, WindowId::Form2);
    editor->Text1->setText(QStringLiteral("「りんご」を英語で言うと？"));
    editor->Text2[0]->setText(QStringLiteral("apple"));
    editor->Text2[1]->setText(QStringLiteral("orange"));
    editor->Text2[2]->setText(QStringLiteral("grape"));
    editor->Combo1->setCurrentIndex(0);
    shoot(editor, "editor_new_file");
    editor->Command4_Click();
    editor->Command1_Click();
    QDir().remove(QStringLiteral("英単語.qz2"));

    // Maintenance mode.
    main->Command1_KeyDown(0, 'Z', 4);
    auto* password = loaded<Form5>(windows, WindowId::Form5);
    password->Text1->setText(QStringLiteral("pelican"));
    shoot(password, "password_dialog");
    password->Command1_Click();
    shoot(main, "main_window_maintenance");
    return 0;
}
