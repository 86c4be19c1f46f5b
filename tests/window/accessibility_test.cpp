// What a screen reader gets from the windows: a Japanese name for every
// control, word of each new question, and the text of every message box.
#include <gtest/gtest.h>

#include <cmath>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <QTest>

#include "editor/editor_window.h"
#include "quiz/quiz_window.h"
#include "quiz/result_window.h"
#include "ui/qt_prompt.h"
#include "ui/question_box.h"
#include "ui/text_fit.h"
#include "window_test.h"

namespace studyhop {
namespace {

using test::sjis;
using test::writeBytes;

bool hasJapanese(const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() >= 0x3000) {
            return true;
        }
    }
    return false;
}

// The events the quiz sends, as (object name, event type).
std::vector<std::pair<QString, QAccessible::Event>> g_events;
void recordEvent(QAccessibleEvent* event) {
    if (event->object() != nullptr) {
        g_events.emplace_back(event->object()->objectName(), event->type());
    }
}

class AccessibilityTest : public test::WindowTest {
protected:
    void SetUp() override {
        windows->show(WindowId::Form1);
        writeBytes("a.qz2", sjis("2\r\n問一,東京,大阪,京都,ﾅｼ,ﾅｼ,1,0,0,ﾅｼ\r\n"
                                 "問二,a,b,c,d,e,2,0,0,ﾅｼ\r\n"));
        g_events.clear();
    }
    void TearDown() override {
        QAccessible::installUpdateHandler(nullptr);
        if (QPlatformAccessibility* platform =
                QGuiApplicationPrivate::platformIntegration()->accessibility()) {
            platform->setActive(false);
        }
    }
    Form4* openQuiz() {
        state().setF_name(QStringLiteral("a.qz2"));
        state().setFileState(FileState::Current);
        return show<Form4>(WindowId::Form4);
    }
};

TEST_F(AccessibilityTest, EveryControlOfEveryWindowHasAJapaneseName) {
    openQuiz();
    state().setText1(QStringLiteral("a.qz2"));
    for (WindowId id : {WindowId::Form2, WindowId::System, WindowId::Form5, WindowId::Form7,
                        WindowId::Form3, WindowId::Form6}) {
        windows->show(id);
    }
    int checked = 0;
    for (WindowId id : {WindowId::Form1, WindowId::Form2, WindowId::Form3, WindowId::Form4,
                        WindowId::Form5, WindowId::Form6, WindowId::Form7, WindowId::System}) {
        QWidget* window = windows->loaded(id);
        ASSERT_NE(window, nullptr) << static_cast<int>(id);
        for (QWidget* child : window->findChildren<QWidget*>()) {
            const bool control = qobject_cast<QAbstractButton*>(child) ||
                                 qobject_cast<QLineEdit*>(child) ||
                                 qobject_cast<QComboBox*>(child) ||
                                 qobject_cast<QAbstractItemView*>(child);
            if (!control) {
                continue;
            }
            QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(child);
            ASSERT_NE(iface, nullptr);
            // A list box is named by its current item on Linux and by the
            // label that is its buddy.
            QString name = iface->text(QAccessible::Name);
            if (qobject_cast<QComboBox*>(child) != nullptr) {
                name.clear();
                for (const auto& [label, relation] : iface->relations(QAccessible::Label)) {
                    name += label->text(QAccessible::Name);
                }
            }
            EXPECT_TRUE(hasJapanese(name))
                << window->objectName().toStdString() << "."
                << child->objectName().toStdString() << ": \""
                << name.toStdString() << "\"";
            ++checked;
        }
    }
    EXPECT_GT(checked, 40);
}

TEST_F(AccessibilityTest, ChoiceButtonsAreRadioButtonsNamedByTheirCaptionAndText) {
    Form4* quiz = openQuiz();
    QAccessibleInterface* first = QAccessible::queryAccessibleInterface(quiz->Option6[0]);
    EXPECT_EQ(first->text(QAccessible::Name), QStringLiteral("回答 1 東京"));
    EXPECT_EQ(first->role(), QAccessible::RadioButton);
    EXPECT_TRUE(first->state().checkable);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(quiz->Label3[0])->text(QAccessible::Name),
              QStringLiteral("回答 1"));
}

