#include "ui/text_fit.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include "editor/editor_window.h"
#include "ui/controls.h"
#include "window_test.h"

namespace studyhop {
namespace {

const QChar kEllipsis(0x2026);

QString repeated(const char* utf8, int times) {
    return QString::fromUtf8(utf8).repeated(times);
}

struct FitCase {
    const char* name;
    QString text;
    int width;
    int lineCount;  // lines of height available, 0 for one unwrapped line
    bool cut;
};

// A choice label with room for a second line showed one line and "…": a
// line counts once its baseline fits, its descent may be cut.
TEST(TextFitTest, EveryLineWhoseBaselineFitsIsUsed) {
    const QFont font = gothicFont(9);
    const QFontMetrics metrics(font);
    const int line = metrics.lineSpacing();
    const struct {
        int height;
        int lines;
    } cases[] = {
        {line + metrics.ascent(), 2},
        {line + metrics.ascent() - 1, 1},
        {2 * line + metrics.ascent(), 3},
        {metrics.ascent() - 1, 1},
    };
    for (const auto& c : cases) {
        const FittedText fitted = fitText(font, repeated("とても長い選択肢です。", 12), 270, c.height, true);
        EXPECT_EQ(fitted.shown.split(QLatin1Char('\n')).size(), c.lines) << c.height;
        EXPECT_TRUE(fitted.cut) << c.height;
    }
}

TEST(TextFitTest, CutTextsEndInAnEllipsisAndKeepToTheirBox) {
    const QFont font = gothicFont(9.75);
    const QFontMetrics metrics(font);
    const int line = metrics.lineSpacing();
    const FitCase cases[] = {
        {"short line", QStringLiteral("日本の首都は？"), 330, 0, false},
        {"empty", QString(), 330, 0, false},
        {"long line", repeated("長い選択肢の文", 20), 330, 0, true},
        {"two lines of room, one used", QStringLiteral("短い問題"), 330, 2, false},
        {"exactly two lines worth", repeated("問", 20), 330, 2, false},
        {"three lines into two", repeated("とても長い問題文です。", 12), 330, 2, true},
        {"one long word", QString(200, QLatin1Char('x')), 330, 2, true},
        {"line breaks beyond the last line", QStringLiteral("一\n二\n三\n四"), 330, 2, true},
        {"no room for even one line", repeated("問題", 40), 330, 0, true},
    };
    for (const FitCase& c : cases) {
        const bool wrap = c.lineCount > 0;
        const int height = wrap ? c.lineCount * line : line / 2;
        const FittedText fitted = fitText(font, c.text, c.width, height, wrap);
        EXPECT_EQ(fitted.cut, c.cut) << c.name;
        const QStringList lines = fitted.shown.split(QLatin1Char('\n'));
        if (c.cut) {
            EXPECT_TRUE(fitted.shown.endsWith(kEllipsis)) << c.name << ": " << fitted.shown.toStdString();
            EXPECT_LE(lines.size(), std::max(1, c.lineCount)) << c.name;
            for (const QString& l : lines) {
                // Whole-pixel advances may round one pixel above the layout's own.
                EXPECT_LE(metrics.horizontalAdvance(l), c.width + 1)
                    << c.name << ": " << l.toStdString();
            }
            // What is shown is the beginning of the text.
            const QString start = lines.front().left(2);
            EXPECT_TRUE(c.text.startsWith(start)) << c.name;
        } else {
            EXPECT_EQ(fitted.shown, c.text) << c.name;
        }
    }
}

TEST(TextFitTest, LabelShowsTheWholeTextAsTooltipOnlyWhileCut) {
    QWidget window;
    QLabel* label = makeLabel(&window, "Label2", QString(), 120, 360, 4935, 615);
    label->setWordWrap(true);
    const QString longText = repeated("長い問題文が続きます。", 30);
    setFittedText(label, longText);
    EXPECT_TRUE(label->text().endsWith(kEllipsis));
    EXPECT_EQ(label->toolTip(), longText);
    EXPECT_EQ(fullText(label), longText);

    setFittedText(label, QStringLiteral("短い問題"));
    EXPECT_EQ(label->text(), QStringLiteral("短い問題"));
    EXPECT_TRUE(label->toolTip().isEmpty()) << "a tooltip left from the text before";
    EXPECT_EQ(fullText(label), QStringLiteral("短い問題"));
}

TEST(TextFitTest, BoxShowsTheBeginningOfALongTextWhileDisabled) {
    QWidget window;
    auto* box = new QLineEdit(&window);
    box->resize(120, 20);
    box->setEnabled(false);
    setTextFromStart(box, repeated("選択肢", 30));
    EXPECT_EQ(box->cursorPosition(), 0);
    EXPECT_EQ(box->text(), repeated("選択肢", 30));
}

TEST(TextFitTest, CaptionFitsItsLabelWithoutGoingBelowTheReadableSize) {
    struct {
        const char* caption;
        int widthTwips;
    } const cases[] = {
        {"Ｆｉｌｅ Ｎａｍｅ", 975},
        {"ファイル名を入力して下さい", 2175},
        {"短い", 975},
    };
    for (const auto& c : cases) {
        QWidget window;
        QLabel* label = makeLabel(&window, "Label8", QString::fromUtf8(c.caption), 0, 0,
                                  c.widthTwips, 255);
        fitCaption(label, 8);
        EXPECT_GE(label->font().pointSizeF(), 8) << c.caption;
        EXPECT_LE(QFontMetrics(label->font()).horizontalAdvance(label->text()),
                  label->contentsRect().width())
            << c.caption;
    }
}

class EditorTextTest : public test::WindowTest {};

// A question that fits showed "…" in the editor: the box was measured by its
// viewport before the first show, when the viewport still had its default size.
TEST_F(EditorTextTest, QuestionThatFitsTheEditorShowsNoEllipsis) {
    const struct {
        const char* question;
        bool cut;
    } cases[] = {
        {"2進数 1011 を10進数で表すと？", false},  // the file's bytes: 34 0d 0a 32 90 69 90 94 20 ...
        {"日本で一番長い川は何という川でしょうか", false},
        {"次の文章のうち、鎌倉幕府の成立から室町幕府の滅亡までの出来事として正しいものを一つ選び、"
         "その番号を答えなさい。ただし年号は西暦とする。",
         true},
    };
    for (const auto& c : cases) {
        test::writeBytes("a.qz2", test::sjis(std::string("4\r\n") + c.question +
                                             ",9,11,13,ﾅｼ,ﾅｼ,2,0,0,ﾅｼ\r\nq2,a,b,ﾅｼ,ﾅｼ,ﾅｼ,1,0,0,ﾅｼ\r\n"
                                             "q3,a,b,ﾅｼ,ﾅｼ,ﾅｼ,1,0,0,ﾅｼ\r\nq4,a,b,ﾅｼ,ﾅｼ,ﾅｼ,1,0,0,ﾅｼ\r\n"));
        windows->show(WindowId::Form1);
        state().setText1(QStringLiteral("a.qz2"));
        state().setFileState(FileState::Current);
        auto* editor = show<Form2>(WindowId::Form2);
        ASSERT_EQ(editor->Text1->text(), QString::fromUtf8(c.question));
        const auto* mark = editor->Text1->findChild<QLabel*>(QStringLiteral("CutMark"));
        ASSERT_NE(mark, nullptr);
        EXPECT_EQ(mark->isVisibleTo(editor), c.cut) << c.question;
        EXPECT_EQ(editor->Text1->toolTip().isEmpty(), !c.cut) << c.question;
        test::saveScreenshot(editor, c.cut ? "editor_long_question" : "editor_short_spaced_question");
        windows->unload(WindowId::Form2);
        flushDeletes();
    }
}

}  // namespace
}  // namespace studyhop
