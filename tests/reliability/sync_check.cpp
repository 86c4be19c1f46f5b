// Two machines sharing one folder through two real Syncthing instances
// (scripts/sync-check starts them and names them in the environment). Each
// side is the program's real window set on its own folder, in this one
// process. A window on side B holds the file as it was when it opened; side
// A changes the file meanwhile and Syncthing brings the change across; then
// B's window saves its own change. Both changes must end up in the file on
// both machines, with no question asked. With the folder paused on both
// sides and the same question changed on each, Syncthing keeps one version
// and a conflict copy: both versions, every question and every recorded pass
// must be there, and the file chooser must list the copy.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QThread>
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/window_set.h"
#include "data/file_io.h"
#include "data/question_file.h"
#include "data/settings_file.h"
#include "editor/editor_window.h"
#include "quiz/quiz_window.h"
#include "shell/file_chooser.h"
#include "shell/settings_dialog.h"
#include "test_dir.h"
#include "ui/prompt.h"
#include "window/shared_state.h"

namespace studyhop {
namespace {

using test::sjis;

const QString kFolderId = QStringLiteral("studyhop");
const QString kRateClear =
    QStringLiteral("内容を変更すると正解率がクリアされますがよろしいですか？");
constexpr int kSyncSeconds = 60;

// Answers OK to every box and keeps each.
class OkPrompt : public Prompt {
public:
    struct Box {
        QString title;
        QString text;
    };
    PromptAnswer ask(const QString& text, const QString& title, PromptButtons) override {
        boxes.push_back({title, text});
        return PromptAnswer::Ok;
    }
    std::vector<Box> boxes;
};

std::string environment(char side, const char* what) {
    return qEnvironmentVariable(("STUDYHOP_SYNC_" + std::string(1, side) + "_" + what).c_str())
        .toStdString();
}

// One machine: its Syncthing instance, reached by the REST API, and the
// program's windows on its folder.
class Side {
public:
    explicit Side(char name)
        : name(name),
          folder(environment(name, "FOLDER")),
          id(QString::fromStdString(environment(name, "ID"))),
          fs(folder),
          m_api(QString::fromStdString(environment(name, "API"))),
          m_key(QByteArray::fromStdString(environment(name, "KEY"))) {
        m_net.setProxy(QNetworkProxy::NoProxy);
    }
    bool configured() const { return !folder.empty() && !id.isEmpty() && !m_api.isEmpty(); }