// A screen reader reads the object with the focus, and reads it again when
// its name changes while it keeps the focus: after each step of a quiz the
// focus and its name say what happened. Exactly one choice is checked once
// an answer is given, the one the answer box shows.
TEST_F(AccessibilityTest, EachQuestionAndAnswerIsReadOutFromTheFocus) {
    static const struct {
        const char* key;  // "click1": a click on choice 1, else a key
        const char* focus;
        const char* spoken;
        const char* answer;
    } cases[] = {
        {"", "Label2", "問1（2問中） 問一。回答 1 東京。回答 2 大阪。回答 3 京都", ""},
        {"click1", "Option6_0", "回答 1 東京", "1"},
        {"3", "Option6_2", "回答 3 京都", "3"},
        {"5", "Option6_2", "回答 3 京都", "3"},  // no fifth choice: nothing changes
        {"N", "Label2", "問2（2問中） 問二。回答 1 a。回答 2 b。回答 3 c。回答 4 d。回答 5 e", ""},
        {"B", "Label2", "問1（2問中） 問一。回答 1 東京。回答 2 大阪。回答 3 京都。選んだ回答 3",
         "3"},
        {"Enter", "Label2", "問2（2問中） 問二。", ""},
        {"2", "Option6_1", "回答 2 b", "2"},
        // The first answer was wrong: the retest asks it again at once.
        {"N", "Label2", "追試 問1（1問中） 問一。回答 1 東京", ""},
    };
    Form4* quiz = openQuiz();
    for (const auto& c : cases) {
        const QString key = QString::fromUtf8(c.key);
        // Keys go where the focus is; before, nothing in the quiz took it.
        ASSERT_NE(quiz->focusWidget(), nullptr) << c.key;
        if (key == QStringLiteral("click1")) {
            QTest::mouseClick(quiz->Label18[0], Qt::LeftButton);
        } else if (key == QStringLiteral("Enter")) {
            QTest::keyClick(quiz->focusWidget(), Qt::Key_Return);
        } else if (!key.isEmpty()) {
            QTest::keyClick(quiz->focusWidget(), key.at(0).toLatin1());
        }
        QWidget* focus = quiz->focusWidget();
        ASSERT_NE(focus, nullptr) << c.key;
        EXPECT_EQ(focus->objectName(), QString::fromUtf8(c.focus)) << c.key;
        EXPECT_TRUE(QAccessible::queryAccessibleInterface(focus)
                        ->text(QAccessible::Name)
                        .startsWith(QString::fromUtf8(c.spoken)))
            << c.key << ": " << focus->accessibleName().toStdString();
        EXPECT_EQ(quiz->Label14->text(), QString::fromUtf8(c.answer)) << c.key;
        for (int k = 0; k < 5; ++k) {
            EXPECT_EQ(quiz->Option6[k]->isChecked(), quiz->Label14->text() == QString::number(k + 1))
                << c.key << " choice " << k + 1;
        }
    }
    auto* results = loadedAs<Form6>(*windows, WindowId::Form6);
    ASSERT_NE(results, nullptr);
    EXPECT_EQ(results->focusWidget(), results->Score);
    EXPECT_EQ(results->Score->accessibleName(), QStringLiteral("問題数 2、正解数 1、正解率 50%"));
    EXPECT_EQ(results->PercentSign->text(), QStringLiteral("%"));
    // The line is read with what it opens: the question and both answers.
    const QString line = results->List1->item(0)->data(Qt::AccessibleTextRole).toString();
    EXPECT_TRUE(line.startsWith(QStringLiteral("問 1 不正解（ファイルの"))) << line.toStdString();
    EXPECT_TRUE(line.contains(QStringLiteral("。正解 ："))) << line.toStdString();
}

