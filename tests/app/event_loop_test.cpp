#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <vector>

#include "app/window_set.h"
#include "data/file_io.h"
#include "editor/editor_window.h"
#include "quiz/quiz_window.h"
#include "quiz/result_window.h"
#include "shell/file_chooser.h"
#include "shell/main_window.h"
#include "test_dir.h"
#include "ui/qt_prompt.h"
#include "window/shared_state.h"

namespace studyhop {
namespace {

using test::readBytes;
using test::sjis;
using test::writeBytes;

// Runs the program's windows in the real event loop, with the real message
// boxes: each step runs from a timer once the one before has returned to the
// loop, and a box is answered by a timer that finds the modal box.
class EventLoopTest : public ::testing::Test {
protected:
    EventLoopTest() : windows(prompt, fs, [] { QCoreApplication::quit(); }) {}

    // The steps run one after another, each from the event loop; the last
    // ends the program. Fails the test when the loop does not end in time.
    void run(std::vector<std::function<void()>> steps) {
        m_steps = std::move(steps);
        m_next = 0;
        QTimer::singleShot(0, [this] { runNext(); });
        bool timedOut = false;
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [&] {
            timedOut = true;
            QCoreApplication::quit();
        });
        watchdog.start(20000);
        QApplication::exec();
        EXPECT_FALSE(timedOut) << "stopped at step " << m_next;
    }
    // Presses `button` on the next modal box and records its text and
    // whether its parent was a live, visible window.
    void answerNextBox(const QString& button) {
        QTimer::singleShot(20, [this, button] { pressWhenShown(button, 0); });
    }
    template <class W>
    W* loaded(WindowId id) {
        return loadedAs<W>(windows, id);
    }
    static void click(QPushButton* b) { b->click(); }
    void select(Form7* chooser, const QString& name) {
        const auto items = chooser->File1->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1);
        chooser->File1->setCurrentItem(items.front());
    }

    test::TestDir dir;
    QtPrompt prompt;
    FileSystem fs;
    WindowSet windows;
    QStringList boxTexts;
    int boxesWithoutLiveParent = 0;

private:
    void runNext() {
        if (m_next >= m_steps.size()) {
            return;
        }
        const size_t step = m_next++;
        m_steps[step]();
        if (m_next < m_steps.size()) {
            QTimer::singleShot(10, [this] { runNext(); });
        }
    }
    void pressWhenShown(const QString& button, int tries) {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            if (tries < 200) {
                QTimer::singleShot(10, [this, button, tries] { pressWhenShown(button, tries + 1); });
            }
            return;
        }
        boxTexts << box->text();
        QWidget* parent = box->parentWidget();
        if (parent != nullptr && !parent->isVisible()) {
            ++boxesWithoutLiveParent;
        }
        for (QAbstractButton* b : box->buttons()) {
            if (b->text() == button) {
                b->click();
                return;
            }
        }
        ADD_FAILURE() << "no button " << button.toStdString();
    }

    std::vector<std::function<void()>> m_steps;
    size_t m_next = 0;
};

const std::string kTwoQuestions =
    sjis("2\r\nq1,a,b,ﾅｼ,ﾅｼ,ﾅｼ,1,0,0,ﾅｼ\r\nq2,a,b,ﾅｼ,ﾅｼ,ﾅｼ,2,0,0,ﾅｼ\r\n");

