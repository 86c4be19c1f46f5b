#include "quiz/result_window.h"

#include <QRegularExpression>

#include "ui/controls.h"
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
    Label2->clear();
    Label5->clear();
    setFittedText(Label6, QString());
    Command2->setVisible(false);
    m_retestOffered = false;
}

void Form6::showResults(const PassResults& results) {
    clearResults();
    for (const std::string& line : results.lines) {
        auto* item = new QListWidgetItem(QString::fromStdString(line), List1);
        item->setData(Qt::AccessibleTextRole, spokenLine(item->text()));
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
    setFittedText(Label6, percent);
    Label6->setAccessibleName(QStringLiteral("正解率 %1%").arg(percent));
    Command2->setVisible(results.retest);
    m_retestOffered = results.retest;
    Score->speak(QStringLiteral("問題数 %1、正解数 %2、正解率 %3%")
                     .arg(results.total)
                     .arg(results.correct)
                     .arg(percent));
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