// A question cut to fit is announced with its whole text too: the label's
// own announcement stops once it has an accessible name.
TEST_F(AccessibilityTest, EachNewQuestionIsAnnouncedWholeEvenWhenCut) {
    const QString longQuestion = QStringLiteral("長い問題文です。").repeated(20);
    writeBytes("a.qz2", sjis("2\r\n問一,東京,大阪,京都,ﾅｼ,ﾅｼ,1,0,0,ﾅｼ\r\n" +
                             longQuestion.toStdString() + ",a,b,c,d,e,2,0,0,ﾅｼ\r\n"));
    // Events go out only while assistive technology listens, as it would.
    QPlatformAccessibility* platform = QGuiApplicationPrivate::platformIntegration()->accessibility();
    if (platform == nullptr) {
        GTEST_SKIP() << "this platform has no accessibility";
    }
    platform->setActive(true);
    QAccessible::installUpdateHandler(recordEvent);
    Form4* quiz = openQuiz();
    auto announced = [] {
        return std::count(g_events.begin(), g_events.end(),
                          std::make_pair(QStringLiteral("Label2"), QAccessible::NameChanged));
    };
    EXPECT_GE(announced(), 1);
    const auto first = announced();
    quiz->Command1_KeyDown(1, '1', 0);
    quiz->Command1_Click(1);
    EXPECT_GT(announced(), first);
    QAccessibleInterface* question = QAccessible::queryAccessibleInterface(quiz->Label2);
    EXPECT_TRUE(question->text(QAccessible::Name).contains(longQuestion));

    // Answered wrong, it comes back at once as the retest's first question:
    // the same text, announced again for the new pass.
    const auto beforeRetest = announced();
    quiz->Command1_KeyDown(1, '1', 0);
    quiz->Command1_Click(1);
    ASSERT_TRUE(windows->isLoaded(WindowId::Form6));
    ASSERT_EQ(fullText(quiz->Label2), longQuestion);
    EXPECT_GT(announced(), beforeRetest);
}

// A screen reader names a combo box by the label its relation points at and
// found no value to read: the relation pointed at the trailing caption.
TEST_F(AccessibilityTest, ComboBoxesAreNamedByALeadingCaptionWithTheirValue) {
    state().setText1(QStringLiteral("a.qz2"));
    state().setFileState(FileState::Current);
    for (WindowId id : {WindowId::System, WindowId::Form7, WindowId::Form2}) {
        windows->show(id);
    }
    static const struct {
        WindowId window;
        const char* caption;
    } cases[] = {
        {WindowId::System, "出題する問題の正解率"},
        {WindowId::Form7, "ファイルの種類"},
        {WindowId::Form2, "正解番号"},
    };
    for (const auto& c : cases) {
        auto* combo = windows->loaded(c.window)->findChild<QComboBox*>(QStringLiteral("Combo1"));
        ASSERT_NE(combo, nullptr) << c.caption;
        combo->setCurrentIndex(1);
        const QString expected = QString::fromUtf8(c.caption) + QLatin1Char(' ') + combo->itemText(1);
        QStringList labels;
        for (const auto& [label, relation] :
             QAccessible::queryAccessibleInterface(combo)->relations(QAccessible::Label)) {
            labels << label->text(QAccessible::Name);
        }
        EXPECT_EQ(labels, QStringList{expected}) << c.caption;
    }
}

QString boxText(const QWidget* box) {
    if (const auto* line = qobject_cast<const QLineEdit*>(box)) {
        return line->text();
    }
    return qobject_cast<const QuestionBox*>(box)->text();
}

double luminance(const QColor& c) {
    auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}
