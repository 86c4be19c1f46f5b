#include "editor/editor_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QShortcut>

#include "data/file_io.h"
#include "data/question_file.h"
#include "ui/controls.h"
#include "ui/prompt.h"
#include "ui/text_fit.h"
#include "ui/twips.h"
#include "ui/window_placement.h"
#include "window/file_change.h"
#include "window/question_files.h"
#include "window/shared_state.h"

namespace studyhop {

namespace {

constexpr int kClientWidth = 6045;
constexpr int kClientHeight = 3255;
constexpr int kMaintenanceOuterHeight = 4440;
constexpr int kCancelEditTop = 840;
constexpr int kCancelSingleTop = 1800;
constexpr int kCancelBrowseTop = 2280;
constexpr int kMaxOwnQuestions = 100;
constexpr int kChoiceTops[] = {960, 1320, 1680, 2040, 2400};
const char* const kChoiceCaptions[] = {"回 答 １", "回 答 ２", "回 答 ３", "回 答 ４", "回 答 ５"};
const char* const kChoiceNames[] = {"回答 1", "回答 2", "回答 3", "回答 4", "回答 5"};
// The smallest caption size that stays readable.
constexpr double kMinCaptionPoints = 8;

const QString kErrorTitle = QStringLiteral("エラー");

QString toQt(const std::string& text) {
    return QString::fromStdString(text);
}
std::string toUtf8(const QString& text) {
    return text.toStdString();
}

}  // namespace

Form2::Form2(const WindowContext& context)
    : Form(context, WindowId::Form2, QStringLiteral("問題登録"), kClientWidth, kClientHeight) {
    Label1 = makeLabel(this, "Label1", QStringLiteral("問題内容"), 120, 120, 855, 255);
    Label10 = makeLabel(this, "Label10", QString(), 1080, 120, 1095, 255);
    // A gap before the file name, so that the caption never runs into it.
    Label8 = makeLabel(this, "Label8", QStringLiteral("Ｆｉｌｅ Ｎａｍｅ"), 2280, 120, 900, 255);
    fitCaption(Label8, kMinCaptionPoints);
    Label9 = makeLabel(this, "Label9", QString(), 3240, 120, 1335, 255);
    Text1 = new QuestionBox(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    placeTwips(Text1, 120, 360, 4455, 495);
    Text1->setAccessibleName(QStringLiteral("問題内容"));
    for (int k = 0; k < 5; ++k) {
        const QByteArray n = QByteArray::number(k + 2);
        ChoiceCaptions[k] =
            makeLabel(this, ("Label" + n).constData(), QString::fromUtf8(kChoiceCaptions[k]), 120,
                      kChoiceTops[k], 705, 255);
        Text2[k] = new QLineEdit(this);
        Text2[k]->setObjectName(QStringLiteral("Text2_%1").arg(k));
        placeTwips(Text2[k], 840, kChoiceTops[k], 3735, 300);
        Text2[k]->setAccessibleName(QString::fromUtf8(kChoiceNames[k]));
    }
    // Kept off the window's edge.
    Label7 = makeLabel(this, "Label7", QStringLiteral("正解番号"), 60, 2880, 780, 255);
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    placeTwips(Combo1, 840, 2880, 855, 300);
    Combo1->setAccessibleName(QStringLiteral("正解番号"));
    nameComboBox(Combo1, QStringLiteral("正解番号"));
    Label21 = makeLabel(this, "Label21", QStringLiteral("正解率"), 3120, 2880, 615, 255);
    Label22 = makeLabel(this, "Label22", QString(), 3720, 2880, 855, 255);

    Command2 = makeButton(this, "Command2", QStringLiteral("新 規 登 録"), 4680, 360, 1215, 375);
    Command4 = makeButton(this, "Command4", QStringLiteral("登       録"), 4680, 360, 1215, 375);
    Command7 = makeButton(this, "Command7", QStringLiteral("修        正 "), 4680, 840, 1215, 375);
    Command3 = makeButton(this, "Command3", QStringLiteral("削       除"), 4680, 1320, 1215, 375);
    Command5 = makeButton(this, "Command5", QStringLiteral("<"), 4680, 1800, 555, 375);
    Command6 = makeButton(this, "Command6", QStringLiteral(">"), 5280, 1800, 615, 375);
    Command1 = makeButton(this, "Command1", QStringLiteral("キャンセル  "), 4680, kCancelBrowseTop,
                          1215, 375);
    const std::pair<QPushButton*, const char*> buttonNames[] = {
        {Command2, "新規登録"}, {Command4, "登録"},     {Command7, "修正"},      {Command3, "削除"},
        {Command5, "前の問題"}, {Command6, "次の問題"}, {Command1, "キャンセル"}};
    for (const auto& [button, name] : buttonNames) {
        button->setAccessibleName(QString::fromUtf8(name));
    }
    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form2::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form2::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form2::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Form2::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &Form2::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &Form2::Command7_Click);
    Command3->setProperty(kRemovesDataProperty, true);
    auto* undo = new QShortcut(QKeySequence::Undo, this);
    connect(undo, &QShortcut::activated, this, &Form2::undoDelete);

    // The maintenance strip, below the client area.
    Label11 = makeLabel(this, "Label11", QStringLiteral("ﾌｧｲﾙﾀｲﾌﾟ"), 120, 3360, 855, 255);
    Label12 = makeLabel(this, "Label12", QString(), 1000, 3360, 495, 255);
    Label13 = makeLabel(this, "Label13", QStringLiteral("出題回数"), 1680, 3360, 855, 255);
    Label15 = makeLabel(this, "Label15", QString(), 2560, 3360, 615, 255);
    Label14 = makeLabel(this, "Label14", QStringLiteral("正解回数"), 3240, 3360, 855, 255);
    Label16 = makeLabel(this, "Label16", QString(), 4120, 3360, 615, 255);
    Label17 = makeLabel(this, "Label17", QStringLiteral("Max"), 120, 3720, 855, 255);
    Label18 = makeLabel(this, "Label18", QString(), 1000, 3720, 495, 255);
    Label19 = makeLabel(this, "Label19", QStringLiteral("mcnt"), 1680, 3720, 855, 255);
    Label20 = makeLabel(this, "Label20", QString(), 2560, 3720, 615, 255);

    // The design's state before any code runs.
    setBoxesEditable(false);
    resetCorrectNumbers();
    Combo1->setEnabled(false);
    // The correct number while browsing: a disabled box, drawn dark enough
    // to read (at least 4.5:1 on the button face).
    QPalette correctColors = Combo1->palette();
    for (QPalette::ColorRole role : {QPalette::ButtonText, QPalette::Text, QPalette::WindowText}) {
        correctColors.setColor(QPalette::Disabled, role, QColor(0x40, 0x40, 0x40));
    }
    Combo1->setPalette(correctColors);
    Command5->setVisible(false);
    Command4->setVisible(false);
    Label22->setVisible(false);

    QWidget* order[] = {Command2, Command7, Command3, Command5, Command6, Command4, Command1,
                        Text1,    Text2[0], Text2[1], Text2[2], Text2[3], Text2[4], Combo1};
    for (size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
    Command2->setFocus();
}

void Form2::setFileFormat(FileFormat format) {
    m_format = format;
    Label12->setText(format == FileFormat::Legacy ? QStringLiteral("1") : QStringLiteral("2"));
}

void Form2::showCounters() {
    Label15->setText(toQt(edited.timesAsked));
    Label16->setText(toQt(edited.timesCorrect));
}

ChangeResult Form2::changeFile(const QuestionChange& change, const QString& question) {
    const ChangeResult result = changeQuestionFile(m_prompt, m_fs, m_read, change, question);
    if (result.outcome == ChangeOutcome::Written) {
        m_replacing = false;
        if (result.consent == Consent::Recreate || result.consent == Consent::Replace) {
            m_journal.record(JournalChange::Overwritten, toUtf8(F_name));
        }
    }
    return result;
}

void Form2::takeFromDisk(const ChangeResult& result) {
    m_read = result.now;
    takeQuestions(edited, m_read, result.shown);
}

bool Form2::reloadFromDisk() {
    const LoadResult loaded = legacyFile() ? loadLegacyQuestionFile(m_fs, m_path, kMaxOwnQuestions)
                                           : loadCurrentQuestionFile(m_fs, m_path);
    if (!loaded.status.ok()) {
        m_prompt.ask(QStringLiteral("問題ファイルを読み直せませんでした。\r\n") +
                         toQt(loaded.status.message()),
                     kErrorTitle);
        return false;
    }
    m_read = questionFileRead(m_path, m_format, loaded);
    takeQuestions(edited, m_read, Mcnt);
    return true;
}

QString Form2::questionText(int row) const {
    return toQt(m_read.table.rows[std::clamp(row, 0, kRows - 1)][kQuestionText].asText());
}

void Form2::resetCorrectNumbers() {
    Combo1->clear();
    Combo1->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                      QStringLiteral("4"), QStringLiteral("5")});
    Combo1->setCurrentIndex(-1);
}

