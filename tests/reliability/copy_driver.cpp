// One copy of the program for the two-copies test: the real window set on
// the working directory, driven by commands read from stdin, one a line.
// Message boxes are answered from a queue (OK when it is empty) and printed
// as they come:
//   box<TAB>TITLE<TAB>TEXT          (line breaks in TEXT shown as "|")
// Each command ends with a line "end". Commands:
//   answers ok|cancel...   queue the answers of the next boxes
//   edit FILE              open the editor on FILE
//   modify ROW TEXT        in the editor: modify question ROW (from 0) to TEXT, register
//   add TEXT               in the editor: a new question TEXT, choices a..e, register
//   delete ROW             in the editor: delete question ROW
//   quiz FILE              open the quiz on FILE (registration order, no filter)
//   answerall              answer 1 to every question of the pass until it ends
//   close                  unload every window but the main window
// and, to race another copy at machine speed (each prints one box titled
// "result" with what it counted):
//   passes N FILE          N quiz passes over FILE; counts the passes saved without a box
//   adds N FILE PREFIX     opens the editor on FILE and registers N questions PREFIX1..PREFIXN;
//                          counts those "登録しました" was said for
//   settings N rate|order  N saves of the settings dialog changing only that value; counts
//                          saves, and the times the file no longer held this copy's last value
#include <QApplication>
#include <QTextStream>
#include <deque>
#include <iostream>
#include <string>

#include "app/window_set.h"
#include "data/file_io.h"
#include "editor/editor_window.h"
#include "quiz/quiz_window.h"
#include "quiz/result_window.h"
#include "data/settings_file.h"
#include "shell/main_window.h"
#include "shell/settings_dialog.h"
#include "ui/prompt.h"
#include "window/shared_state.h"

