// Starts the real program's windows, shows the main window and quits as soon
// as the event loop is idle: the start-up cost as a whole process.
#include <QApplication>
#include <QTimer>

#include "app/window_set.h"
#include "data/file_io.h"
#include "ui/controls.h"
#include "ui/qt_prompt.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    studyhop::applyProgramFont(app);
    studyhop::QtPrompt prompt;
    studyhop::FileSystem files(".");
    studyhop::WindowSet windows(prompt, files, [] { QCoreApplication::quit(); });
    windows.show(studyhop::WindowId::Form1);
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
