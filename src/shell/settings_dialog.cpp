#include "shell/settings_dialog.h"

#include "data/file_io.h"
#include "data/settings_file.h"
#include "ui/controls.h"
#include "ui/prompt.h"
#include "ui/twips.h"
#include "window/file_change.h"
#include "window/shared_state.h"

namespace studyhop {

namespace {

QComboBox* makeCombo(QWidget* parent, const char* name, const QStringList& items, int top) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    combo->addItems(items);
    placeTwips(combo, 120, top, 1695, 300);
    return combo;
}

// The position to select for a stored value, or -1 when it is none of the items.
int itemIndex(const QString& value, int count) {
    return SharedState::wholeNumber(value, 0, count - 1).value_or(-1);
}

}  // namespace

System::System(const WindowContext& context)
    : Form(context, WindowId::System, QStringLiteral("システム設定"), 4680, 1080) {
    QStringList rates = {QStringLiteral("すべて")};
    for (int k = 9; k >= 1; --k) {
        rates << QStringLiteral("正解率%1%以下").arg(k * 10);
    }
    Combo1 = makeCombo(this, "Combo1", rates, 120);
    Label1 = makeLabel(this, "Label1", QStringLiteral("の問題を出題する"), 1920, 210, 1455, 255);
    Combo2 = makeCombo(this, "Combo2",
                       {QStringLiteral("問題を登録順"), QStringLiteral("問題をランダム")}, 600);
    Label2 = makeLabel(this, "Label2", QStringLiteral("に問題を出題する"), 1920, 670, 1455, 255);
    Command1 = makeButton(this, "Command1", QStringLiteral("Ｏ  Ｋ"), 3480, 120, 1095, 375);
    Command2 = makeButton(this, "Command2", QStringLiteral("ｷｬﾝｾﾙ"), 3480, 600, 1095, 375);
    connect(Command1, &QPushButton::clicked, this, &System::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &System::Command2_Click);
    // Enter in a closed list box accepts, Esc cancels.
    setDialogKeys(Command1, Command2);
    // Named by a leading caption, not by the trailing labels on screen.
    nameComboBox(Combo1, QStringLiteral("出題する問題の正解率"));
    nameComboBox(Combo2, QStringLiteral("出題の順序"));
    Combo1->setAccessibleName(QStringLiteral("出題する問題の正解率"));
    Combo2->setAccessibleName(QStringLiteral("出題の順序"));
    Command1->setAccessibleName(QStringLiteral("ＯＫ"));
    Command2->setAccessibleName(QStringLiteral("キャンセル"));
}

void System::Form_Load() {
    m_shownRate = itemIndex(m_state.Tex1(), Combo1->count());
    m_shownOrder = itemIndex(m_state.Tex2(), Combo2->count());
    Combo1->setCurrentIndex(m_shownRate);
    Combo2->setCurrentIndex(m_shownOrder);
}

void System::Command1_Click() {
    // Tex1 and Tex2 only ever hold valid positions, so both lists have a
    // selection; should one not, the default 0 is stored rather than -1.
    const int rate = std::max(0, Combo1->currentIndex());
    const int order = std::max(0, Combo2->currentIndex());
    // Only what the user changed goes onto the file as it is now: another
    // copy of the program may have stored the other setting meanwhile.
    SettingsChange change;
    if (rate != m_shownRate) {
        change.rateFilter = rate;
    }
    if (order != m_shownOrder) {
        change.order = order;
    }
    SettingsRead now;
    const Status status = retryWhileBusy([&] { return updateSettings(m_fs, change, now); });
    if (status.ok()) {
        m_state.setTex1(QString::fromStdString(now.rateFilter));
        m_state.setTex2(QString::fromStdString(now.order));
    } else {
        // Nothing stored: the choice holds for this run.
        m_state.setTex1(QString::number(rate));
        m_state.setTex2(QString::number(order));
        if (!now.notOurs) {
            m_prompt.ask(
                QStringLiteral("設定を保存できませんでした。この設定は終了するまで有効です。\r\n") +
                    QString::fromStdString(status.message()),
                QStringLiteral("エラー"));
        } else if (!m_state.toldSettingsNotOurs()) {
            m_state.setToldSettingsNotOurs();
            m_prompt.ask(QString::fromStdString(notOursNotice(now.path, false)),
                         QStringLiteral("確認"));
        }
    }
    unloadSelf();
}

void System::Command2_Click() {
    unloadSelf();
}

}  // namespace studyhop