void Form2::Form_Load() {
    // The maintenance strip lies below the client area: out of sight, and
    // out of a screen reader's reach too, unless the maintenance mode shows it.
    for (QLabel* l : {Label11, Label12, Label13, Label14, Label15, Label16, Label17, Label18, Label19,
                      Label20}) {
        l->setVisible(m_state.Mode() == 1);
    }
    if (m_state.Mode() == 1) {
        setOuterHeightTwips(this, kMaintenanceOuterHeight);
    }
    m_state.setText2(QStringLiteral("Type_2"));
    setFileFormat(FileFormat::Current);
    EditMode = 0;
    QCount = 0;
    Mcnt = 0;

    const std::optional<QString> newFile = m_state.takeNewFileRequest();
    if (newFile || m_state.Text1() == QStringLiteral("0")) {
        F_name = newFile.value_or(kDefaultQuestionFile);
        m_path = toUtf8(F_name);
        // Whatever is there now is what the first registration may replace;
        // a named pipe or folder under the name can hold no questions.
        m_read = QuestionFileRead{};
        m_read.path = m_path;
        m_read.format = m_format;
        if (const Status s = m_fs.stamp(m_path, m_read.stamp); s.kind() == ErrorKind::NotRegular) {
            m_prompt.ask(QStringLiteral("問題ファイルを開けませんでした。\r\n") + toQt(s.message()),
                         kErrorTitle);
            unloadSelf();
            return;
        }
        m_replacing = true;
        QCount = 1;
        Mcnt = 0;
        EditMode = 1;
        Label18->setText(QString::number(QCount));
        Label20->setText(QString::number(Mcnt));
        SetEditState();
    } else {
        F_name = m_state.Text1();
        m_path = m_state.fileNameBytes(F_name);
        const bool legacy = m_state.fileState() == FileState::Legacy;
        if (legacy) {
            m_state.setText2(QStringLiteral("Type_1"));
            setFileFormat(FileFormat::Legacy);
        } else {
            Label21->setVisible(true);
            Label22->setVisible(true);
        }
        const LoadResult loaded = legacy ? loadLegacyQuestionFile(m_fs, m_path, kMaxOwnQuestions)
                                         : loadCurrentQuestionFile(m_fs, m_path);
        m_read = questionFileRead(m_path, m_format, loaded);
        if (loaded.status.kind() == ErrorKind::NotFound) {
            // A file that does not exist yet: the editor opens empty and its
            // first registration creates the file.
            setFittedText(Label9, F_name);
            UpdateNewButton();
            return;
        }
        if (!loaded.status.ok()) {
            // Opening on what was read would let the next save replace the
            // file with it: refuse instead.
            m_prompt.ask(QStringLiteral("問題ファイルを開けませんでした。\r\n") +
                             toQt(loaded.status.message()),
                         kErrorTitle);
            unloadSelf();
            return;
        }
        table = loaded.table;
        // The records are the questions; a count line that says otherwise is
        // never trusted, so no blank question is invented and none is lost.
        QCount = loaded.recordsRead;
        if (!legacy && loaded.countLineDisagrees()) {
            m_prompt.ask(
                QStringLiteral("ファイル名 ：%1\r\n1行目の問題数は%2ですが、"
                               "ファイルには%3問の問題があります。\r\n"
                               "%3問として開きます。保存するときは%3問として書き込みます。")
                    .arg(F_name)
                    .arg(loaded.count)
                    .arg(loaded.recordsRead),
                QStringLiteral("確認"));
        }
        // The editor holds at most 100 questions; saving more would drop the
        // others, so such a file is only shown.
        if (loaded.recordsBeyondLimit > 0 ||
            (loaded.countLineDisagrees() && loaded.recordsRead > kMaxOwnQuestions)) {
            m_readOnly = true;
            m_prompt.ask(QStringLiteral("このファイルには100問を超える問題があります。\r\n"
                                        "101問目以降の問題を失わないよう、表示のみ行います。"),
                         QStringLiteral("確認"));
        }
        Mcnt = 0;
        ShowQuestion();
    }
    setFittedText(Label9, F_name);
    if (QCount == 1) {
        moveTopTwips(Command1, kCancelSingleTop);
    }
}