TEST_F(EventLoopTest, ChooserQuizResultsOkThenChooserEditorClose) {
    writeBytes("a.qz2", kTwoQuestions);
    QPointer<QWidget> quiz;
    QPointer<QWidget> results;
    QPointer<QWidget> editor;
    QPointer<QWidget> chooser;
    run({
        [&] {
            windows.show(WindowId::Form1);
            click(loaded<Form1>(WindowId::Form1)->Command1[1]);
        },
        [&] {
            chooser = loaded<Form7>(WindowId::Form7);
            select(loaded<Form7>(WindowId::Form7), QStringLiteral("a.qz2"));
            click(loaded<Form7>(WindowId::Form7)->Command1);
        },
        [&] {
            quiz = loaded<Form4>(WindowId::Form4);
            ASSERT_FALSE(quiz.isNull());
            // Next without an answer: a real box, pressed by the timer.
            answerNextBox(QStringLiteral("OK"));
            click(loaded<Form4>(WindowId::Form4)->Command1[1]);
        },
        [&] {
            auto* q = loaded<Form4>(WindowId::Form4);
            q->Command1_KeyDown(1, '1', 0);
            click(q->Command1[1]);
            q->Command1_KeyDown(1, '2', 0);
            click(q->Command1[1]);
        },
        [&] {
            results = loaded<Form6>(WindowId::Form6);
            ASSERT_FALSE(results.isNull());
            EXPECT_EQ(loaded<Form6>(WindowId::Form6)->Label6->text(), QStringLiteral("100"));
            click(loaded<Form6>(WindowId::Form6)->Command1);
        },
        [&] {
            // Back in the loop: the unloaded windows are gone for good.
            EXPECT_TRUE(quiz.isNull());
            EXPECT_TRUE(results.isNull());
            EXPECT_TRUE(chooser.isNull());
            click(loaded<Form1>(WindowId::Form1)->Command1[0]);
        },
        [&] {
            select(loaded<Form7>(WindowId::Form7), QStringLiteral("a.qz2"));
            answerNextBox(QStringLiteral("OK"));
            click(loaded<Form7>(WindowId::Form7)->Command1);
        },
        [&] {
            editor = loaded<Form2>(WindowId::Form2);
            ASSERT_FALSE(editor.isNull());
            EXPECT_EQ(loaded<Form2>(WindowId::Form2)->QCount, 2);
            click(loaded<Form2>(WindowId::Form2)->Command1);
        },
        [&] {
            EXPECT_TRUE(editor.isNull());
            EXPECT_FALSE(windows.isLoaded(WindowId::Form7));
            windows.endProgram();
        },
    });
    EXPECT_EQ(boxTexts, QStringList({QStringLiteral("回答が記入されていません"),
                                     QStringLiteral("次のファイルを開きました\r\nファイル名 ：a.qz2")}));
    EXPECT_EQ(boxesWithoutLiveParent, 0);
    EXPECT_EQ(readBytes("a.qz2"),
              sjis("2\r\nq1,a,b,ﾅｼ,ﾅｼ,ﾅｼ,1, 1 , 1 ,ﾅｼ\r\nq2,a,b,ﾅｼ,ﾅｼ,ﾅｼ,2, 1 , 1 ,ﾅｼ\r\n"));
    EXPECT_FALSE(windows.isLoaded(WindowId::Form1));
}

// A box whose window is unloaded while it is open goes away with it; the
// program goes on and the next box has a live parent or none.
TEST_F(EventLoopTest, WindowUnloadedUnderItsOpenBox) {
    writeBytes("a.qz2", kTwoQuestions);
    QPointer<QWidget> quiz;
    PromptAnswer answer = PromptAnswer::Ok;
    run({
        [&] {
            windows.show(WindowId::Form1);
            windows.state().setF_name(QStringLiteral("a.qz2"));
            windows.state().setFileState(FileState::Current);
            quiz = windows.show(WindowId::Form4);
            ASSERT_FALSE(quiz.isNull());
            quiz->activateWindow();
        },
        [&] {
            QTimer::singleShot(30, [&] {
                windows.unload(WindowId::Form4);
                // The loop deletes the window, and any box it parents.
                QTimer::singleShot(30, [&] { answerNextBox(QStringLiteral("OK")); });
            });
            answer = static_cast<Prompt&>(prompt).ask(QStringLiteral("first"), QStringLiteral("t"));
        },
        [&] {
            EXPECT_TRUE(quiz.isNull());
            answerNextBox(QStringLiteral("OK"));
            EXPECT_EQ(static_cast<Prompt&>(prompt).ask(QStringLiteral("second"), QStringLiteral("t")),
                      PromptAnswer::Ok);
            windows.endProgram();
        },
    });
    EXPECT_EQ(boxesWithoutLiveParent, 0);
    EXPECT_TRUE(boxTexts.contains(QStringLiteral("second")));
}

}  // namespace
}  // namespace studyhop
