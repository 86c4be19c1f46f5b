#include "shell/settings_dialog.h"

#include <gtest/gtest.h>

#include <QTest>

#include "data/file_io.h"
#include "window_test.h"

namespace studyhop {
namespace {

using test::readBytes;

class SettingsDialogTest : public test::WindowTest {
protected:
    void SetUp() override { windows->show(WindowId::Form1); }
    System* open() { return show<System>(WindowId::System); }
};

TEST_F(SettingsDialogTest, OkWithoutChangesRewritesTheBareForm) {
    System* dialog = open();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("システム設定"));
    EXPECT_EQ(dialog->Combo1->count(), 10);
    EXPECT_EQ(dialog->Combo1->itemText(1), QStringLiteral("正解率90%以下"));
    EXPECT_EQ(dialog->Combo1->itemText(9), QStringLiteral("正解率10%以下"));
    test::saveScreenshot(dialog, "settings_dialog");
    QTest::mouseClick(dialog->Command1, Qt::LeftButton);
    EXPECT_EQ(readBytes("System.sys"), "0,0\r\n");
    EXPECT_FALSE(windows->isLoaded(WindowId::System));
}

TEST_F(SettingsDialogTest, OpensOnTheStoredValuesAndStoresTheChoice) {
    state().setTex1(QStringLiteral("3"));
    state().setTex2(QStringLiteral("1"));
    System* dialog = open();
    EXPECT_EQ(dialog->Combo1->currentText(), QStringLiteral("正解率70%以下"));
    EXPECT_EQ(dialog->Combo2->currentText(), QStringLiteral("問題をランダム"));
    dialog->Combo1->setCurrentIndex(4);
    dialog->Command1_Click();
    EXPECT_EQ(state().Tex1(), QStringLiteral("4"));
    EXPECT_EQ(state().Tex2(), QStringLiteral("1"));
    EXPECT_EQ(readBytes("System.sys"), "4,1\r\n");
}

TEST_F(SettingsDialogTest, CancelAndFrameCloseChangeNothing) {
    const std::string before = readBytes("System.sys");
    System* dialog = open();
    dialog->Combo1->setCurrentIndex(5);
    dialog->Combo2->setCurrentIndex(1);
    QTest::mouseClick(dialog->Command2, Qt::LeftButton);
    EXPECT_FALSE(windows->isLoaded(WindowId::System));
    flushDeletes();
    dialog = open();
    dialog->Combo1->setCurrentIndex(5);
    dialog->close();
    EXPECT_EQ(state().Tex1(), QStringLiteral("0"));
    EXPECT_EQ(state().Tex2(), QStringLiteral("0"));
    EXPECT_EQ(readBytes("System.sys"), before);
}

TEST_F(SettingsDialogTest, UnwritableFileIsReportedAndTheValuesHoldForThisRun) {
    System* dialog = open();
    dialog->Combo1->setCurrentIndex(2);
    fs.hook = [](FileOp op) { return op == FileOp::Open ? EACCES : 0; };
    dialog->Command1_Click();
    fs.hook = nullptr;
    ASSERT_EQ(prompt.boxes.size(), 1u);
    EXPECT_EQ(prompt.boxes[0].title, QStringLiteral("エラー"));
    EXPECT_TRUE(prompt.boxes[0].text.contains(QStringLiteral("System.sys")));
    EXPECT_EQ(state().Tex1(), QStringLiteral("2"));
    EXPECT_EQ(readBytes("System.sys"), "\"0\",\"0\"\r\n");
}

}  // namespace
}  // namespace studyhop