void Form2::ShowQuestion() {
    const QuestionRow& row = table.rows[std::clamp(Mcnt, 0, kRows - 1)];
    Label18->setText(QString::number(QCount));
    Label20->setText(QString::number(Mcnt));
    Label22->setText(toQt(correctRateText(row, RateTest::TimesAsked)));
    if (!legacyFile()) {
        edited.timesAsked = row[kTimesAsked].asText();
        edited.timesCorrect = row[kTimesCorrect].asText();
        showCounters();
    }
    setTextFromStart(Text1, toQt(row[kQuestionText].asText()));
    // A correct number outside 1..5 cannot be shown: no selection.
    const auto correct = row[kCorrectNumber].numericValue();
    int index = -1;
    if (!row[kCorrectNumber].isEmpty() && correct && *correct >= 1 && *correct <= 5 &&
        *correct == static_cast<int>(*correct)) {
        index = static_cast<int>(*correct) - 1;
    }
    Combo1->setCurrentIndex(index);
    Label10->setText(QStringLiteral("(%1/%2)").arg(Mcnt + 1).arg(QCount));
    hideNavigationAtTheEnds();
    UpdateNewButton();
    for (int k = 0; k < 5; ++k) {
        setTextFromStart(Text2[k], toQt(row[kChoice1 + k].asText()));
    }
    // "<" and ">" keep the focus; a screen reader reads the change of their
    // description: the question now shown.
    QString spoken = QStringLiteral("問%1（%2問中） %3").arg(Mcnt + 1).arg(QCount).arg(Text1->text());
    for (int k = 0; k < 5; ++k) {
        spoken += QStringLiteral("。回答 %1 %2").arg(k + 1).arg(Text2[k]->text());
    }
    spoken += QStringLiteral("。正解番号 %1").arg(Combo1->currentText());
    Command5->setAccessibleDescription(spoken);
    Command6->setAccessibleDescription(spoken);
}

