#include "ui/controls.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace studyhop {
namespace {

TEST(ControlsTest, EnterAndSpaceClickAFocusedButton) {
    QWidget window;
    QPushButton* button = makeButton(&window, "Command1", QStringLiteral("OK"), 0, 0, 600, 300);
    QSignalSpy clicks(button, &QPushButton::clicked);
    QTest::keyClick(button, Qt::Key_Return);
    QTest::keyClick(button, Qt::Key_Space);
    EXPECT_EQ(clicks.count(), 2);
    EXPECT_EQ(button->objectName(), QStringLiteral("Command1"));
}

}  // namespace
}  // namespace studyhop
