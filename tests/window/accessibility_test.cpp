// What a screen reader gets from the windows: a Japanese name for every
// control, word of each new question, and the text of every message box.
#include <gtest/gtest.h>

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

#include "quiz/quiz_window.h"
#include "ui/qt_prompt.h"
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

TEST_F(AccessibilityTest, ChoiceButtonsAreNamedByTheirCaptionAndDescribedByTheirText) {
    Form4* quiz = openQuiz();
    QAccessibleInterface* first = QAccessible::queryAccessibleInterface(quiz->Option6[0]);
    EXPECT_EQ(first->text(QAccessible::Name), QStringLiteral("回答 1"));
    EXPECT_EQ(first->text(QAccessible::Description), QStringLiteral("東京"));
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
    EXPECT_EQ(question->text(QAccessible::Name), longQuestion);

    // Answered wrong, it comes back at once as the retest's first question:
    // the same text, announced again for the new pass.
    const auto beforeRetest = announced();
    quiz->Command1_KeyDown(1, '1', 0);
    quiz->Command1_Click(1);
    ASSERT_TRUE(windows->isLoaded(WindowId::Form6));
    ASSERT_EQ(fullText(quiz->Label2), longQuestion);
    EXPECT_GT(announced(), beforeRetest);
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
