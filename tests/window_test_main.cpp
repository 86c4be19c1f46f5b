#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>

#include "ui/controls.h"
#include "window_test.h"

namespace studyhop::test {

void saveScreenshot(QWidget* window, const char* name) {
    const QByteArray dir = qgetenv("STUDYHOP_SCREENSHOTS");
    if (!dir.isEmpty()) {
        window->grab().save(QString::fromLocal8Bit(dir) + "/" + name + ".png");
    }
}

}  // namespace studyhop::test

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
#ifdef Q_OS_WIN
        // The Windows build of Qt has no FreeType, which the offscreen
        // platform draws text with; and Wine hands no QT_ variable on.
        qputenv("QT_QPA_PLATFORM", "windows");
#else
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    }
    QApplication app(argc, argv);
    studyhop::applyProgramFont(app);
    app.setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
