#pragma once

#include <QPushButton>
#include <QTest>

#include "shell/file_chooser.h"
#include "shell/main_window.h"
#include "window_test.h"

namespace studyhop::test {

inline const std::string kOneQuestion = sjis("1\r\n日本の首都は？,東京,大阪,京都,ﾅｼ,ﾅｼ,2,0,0,ﾅｼ\r\n");

class ChooserTest : public WindowTest {
protected:
    Form1* main() {
        if (!windows->isLoaded(WindowId::Form1)) {
            windows->show(WindowId::Form1);
        }
        return loadedAs<Form1>(*windows, WindowId::Form1);
    }
    Form7* chooser() { return loadedAs<Form7>(*windows, WindowId::Form7); }
    void click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    void select(const QString& name) {
        const auto items = chooser()->File1->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << name.toStdString();
        chooser()->File1->setCurrentItem(items.front());
    }
    QStringList listed() {
        QStringList names;
        for (int i = 0; i < chooser()->File1->count(); ++i) {
            names << chooser()->File1->fileName(i);
        }
        return names;
    }
};

}  // namespace studyhop::test
