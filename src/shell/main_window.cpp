#include "shell/main_window.h"

#include <QCloseEvent>
#include <QImage>
#include <QPixmap>
#include <QResource>
#include <chrono>

#include "data/file_io.h"
#include "data/settings_file.h"
#include "shell/file_chooser.h"
#include "ui/controls.h"
#include "ui/prompt.h"
#include "ui/twips.h"
#include "window/question_files.h"
#include "window/shared_state.h"

// The resources of a static library are registered by hand.
static void registerResources() {
    Q_INIT_RESOURCE(resources);
}

namespace studyhop {

namespace {

// A picture stored as a binary PPM ("P6", width, height, 255, then RGB
// bytes), uncompressed in the resources: its pixels are used where they lie.
// Decoding the title as a PNG was most of what the start-up cost beyond a
// bare window. A null pixmap when the resource is not such a picture.
QPixmap rawPicture(const QString& name) {
    const QResource resource(name);
    if (!resource.isValid() || resource.compressionAlgorithm() != QResource::NoCompression) {
        return {};
    }
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(resource.data()),
                                                     static_cast<qsizetype>(resource.size()));
    const QList<QByteArray> header = bytes.left(32).simplified().split(' ');
    if (header.size() < 4 || header[0] != "P6" || header[3].left(3) != "255") {
        return {};
    }
    const int width = header[1].toInt();
    const int height = header[2].toInt();
    // The header ends with the one blank after "255".
    const qsizetype start = bytes.indexOf("255") + 4;
    if (width <= 0 || height <= 0 || bytes.size() - start < qsizetype(width) * height * 3) {
        return {};
    }
    const QImage image(reinterpret_cast<const uchar*>(bytes.constData() + start), width, height,
                       width * 3, QImage::Format_RGB888);
    return QPixmap::fromImage(image);
}

}  // namespace

}  // namespace studyhop