// Browsed texts are read-only, not disabled: readable in full contrast and
// reachable with Tab, while nothing can be typed into them.
void Form2::setBoxesEditable(bool editable) {
    const QColor background = QApplication::palette().color(editable ? QPalette::Base : QPalette::Window);
    for (QWidget* box : std::initializer_list<QWidget*>{Text1, Text2[0], Text2[1], Text2[2], Text2[3],
                                                        Text2[4]}) {
        QPalette colors = box->palette();
        colors.setColor(QPalette::Base, background);
        box->setPalette(colors);
    }
    Text1->setReadOnly(!editable);
    markCutText(Text1);
    for (QLineEdit* box : Text2) {
        box->setReadOnly(!editable);
        markCutText(box);
    }
}

// Hides "<" or ">" where it would leave the rows in use (first rule only);
// showing them again is the browsing buttons' job.
void Form2::hideNavigationAtTheEnds() {
    if (QCount == 1) {
        Command5->setVisible(false);
        Command6->setVisible(false);
    } else if (Mcnt + 1 >= QCount) {
        Command6->setVisible(false);
    } else if (Mcnt <= 0) {
        Command5->setVisible(false);
    }
}

void Form2::UpdateNewButton() {
    Command2->setEnabled(QCount < kMaxOwnQuestions);
    // Without a question in the file there is nothing to modify or delete;
    // a modification of the empty row would be registered but never saved.
    Command7->setEnabled(QCount > 0 && !m_readOnly);
    Command3->setEnabled(QCount > 0 && !m_readOnly);
}

void Form2::SetBrowseState() {
    setEditing(false);
}

void Form2::SetEditState() {
    setEditing(true);
}

// One order of steps for both states, so focus leaves the boxes the same way.
void Form2::setEditing(bool editing) {
    Combo1->setEnabled(editing);
    moveTopTwips(Command1, editing ? kCancelEditTop : kCancelBrowseTop);
    for (QPushButton* b : {Command2, Command3, Command5, Command6, Command7}) {
        b->setVisible(!editing);
    }
    Command4->setVisible(editing);
    setBoxesEditable(editing);
    if (!editing) {
        hideNavigationAtTheEnds();
        UpdateNewButton();
    }
}

