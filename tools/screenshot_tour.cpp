// Takes a picture of every window of the real program for the user guide:
// drives the windows through a short session over the sample files in the
// current directory and saves PNG files into the directory given.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPainter>
#include <QToolTip>
#include <QTest>
#include <cstdio>

#include "app/window_set.h"
#include "data/cp932.h"
#include "data/file_io.h"
#include "editor/editor_window.h"
#include "quiz/quiz_window.h"
#include "quiz/result_window.h"
#include "shell/file_chooser.h"
#include "shell/main_window.h"
#include "shell/new_file_dialog.h"
#include "shell/password_dialog.h"
#include "shell/settings_dialog.h"
#include "ui/controls.h"
#include "ui/prompt.h"
#include "window/shared_state.h"

using namespace studyhop;

namespace {

QString outDir;

// Answers every message box with OK, and pictures the first of each title.
// A few boxes are pictured under a name of their own as well.
class PicturePrompt : public Prompt {
public:
    PromptAnswer ask(const QString& text, const QString& title, PromptButtons buttons) override {
        QString named;
        if (title == QStringLiteral("答え合わせ")) {
            named = QStringLiteral("result_detail");
        } else if (text.contains(QStringLiteral("競合コピーがあります"))) {
            named = QStringLiteral("conflict_copy_notice");
        }
        const bool numbered = named.isEmpty() && !m_shot.contains(title);
        if (numbered) {
            m_shot << title;
        }
        if (numbered || (!named.isEmpty() && !m_named.contains(named))) {
            m_named << named;
            QMessageBox box(QMessageBox::NoIcon, title, text);
            box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
            if (buttons != PromptButtons::Ok) {
                box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
            }
            box.show();
            QApplication::processEvents();
            const QPixmap picture = box.grab();
            if (numbered) {
                picture.save(outDir + "/message_" + QString::number(m_shot.size()) + ".png");
            }
            if (!named.isEmpty()) {
                picture.save(outDir + "/" + named + ".png");
            }
        }
        return PromptAnswer::Ok;
    }

private:
    QStringList m_shot;
    QStringList m_named;
};

void shoot(QWidget* window, const char* name) {
    QApplication::processEvents();
    if (window == nullptr || !window->grab().save(outDir + "/" + name + ".png")) {
        std::fprintf(stderr, "no picture of %s\n", name);
        std::exit(1);
    }
}

// The window with a tooltip showing at `point` of `widget`, as a user pointing there sees it.
void shootWithTooltip(QWidget* window, QWidget* widget, QPoint point, const QString& tooltip,
                      const char* name) {
    QApplication::processEvents();
    QToolTip::showText(widget->mapToGlobal(point), tooltip, widget);
    QApplication::processEvents();
    QWidget* tip = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->inherits("QTipLabel") && w->isVisible()) {
            tip = w;
        }
    }
    QPixmap picture = window->grab();
    if (tip != nullptr) {
        const QPixmap tipPicture = tip->grab();
        const QPoint offset = tip->pos() - window->pos();
        // Grown to hold the tooltip where it hangs over the window's edge.
        const QRect whole = QRect(QPoint(0, 0), window->size())
                                .united(QRect(offset, tip->size()));
        const qreal ratio = picture.devicePixelRatio();
        QPixmap combined(whole.size() * ratio);
        combined.setDevicePixelRatio(ratio);
        combined.fill(Qt::white);
        QPainter painter(&combined);
        painter.drawPixmap(-whole.topLeft(), picture);
        painter.drawPixmap(offset - whole.topLeft(), tipPicture);
        painter.end();
        picture = combined;
    }
    QToolTip::hideText();
    if (!picture.save(outDir + "/" + name + ".png")) {
        std::fprintf(stderr, "no picture of %s\n", name);
        std::exit(1);
    }
}

template <class W>
W* loaded(WindowSet& windows, WindowId id) {
    return loadedAs<W>(windows, id);
}

