#include <QApplication>

#include "shell/window_set.h"
#include "ui/controls.h"
#include "ui/qt_prompt.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    studyhop::applyProgramFont(app);
    app.setQuitOnLastWindowClosed(false);
    studyhop::QtPrompt prompt;
    studyhop::WindowSet windows(prompt, [] { QCoreApplication::quit(); });
    windows.show(studyhop::WindowId::Form1);
    return app.exec();
}
