#include "shell/main_window.h"

#include <gtest/gtest.h>

#include <QTest>

#include "shell/password_dialog.h"
#include "ui/twips.h"
#include "window_test.h"

namespace studyhop {
namespace {

using test::readBytes;
using test::writeBytes;

class MainWindowTest : public test::WindowTest {
protected:
    Form1* start() { return show<Form1>(WindowId::Form1); }
};

TEST_F(MainWindowTest, FirstStartWritesDefaultSettingsAndShowsTheDesign) {
    Form1* form = start();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Studyhop Ver 1.6"));
    EXPECT_EQ(readBytes("System.sys"), "\"0\",\"0\"\r\n");
    EXPECT_EQ(state().Tex1(), QStringLiteral("0"));
    EXPECT_EQ(state().Tex2(), QStringLiteral("0"));
    EXPECT_EQ(state().F_name(), QStringLiteral("試験ﾃﾞｰﾀ.qz2"));
    EXPECT_EQ(state().Log(), 0);
    EXPECT_EQ(state().Mode(), 0);
    EXPECT_EQ(outerHeightTwips(form), 2265 + 390);
    EXPECT_EQ(widthTwips(form), 5070);

    const char* captions[] = {"問題登録", "問     題", "終     了", "設     定"};
    const int tops[] = {120, 600, 1560, 1080};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(form->Command1[i]->text(), QString::fromUtf8(captions[i]));
        EXPECT_EQ(topTwips(form->Command1[i]), tops[i]);
        EXPECT_EQ(leftTwips(form->Command1[i]), 3720);
    }
    EXPECT_EQ(form->Picture1->pixmap().size(), QSize(229, 132));
    // The strip lies below the client area and cannot be typed into.
    EXPECT_GE(topTwips(form->Text1), heightTwips(form));
    EXPECT_FALSE(form->Text1->isEnabled());
    EXPECT_FALSE(form->File1->isEnabled());
    EXPECT_EQ(form->focusWidget(), form->Command1[0]);
    test::saveScreenshot(form, "main_window");
}

TEST_F(MainWindowTest, StoredSettingsAreRead) {
    writeBytes("system.sys", "2,1\r\n");
    start();
    EXPECT_EQ(state().Tex1(), QStringLiteral("2"));
    EXPECT_EQ(state().Tex2(), QStringLiteral("1"));
    EXPECT_EQ(readBytes("system.sys"), "2,1\r\n");
}

TEST_F(MainWindowTest, FiveFieldsGiveTheDefaultsAndTheFileStays) {
    writeBytes("system.sys", "1,1,1,1,1\r\n");
    start();
    EXPECT_EQ(state().Tex1(), QStringLiteral("0"));
    EXPECT_EQ(readBytes("system.sys"), "1,1,1,1,1\r\n");
    EXPECT_TRUE(prompt.saw(QStringLiteral("確認"), {QStringLiteral("system.sys")}));
}

TEST_F(MainWindowTest, StripFollowsTheSharedValues) {
    Form1* form = start();
    state().setText1(QStringLiteral("abc.qz2"));
    state().setFileState(FileState::Current);
    state().setTex1(QStringLiteral("3"));
    EXPECT_EQ(form->Text1->text(), QStringLiteral("abc.qz2"));
    EXPECT_EQ(form->Text4->text(), QStringLiteral("2"));
    EXPECT_EQ(form->Tex1->text(), QStringLiteral("3"));
}

TEST_F(MainWindowTest, AltZOnAnyButtonOpensThePasswordDialogOnlyWithAltAlone) {
    Form1* form = start();
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(form->Command1[i], Qt::Key_Z, Qt::AltModifier | Qt::ShiftModifier);
        QTest::keyClick(form->Command1[i], Qt::Key_Z, Qt::AltModifier | Qt::ControlModifier);
        QTest::keyClick(form->Command1[i], Qt::Key_Z);
        EXPECT_FALSE(windows->isLoaded(WindowId::Form5)) << i;
        QTest::keyClick(form->Command1[i], Qt::Key_Z, Qt::AltModifier);
        EXPECT_TRUE(windows->isLoaded(WindowId::Form5)) << i;
        windows->unload(WindowId::Form5);
    }
}

TEST_F(MainWindowTest, RightPasswordEntersMaintenanceModeAndShowsTheStrip) {
    Form1* form = start();
    auto* dialog = show<Form5>(WindowId::Form5);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("管理"));
    dialog->Text1->setText(QStringLiteral("pelican"));
    QTest::keyClick(dialog->Text1, Qt::Key_Return);
    EXPECT_EQ(state().Mode(), 1);
    EXPECT_FALSE(windows->isLoaded(WindowId::Form5));
    EXPECT_EQ(outerHeightTwips(form), 3780);
    EXPECT_LT(topTwips(form->Tex2) + heightTwips(form->Tex2), heightTwips(form));
    test::saveScreenshot(form, "main_window_maintenance");
}

TEST_F(MainWindowTest, WrongPasswordsCloseTheDialogSilently) {
    Form1* form = start();
    for (const char* typed : {"Pelican", "PELICAN", "pelican ", " pelican", ""}) {
        auto* dialog = show<Form5>(WindowId::Form5);
        dialog->Text1->setText(QString::fromUtf8(typed));
        dialog->Command1_Click();
        EXPECT_FALSE(windows->isLoaded(WindowId::Form5)) << typed;
        EXPECT_EQ(state().Mode(), 0) << typed;
    }
    EXPECT_TRUE(prompt.boxes.empty());
    EXPECT_EQ(outerHeightTwips(form), 2655);
}

TEST_F(MainWindowTest, EndButtonAndFrameCloseEndTheProgram) {
    Form1* form = start();
    windows->show(WindowId::System);
    QTest::mouseClick(form->Command1[2], Qt::LeftButton);
    EXPECT_EQ(quits, 1);
    EXPECT_FALSE(windows->isLoaded(WindowId::System));
    EXPECT_FALSE(windows->isLoaded(WindowId::Form1));
    flushDeletes();

    form = start();
    form->close();
    EXPECT_EQ(quits, 2);
}

TEST_F(MainWindowTest, SettingsButtonOpensTheDialog) {
    Form1* form = start();
    QTest::mouseClick(form->Command1[3], Qt::LeftButton);
    EXPECT_TRUE(windows->isLoaded(WindowId::System));
}

}  // namespace
}  // namespace studyhop