namespace studyhop {

namespace {

constexpr int kClientWidth = 5070;
constexpr int kClientHeight = 2265;
constexpr int kMaintenanceOuterHeight = 3780;
constexpr std::chrono::minutes kStaleTemporaryAge{10};

// A disabled text box that shows a shared value. A framed label looks the
// same and costs far less at start-up than an editable text box.
QLabel* makeStripBox(QWidget* parent, const char* name, int left, int top, int width) {
    auto* box = makeLabel(parent, name, QString(), left, top, width, 270);
    box->setFrameShape(QFrame::Panel);
    box->setFrameShadow(QFrame::Sunken);
    box->setAutoFillBackground(true);
    box->setBackgroundRole(QPalette::Base);
    box->setEnabled(false);
    return box;
}

}  // namespace

Form1::Form1(const WindowContext& context)
    : Form(context, WindowId::Form1, QStringLiteral("Studyhop Ver 1.6"), kClientWidth,
           kClientHeight) {
    Picture1 = makeLabel(this, "Picture1", QString(), 120, 120, 3465, 2010);
    registerResources();
    // Drawn once and kept as a picture: no font work at start-up. A screen
    // above 1x gets the picture drawn at twice the size, which stays sharp.
    const qreal ratio = devicePixelRatioF();
    QPixmap title = rawPicture(ratio > 1 ? QStringLiteral(":/title@2x.ppm")
                                         : QStringLiteral(":/title.ppm"));
    title.setDevicePixelRatio(ratio > 1 ? 2 : 1);
    Picture1->setPixmap(title);
    Picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Command1[0] = makeButton(this, "Command1_0", QStringLiteral("問題登録"), 3720, 120, 1215, 495);
    Command1[1] = makeButton(this, "Command1_1", QStringLiteral("問     題"), 3720, 600, 1215, 495);
    Command1[3] =
        makeButton(this, "Command1_3", QStringLiteral("設     定"), 3720, 1080, 1215, 495);
    Command1[2] =
        makeButton(this, "Command1_2", QStringLiteral("終     了"), 3720, 1560, 1215, 495);
    for (int i = 0; i < 4; ++i) {
        connect(Command1[i], &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
        onKeyDown(Command1[i], [this, i](KeyDown key) {
            Command1_KeyDown(i, key.keyCode, key.shift);
            return false;
        });
    }

    Text2 = makeStripBox(this, "Text2", 120, 2280, 1695);
    Text1 = makeStripBox(this, "Text1", 1920, 2280, 1695);
    Label4 = makeLabel(this, "Label4", QStringLiteral("動作"), 3720, 2280, 495, 255);
    Text4 = makeStripBox(this, "Text4", 4200, 2280, 735);
    Label5 = makeLabel(this, "Label5", QStringLiteral("Combo1_ID"), 120, 2640, 1215, 255);
    Tex1 = makeStripBox(this, "Tex1", 1320, 2640, 2175);
    File1 = new FileListBox(this);
    File1->setObjectName(QStringLiteral("File1"));
    File1->setEnabled(false);
    placeTwips(File1, 3720, 2640, 1215, 450);
    Label3 = makeLabel(this, "Label3", QStringLiteral("Combo2_ID"), 120, 3000, 1215, 255);
    Tex2 = makeStripBox(this, "Tex2", 1320, 3000, 2175);

    // Named by what the picture says.
    Picture1->setAccessibleName(QStringLiteral("Studyhop 問題集ドリル Ver 1.6"));
    Command1[0]->setAccessibleName(QStringLiteral("問題登録"));
    Command1[1]->setAccessibleName(QStringLiteral("問題"));
    Command1[3]->setAccessibleName(QStringLiteral("設定"));
    Command1[2]->setAccessibleName(QStringLiteral("終了"));
    Text2->setAccessibleName(QStringLiteral("ファイル形式"));
    Text1->setAccessibleName(QStringLiteral("編集中のファイル"));
    Text4->setAccessibleName(QStringLiteral("動作"));
    Tex1->setAccessibleName(QStringLiteral("出題する正解率"));
    Tex2->setAccessibleName(QStringLiteral("出題の順序"));
    File1->setAccessibleName(QStringLiteral("問題ファイル一覧"));
    setTabOrder(Command1[0], Command1[1]);
    setTabOrder(Command1[1], Command1[3]);
    setTabOrder(Command1[3], Command1[2]);
    connect(&m_state, &SharedState::changed, this, &Form1::showStrip);
}

void Form1::Form_Load() {
    m_state.setF_name(kDefaultQuestionFile);
    m_state.setLog(0);
    // A settings file that cannot be created leaves the defaults in memory,
    // which is all the start-up needs; nothing is reported. One that is not
    // ours is left as it is, and the user is told.
    const SettingsRead settings = readSettings(
        m_fs, m_state.startedOnFile() ? MissingSettings::Leave : MissingSettings::Create);
    m_state.setTex1(QString::fromStdString(settings.rateFilter));
    m_state.setTex2(QString::fromStdString(settings.order));
    m_state.setLog(0);
    if (settings.notOurs && !m_state.toldSettingsNotOurs()) {
        m_state.setToldSettingsNotOurs();
        // A pipe or a device under the settings name is an error of its own:
        // the box names what it is.
        const bool special = settings.readStatus.kind() == ErrorKind::NotRegular;
        m_prompt.ask(QString::fromStdString(
                         special ? settings.readStatus.message() +
                                       "\r\n既定の設定（すべての問題を登録順）で起動します。"
                                 : notOursNotice(settings.path, true)),
                     special ? QStringLiteral("エラー") : QStringLiteral("確認"));
    }
    // A save killed part-way leaves its temporary file behind; one older than
    // any save can take is no one's any more.
    removeStaleTemporaryFiles(m_fs, kStaleTemporaryAge);
    File1->setFileSystem(&m_fs);
    File1->setPattern(kQuestionFilePattern);
    showStrip();
    Command1[0]->setFocus();
}

void Form1::showStrip() {
    Text1->setText(m_state.Text1());
    Text2->setText(m_state.Text2());
    Text4->setText(m_state.Text4());
    Tex1->setText(m_state.Tex1());
    Tex2->setText(m_state.Tex2());
    // The strip lies below the client area: out of sight, and out of a
    // screen reader's reach too, until the maintenance mode shows it.
    for (QWidget* w : std::initializer_list<QWidget*>{Text2, Text1, Label4, Text4, Label5, Tex1, File1,
                                                      Label3, Tex2}) {
        w->setVisible(m_state.Mode() == 1);
    }
    if (m_state.Mode() == 1) {
        setOuterHeightTwips(this, kMaintenanceOuterHeight);
    }
}

void Form1::Command1_Click(int index) {
    switch (index) {
        case 0:
            // The directory as it is now: a file made during this run counts,
            // so a second new default file never replaces the first.
            File1->refresh();
            if (File1->count() > 0) {
                File1->setCurrentRow(0);
                if (auto* chooser = showAs<Form7>(m_owner, WindowId::Form7)) {
                    chooser->OpenForEditing();
                }
            } else {
                m_state.setText1(QStringLiteral("0"));
                m_state.setFileState(FileState::NewFile);
                m_owner.show(WindowId::Form2);
            }
            break;
        case 1:
            if (auto* chooser = showAs<Form7>(m_owner, WindowId::Form7)) {
                chooser->OpenForQuiz();
            }
            break;
        case 2:
            // An editor with input not yet registered asks first.
            if (m_owner.queryEndProgram()) {
                m_owner.endProgram();
            }
            break;
        case 3:
            m_owner.show(WindowId::System);
            break;
    }
}

void Form1::Command1_KeyDown(int /*index*/, int keyCode, int shift) {
    if (keyCode == 'Z' && shift == kAltMask) {
        m_owner.show(WindowId::Form5);
    }
}

void Form1::closeEvent(QCloseEvent* event) {
    if (!m_owner.queryEndProgram()) {
        event->ignore();
        return;
    }
    event->accept();
    m_owner.endProgram();
}

}  // namespace studyhop
