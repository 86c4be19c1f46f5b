#include "app/window_set.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPointer>

#include "window_test.h"

namespace studyhop {
namespace {

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

TEST_F(WindowOwnerTest, UnloadingAnOldWindowLeavesTheNewerOneOfItsId) {
    QWidget* old = windows->show(WindowId::Form5);
    windows->unload(WindowId::Form5);
    QWidget* newer = windows->show(WindowId::Form5);
    ASSERT_NE(newer, old);
    // The old window, still waiting for its deferred delete, closes itself.
    windows->unload(*old);
    EXPECT_EQ(windows->loaded(WindowId::Form5), newer);
    windows->unload(*newer);
    EXPECT_FALSE(windows->isLoaded(WindowId::Form5));
}

TEST_F(WindowOwnerTest, UnloadedWindowsAreHiddenAtOnceAndDeletedByTheEventLoop) {
    QPointer<QWidget> dialog = windows->show(WindowId::Form5);
    QPointer<QWidget> settings = windows->show(WindowId::System);
    windows->unload(WindowId::Form5);
    ASSERT_FALSE(dialog.isNull());
    EXPECT_FALSE(dialog->isVisible());
    flushDeletes();
    EXPECT_TRUE(dialog.isNull());
    // Windows still loaded at the end belong to the owner and go with it.
    windows.reset();
    EXPECT_TRUE(settings.isNull());
}

}  // namespace
}  // namespace studyhop
