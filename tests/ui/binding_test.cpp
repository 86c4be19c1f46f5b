#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "ui/controls.h"
#include "ui/key_codes.h"
#include "ui/twips.h"
#include "window_test.h"

namespace studyhop {
namespace {

KeyDown key(int qtKey, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    const QKeyEvent event(QEvent::KeyPress, qtKey, mods);
    return translateKey(event);
}

TEST(KeyCodesTest, TranslatesToClassicKeyCodesAndShiftBits) {
    struct Case {
        int qtKey;
        Qt::KeyboardModifiers mods;
        int code;
        int shift;
    } cases[] = {
        {Qt::Key_Z, Qt::AltModifier, 90, 4},
        {Qt::Key_Z, Qt::AltModifier | Qt::ShiftModifier, 90, 5},
        {Qt::Key_Z, Qt::AltModifier | Qt::ControlModifier, 90, 6},
        {Qt::Key_N, Qt::ShiftModifier, 78, 1},
        {Qt::Key_1, Qt::NoModifier, 49, 0},
        {Qt::Key_5, Qt::NoModifier, 53, 0},
        {Qt::Key_1, Qt::KeypadModifier, 97, 0},
        {Qt::Key_5, Qt::KeypadModifier, 101, 0},
        {Qt::Key_Return, Qt::NoModifier, 13, 0},
        {Qt::Key_Enter, Qt::KeypadModifier, 13, 0},
        {Qt::Key_F1, Qt::NoModifier, 0, 0},
    };
    for (const Case& c : cases) {
        const KeyDown k = key(c.qtKey, c.mods);
        EXPECT_EQ(k.keyCode, c.code) << c.qtKey;
        EXPECT_EQ(k.shift, c.shift) << c.qtKey;
    }
}

TEST(TwipsTest, FifteenTwipsArePixelAtNinetySixDpi) {
    QWidget window;
    auto* label = makeLabel(&window, "Label1", QString(), 120, 3480, 4935, 615);
    EXPECT_EQ(label->geometry(), QRect(8, 232, 329, 41));
    EXPECT_EQ(topTwips(label), 3480);
    setClientSizeTwips(&window, 6345, 4080);
    EXPECT_EQ(outerHeightTwips(&window), 4470);
    setOuterHeightTwips(&window, 3510);
    EXPECT_EQ(outerHeightTwips(&window), 3510);
}

TEST(ControlsTest, EnterAndSpaceClickAFocusedButton) {
    QWidget window;
    QPushButton* button = makeButton(&window, "Command1", QStringLiteral("OK"), 0, 0, 600, 300);
    QSignalSpy clicks(button, &QPushButton::clicked);
    QTest::keyClick(button, Qt::Key_Return);
    QTest::keyClick(button, Qt::Key_Space);
    EXPECT_EQ(clicks.count(), 2);
    EXPECT_EQ(button->objectName(), QStringLiteral("Command1"));
}

using WindowOwnerTest = test::WindowTest;

TEST_F(WindowOwnerTest, ShowAgainKeepsTheStateAndUnloadStartsAfresh) {
    QWidget* first = windows->show(WindowId::Form5);
    ASSERT_NE(first, nullptr);
    auto* text = first->findChild<QLineEdit*>(QStringLiteral("Text1"));
    text->setText(QStringLiteral("typed"));
    EXPECT_EQ(windows->show(WindowId::Form5), first);
    EXPECT_EQ(text->text(), QStringLiteral("typed"));
    EXPECT_TRUE(first->isVisible());

    windows->unload(WindowId::Form5);
    EXPECT_FALSE(windows->isLoaded(WindowId::Form5));
    EXPECT_EQ(windows->loaded(WindowId::Form5), nullptr);
    flushDeletes();
    QWidget* second = windows->show(WindowId::Form5);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->findChild<QLineEdit*>(QStringLiteral("Text1"))->text(), QString());
}

TEST_F(WindowOwnerTest, FrameCloseUnloadsAWindow) {
    QWidget* dialog = windows->show(WindowId::Form5);
    dialog->close();
    EXPECT_FALSE(windows->isLoaded(WindowId::Form5));
}

}  // namespace
}  // namespace studyhop