namespace studyhop {
namespace {

class QueuedPrompt : public Prompt {
public:
    PromptAnswer ask(const QString& text, const QString& title, PromptButtons) override {
        ++shown;
        lastTitle = title;
        if (quiet) {
            return PromptAnswer::Ok;
        }
        QString shown = text;
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("|"));
        std::cout << "box\t" << title.toStdString() << '\t' << shown.toStdString() << std::endl;
        if (answers.empty()) {
            return PromptAnswer::Ok;
        }
        const PromptAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::deque<PromptAnswer> answers;
    bool quiet = false;  // in the loops only counted
    int shown = 0;
    QString lastTitle;
};

void result(const std::string& text) {
    std::cout << "box\tresult\t" << text << std::endl;
}

FileState stateFor(const QString& file) {
    return file.endsWith(QStringLiteral(".qzb")) ? FileState::Legacy : FileState::Current;
}

void flush() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

Form2* showEditorRow(WindowSet& windows, int row) {
    auto* editor = loadedAs<Form2>(windows, WindowId::Form2);
    if (editor == nullptr || row < 0 || row >= editor->QCount) {
        return nullptr;
    }
    editor->Mcnt = row;
    editor->ShowQuestion();
    editor->SetBrowseState();
    return editor;
}

// Runs one command; returns false on a command it cannot carry out.
bool run(const QString& line, WindowSet& windows, QueuedPrompt& prompt) {
    const QString command = line.section(QLatin1Char(' '), 0, 0);
    const QString rest = line.section(QLatin1Char(' '), 1);
    SharedState& state = windows.state();
    if (command == QStringLiteral("answers")) {
        for (const QString& a : rest.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            prompt.answers.push_back(a == QStringLiteral("cancel") ? PromptAnswer::Cancel
                                                                   : PromptAnswer::Ok);
        }
        return true;
    }
    if (command == QStringLiteral("edit")) {
        state.setText1(rest);
        state.setFileState(stateFor(rest));
        return windows.show(WindowId::Form2) != nullptr;
    }
    if (command == QStringLiteral("modify")) {
        Form2* editor = showEditorRow(windows, rest.section(QLatin1Char(' '), 0, 0).toInt());
        if (editor == nullptr) {
            return false;
        }
        editor->Command7_Click();
        editor->Text1->setText(rest.section(QLatin1Char(' '), 1));
        editor->Command4_Click();
        return true;
    }
    if (command == QStringLiteral("add")) {
        auto* editor = loadedAs<Form2>(windows, WindowId::Form2);
        if (editor == nullptr) {
            return false;
        }
        editor->Command2_Click();
        editor->Text1->setText(rest);
        const char* choices[] = {"a", "b", "c", "d", "e"};
        for (int k = 0; k < 5; ++k) {
            editor->Text2[k]->setText(QString::fromLatin1(choices[k]));
        }
        editor->Combo1->setCurrentIndex(0);
        editor->Command4_Click();
        return true;
    }
    if (command == QStringLiteral("delete")) {
        Form2* editor = showEditorRow(windows, rest.toInt());
        if (editor == nullptr) {
            return false;
        }
        editor->Command3_Click();
        return true;
    }
    if (command == QStringLiteral("quiz")) {
        state.setF_name(rest);
        state.setFileState(stateFor(rest));
        state.setTex1(QStringLiteral("0"));
        state.setTex2(QStringLiteral("0"));
        return windows.show(WindowId::Form4) != nullptr;
    }
    if (command == QStringLiteral("answerall")) {
        for (int step = 0; step < 2 * kRows; ++step) {
            auto* quiz = loadedAs<Form4>(windows, WindowId::Form4);
            if (quiz == nullptr || windows.isLoaded(WindowId::Form6)) {
                return quiz != nullptr;
            }
            quiz->Command1_KeyDown(1, '1', 0);
            quiz->Command1_Click(1);
        }
        return false;
    }
    if (command == QStringLiteral("passes")) {
        const int n = rest.section(QLatin1Char(' '), 0, 0).toInt();
        const QString file = rest.section(QLatin1Char(' '), 1);
        int saved = 0;
        prompt.quiet = true;
        for (int i = 0; i < n; ++i) {
            const int before = prompt.shown;
            if (!run(QStringLiteral("quiz ") + file, windows, prompt) ||
                !run(QStringLiteral("answerall"), windows, prompt)) {
                break;
            }
            saved += prompt.shown == before ? 1 : 0;
            run(QStringLiteral("close"), windows, prompt);
            flush();
        }
        prompt.quiet = false;
        result("saved " + std::to_string(saved));
        return true;
    }
    if (command == QStringLiteral("adds")) {
        const int n = rest.section(QLatin1Char(' '), 0, 0).toInt();
        const QString file = rest.section(QLatin1Char(' '), 1, 1);
        const QString prefix = rest.section(QLatin1Char(' '), 2);
        if (!run(QStringLiteral("edit ") + file, windows, prompt)) {
            return false;
        }
        std::string saved;
        prompt.quiet = true;
        for (int i = 1; i <= n; ++i) {
            const int before = prompt.shown;
            const QString text = prefix + QString::number(i);
            run(QStringLiteral("add ") + text, windows, prompt);
            if (prompt.shown == before + 1 && prompt.lastTitle == QStringLiteral("確認ＢＯＸ")) {
                saved += text.toStdString() + " ";
            }
        }
        prompt.quiet = false;
        result(saved);
        return true;
    }
    if (command == QStringLiteral("settings")) {
        const int n = rest.section(QLatin1Char(' '), 0, 0).toInt();
        const bool rate = rest.section(QLatin1Char(' '), 1) == QStringLiteral("rate");
        int saved = 0;
        int lost = 0;
        int last = -1;
        FileSystem files(".");
        prompt.quiet = true;
        for (int i = 0; i < n; ++i) {
            if (last >= 0) {
                const SettingsRead now = readSettings(files, MissingSettings::Leave);
                lost += std::stoi(rate ? now.rateFilter : now.order) != last ? 1 : 0;
            }
            auto* dialog = showAs<System>(windows, WindowId::System);
            if (dialog == nullptr) {
                return false;
            }
            QComboBox* box = rate ? dialog->Combo1 : dialog->Combo2;
            const int value = (box->currentIndex() + 1) % box->count();
            box->setCurrentIndex(value);
            const int before = prompt.shown;
            dialog->Command1_Click();
            flush();
            if (prompt.shown == before) {
                ++saved;
                last = value;
            } else {
                last = -1;
            }
        }
        prompt.quiet = false;
        result("saved " + std::to_string(saved) + " lost " + std::to_string(lost));
        return true;
    }
    if (command == QStringLiteral("close")) {
        for (WindowId id : {WindowId::Form6, WindowId::Form4, WindowId::Form2, WindowId::Form7}) {
            windows.unload(id);
        }
        return true;
    }
    return false;
}

}  // namespace
}  // namespace studyhop

int main(int argc, char* argv[]) {
    using namespace studyhop;
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    QueuedPrompt prompt;
    FileSystem files(".");
    WindowSet windows(prompt, files, [] {});
    windows.show(WindowId::Form1);
    std::string line;
    while (std::getline(std::cin, line)) {
        if (line.empty()) {
            continue;
        }
        const bool ok = run(QString::fromStdString(line), windows, prompt);
        flush();
        std::cout << (ok ? "end" : "end failed") << std::endl;
    }
    windows.endProgram();
    flush();
    return 0;
}
