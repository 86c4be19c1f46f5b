#include "quiz/result_window.h"

#include <QApplication>
#include <QPainter>
#include <QRegularExpression>
#include <QStyledItemDelegate>

#include "ui/controls.h"
#include "ui/prompt.h"
#include "ui/text_fit.h"
#include "ui/twips.h"
#include "window/shared_state.h"

namespace studyhop {

namespace {

// A result line as a screen reader should read it: no runs of blanks.
QString spokenLine(QString line) {
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    line.replace(blanks, QStringLiteral(" "));
    line.replace(QStringLiteral("正 解"), QStringLiteral("正解"));
    return line;
}

// What a result line opens: the question, the answer given and the right one.
QString detailText(const QString& line, const JudgedQuestion& q) {
    auto qt = [](const std::string& text) { return QString::fromStdString(text); };
    QString text = spokenLine(line) + QStringLiteral("（ファイルの%1問目）\r\n").arg(q.fileNumber);
    text += QStringLiteral("問題 ：") + qt(q.question) + QStringLiteral("\r\n");
    text += QStringLiteral("あなたの回答 ：") +
            (q.answer > 0 ? QStringLiteral("%1  %2").arg(q.answer).arg(qt(q.answerText))
                          : QStringLiteral("（回答なし）")) +
            QStringLiteral("\r\n");
    text += QStringLiteral("正解 ：") +
            (q.correctText.empty() ? qt(q.correctNumber)
                                   : QStringLiteral("%1  %2").arg(qt(q.correctNumber), qt(q.correctText)));
    return text;
}

// Draws a result line in two columns, the question's number and the
// verdict, so that the verdicts stand one under the other whatever the
// number's width. Other lines (the note) are drawn as they are.
class ResultLineDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        static const QRegularExpression gap(QStringLiteral("^(問 \\d+)( {2,})(.+)$"));
        const QRegularExpressionMatch parts = gap.match(item.text);
        if (!parts.hasMatch()) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        const QWidget* widget = item.widget;
        QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
        item.text.clear();
        style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);
        const QRect text = style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget);
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        // The widest number a file holds, with the line's own blanks after it.
        const int column = item.fontMetrics.horizontalAdvance(QStringLiteral("問 101") + parts.captured(2));
        painter->save();
        painter->setFont(item.font);
        painter->setPen(item.palette.color(QPalette::Normal, (item.state & QStyle::State_Selected) != 0
                                                                 ? QPalette::HighlightedText
                                                                 : QPalette::Text));
        const QRect area = text.adjusted(margin, 0, -margin, 0);
        painter->drawText(area, Qt::AlignLeft | Qt::AlignVCenter, parts.captured(1));
        painter->drawText(area.adjusted(column, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                          parts.captured(3));
        painter->restore();
    }
};

}  // namespace

