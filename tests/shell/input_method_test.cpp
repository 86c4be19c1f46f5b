// Japanese input through an input method: the text boxes take what the input
// method commits and never keep what it still composes (the preedit).

#include <gtest/gtest.h>

#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>

#include "editor/editor_window.h"
#include "shell/file_chooser.h"
#include "shell/main_window.h"
#include "shell/new_file_dialog.h"
#include "shell/password_dialog.h"
#include "window_test.h"

namespace studyhop {
namespace {

using test::readBytes;
using test::sjis;

// The input method shows `text` as still being composed.
void preedit(QWidget* box, const QString& text) {
    QList<QInputMethodEvent::Attribute> attributes;
    attributes << QInputMethodEvent::Attribute(QInputMethodEvent::Cursor, int(text.size()), 1);
    QInputMethodEvent event(text, attributes);
    QApplication::sendEvent(box, &event);
}

// The input method commits `text` and ends the composition.
void commit(QWidget* box, const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(box, &event);
}

// How a composition is left before the window acts.
enum class Ending { Commit, FocusLoss, ButtonClick };

class InputMethodTest : public test::WindowTest, public ::testing::WithParamInterface<Ending> {
protected:
    // An editor on a new, empty question file, ready for a first question.
    Form2* newQuestionEditor() {
        windows->show(WindowId::Form1);
        loadedAs<Form1>(*windows, WindowId::Form1)->Command1_Click(0);
        auto* editor = loadedAs<Form2>(*windows, WindowId::Form2);
        if (editor != nullptr) {
            editor->activateWindow();
        }
        return editor;
    }
    // Types `committed`, then composes `composing` and ends the composition
    // as the parameter says; `next` is where the focus goes on focus loss.
    void type(QWidget* box, const QString& committed, const QString& composing, QWidget* next) {
        box->setFocus();
        preedit(box, committed.left(1));
        commit(box, committed);
        preedit(box, composing);
        switch (GetParam()) {
            case Ending::Commit:
                commit(box, composing);
                break;
            case Ending::FocusLoss:
                next->setFocus();
                break;
            case Ending::ButtonClick:
                break;
        }
    }
    QString expected(const QString& committed, const QString& composing) const {
        return GetParam() == Ending::Commit ? committed + composing : committed;
    }
};

TEST_P(InputMethodTest, QuestionAndChoiceSaveOnlyCommittedText) {
    Form2* editor = newQuestionEditor();
    ASSERT_NE(editor, nullptr);
    type(editor->Text1, QStringLiteral("日本の"), QStringLiteral("しゅと"), editor->Text2[0]);
    type(editor->Text2[0], QStringLiteral("東"), QStringLiteral("きょう"), editor->Text2[1]);
    editor->Combo1->setCurrentIndex(0);
    EXPECT_EQ(editor->Text1->text(), expected(QStringLiteral("日本の"), QStringLiteral("しゅと")));
    EXPECT_EQ(editor->Text2[0]->text(), expected(QStringLiteral("東"), QStringLiteral("きょう")));
    QTest::mouseClick(editor->Command4, Qt::LeftButton);
    const std::string question = GetParam() == Ending::Commit ? "日本のしゅと" : "日本の";
    const std::string answer = GetParam() == Ending::Commit ? "東きょう" : "東";
    EXPECT_EQ(readBytes("試験ﾃﾞｰﾀ.qz2"),
              sjis("1\r\n" + question + "," + answer + ",ﾅｼ,ﾅｼ,ﾅｼ,ﾅｼ,1,0,0,ﾅｼ\r\n"));
}

TEST_P(InputMethodTest, AbandonedCompositionNeverReachesALaterQuestion) {
    Form2* editor = newQuestionEditor();
    ASSERT_NE(editor, nullptr);
    type(editor->Text1, QStringLiteral("問一"), QStringLiteral("もんに"), editor->Text2[0]);
    editor->Text2[0]->setText(QStringLiteral("答"));
    editor->Combo1->setCurrentIndex(0);
    QTest::mouseClick(editor->Command4, Qt::LeftButton);
    // The next question starts empty; what the input method commits now is
    // all that the box holds.
    QTest::mouseClick(editor->Command2, Qt::LeftButton);
    EXPECT_EQ(editor->Text1->text(), QString());
    editor->Text1->setFocus();
    commit(editor->Text1, QStringLiteral("問二"));
    EXPECT_EQ(editor->Text1->text(), QStringLiteral("問二"));
}

TEST_P(InputMethodTest, NewFileNameTakesOnlyCommittedText) {
    windows->show(WindowId::Form1);
    test::writeBytes("old.qz2", sjis("1\r\nq,a,ﾅｼ,ﾅｼ,ﾅｼ,ﾅｼ,1,0,0,ﾅｼ\r\n"));
    loadedAs<Form1>(*windows, WindowId::Form1)->Command1_Click(0);
    loadedAs<Form7>(*windows, WindowId::Form7)->Command3_Click();
    auto* dialog = loadedAs<Form3>(*windows, WindowId::Form3);
    ASSERT_NE(dialog, nullptr);
    dialog->activateWindow();
    type(dialog->Text1, QStringLiteral("試験"), QStringLiteral("もんだい"), dialog->Command1[0]);
    QTest::mouseClick(dialog->Command1[0], Qt::LeftButton);
    auto* editor = loadedAs<Form2>(*windows, WindowId::Form2);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->F_name, expected(QStringLiteral("試験"), QStringLiteral("もんだい")) +
                                  QStringLiteral(".qz2"));
}

TEST_P(InputMethodTest, PasswordCountsOnlyCommittedText) {
    windows->show(WindowId::Form1);
    auto* dialog = show<Form5>(WindowId::Form5);
    ASSERT_NE(dialog, nullptr);
    dialog->activateWindow();
    // Some engines compose Latin letters too before they commit them.
    type(dialog->Text1, QStringLiteral("peli"), QStringLiteral("can"), dialog->Command1);
    QTest::mouseClick(dialog->Command1, Qt::LeftButton);
    EXPECT_EQ(state().Mode(), GetParam() == Ending::Commit ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Endings, InputMethodTest,
                         ::testing::Values(Ending::Commit, Ending::FocusLoss, Ending::ButtonClick),
                         [](const ::testing::TestParamInfo<Ending>& info) {
                             switch (info.param) {
                                 case Ending::Commit:
                                     return "Commit";
                                 case Ending::FocusLoss:
                                     return "FocusLoss";
                                 case Ending::ButtonClick:
                                     return "ButtonClick";
                             }
                             return "";
                         });

}  // namespace
}  // namespace studyhop
