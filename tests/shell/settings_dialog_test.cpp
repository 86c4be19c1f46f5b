#include "shell/settings_dialog.h"

#include <gtest/gtest.h>

#include <QTest>
#include <utility>

#include "app/window_set.h"
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
    test::writeBytes("System.sys", "3,1\r\n");  // as the start-up read them
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

// Two copies on one folder, each a window set: copy B, started before copy A
// stored rate 3, used to write its stale rate back when it changed the order.
TEST_F(SettingsDialogTest, TwoCopiesKeepWhatTheOtherStored) {
    struct Case {
        bool bOpensFirst;  // B's dialog is open while A stores
        int bRate;         // B's choices; B shows 0 and 0
        int bOrder;
        bool raced;  // A stores "6,0" between B's read and B's write
        const char* bytes;
    } cases[] = {
        {true, 0, 1, false, "3,1\r\n"}, {false, 0, 1, false, "3,1\r\n"},
        {true, 0, 0, false, "3,0\r\n"}, {false, 5, 1, false, "5,1\r\n"},
        {true, 0, 1, true, "6,1\r\n"},
    };
    for (const Case& c : cases) {
        test::TestDir caseDir;
        test::FaultyFileSystem fsB;
        test::ScriptedPrompt promptB;
        WindowSet a(prompt, fs, {});
        WindowSet b(promptB, fsB, {});
        b.show(WindowId::Form1);
        a.show(WindowId::Form1);
        System* dialogB = c.bOpensFirst ? showAs<System>(b, WindowId::System) : nullptr;
        showAs<System>(a, WindowId::System)->Combo1->setCurrentIndex(3);
        loadedAs<System>(a, WindowId::System)->Command1_Click();
        dialogB = dialogB ? dialogB : showAs<System>(b, WindowId::System);
        dialogB->Combo1->setCurrentIndex(c.bRate);
        dialogB->Combo2->setCurrentIndex(c.bOrder);
        bool raced = !c.raced;
        fsB.hook = [&](FileOp op) {
            if (op == FileOp::Stat && !std::exchange(raced, true)) {
                test::writeBytes("System.sys", "6,0\r\n");
            }
            return 0;
        };
        dialogB->Command1_Click();
        EXPECT_EQ(readBytes("System.sys"), c.bytes) << c.bytes;
        EXPECT_EQ(b.state().Tex1() + "," + b.state().Tex2() + "\r\n", QString(c.bytes));
        EXPECT_TRUE(promptB.boxes.empty()) << c.bytes;
    }
}

}  // namespace
}  // namespace studyhop