Form6::Form6(const WindowContext& context)
    : Form(context, WindowId::Form6, QStringLiteral("成績"), 2535, 2355) {
    Label1 = makeLabel(this, "Label1", QStringLiteral("問題数"), 120, 120, 615, 255);
    Label2 = makeLabel(this, "Label2", QString(), 720, 120, 495, 255);
    Label3 = makeLabel(this, "Label3", QStringLiteral("正解数"), 120, 360, 615, 255);
    Label5 = makeLabel(this, "Label5", QString(), 720, 360, 495, 255);
    Label4 = makeLabel(this, "Label4", QStringLiteral("正解率"), 120, 600, 615, 255);
    Label6 = makeLabel(this, "Label6", QString(), 720, 600, 495, 255);
    Label6->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Beside the figure, so that a figure cut to fit never takes the sign along.
    PercentSign = makeLabel(this, "PercentSign", QStringLiteral("%"), 1230, 600, 180, 255);
    Command1 = makeButton(this, "Command1", QStringLiteral("Ｏ    Ｋ (&O)"), 1440, 120, 975, 375);
    Command2 = makeButton(this, "Command2", QStringLiteral("追   試 (&T)"), 1440, 600, 975, 375);
    Command2->setVisible(false);
    Command1->setAccessibleName(QStringLiteral("ＯＫ（問題と成績を閉じる）"));
    Command2->setAccessibleName(QStringLiteral("追試"));
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    placeTwips(List1, 120, 1080, 2295, 1140);
    List1->setAccessibleName(QStringLiteral("結果一覧"));
    List1->setItemDelegate(new ResultLineDelegate(List1));
    // Tab into the list lands on a line, which is read out and opened by Enter.
    readRowOnFocus(List1);
    connect(List1, &QListWidget::itemDoubleClicked, this, [this] { List1_DblClick(); });
    onKeyDown(List1, [this](KeyDown key) {
        if (key.keyCode == kKeyEnter && key.shift == 0) {
            List1_KeyDown(key.keyCode, key.shift);
            return true;
        }
        return false;
    });
    Score = new SpokenLabel(this);
    Score->setObjectName(QStringLiteral("Score"));
    placeTwips(Score, 60, 60, 1215, 855);
    Score->setAttribute(Qt::WA_TransparentForMouseEvents);
    // Enter does what it did before the score took the focus from OK.
    onKeyDown(Score, [this](KeyDown key) {
        if (key.keyCode == kKeyEnter && key.shift == 0) {
            Command1->click();
            return true;
        }
        return false;
    });
    setTabOrder(Score, Command1);
    setTabOrder(Command1, Command2);
    setTabOrder(Command2, List1);
    connect(Command1, &QPushButton::clicked, this, &Form6::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form6::Command2_Click);
}

void Form6::clearResults() {
    List1->clear();
    m_judged.clear();
    Label2->clear();
    Label5->clear();
    setFittedText(Label6, QString());
    Command2->setVisible(false);
    m_retestOffered = false;
}

void Form6::showResults(const PassResults& results) {
    clearResults();
    m_judged = results.judged;
    for (size_t i = 0; i < results.lines.size(); ++i) {
        auto* item = new QListWidgetItem(QString::fromStdString(results.lines[i]), List1);
        // A screen reader reads what the line opens, in one sentence.
        item->setData(Qt::AccessibleTextRole,
                      i < m_judged.size()
                          ? detailText(item->text(), m_judged[i]).replace(QStringLiteral("\r\n"), QStringLiteral("。"))
                          : spokenLine(item->text()));
    }
    if (results.notRecorded > 0) {
        // In lines as narrow as the list; the tooltip has it in one sentence.
        auto* note = new QListWidgetItem(
            QStringLiteral("※%1問の成績は\n記録していません\n（問題がほかで\n変更・削除された）")
                .arg(results.notRecorded),
            List1);
        note->setToolTip(
            QStringLiteral("%1問の成績は、問題がほかで変更または削除されていたため記録していません")
                .arg(results.notRecorded));
    }
    Label2->setText(QString::number(results.total));
    Label5->setText(QString::number(results.correct));
    const QString percent = QString::fromStdString(results.percentage);
    setFittedNumber(Label6, percent);
    Label6->setAccessibleName(QStringLiteral("正解率 %1%").arg(percent));
    Command2->setVisible(results.retest);
    m_retestOffered = results.retest;
    Score->speak(QStringLiteral("問題数 %1、正解数 %2、正解率 %3%")
                     .arg(results.total)
                     .arg(results.correct)
                     .arg(percent));
}

void Form6::List1_DblClick() {
    const int row = List1->currentRow();
    if (row < 0 || row >= static_cast<int>(m_judged.size())) {
        return;
    }
    m_prompt.ask(detailText(List1->item(row)->text(), m_judged[row]), QStringLiteral("答え合わせ"));
}

void Form6::List1_KeyDown(int keyCode, int shift) {
    if (keyCode == kKeyEnter && shift == 0) {
        List1_DblClick();
    }
}

void Form6::closeFromFrame() {
    if (m_retestOffered) {
        Command2_Click();
    } else {
        Command1_Click();
    }
}

void Form6::Command1_Click() {
    m_owner.unload(WindowId::Form4);
    unloadSelf();
}

void Form6::Command2_Click() {
    m_state.setFileState(FileState::Retest);
    unloadSelf();
}

}  // namespace studyhop