QuestionFields Form2::displayedFields() const {
    QuestionFields fields;
    fields.question = toUtf8(Text1->text());
    for (int k = 0; k < 5; ++k) {
        fields.choices[k] = toUtf8(Text2[k]->text());
    }
    fields.correct = toUtf8(Combo1->currentText());
    return fields;
}

void Form2::showFields(const QuestionFields& fields) {
    for (int k = 0; k < 5; ++k) {
        setTextFromStart(Text2[k], toQt(fields.choices[k]));
    }
}

void Form2::CheckFields() {
    Reply = 0;
    if (const auto message = missingFieldMessage(displayedFields())) {
        m_prompt.ask(toQt(*message), kErrorTitle);
        Reply = 1;
    }
}

void Form2::StoreQuestion() {
    storeQuestion(edited, displayedFields());
}

void Form2::reportWriteFailure(const ChangeResult& result) {
    m_prompt.ask(changeFailureText(QStringLiteral("問題ファイルに保存できませんでした。"), result),
                 kErrorTitle);
}

void Form2::Command5_Click() {
    CheckFields();
    if (Reply == 1) {
        return;
    }
    --Mcnt;
    Command6->setVisible(true);
    keepBrowsingFocus(Command5, Command6, Mcnt <= 0);
    ShowQuestion();
}

void Form2::Command6_Click() {
    CheckFields();
    if (Reply == 1) {
        return;
    }
    ++Mcnt;
    Command5->setVisible(true);
    keepBrowsingFocus(Command6, Command5, Mcnt + 1 >= QCount);
    ShowQuestion();
}

// At the end of the questions the pressed button is about to hide: the
// focus goes to the other one first, straight, and without a description, so
// that a screen reader reads the new question when the description comes.
void Form2::keepBrowsingFocus(QPushButton* pressed, QPushButton* other, bool pressedHides) {
    if (pressedHides && pressed->hasFocus()) {
        other->setAccessibleDescription(QString());
        other->setFocus(Qt::OtherFocusReason);
    }
}

void Form2::Command2_Click() {
    EditMode = 1;
    ++QCount;
    Text1->clear();
    Label22->clear();
    for (QLineEdit* box : Text2) {
        box->clear();
    }
    Label10->setText(QStringLiteral("(%1/%1)").arg(QCount));
    SetEditState();
    resetCorrectNumbers();
    Text1->setFocus();
}

void Form2::Command7_Click() {
    EditMode = 2;
    SetEditState();
    Text1->setFocus();
}

void Form2::Command4_Click() {
    CheckFields();
    if (Reply == 1) {
        return;
    }
    QuestionFields fields = displayedFields();
    if (const auto message = unstorableMessage(fields)) {
        m_prompt.ask(toQt(*message), kErrorTitle);
        return;
    }
    const bool correctNumberValid = fillMissingChoices(fields);
    showFields(fields);
    if (!correctNumberValid) {
        m_prompt.ask(QStringLiteral("正解番号入力値が不正です"), kErrorTitle);
        return;
    }

    // A failed write leaves the questions, the counters and the rate as
    // they were, consistent with the file on disk.
    ChangeResult result;
    const bool replacing = m_replacing;
    if (EditMode == 1) {
        const QuestionRow row = questionRow(fields, "0", "0");
        result = changeFile(m_replacing ? QuestionChange::replace(row) : QuestionChange::add(row));
    } else {
        const bool clearCounters = !legacyFile();
        if (clearCounters) {
            Reply = m_prompt.ask(
                        QStringLiteral("内容を変更すると正解率がクリアされますがよろしいですか？"),
                        QStringLiteral("確認"), PromptButtons::OkCancel) == PromptAnswer::Ok
                        ? 1
                        : 2;
            if (Reply == 2) {
                return;
            }
        }
        // Changed on both sides: the other version stays, and what was typed
        // here is kept beside it when the user says so.
        result = changeFile(QuestionChange::modify(Mcnt, questionRow(fields, "0", "0"), clearCounters),
                            questionText(Mcnt));
        if (result.outcome == ChangeOutcome::Written) {
            m_journal.record(
                clearCounters ? JournalChange::RateCleared : JournalChange::QuestionModified,
                toUtf8(F_name));
        }
    }
    if (result.outcome == ChangeOutcome::NeedsWord) {
        return;  // not written, as the user chose: what was typed stays
    }
    if (result.outcome != ChangeOutcome::Written) {
        reportWriteFailure(result);
        return;
    }
    if (replacing) {
        m_journal.record(JournalChange::FileReplaced, toUtf8(F_name));
    }
    // The questions are now what is on disk, which may hold changes made
    // elsewhere: show the stored question where it is there.
    takeFromDisk(result);
    showCounters();
    EditMode = 0;
    ShowQuestion();
    SetBrowseState();
    moveTopTwips(Command1, QCount == 1 ? kCancelSingleTop : kCancelBrowseTop);
    m_prompt.ask(QStringLiteral("登録しました"), QStringLiteral("確認ＢＯＸ"));
}

