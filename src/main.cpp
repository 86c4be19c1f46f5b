#include <cstdio>

#include <QApplication>
#include <QDir>
#include <QTimer>

#include "app/display_check.h"
#include "app/hook_file.h"
#include "app/journal_file.h"
#include "app/window_set.h"
#include "data/file_io.h"
#include "data/platform.h"
#include "shell/file_chooser.h"
#include "shell/main_window.h"
#include "ui/controls.h"
#include "ui/qt_prompt.h"
#include "window/shared_state.h"

namespace {

// With STUDYHOP_REPORT_WINDOWS=<file> set, the program writes the working
// directory, its open windows and the chooser's mode and selection to that
// file once it has started, so that scripts can check a start from outside.
void reportWindows(const studyhop::WindowSet& windows) {
    const std::string path = qEnvironmentVariable("STUDYHOP_REPORT_WINDOWS").toStdString();
    if (path.empty()) {
        return;
    }
    using studyhop::WindowId;
    QString report = QStringLiteral("directory: ") + QDir::currentPath() + QLatin1Char('\n');
    report += QStringLiteral("windows:");
    for (WindowId id : {WindowId::Form1, WindowId::Form2, WindowId::Form3, WindowId::Form4,
                        WindowId::Form5, WindowId::Form6, WindowId::Form7, WindowId::System}) {
        if (const QWidget* window = windows.loaded(id)) {
            report += QLatin1Char(' ') + window->objectName();
        }
    }
    report += QLatin1Char('\n');
    if (const auto* chooser = studyhop::loadedAs<studyhop::Form7>(windows, WindowId::Form7)) {
        report += QStringLiteral("chooser mode: ") +
                  (chooser->mode() == studyhop::ChooserMode::Quiz ? QStringLiteral("quiz")
                                                                  : QStringLiteral("editor")) +
                  QLatin1Char('\n');
        report += QStringLiteral("chooser selection: ") + chooser->File1->selectedName() +
                  QLatin1Char('\n');
    }
    studyhop::replaceHookFile(path, report.toStdString());
}

// With STUDYHOP_HEARTBEAT=<file> set, a timer on the UI thread rewrites that
// file with a growing counter every 250 ms: a checker that sees the counter
// move knows the program answers.
void startHeartbeat(QObject& parent) {
    const std::string path = qEnvironmentVariable("STUDYHOP_HEARTBEAT").toStdString();
    if (path.empty()) {
        return;
    }
    auto* timer = new QTimer(&parent);
    QObject::connect(timer, &QTimer::timeout, timer, [path, beats = quint64(0)]() mutable {
        studyhop::replaceHookFile(path, std::to_string(++beats) + '\n');
    });
    timer->start(250);
}

// `--open PATH`, as a file association passes it: the program works in the
// file's folder. Returns the name to select there, or the path as given when
// the folder cannot be entered (the chooser then says so).
std::string enterFolderOf(const std::string& path) {
    const size_t slash = studyhop::lastPathSeparator(path);
    if (slash == std::string::npos) {
        return path;
    }
    const std::string folder = path.substr(0, slash + 1);
    if (!QDir::setCurrent(QString::fromStdString(folder))) {
        return path;
    }
    return path.substr(slash + 1);
}

}  // namespace

// `studyhop [FILE]`: the program works on the current directory. With a
// question file (a bare name or a path) it opens the chooser in quiz mode
// with that file selected. `studyhop --open PATH` works in the folder of
// PATH and selects the file there (the Windows file association).
int main(int argc, char* argv[]) {
    // Without a display Qt would abort; a server still coming up is waited for.
    if (const std::string problem = studyhop::displayProblem(5000); !problem.empty()) {
        std::fputs(problem.c_str(), stderr);
        return 1;
    }
    QApplication app(argc, argv);
    studyhop::applyProgramFont(app);
    app.setQuitOnLastWindowClosed(false);
    studyhop::QtPrompt prompt;
    // The program works on the files of the folder it is started in.
    studyhop::FileSystem files(".");
    studyhop::WindowSet windows(prompt, files, [] { QCoreApplication::quit(); });
    // With STUDYHOP_JOURNAL=<file> set, changes that remove data are logged there.
    const std::string journalPath = qEnvironmentVariable("STUDYHOP_JOURNAL").toStdString();
    studyhop::JournalFile journal(journalPath);
    if (!journalPath.empty()) {
        windows.setJournal(journal);
    }
    startHeartbeat(app);
    // The name's bytes as given: a file named in CP932 must still be found.
    // On Windows the arguments are read as UTF-8 from the wide command line.
    const std::vector<std::string> arguments = studyhop::commandLineArguments(argc, argv);
    std::string file = arguments.size() > 1 ? arguments[1] : std::string();
    if (file == "--open") {
        file = arguments.size() > 2 ? enterFolderOf(arguments[2]) : std::string();
    }
    // Started on a file, the folder is the user's: no settings file is made there.
    windows.state().setStartedOnFile(!file.empty());
    windows.show(studyhop::WindowId::Form1);
    QTimer::singleShot(0, &app, [&windows, file] {
        if (!file.empty()) {
            if (auto* main =
                    studyhop::loadedAs<studyhop::Form1>(windows, studyhop::WindowId::Form1)) {
                main->Command1_Click(1);
            }
            if (auto* chooser =
                    studyhop::loadedAs<studyhop::Form7>(windows, studyhop::WindowId::Form7)) {
                chooser->selectFile(file);
            }
        }
        reportWindows(windows);
    });
    return app.exec();
}
