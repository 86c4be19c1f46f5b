// The peer of the start-up probe: a minimal Qt Widgets program with one
// window of four buttons the same size, quitting when the event loop is idle.
#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include "ui/controls.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    studyhop::applyProgramFont(app);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Studyhop Ver 1.6"));
    window.setFixedSize(338, 151);
    const char* captions[] = {"問題登録", "問     題", "設     定", "終     了"};
    for (int i = 0; i < 4; ++i) {
        auto* button = new QPushButton(QString::fromUtf8(captions[i]), &window);
        button->setGeometry(248, 8 + 32 * i, 81, 33);
    }
    window.show();
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
