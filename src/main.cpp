#include <QApplication>

#include "app/window_set.h"
#include "data/file_io.h"
#include "ui/controls.h"
#include "ui/qt_prompt.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    studyhop::applyProgramFont(app);
    app.setQuitOnLastWindowClosed(false);
    studyhop::QtPrompt prompt;
    // The program works on the files of the folder it is started in.
    studyhop::FileSystem files(".");
    studyhop::WindowSet windows(prompt, files, [] { QCoreApplication::quit(); });
    windows.show(studyhop::WindowId::Form1);
    return app.exec();
}