// A question record in CP932 as the editor writes it: the texts as they are,
// choices 3 to 5 empty ("ﾅｼ"), choice 1 correct.
QByteArray sjisRecord(const QString& question, const QString& choice1) {
    const std::string utf8 = (question + QStringLiteral(",") + choice1 +
                              QStringLiteral(",室町幕府は一三三六年に開かれた,ﾅｼ,ﾅｼ,ﾅｼ,1,0,0,ﾅｼ\r\n"))
                                 .toStdString();
    const Conversion bytes = encodeCp932(utf8);
    return QByteArray(bytes.text.data(), static_cast<qsizetype>(bytes.text.size()));
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    applyProgramFont(app);
    if (argc != 2) {
        std::fprintf(stderr, "usage: screenshot_tour OUTPUT_DIR\n");
        return 2;
    }
    outDir = QString::fromLocal8Bit(argv[1]);
    PicturePrompt prompt;
    FileSystem files(".");
    WindowSet windows(prompt, files, [] {});
    SharedState& state = windows.state();

    auto* main = showAs<Form1>(windows, WindowId::Form1);
    shoot(main, "main_window");

    main->Command1_Click(3);
    auto* settings = loaded<System>(windows, WindowId::System);
    settings->Combo1->setCurrentIndex(0);
    shoot(settings, "settings_dialog");
    settings->Command2_Click();

    // A quiz over the current sample file.
    main->Command1_Click(1);
    auto* chooser = loaded<Form7>(windows, WindowId::Form7);
    chooser->File1->setCurrentRow(0);
    shoot(chooser, "chooser_quiz_mode");
    chooser->Command1_Click();
    auto* quiz = loaded<Form4>(windows, WindowId::Form4);
    quiz->Command1_KeyDown(1, '1', 0);
    shoot(quiz, "quiz_window");
    quiz->Command1_Click(1);
    for (int i = 0;
         i < 7 && windows.isLoaded(WindowId::Form4) && !windows.isLoaded(WindowId::Form6); ++i) {
        quiz->Command1_KeyDown(1, i % 2 ? '2' : '3', 0);
        quiz->Command1_Click(1);
    }
    auto* results = loaded<Form6>(windows, WindowId::Form6);
    shoot(results, "result_window");
    shoot(quiz, "quiz_retest");
    results->Command1_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // The editor on the same file.
    main->Command1_Click(0);
    chooser = loaded<Form7>(windows, WindowId::Form7);
    shoot(chooser, "chooser_editor_mode");
    chooser->File1->setCurrentRow(0);
    chooser->Command1_Click();
    auto* editor = loaded<Form2>(windows, WindowId::Form2);
    editor->Command6_Click();
    shoot(editor, "editor_browse");
    editor->Command7_Click();
    shoot(editor, "editor_edit");
    editor->Command1_Click();
    editor->Command1_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // A question too long for the window: cut with "…", whole in its tooltip.
    {
        const QString longFile = QStringLiteral("長い問題の例.qz2");
        QFile file(longFile);
        if (!file.open(QIODevice::WriteOnly)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(longFile));
            return 1;
        }
        // One question with a long text and a long first choice.
        file.write("1\r\n");
        file.write(sjisRecord(
            QStringLiteral("次の文章のうち、鎌倉幕府の成立から室町幕府の滅亡までの出来事として"
                           "正しいものを一つ選び、その番号を答えなさい。ただし、年号は西暦で"
                           "表したものとし、出来事はすべて日本国内のものとする。"),
            QStringLiteral("源頼朝が征夷大将軍に任命され、鎌倉に武家政権を開いたのは一一九二年の"
                           "ことである")));
        file.close();
        state.setF_name(longFile);
        state.setFileState(FileState::Current);
        auto* longQuiz = showAs<Form4>(windows, WindowId::Form4);
        shootWithTooltip(longQuiz, longQuiz->Label2,
                         QPoint(longQuiz->Label2->width() / 3, longQuiz->Label2->height() / 2),
                         longQuiz->Label2->toolTip(), "quiz_long_question");
        windows.unload(WindowId::Form4);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QDir().remove(longFile);
    }

    // A new file.
    main->Command1_Click(0);
    chooser = loaded<Form7>(windows, WindowId::Form7);
    chooser->Command3_Click();
    auto* newFile = loaded<Form3>(windows, WindowId::Form3);
    newFile->Text1->setText(QStringLiteral("英単語"));
    shoot(newFile, "new_file_dialog");
    newFile->Command1_Click(0);
    editor = loaded<Form2>(windows, WindowId::Form2);
    editor->Text1->setText(QStringLiteral("「りんご」を英語で言うと？"));
    editor->Text2[0]->setText(QStringLiteral("apple"));
    editor->Text2[1]->setText(QStringLiteral("orange"));
    editor->Text2[2]->setText(QStringLiteral("grape"));
    editor->Combo1->setCurrentIndex(0);
    shoot(editor, "editor_new_file");
    editor->Command4_Click();
    editor->Command1_Click();
    QDir().remove(QStringLiteral("英単語.qz2"));

    // What a result line opens: a pass over the sample file, one line opened.
    main->Command1_Click(1);
    chooser = loaded<Form7>(windows, WindowId::Form7);
    chooser->File1->setCurrentRow(0);
    chooser->Command1_Click();
    quiz = loaded<Form4>(windows, WindowId::Form4);
    for (int i = 0; i < 10 && !windows.isLoaded(WindowId::Form6); ++i) {
        quiz->Command1_KeyDown(1, i % 3 ? '1' : '2', 0);
        quiz->Command1_Click(1);
    }
    results = loaded<Form6>(windows, WindowId::Form6);
    if (results != nullptr) {
        results->List1->setFocus();
        results->List1->setCurrentRow(0);
        results->List1_KeyDown(13, 0);
        results->Command1_Click();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // Long names and a sync engine's conflict copies in the chooser.
    {
        const QStringList made = {
            QStringLiteral("基本情報技術者試験_令和5年度_午前.qz2"),
            QStringLiteral("基本情報技術者試験_令和5年度_午後.qz2"),
            QStringLiteral("試験ﾃﾞｰﾀ.qz2"),
            QStringLiteral("試験ﾃﾞｰﾀ (conflicted copy 2026-12-08 101500).qz2"),
            QStringLiteral("試験ﾃﾞｰﾀ.sync-conflict-20261209-080000-ABCDEFG.qz2"),
        };
        for (const QString& name : made) {
            QFile::copy(QStringLiteral("一般常識.qz2"), name);
        }
        main->Command1_Click(1);
        chooser = loaded<Form7>(windows, WindowId::Form7);
        chooser->File1->setFocus();
        chooser->File1->setCurrentRow(1);
        QApplication::processEvents();
        const QRect row = chooser->File1->visualItemRect(chooser->File1->item(1));
        shootWithTooltip(chooser, chooser->File1->viewport(), row.center(),
                         chooser->File1->item(1)->toolTip(), "chooser_long_names");
        const int real = chooser->File1->rowOfBytes(made[2].toStdString());
        chooser->File1->setCurrentRow(real);
        chooser->File1->scrollToBottom();
        shoot(chooser, "chooser_conflict_copies");
        chooser->Command1_Click();  // the notice of the copies
        windows.unload(WindowId::Form4);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (const QString& name : made) {
            QDir().remove(name);
        }
    }

    // A short question with half-width blanks in the editor: whole, no "…".
    {
        const QString spaced = QStringLiteral("2進数.qz2");
        QFile file(spaced);
        if (!file.open(QIODevice::WriteOnly)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(spaced));
            return 1;
        }
        const Conversion bytes = encodeCp932(
            "1\r\n2進数 1011 を10進数で表すと？,9,10,11,12,13,3,0,0,ﾅｼ\r\n");
        file.write(bytes.text.data(), static_cast<qsizetype>(bytes.text.size()));
        file.close();
        state.setText1(spaced);
        state.setFileState(FileState::Current);
        editor = showAs<Form2>(windows, WindowId::Form2);
        shoot(editor, "editor_short_question");
        windows.unload(WindowId::Form2);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QDir().remove(spaced);
    }

    // Maintenance mode.
    main->Command1_KeyDown(0, 'Z', 4);
    auto* password = loaded<Form5>(windows, WindowId::Form5);
    password->Text1->setText(QStringLiteral("pelican"));
    shoot(password, "password_dialog");
    password->Command1_Click();
    shoot(main, "main_window_maintenance");
    return 0;
}
