#include "quiz/quiz_window.h"

#include <algorithm>

#include "data/file_io.h"
#include "quiz/result_window.h"

#include "ui/prompt.h"
#include "ui/text_fit.h"
#include "ui/twips.h"
#include "window/file_change.h"
#include "window/random_source.h"
#include "window/shared_state.h"

namespace studyhop {

namespace {

constexpr int kNoneHighlighted = 5;
const char* const kChoiceCaptions[] = {"回答 １", "回答 2", "回答 3", "回答 4", "回答 5"};
// The captions as a screen reader reads them: the same digits for every choice.
const char* const kChoiceNames[] = {"回答 1", "回答 2", "回答 3", "回答 4", "回答 5"};
constexpr int kChoiceTops[] = {1080, 1560, 2040, 2520, 3000};

QString cellText(const Cell& cell) {
    return QString::fromStdString(cell.asText());
}

}  // namespace

Form4::Form4(const WindowContext& context)
    : Form(context, WindowId::Form4, QStringLiteral("問題"), 6345, 4080), m_random(context.random) {
    Label15 = makeLabel(this, "Label15", QStringLiteral("問題"), 120, 120, 375, 255);
    Label16 = makeLabel(this, "Label16", QString(), 1200, 120, 975, 255);
    Label17 = makeLabel(this, "Label17", QString(), 3720, 120, 1335, 255);
    Label2 = new SpokenLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setTextFormat(Qt::PlainText);
    placeTwips(Label2, 120, 360, 4935, 615);
    Label2->setFont(gothicFont(9.75));
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Options = new QButtonGroup(this);
    Options->setExclusive(true);
    for (int k = 0; k < 5; ++k) {
        const QByteArray n = QByteArray::number(k);
        Label3[k] = makeLabel(this, ("Label3_" + n).constData(),
                              QString::fromUtf8(kChoiceCaptions[k]), 120, kChoiceTops[k], 615, 255);
        Label3[k]->setAccessibleName(QString::fromUtf8(kChoiceNames[k]));
        Option6[k] = new QRadioButton(this);
        Option6[k]->setObjectName(QStringLiteral("Option6_%1").arg(k));
        // A chosen answer takes the focus, so that a screen reader says which.
        Option6[k]->setFocusPolicy(Qt::StrongFocus);
        Option6[k]->setAccessibleName(QString::fromUtf8(kChoiceNames[k]));
        Options->addButton(Option6[k], k);
        placeTwips(Option6[k], 720, kChoiceTops[k], 255, 255);
        Label18[k] =
            makeClickableLabel(this, ("Label18_" + n).constData(), 960, kChoiceTops[k], 4095, 495);
        Label18[k]->setWordWrap(true);
        Label18[k]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        QPalette colors = Label18[k]->palette();
        colors.setColor(QPalette::Window, buttonFaceColor());
        colors.setColor(QPalette::WindowText, Qt::black);
        colors.setColor(QPalette::Highlight, QColor(0, 0, 255));
        colors.setColor(QPalette::HighlightedText, QColor(255, 255, 255));
        Label18[k]->setPalette(colors);
        Label18[k]->setAutoFillBackground(true);
        connect(Option6[k], &QRadioButton::clicked, this, [this, k] {
            Option6_Click(k);
            // A click after the end changes no answer: the mark goes back.
            checkOption(m_answerShown - 1);
        });
        onKeyDown(Option6[k], [this](KeyDown key) { return answerAreaKey(key); });
        connect(Label18[k], &ClickableLabel::clicked, this, [this, k] { Label18_Click(k); });
    }
    Label8 = makeLabel(this, "Label8", QStringLiteral("回答欄"), 120, 3675, 615, 255);
    Label14 = makeLabel(this, "Label14", QString(), 960, 3600, 975, 375);
    Label14->setFont(gothicFont(12.75));
    showAnswer(0);
    Label4 = makeLabel(this, "Label4", QStringLiteral("正解率"), 3720, 3600, 615, 255);
    Label5 = makeLabel(this, "Label5", QString(), 4320, 3600, 735, 255);
    Label4->setVisible(false);
    Label5->setVisible(false);

    Command1[1] = makeButton(this, "Command1_1", QStringLiteral("Next (&N)"), 5160, 120, 1095, 495);
    Command1[2] = makeButton(this, "Command1_2", QStringLiteral("Back (&B)"), 5160, 600, 1095, 495);
    Command1[0] =
        makeButton(this, "Command1_0", QStringLiteral("終了 (&X)"), 5160, 1080, 1095, 495);
    // Named by their captions first, so that voice control finds them by
    // what is on screen.
    Command1[1]->setAccessibleName(QStringLiteral("Next (N) 次の問題"));
    Command1[2]->setAccessibleName(QStringLiteral("Back (B) 前の問題"));
    Command1[0]->setAccessibleName(QStringLiteral("終了 (X)"));
    onKeyDown(Label2, [this](KeyDown key) { return answerAreaKey(key); });
    setTabOrder(Label2, Option6[0]);
    for (int k = 1; k < 5; ++k) {
        setTabOrder(Option6[k - 1], Option6[k]);
    }
    setTabOrder(Option6[4], Command1[1]);
    setTabOrder(Command1[1], Command1[2]);
    setTabOrder(Command1[2], Command1[0]);
    for (int i = 0; i < 3; ++i) {
        connect(Command1[i], &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
        onKeyDown(Command1[i], [this, i](KeyDown key) {
            Command1_KeyDown(i, key.keyCode, key.shift);
            return key.keyCode != kKeyEnter && key.keyCode != 32 && key.keyCode != 9;
        });
    }

    Label7 = makeLabel(this, "Label7", QStringLiteral("RNDLog"), 5160, 1800, 855, 255);
    Label6 = makeLabel(this, "Label6", QString(), 5160, 2040, 1095, 255);
    Label9 = makeLabel(this, "Label9", QString(), 5160, 2520, 615, 255);
    Label10 = makeLabel(this, "Label10", QString(), 5160, 2760, 1095, 255);
    Label11 = makeLabel(this, "Label11", QString(), 5160, 3240, 1095, 255);
    for (QLabel* l : {Label7, Label6, Label9, Label10, Label11}) {
        l->setVisible(false);
    }
    Command1[1]->setFocus();
}

bool Form4::loadQuestionFile(bool legacy, bool writeBack) {
    const Status status = pass.load(m_fs, m_state.fileNameBytes(F_name), legacy, writeBack);
    if (!status.ok()) {
        m_prompt.ask(QStringLiteral("問題ファイルを読み込めませんでした。\r\n") +
                         QString::fromStdString(status.message()),
                     QStringLiteral("エラー"));
        return false;
    }
    return true;
}

void Form4::Form_Load() {
    F_name = m_state.F_name();
    Prev = kNoneHighlighted;
    Pos = 0;
    if (m_state.Mode() == 1) {
        for (QLabel* l : {Label6, Label7, Label9, Label10, Label11}) {
            l->setVisible(true);
        }
    }
    const bool legacy = m_state.fileState() == FileState::Legacy;
    if (!legacy) {
        Label4->setVisible(true);
        Label5->setVisible(true);
    }
    // Only a quiz opened on a current file writes its statistics, once, at
    // the end of its first pass: decided here, not by what the shared state
    // says later.
    if (!loadQuestionFile(legacy, m_state.fileState() == FileState::Current)) {
        unloadSelf();
        return;
    }

    AskingSettings settings;
    settings.rateFilter = SharedState::number(m_state.Tex1());
    settings.order = SharedState::number(m_state.Tex2());
    settings.legacy = legacy;
    const AskingOrder order = pass.order(settings, m_random);
    Step = 0;
    if (settings.order == 1) {
        Label6->setText(QString::fromStdString(order.drawLog));
    }
    Label11->setText(QStringLiteral("K=%1").arg(order.selected));
    if (order.noData) {
        enterNoDataState(QStringLiteral("正解率%1％以下のデータはありません")
                             .arg(threshold(settings.rateFilter)));
    } else if (pass.QuestionCount == 0) {
        enterNoDataState(QStringLiteral("問題が登録されていません"));
    }
    Pos = pass.First;
    setFittedText(Label17, F_name);
    if (!m_noData) {
        showQuestion();
    }
}

void Form4::enterNoDataState(const QString& message) {
    m_prompt.ask(message, QStringLiteral("警告"));
    moveTopTwips(Command1[0], 120);
    Command1[1]->setVisible(false);
    Command1[2]->setVisible(false);
    m_noData = true;
    m_state.setFileState(FileState::NoData);
    Command1[0]->setFocus();
}

void Form4::resetChoices() {
    checkOption(-1);
    for (int k = 0; k < 5; ++k) {
        highlight(k, false);
    }
}

bool Form4::answerAreaKey(KeyDown key) {
    if (key.keyCode == kKeyEnter && key.shift == 0) {
        // As on the Next button: Enter goes on from wherever the answer was given.
        nextQuestion();
        return true;
    }
    const bool quizKey = (key.keyCode >= '1' && key.keyCode <= '5') || key.keyCode == 'N' ||
                         key.keyCode == 'B' || key.keyCode == 'X' || key.keyCode == 'A';
    if (quizKey && (key.shift & ~kShiftMask) == 0) {
        Command1_KeyDown(1, key.keyCode, key.shift);
        return true;
    }
    return false;
}

QString Form4::spokenQuestion(int row) const {
    const std::array<QString, 6>& texts = m_displayTexts[row];
    QString spoken = m_state.fileState() == FileState::Retest ? QStringLiteral("追試 ") : QString();
    const bool filtered = SharedState::number(m_state.Tex1()) != 0;
    spoken += QStringLiteral("問%1（%2問中） %3")
                  .arg(filtered ? Step + 1 : Pos + 1)
                  .arg(filtered ? pass.Total : pass.QuestionCount)
                  .arg(texts[kQuestionText]);
    for (int k = 0; k < 5; ++k) {
        if (Avail[k] == 1) {
            spoken += QStringLiteral("。回答 %1 %2").arg(k + 1).arg(texts[kChoice1 + k]);
        }
    }
    if (m_answerShown != 0) {
        spoken += QStringLiteral("。選んだ回答 %1").arg(m_answerShown);
    }
    return spoken;
}

// Each choice label carries both looks in its palette; highlighting only
// switches roles, which is much cheaper than a new palette.
void Form4::highlight(int index, bool on) {
    Label18[index]->setBackgroundRole(on ? QPalette::Highlight : QPalette::Window);
    Label18[index]->setForegroundRole(on ? QPalette::HighlightedText : QPalette::WindowText);
}

const std::array<QString, 6>& Form4::displayTexts(int row) {
    std::array<QString, 6>& texts = m_displayTexts[row];
    if (!m_displayed[row]) {
        for (int c = 0; c <= 5; ++c) {
            texts[c] = cellText(pass.table.rows[row][c]);
        }
        m_displayed[row] = true;
    }
    return texts;
}

void Form4::showQuestion() {
    const int r = pass.Order[std::clamp(Pos, 0, kRows - 1)];
    const QuestionRow& row = pass.table.rows[r];
    int y = 1080;
    const std::array<QString, 6>& texts = displayTexts(r);
    setFittedText(Label2, texts[kQuestionText]);
    Label5->setText(QString::fromStdString(correctRateText(row, RateTest::TimesCorrect)));
    for (int k = 0; k < 5; ++k) {
        const Cell& c = row[kChoice1 + k];
        if (c.equalsText(kNoChoice)) {
            Avail[k] = 0;
            Label3[k]->setVisible(false);
            Label18[k]->setVisible(false);
            Option6[k]->setVisible(false);
        } else {
            setFittedText(Label18[k], texts[kChoice1 + k]);
            Option6[k]->setAccessibleName(QString::fromUtf8(kChoiceNames[k]) + QLatin1Char(' ') +
                                          texts[kChoice1 + k]);
            Avail[k] = 1;
            for (QWidget* w : std::initializer_list<QWidget*>{Label3[k], Label18[k], Option6[k]}) {
                moveTopTwips(w, y);
                w->setVisible(true);
            }
            y += 480;
        }
    }
    moveTopTwips(Label4, y + 120);
    moveTopTwips(Label5, y + 120);
    moveTopTwips(Label14, y + 120);
    moveTopTwips(Label8, y + 195);
    setOuterHeightTwips(this, y + 990);

    if (pass.Ans[r].equalsText("")) {
        showAnswer(0);
    } else {
        const int a = static_cast<int>(pass.Ans[r].numericValue().value_or(0));
        showAnswer(a);
        if (a >= 1 && a <= 5) {
            selectOption(a - 1);
            highlight(a - 1, true);
        }
    }
    if (SharedState::number(m_state.Tex1()) == 0) {
        Label16->setText(QStringLiteral("(%1/%2)").arg(Pos + 1).arg(pass.QuestionCount));
    } else {
        Label16->setText(QStringLiteral("(%1/%2)").arg(Step + 1).arg(pass.Total));
    }
    Label9->setText(QStringLiteral("kai(7,%1)").arg(r));
    Label10->setText(cellText(pass.Pick.rows[r][QuizPass::kPickMark]));
    // The focus goes to the question, so a screen reader reads it out.
    Label2->speak(spokenQuestion(r));
}

void Form4::showAnswer(int choice) {
    m_answerShown = choice;
    Label14->setText(choice == 0 ? QString() : QString::number(choice));
    Label14->setAccessibleName(choice == 0 ? QStringLiteral("回答欄 未回答")
                                           : QStringLiteral("回答欄 %1").arg(choice));
}

// An exclusive group never unchecks its last checked button by itself.
void Form4::checkOption(int index) {
    if (index >= 0 && index < 5) {
        Option6[index]->setChecked(true);
        return;
    }
    Options->setExclusive(false);
    for (QRadioButton* option : Option6) {
        option->setChecked(false);
    }
    Options->setExclusive(true);
}

// Selecting an option button from code runs its click handler, but only when
// the button was not selected yet.
void Form4::selectOption(int index) {
    const bool wasChecked = Option6[index]->isChecked();
    checkOption(index);
    if (!wasChecked) {
        Option6_Click(index);
    }
}

void Form4::chooseAnswer() {
    showAnswer(Sel + 1);
    if (Prev != kNoneHighlighted) {
        highlight(Prev, false);
    }
    highlight(Sel, true);
    Prev = Sel;
    // The mark, the answer box and what a screen reader hears agree.
    checkOption(Sel);
    Option6[Sel]->setFocus(Qt::OtherFocusReason);
}

void Form4::Option6_Click(int index) {
    if (m_finished) {
        return;
    }
    Sel = index;
    chooseAnswer();
}

void Form4::Label18_Click(int index) {
    if (m_finished) {
        return;
    }
    selectOption(index);
    Sel = index;
    chooseAnswer();
}

void Form4::Command1_Click(int index) {
    switch (index) {
        case 0:
            exitQuiz();
            break;
        case 1:
            nextQuestion();
            break;
        case 2:
            previousQuestion();
            break;
        default:
            break;
    }
}

void Form4::Command1_KeyDown(int /*index*/, int keyCode, int /*shift*/) {
    if (keyCode >= '1' && keyCode <= '5') {
        if (m_finished || m_noData) {
            return;
        }
        Sel = keyCode - '1';
        if (Avail[Sel] == 1) {
            chooseAnswer();
        }
    } else if (keyCode == 'N') {
        nextQuestion();
    } else if (keyCode == 'B') {
        previousQuestion();
    } else if (keyCode == 'X') {
        exitQuiz();
    } else if (keyCode == 'A') {
        showWholeQuestion();
    }
}

// A label shows what fits; A shows everything, to the keyboard and to a
// screen reader alike.
void Form4::showWholeQuestion() {
    if (m_noData) {
        return;
    }
    const int r = pass.Order[std::clamp(Pos, 0, kRows - 1)];
    const std::array<QString, 6>& texts = displayTexts(r);
    QString whole = texts[kQuestionText];
    for (int k = 0; k < 5; ++k) {
        if (Avail[k] == 1) {
            whole += QStringLiteral("\r\n回答 %1 %2").arg(k + 1).arg(texts[kChoice1 + k]);
        }
    }
    m_prompt.ask(whole, QStringLiteral("問題の全文"));
}

void Form4::nextQuestion() {
    if (m_finished || m_noData) {
        return;
    }
    if (m_answerShown == 0) {
        m_prompt.ask(QStringLiteral("回答が記入されていません"), QStringLiteral("確認ＢＯＸ"));
        return;
    }
    pass.answer(Pos, m_answerShown);
    for (;;) {
        if (Pos + 1 >= pass.QuestionCount || Pos + 1 >= kRows) {
            m_owner.show(WindowId::Form6);
            showResults();
            break;
        }
        ++Pos;
        Command1[2]->setVisible(true);
        if (pass.isAsked(Pos)) {
            break;
        }
    }
    if (m_finished) {
        return;  // the results offered no retest: the last question stays on screen
    }
    ++Step;
    resetChoices();
    showQuestion();
}

void Form4::previousQuestion() {
    if (m_finished || m_noData) {
        return;
    }
    for (;;) {
        if (Pos <= pass.First || Pos <= 0) {
            break;
        }
        --Pos;
        if (pass.isAsked(Pos)) {
            break;
        }
    }
    Step = std::max(0, Step - 1);
    resetChoices();
    showQuestion();
    if (Pos <= 0) {
        Command1[2]->setVisible(false);
    }
}

void Form4::exitQuiz() {
    if (m_finished || m_noData) {
        unloadSelf();
        return;
    }
    Correct = 0;
    Pos = 0;
    m_owner.show(WindowId::Form6);
    m_state.setFileState(FileState::Retest);
    pass.endEarly();
    showResults();
    // The question on screen belongs to the pass that just ended; when a
    // retest was prepared, its first question takes its place at once, so an
    // answer can only ever go to the question shown.
    if (!m_finished) {
        Step = 0;
        Command1[2]->setVisible(true);
        resetChoices();
        showQuestion();
    }
}

void Form4::showResults() {
    auto* results = loadedAs<Form6>(m_owner, WindowId::Form6);
    if (results == nullptr) {
        return;
    }
    PassResults passResults = pass.judge(m_fs);
    if (passResults.writeBackBusy) {
        // Tried again without holding up the windows: the results are
        // shown once the statistics are on disk or cannot be.
        const ChangeResult recorded = retryWhileBusy([&] { return pass.recordStatistics(m_fs); });
        passResults.notRecorded = recorded.notRecorded;
        const bool gone = recorded.status.kind() == ErrorKind::NotFound;
        passResults.writeBack =
            recorded.outcome == ChangeOutcome::Written || gone ? Status{} : recorded.status;
    }
    Correct = passResults.correct;
    Pos = pass.wrongCount();
    // Each pass gets its own result list: a retest's lines never follow the
    // lines of the pass before.
    results->showResults(passResults);
    const Status& writeBack = passResults.writeBack;
    if (writeBack.kind() == ErrorKind::CutShort) {
        m_prompt.ask(QStringLiteral("ファイル名 ：%1\r\n%2。ほかのプログラムが書き込み中かもしれません。\r\n"
                                    "今回の成績は問題ファイルに保存しませんでした。")
                         .arg(F_name, QString::fromStdString(writeBack.detail())),
                     QStringLiteral("確認"));
    } else if (!writeBack.ok()) {
        m_prompt.ask(QStringLiteral("成績を問題ファイルに保存できませんでした。\r\n") +
                         QString::fromStdString(writeBack.message()),
                     QStringLiteral("エラー"));
    }
    if (passResults.retest) {
        prepareRetest();
    } else {
        m_finished = true;
    }
}

void Form4::prepareRetest() {
    pass.prepareRetest();
    m_displayed = {};  // the rows now hold the retest list
    m_state.setFileState(FileState::Retest);
    Step = -1;
    Pos = 0;
}

}  // namespace studyhop