    // The program's windows, with the main window shown as at start-up.
    WindowSet& windows() {
        if (m_windows == nullptr) {
            m_windows = std::make_unique<WindowSet>(prompt, fs, [] {});
            m_windows->show(WindowId::Form1);
        }
        return *m_windows;
    }
    // Unloads every window but the main window.
    void closeWindows() {
        for (WindowId id : {WindowId::Form6, WindowId::Form4, WindowId::Form2, WindowId::Form7,
                            WindowId::System}) {
            windows().unload(id);
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // A request with a JSON body; the answer's object (or {"ok": true} for
    // an empty answer), an empty object when it failed.
    QJsonObject rest(const QString& path, const QByteArray& verb = "GET",
                     const QByteArray& body = {}) {
        QNetworkRequest request(QUrl(m_api + path));
        request.setRawHeader("X-API-Key", m_key);
        request.setTransferTimeout(30000);
        request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
        const std::unique_ptr<QNetworkReply> reply(m_net.sendCustomRequest(request, verb, body));
        QEventLoop loop;
        QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
        if (!reply->isFinished()) {
            loop.exec();
        }
        if (reply->error() != QNetworkReply::NoError) {
            return {};
        }
        const QJsonObject answer = QJsonDocument::fromJson(reply->readAll()).object();
        return answer.isEmpty() ? QJsonObject{{"ok", true}} : answer;
    }
    // Scans the folder now and returns when the scan is done.
    bool scan() { return !rest("/rest/db/scan?folder=" + kFolderId, "POST").isEmpty(); }
    bool setFolderPaused(bool paused) {
        const QByteArray body = paused ? "{\"paused\": true}" : "{\"paused\": false}";
        return !rest("/rest/config/folders/" + kFolderId, "PATCH", body).isEmpty();
    }
    bool folderPaused() {
        return rest("/rest/config/folders/" + kFolderId).value("paused").toBool();
    }
    bool connectedTo(const Side& peer) {
        const QJsonObject all = rest("/rest/system/connections").value("connections").toObject();
        return all.value(peer.id).toObject().value("connected").toBool();
    }
    // Idle, nothing to pull, and the peer has everything this side has.
    bool settled(const Side& peer) {
        const QJsonObject status = rest("/rest/db/status?folder=" + kFolderId);
        const QJsonObject peerDone =
            rest("/rest/db/completion?folder=" + kFolderId + "&device=" + peer.id);
        return status.value("state").toString() == QStringLiteral("idle") &&
               status.value("needTotalItems").toInt(-1) == 0 &&
               status.value("globalFiles").toInt(-1) == status.value("localFiles").toInt(-2) &&
               peerDone.value("completion").toDouble() == 100.0 &&
               peerDone.value("needItems").toInt(-1) == 0;
    }

    std::string bytes(const std::string& file) { return test::readBytes(folder + "/" + file); }
    void write(const std::string& file, const std::string& bytes) {
        test::writeBytes(folder + "/" + file, bytes);
    }
    // The names the program would read or write, without Syncthing's own.
    std::vector<std::string> files() {
        std::vector<std::string> names;
        for (const std::string& n : fs.list()) {
            if (n[0] != '.') {
                names.push_back(n);
            }
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    const char name;
    const std::string folder;
    const QString id;
    OkPrompt prompt;
    FileSystem fs;

private:
    QString m_api;
    QByteArray m_key;
    QNetworkAccessManager m_net;
    std::unique_ptr<WindowSet> m_windows;
};

Side* g_a = nullptr;
Side* g_b = nullptr;

// Sleeps, handling the windows' events meanwhile.
void sleepWithEvents(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(20);
    }
}

// What each instance says, for a wait that timed out.
void printSyncState() {
    for (Side* side : {g_a, g_b}) {
        Side& peer = side == g_a ? *g_b : *g_a;
        std::string files;
        for (const std::string& f : side->files()) {
            files += " " + f;
        }
        const auto json = [](const QJsonObject& o) {
            return QJsonDocument(o).toJson(QJsonDocument::Compact).toStdString();
        };
        std::printf(
            "%c: files%s\n  status %s\n  peer's completion %s\n  connected %d\n", side->name,
            files.c_str(), json(side->rest("/rest/db/status?folder=" + kFolderId)).c_str(),
            json(side->rest("/rest/db/completion?folder=" + kFolderId + "&device=" + peer.id))
                .c_str(),
            side->connectedTo(peer) ? 1 : 0);
    }
}

// Waits until both instances have settled, the two folders hold the same
// files with the same bytes, and `also` holds; false after kSyncSeconds.
bool waitInSync(const std::function<bool()>& also = [] { return true; }) {
    QElapsedTimer timer;
    timer.start();
    for (int round = 0; timer.elapsed() < kSyncSeconds * 1000; ++round) {
        bool same = g_a->files() == g_b->files();
        for (const std::string& f : g_a->files()) {
            same = same && g_a->bytes(f) == g_b->bytes(f);
        }
        if (same && also() && g_a->settled(*g_b) && g_b->settled(*g_a)) {
            return true;
        }
        if (round % 10 == 9) {  // a change the watcher missed
            g_a->scan();
            g_b->scan();
        }
        sleepWithEvents(200);
    }
    printSyncState();
    return false;
}

FileState stateFor(const std::string& file) {
    return formatForName(file) == FileFormat::Legacy ? FileState::Legacy : FileState::Current;
}

enum class Window { Editor, Quiz, Settings };

// Opens the window on `file` as the main window would.
bool open(Side& side, Window window, const std::string& file) {
    SharedState& state = side.windows().state();
    switch (window) {
        case Window::Editor:
            state.setText1(QString::fromStdString(file));
            state.setFileState(stateFor(file));
            return side.windows().show(WindowId::Form2) != nullptr;
        case Window::Quiz:
            state.setF_name(QString::fromStdString(file));
            state.setFileState(stateFor(file));
            state.setTex1(QStringLiteral("0"));
            state.setTex2(QStringLiteral("0"));
            return side.windows().show(WindowId::Form4) != nullptr;
        case Window::Settings:
            return side.windows().show(WindowId::System) != nullptr;
    }
    return false;
}

// Makes one change through the open window, as a user does:
//   modify ROW TEXT, add TEXT, delete ROW    in the editor
//   answer K                                 the quiz: choice K for every question
//   rate N, order N                          in the settings dialog, then OK
bool change(Side& side, const std::string& command) {
    const QString line = QString::fromStdString(command);
    const QString verb = line.section(QLatin1Char(' '), 0, 0);
    const int number = line.section(QLatin1Char(' '), 1, 1).toInt();
    const QString text = line.section(QLatin1Char(' '), verb == QStringLiteral("add") ? 1 : 2);
    WindowSet& windows = side.windows();
    if (auto* editor = loadedAs<Form2>(windows, WindowId::Form2)) {
        if (verb == QStringLiteral("add")) {
            editor->Command2_Click();
            editor->Text1->setText(text);
            for (int k = 0; k < 5; ++k) {
                editor->Text2[k]->setText(QString(QChar(u'a' + k)));
            }
            editor->Combo1->setCurrentIndex(0);
            editor->Command4_Click();
            return true;
        }
        if (number < 0 || number >= editor->QCount) {
            return false;
        }
        editor->Mcnt = number;
        editor->ShowQuestion();
        editor->SetBrowseState();
        if (verb == QStringLiteral("delete")) {
            editor->Command3_Click();
            return true;
        }
        editor->Command7_Click();
        editor->Text1->setText(text);
        editor->Command4_Click();
        return verb == QStringLiteral("modify");
    }
    if (windows.isLoaded(WindowId::Form4)) {
        // Answer and go on until the pass ends in the result window.
        for (int step = 0; step < 2 * kRows; ++step) {
            auto* quiz = loadedAs<Form4>(windows, WindowId::Form4);
            if (quiz == nullptr || windows.isLoaded(WindowId::Form6)) {
                return true;
            }
            quiz->Command1_KeyDown(1, '0' + number, 0);
            quiz->Command1_Click(1);
        }
        return false;
    }
    if (auto* settings = loadedAs<System>(windows, WindowId::System)) {
        (verb == QStringLiteral("rate") ? settings->Combo1 : settings->Combo2)
            ->setCurrentIndex(number);
        settings->Command1_Click();
        return true;
    }
    return false;
}

// The first `count` rows of a table as "text,choices...,correct,asked,right"
// (a legacy file: up to the correct number).
std::vector<std::string> rowsOf(const QuestionTable& table, int count, const std::string& file) {
    const int columns = stateFor(file) == FileState::Legacy ? kCorrectNumber + 1 : kReserved;
    std::vector<std::string> rows;
    for (int row = 0; row < count; ++row) {
        std::string r;
        for (int c = 0; c < columns; ++c) {
            r += (c == 0 ? "" : ",") + table.rows[row][c].asText();
        }
        rows.push_back(r);
    }
    return rows;
}

// The file as the rows a person would check: "text,choices...,correct,asked,right"
// for a question file, "rate,order" for the settings.
std::vector<std::string> contents(const std::string& file, const std::string& bytes) {
    if (file == kSettingsWriteName) {
        SettingsRead read;
        if (!parseSettings(bytes, read)) {
            return {"<not settings>"};
        }
        return {read.rateFilter + "," + read.order};
    }
    const bool legacy = formatForName(file) == FileFormat::Legacy;
    const LoadResult loaded =
        legacy ? parseLegacyQuestionFile(file, bytes) : parseCurrentQuestionFile(file, bytes);
    if (!loaded.status.ok() || loaded.countLineDisagrees()) {
        return {"<broken>"};
    }
    return rowsOf(loaded.table, loaded.recordsRead, file);
}

// The boxes a side saw that ask about the file or report a fault, one a
// line; the question that modifying a question asks and "登録しました" are
// part of every edit. Forgets every box seen so far.
std::string unexpectedBoxes(Side& side) {
    std::string boxes;
    for (const OkPrompt::Box& box : side.prompt.boxes) {
        const bool asks = box.title == QStringLiteral("確認") && box.text != kRateClear;
        if (asks || box.title == QStringLiteral("エラー") || box.title == QStringLiteral("警告")) {
            QString text = box.text;
            text.replace(QStringLiteral("\r\n"), QStringLiteral(" | "));
            boxes += "\n  " + (box.title + QStringLiteral(": ") + text).toStdString();
        }
    }
    side.prompt.boxes.clear();
    return boxes;
}

// An editor's questions, as contents() gives a file's.
std::vector<std::string> editorRows(Side& side, const std::string& file) {
    auto* editor = loadedAs<Form2>(side.windows(), WindowId::Form2);
    return editor == nullptr ? std::vector<std::string>{"<no editor>"}
                             : rowsOf(editor->table, editor->QCount, file);
}

const char* const kThree =
    "3\r\nq1,a,b,c,d,e,1,4,2,ﾅｼ\r\nq2,a,b,c,d,e,1,4,2,ﾅｼ\r\nq3,a,b,c,d,e,1,4,2,ﾅｼ\r\n";
const char* const kThreeLegacy = "q1,a,b,c,d,e,1\r\nq2,a,b,c,d,e,1\r\nq3,a,b,c,d,e,1\r\n";

struct StaleWindowCase {
    const char* name;
    const char* file;
    const char* before;  // the file on both machines at the start (UTF-8, stored as CP932)
    Window window;       // B opens it first and keeps it open; A uses the same kind
    const char* changeA;
    const char* changeB;             // made in B's window after A's change has arrived
    std::vector<std::string> after;  // contents() of the file on both machines at the end
};

const StaleWindowCase kStaleWindowCases[] = {
    {"different questions modified, current file",
     "modify.qz2",
     kThree,
     Window::Editor,
     "modify 0 A1",
     "modify 2 B3",
     {"A1,a,b,c,d,e,1,0,0", "q2,a,b,c,d,e,1,4,2", "B3,a,b,c,d,e,1,0,0"}},
    {"one adds, the other deletes, current file",
     "add_delete.qz2",
     kThree,
     Window::Editor,
     "add A4",
     "delete 1",
     {"q1,a,b,c,d,e,1,4,2", "q3,a,b,c,d,e,1,4,2", "A4,a,b,c,d,e,1,0,0"}},
    {"one adds, the other modifies, legacy file",
     "modify.qzb",
     kThreeLegacy,
     Window::Editor,
     "add A4",
     "modify 1 B2",
     {"q1,a,b,c,d,e,1", "B2,a,b,c,d,e,1", "q3,a,b,c,d,e,1", "A4,a,b,c,d,e,1"}},
    {"both add, legacy file",
     "add.qzb",
     kThreeLegacy,
     Window::Editor,
     "add A4",
     "add B4",
     {"q1,a,b,c,d,e,1", "q2,a,b,c,d,e,1", "q3,a,b,c,d,e,1", "A4,a,b,c,d,e,1", "B4,a,b,c,d,e,1"}},
    // A answers every question right, B every one wrong: asked 4+1+1, right 2+1.
    {"a quiz pass on each side",
     "quiz.qz2",
     kThree,
     Window::Quiz,
     "answer 1",
     "answer 2",
     {"q1,a,b,c,d,e,1,6,3", "q2,a,b,c,d,e,1,6,3", "q3,a,b,c,d,e,1,6,3"}},
    {"the rate filter on one side, the order on the other",
     kSettingsWriteName,
     "0,0\r\n",
     Window::Settings,
     "rate 5",
     "order 1",
     {"5,1"}},
};

// What one side does while the machines cannot reach each other: modify a
// question in the editor, then a quiz pass; `rows` is the file it leaves.
struct OfflineChange {
    const char* modify;
    const char* answer;
    std::vector<std::string> rows;
};

struct ConflictCase {
    const char* name;
    const char* file;  // kThree on both machines at the start
    OfflineChange onA;
    OfflineChange onB;
};

const ConflictCase kConflictCases[] = {
    {"question 2 modified on both sides, a quiz pass on each",
     "conflict.qz2",
     {"modify 1 A2",
      "answer 1",
      {"q1,a,b,c,d,e,1,5,3", "A2,a,b,c,d,e,1,1,1", "q3,a,b,c,d,e,1,5,3"}},
     {"modify 1 B2",
      "answer 2",
      {"q1,a,b,c,d,e,1,5,2", "B2,a,b,c,d,e,1,1,0", "q3,a,b,c,d,e,1,5,2"}}},
};

// The failures recorded so far in the running test.
int failures() {
    const ::testing::TestResult* result =
        ::testing::UnitTest::GetInstance()->current_test_info()->result();
    int n = 0;
    for (int i = 0; i < result->total_part_count(); ++i) {
        n += result->GetTestPartResult(i).failed() ? 1 : 0;
    }
    return n;
}

int g_cases = 0;
int g_passed = 0;

class SyncTest : public ::testing::Test {
public:
    // Runs one case of a table: a failed one leaves no window open for the next.
    template <class Case>
    void run(const Case& c, void (SyncTest::*body)(const Case&)) {
        SCOPED_TRACE(c.name);
        const int before = failures();
        (this->*body)(c);
        a.closeWindows();
        b.closeWindows();
        ++g_cases;
        g_passed += failures() == before ? 1 : 0;
    }
    void staleWindow(const StaleWindowCase& c);
    void trueConflict(const ConflictCase& c);

    Side& a = *g_a;
    Side& b = *g_b;
};

void SyncTest::staleWindow(const StaleWindowCase& c) {
    a.write(c.file, sjis(c.before));
    ASSERT_TRUE(a.scan());
    ASSERT_TRUE(waitInSync([&] { return b.bytes(c.file) == sjis(c.before); }))
        << "the start did not reach B";
    ASSERT_TRUE(open(b, c.window, c.file));

    ASSERT_TRUE(open(a, c.window, c.file));
    ASSERT_TRUE(change(a, c.changeA)) << "A: " << c.changeA;
    a.closeWindows();
    const std::string fromA = a.bytes(c.file);
    const std::string boxesA = unexpectedBoxes(a);
    EXPECT_TRUE(boxesA.empty()) << "A showed:" << boxesA;
    ASSERT_TRUE(a.scan());
    ASSERT_TRUE(waitInSync([&] { return b.bytes(c.file) == fromA; }))
        << "A's change did not reach B";

    ASSERT_TRUE(change(b, c.changeB)) << "B: " << c.changeB;
    const std::string boxesB = unexpectedBoxes(b);
    EXPECT_TRUE(boxesB.empty()) << "B asked although the changes touch different questions:"
                                << boxesB;
    if (c.window == Window::Editor) {
        EXPECT_EQ(editorRows(b, c.file), contents(c.file, b.bytes(c.file)))
            << "B's editor does not hold what is on disk after its write";
    }
    b.closeWindows();
    ASSERT_TRUE(b.scan());
    const std::string fromB = b.bytes(c.file);
    ASSERT_TRUE(waitInSync([&] { return a.bytes(c.file) == fromB; }))
        << "B's change did not reach A";

    EXPECT_EQ(contents(c.file, a.bytes(c.file)), c.after) << "A's file";
    EXPECT_EQ(a.bytes(c.file), b.bytes(c.file)) << "the two machines differ";
}

TEST_F(SyncTest, AWindowHoldingTheOldFileAddsItsChangeToTheOneThatArrived) {
    for (const StaleWindowCase& c : kStaleWindowCases) {
        run(c, &SyncTest::staleWindow);
    }
}

void SyncTest::trueConflict(const ConflictCase& c) {
    const std::string file = c.file;
    a.write(file, sjis(kThree));
    ASSERT_TRUE(a.scan());
    ASSERT_TRUE(waitInSync([&] { return b.bytes(file) == sjis(kThree); }));
    ASSERT_TRUE(a.setFolderPaused(true));
    ASSERT_TRUE(b.setFolderPaused(true));
    ASSERT_TRUE(a.folderPaused() && b.folderPaused()) << "the folder is not paused";

    std::vector<std::string> versions;
    for (Side* side : {&a, &b}) {
        const OfflineChange& o = side == &a ? c.onA : c.onB;
        ASSERT_TRUE(open(*side, Window::Editor, file));
        ASSERT_TRUE(change(*side, o.modify)) << side->name;
        side->closeWindows();
        ASSERT_TRUE(open(*side, Window::Quiz, file));
        ASSERT_TRUE(change(*side, o.answer)) << side->name;
        side->closeWindows();
        const std::string boxes = unexpectedBoxes(*side);
        EXPECT_TRUE(boxes.empty()) << side->name << " showed:" << boxes;
        versions.push_back(side->bytes(file));
        EXPECT_EQ(contents(file, versions.back()), o.rows) << side->name;
        sleepWithEvents(1100);  // the two versions a second apart, as on two machines
    }
    std::sort(versions.begin(), versions.end());

    ASSERT_TRUE(a.setFolderPaused(false));
    ASSERT_TRUE(b.setFolderPaused(false));
    const std::string prefix = file.substr(0, file.rfind('.')) + ".sync-conflict-";
    const std::string extension = file.substr(file.rfind('.'));
    std::string copy;
    ASSERT_TRUE(waitInSync([&] {
        for (const std::string& f : a.files()) {
            if (f.rfind(prefix, 0) == 0 && f.size() > extension.size() &&
                f.compare(f.size() - extension.size(), extension.size(), extension) == 0) {
                copy = f;
            }
        }
        return !copy.empty();
    })) << "no conflict copy reached both machines";

    for (Side* side : {&a, &b}) {
        std::vector<std::string> kept = {side->bytes(file), side->bytes(copy)};
        std::sort(kept.begin(), kept.end());
        EXPECT_EQ(kept, versions) << side->name << ": " << file << " and its conflict copy " << copy
                                  << " are not the two versions";
        // The chooser lists the copy, so the user can open it.
        auto* chooser = showAs<Form7>(side->windows(), WindowId::Form7);
        ASSERT_NE(chooser, nullptr);
        std::vector<std::string> listed;
        for (int row = 0; row < chooser->File1->count(); ++row) {
            listed.push_back(chooser->File1->fileName(row).toStdString());
        }
        EXPECT_NE(std::find(listed.begin(), listed.end(), copy), listed.end())
            << side->name << "'s chooser does not list " << copy;
        side->closeWindows();
    }
}

TEST_F(SyncTest, TheSameQuestionChangedOnBothSidesKeepsBothVersions) {
    for (const ConflictCase& c : kConflictCases) {
        run(c, &SyncTest::trueConflict);
    }
}

}  // namespace
}  // namespace studyhop

int main(int argc, char** argv) {
    using namespace studyhop;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    Side a('A');
    Side b('B');
    if (!a.configured() || !b.configured()) {
        std::fprintf(stderr, "sync_check: run it through scripts/sync-check\n");
        return 2;
    }
    g_a = &a;
    g_b = &b;
    // Both instances answer and have found each other.
    bool ready = false;
    for (int i = 0; i < 300 && !ready; ++i) {
        ready = a.connectedTo(b) && b.connectedTo(a);
        sleepWithEvents(ready ? 0 : 200);
    }
    if (!ready) {
        std::fprintf(stderr, "sync_check: the two Syncthing instances did not connect in 60 s\n");
        return 1;
    }
    // The settings file is there before either program starts, so that
    // neither writes its defaults and makes a conflict of its own.
    a.write(kSettingsWriteName, "0,0\r\n");
    if (!a.scan() || !waitInSync([&] { return b.bytes(kSettingsWriteName) == "0,0\r\n"; })) {
        std::fprintf(stderr, "sync_check: the settings file did not reach B in %d s\n",
                     kSyncSeconds);
        return 1;
    }
    a.windows();
    b.windows();
    const int status = RUN_ALL_TESTS();
    std::printf("SYNC cases=%d passed=%d\n", g_cases, g_passed);
    return status;
}