double contrast(const QColor& a, const QColor& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Browsing used to show the texts in disabled boxes (about 1.6:1, out of
// Tab's reach) and said nothing when ">" showed another question.
TEST_F(AccessibilityTest, BrowsedQuestionsAreReadableReachableAndReadOut) {
    state().setText1(QStringLiteral("a.qz2"));
    state().setFileState(FileState::Current);
    auto* editor = show<Form2>(WindowId::Form2);
    QApplication::setActiveWindow(editor);
    editor->Command6->setFocus();
    QTest::keyClick(editor->Command6, Qt::Key_Space);
    EXPECT_TRUE(editor->Command6->accessibleDescription().startsWith(
        QStringLiteral("問2（2問中） 問二。回答 1 a。回答 2 b")));
    // At the last question ">" hides: "<" takes the focus and reads it out.
    EXPECT_EQ(editor->focusWidget(), editor->Command5);
    EXPECT_EQ(editor->Command5->accessibleDescription(), editor->Command6->accessibleDescription());
    for (QWidget* box : std::initializer_list<QWidget*>{editor->Text1, editor->Text2[0], editor->Text2[4]}) {
        SCOPED_TRACE(box->objectName().toStdString());
        EXPECT_TRUE(box->isEnabled());
        EXPECT_TRUE(box->focusPolicy() & Qt::TabFocus);
        const QString before = boxText(box);
        QTest::keyClicks(box, "xyz");
        EXPECT_EQ(boxText(box), before);
        EXPECT_GE(contrast(box->palette().color(QPalette::Text), box->palette().color(QPalette::Base)),
                  4.5);
    }
    const QPalette combo = editor->Combo1->palette();
    EXPECT_GE(contrast(combo.color(QPalette::Disabled, QPalette::ButtonText),
                       combo.color(QPalette::Disabled, QPalette::Button)),
              4.5);
}

// A cut text was readable only as a mouse tooltip, and the editor cut its
// boxes mid-character without "…".
TEST_F(AccessibilityTest, LongTextsCanBeReadWholeFromTheKeyboard) {
    const QString longText = QStringLiteral("長い問題文です。").repeated(20);
    writeBytes("a.qz2", sjis("1\r\n" + longText.toStdString() + ",東京," +
                             longText.toStdString() + ",ﾅｼ,ﾅｼ,ﾅｼ,1,0,0,ﾅｼ\r\n"));
    Form4* quiz = openQuiz();
    QTest::keyClick(quiz->focusWidget(), Qt::Key_A);
    ASSERT_EQ(prompt.boxes.size(), 1u);
    EXPECT_EQ(prompt.boxes[0].title, QStringLiteral("問題の全文"));
    EXPECT_EQ(prompt.boxes[0].text,
              longText + QStringLiteral("\r\n回答 1 東京\r\n回答 2 ") + longText);

    state().setText1(QStringLiteral("a.qz2"));
    auto* editor = show<Form2>(WindowId::Form2);
    test::saveScreenshot(editor, "editor_long_texts_browsed");
    test::saveScreenshot(quiz, "quiz_long_texts");
    static const struct {
        int box;  // -1: the question box, else a choice box
        bool cut;
    } cases[] = {{-1, true}, {0, false}, {1, true}};
    for (const auto& c : cases) {
        QWidget* box = c.box < 0 ? static_cast<QWidget*>(editor->Text1) : editor->Text2[c.box];
        auto* mark = box->findChild<QLabel*>(QStringLiteral("CutMark"));
        ASSERT_NE(mark, nullptr) << c.box;
        EXPECT_EQ(mark->isVisibleTo(editor), c.cut) << c.box;
        EXPECT_EQ(box->toolTip(), c.cut ? longText : QString()) << c.box;
        EXPECT_EQ(box->accessibleName().endsWith(longText), c.cut) << c.box;
    }
}

// The maintenance strips lie below the client areas; they were "showing" to
// assistive technology while out of sight.
TEST_F(AccessibilityTest, ControlsOutsideTheWindowAreHidden) {
    openQuiz();
    state().setText1(QStringLiteral("a.qz2"));
    windows->show(WindowId::Form2);
    for (WindowId id : {WindowId::Form1, WindowId::Form2, WindowId::Form4}) {
        QWidget* window = windows->loaded(id);
        ASSERT_NE(window, nullptr);
        for (QWidget* child : window->findChildren<QWidget*>()) {
            if (child->isVisibleTo(window) && child->parentWidget() == window) {
                EXPECT_LE(child->geometry().bottom(), window->height())
                    << window->objectName().toStdString() << "." << child->objectName().toStdString();
            }
        }
    }
}

TEST(QtPromptTest, MessageBoxIsReadOutWithItsTitleAndText) {
    const QString text = QStringLiteral("問題ファイルを読み込めませんでした。\r\nファイル名 ：a.qz2");
    QString name;
    QString description;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(box);
        name = iface->text(QAccessible::Name);
        description = iface->text(QAccessible::Description);
        box->defaultButton()->click();
    });
    QtPrompt prompt;
    EXPECT_EQ(prompt.ask(text, QStringLiteral("エラー"), PromptButtons::Ok), PromptAnswer::Ok);
    EXPECT_EQ(name, QStringLiteral("エラー"));
    EXPECT_EQ(description, text);
}

}  // namespace
}  // namespace studyhop