void Form2::closeEditor() {
    m_owner.unload(WindowId::Form7);
    unloadSelf();
}

void Form2::Command1_Click() {
    switch (EditMode) {
        case 0:
            closeEditor();
            break;
        case 1:
            EditMode = 0;
            --QCount;
            ShowQuestion();
            SetBrowseState();
            break;
        default:
            EditMode = 0;
            ShowQuestion();
            SetBrowseState();
            break;
    }
}

void Form2::Command3_Click() {
    if (QCount <= 1) {
        Reply = m_prompt.ask(QStringLiteral("これ以上削除できません\r\nファイルごと削除しますか？"
                                            "\r\n削除すると、この問題（1問）とその成績が失われます。"),
                             QStringLiteral("確認"), PromptButtons::OkCancelSafe) == PromptAnswer::Ok
                    ? 1
                    : 2;
        if (Reply == 2) {
            return;
        }
    }
    // The file goes only when the question shown is all it holds now; a
    // question added elsewhere meanwhile keeps it.
    const QuestionChange change =
        QCount <= 1 ? QuestionChange::removeLast(Mcnt) : QuestionChange::remove(Mcnt);
    const ChangeResult result = changeFile(change);
    if (result.outcome == ChangeOutcome::Written && result.fileRemoved) {
        m_journal.record(JournalChange::FileDeleted, toUtf8(F_name));
        unloadSelf();
        return;
    }
    if (result.outcome == ChangeOutcome::Written) {
        m_journal.record(JournalChange::QuestionDeleted, toUtf8(F_name));
        m_deleted.emplace(result.removedAt, result.removed);
        takeFromDisk(result);
        if (result.otherQuestions > 0) {
            m_prompt.ask(QStringLiteral("ファイル名 ：%1\r\nほかで追加された問題が%2問あるため、"
                                        "ファイルは削除せず、表示していた問題だけを削除しました。")
                             .arg(F_name)
                             .arg(result.otherQuestions),
                         QStringLiteral("確認"));
        }
    } else if (result.status.kind() == ErrorKind::Conflict) {
        m_prompt.ask(toQt(result.status.message()) + QStringLiteral("\r\n問題：") +
                         questionText(Mcnt) +
                         QStringLiteral("\r\n削除しませんでした。ファイルの今の内容を表示します。"),
                     QStringLiteral("確認"));
        reloadFromDisk();
    } else if (result.outcome != ChangeOutcome::NeedsWord) {
        reportWriteFailure(result);
    }
    ShowQuestion();
    SetBrowseState();
    // Never left on 削除: the next Enter would delete the next question too.
    if (focusWidget() == Command3 || !Command3->isEnabled()) {
        for (QPushButton* next : {Command6, Command5, Command1}) {
            if (next->isVisible()) {
                next->setFocus(Qt::OtherFocusReason);
                break;
            }
        }
    }
}

void Form2::undoDelete() {
    if (EditMode != 0 || !m_deleted) {
        return;
    }
    const ChangeResult result =
        changeFile(QuestionChange::insert(m_deleted->first, m_deleted->second));
    if (result.outcome == ChangeOutcome::Written) {
        m_deleted.reset();
        takeFromDisk(result);
        ShowQuestion();
        SetBrowseState();
    } else if (result.outcome != ChangeOutcome::NeedsWord) {
        reportWriteFailure(result);
    }
}

bool Form2::queryClose() {
    return EditMode == 0 ||
           m_prompt.ask(
               QStringLiteral("入力中の内容は登録されていません。閉じてもよろしいですか？"),
               QStringLiteral("確認"), PromptButtons::OkCancel) == PromptAnswer::Ok;
}

void Form2::closeEvent(QCloseEvent* event) {
    if (!queryClose()) {
        event->ignore();
        return;
    }
    event->accept();
    closeEditor();
}

}  // namespace studyhop
