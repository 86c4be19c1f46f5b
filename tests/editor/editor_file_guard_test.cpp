// The editor against files that are not what they seem: a count line that
// disagrees with the records, a file changed or removed behind its back, a
// file it may not write, a symbolic link, UTF-8 text.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "editor/editor_window.h"
#include "ui/twips.h"
#include "window_test.h"

namespace studyhop {
namespace {

using test::fileExists;
using test::readBytes;
using test::sjis;
using test::writeBytes;

std::string records(int n, const std::string& counters = ",3,2,ﾅｼ") {
    std::string text;
    for (int i = 1; i <= n; ++i) {
        text += "q" + std::to_string(i) + ",a,b,c,d,e,2" + counters + "\r\n";
    }
    return text;
}

int lineCount(const std::string& bytes) {
    return static_cast<int>(std::count(bytes.begin(), bytes.end(), '\n'));
}

class EditorFileGuardTest : public test::WindowTest {
protected:
    Form2* open(const std::string& file) {
        windows->show(WindowId::Form1);
        state().setText1(QString::fromStdString(file));
        state().setFileState(file.ends_with("qzb") ? FileState::Legacy : FileState::Current);
        return show<Form2>(WindowId::Form2);
    }
    void close() {
        windows->unload(WindowId::Form2);
        flushDeletes();
    }
    static bool inEditState(Form2* e) {
        return e->Command4->isVisible() && e->Text1->isEnabled() && topTwips(e->Command1) == 840;
    }
};

// The operations that write, each started the way a user starts it. Modify
// and Add leave "typed" in the question box.
enum class Op { Modify, AddLegacy, Delete, DeleteFile };

const char* opName(Op op) {
    const char* const names[] = {"modify", "add to a legacy file", "delete", "delete the file"};
    return names[static_cast<int>(op)];
}

struct OpSetup {
    std::string name;
    std::string bytes;
};

OpSetup setupFor(Op op, int i) {
    const std::string n = "f" + std::to_string(i);
    switch (op) {
        case Op::Modify:
        case Op::Delete:
            return {n + ".qz2", sjis("2\r\n" + records(2))};
        case Op::AddLegacy:
            return {n + ".qzb", "q1,a,b,c,d,e,1\r\n"};
        case Op::DeleteFile:
            return {n + ".qz2", sjis("1\r\n" + records(1))};
    }
    return {};
}

// Starts `op` up to the write; the boxes before the file check get OK.
void startOp(Form2* editor, Op op) {
    switch (op) {
        case Op::Modify:
            editor->Command7_Click();
            editor->Text1->setText(QStringLiteral("typed"));
            break;
        case Op::AddLegacy:
            editor->Command2_Click();
            editor->Text1->setText(QStringLiteral("typed"));
            editor->Text2[0]->setText(QStringLiteral("x"));
            editor->Text2[1]->setText(QStringLiteral("y"));
            editor->Combo1->setCurrentIndex(0);
            break;
        case Op::Delete:
        case Op::DeleteFile:
            break;
    }
}

void finishOp(Form2* editor, Op op) {
    if (op == Op::Modify || op == Op::AddLegacy) {
        editor->Command4_Click();
    } else {
        editor->Command3_Click();
    }
}

TEST_F(EditorFileGuardTest, CountLineDisagreeingWithTheRecordsOpensTheRecordsAndSavesTheTrueCount) {
    struct Case {
        int countLine;
        int records;
        bool readOnly;
    };
    const Case cases[] = {{3, 5, false}, {0, 5, false}, {5, 3, false}, {3, 101, true}};
    int i = 0;
    for (const Case& c : cases) {
        const std::string name = "c" + std::to_string(i++) + ".qz2";
        const std::string before = sjis(std::to_string(c.countLine) + "\r\n" + records(c.records));
        writeBytes(name, before);
        prompt.boxes.clear();
        Form2* editor = open(name);
        ASSERT_NE(editor, nullptr) << c.countLine << "/" << c.records;
        EXPECT_EQ(editor->QCount, std::min(c.records, 101)) << c.countLine << "/" << c.records;
        EXPECT_TRUE(
            prompt.saw(QStringLiteral("確認"),
                       {QString::fromStdString(name), QStringLiteral("問題数は%1").arg(c.countLine),
                        QStringLiteral("%1問").arg(c.records)}))
            << c.countLine << "/" << c.records;
        EXPECT_EQ(readBytes(name), before);
        EXPECT_EQ(editor->Command7->isEnabled(), !c.readOnly);
        if (!c.readOnly) {
            // The last question is a real one, never a blank row.
            for (int k = 1; k < c.records; ++k) {
                editor->Command6_Click();
            }
            EXPECT_EQ(editor->Text1->text(), QStringLiteral("q%1").arg(c.records));
            editor->Command7_Click();
            editor->Text1->setText(QStringLiteral("changed"));
            prompt.nextAnswer(PromptAnswer::Ok);  // clear the rate
            editor->Command4_Click();
            const std::string after = readBytes(name);
            EXPECT_EQ(after.substr(0, after.find('\r')), std::to_string(c.records)) << name;
            EXPECT_EQ(lineCount(after), c.records + 1) << name;
            EXPECT_NE(after.find("changed"), std::string::npos) << name;
        }
        close();
    }
}

// Another copy, a sync engine or another program changed the file after the
// editor read it. The editor's one change is made to the file as it is now;
// only the same question changed there too, or a file removed, asks.
TEST_F(EditorFileGuardTest, ChangeMadeElsewhereIsMergedAndOnlyAConflictAsks) {
    enum class Elsewhere { OtherAdded, SameChanged, Removed, Touched };
    struct Case {
        Op op;
        Elsewhere elsewhere;
        PromptAnswer answer;
        const char* asks;  // a 確認 box with this text; nullptr: none at all
        std::vector<std::string> kept;  // in the file afterwards; empty: no file
    };
    using E = Elsewhere;
    const PromptAnswer ok = PromptAnswer::Ok;
    const PromptAnswer cancel = PromptAnswer::Cancel;
    const Case cases[] = {
        {Op::Modify, E::OtherAdded, ok, nullptr, {"typed", "q2", "other"}},
        {Op::Modify, E::SameChanged, ok, "ほかで変更", {"theirs", "typed", "q2"}},
        {Op::Modify, E::SameChanged, cancel, "ほかで変更", {"theirs", "q2"}},
        {Op::Modify, E::Removed, ok, "削除", {"typed", "q2"}},
        {Op::Modify, E::Removed, cancel, "削除", {}},
        {Op::AddLegacy, E::OtherAdded, ok, nullptr, {"q1", "other", "typed"}},
        {Op::AddLegacy, E::SameChanged, ok, nullptr, {"theirs", "typed"}},
        {Op::AddLegacy, E::Removed, ok, "削除", {"q1", "typed"}},
        {Op::Delete, E::OtherAdded, ok, nullptr, {"q2", "other"}},
        {Op::Delete, E::SameChanged, ok, "削除しませんでした", {"theirs", "q2"}},
        {Op::Delete, E::Removed, ok, "削除", {"q2"}},
        // Deleting the only question shown keeps a question added elsewhere,
        // and the file with it.
        {Op::DeleteFile, E::OtherAdded, ok, "ほかで追加された問題が1問", {"other"}},
        // Gone already, as the user wanted: nothing to ask.
        {Op::DeleteFile, E::Removed, ok, nullptr, {}},
        // A new time alone (a sync engine, a backup) is no change.
        {Op::DeleteFile, E::Touched, ok, nullptr, {}},
    };
    int i = 0;
    for (const Case& c : cases) {
        const std::string label = std::string(opName(c.op)) + " #" + std::to_string(i);
        const OpSetup setup = setupFor(c.op, i++);
        const bool legacy = c.op == Op::AddLegacy;
        writeBytes(setup.name, setup.bytes);
        Form2* editor = open(setup.name);
        ASSERT_NE(editor, nullptr) << label;
        startOp(editor, c.op);
        std::string other;
        if (c.elsewhere == E::Removed) {
            std::filesystem::remove(setup.name);
        } else if (c.elsewhere == E::Touched) {
            std::filesystem::last_write_time(
                setup.name, std::filesystem::last_write_time(setup.name) + std::chrono::seconds(5));
        } else if (c.elsewhere == E::OtherAdded) {
            other = legacy ? setup.bytes + "other,a,b,c,d,e,1\r\n"
                           : sjis(std::to_string(lineCount(setup.bytes)) + "\r\n") +
                                 setup.bytes.substr(setup.bytes.find('\n') + 1) +
                                 sjis("other,a,b,c,d,e,1,0,0,ﾅｼ\r\n");
        } else {
            other = legacy ? "theirs,a,b,c,d,e,1\r\n" : sjis("2\r\ntheirs,a,b,c,d,e,2,0,0,ﾅｼ\r\n") +
                                                        setup.bytes.substr(setup.bytes.find("q2"));
        }
        if (!other.empty()) {
            writeBytes(setup.name, other);
        }
        prompt.boxes.clear();
        if (c.op == Op::Modify || c.op == Op::DeleteFile) {
            prompt.nextAnswer(PromptAnswer::Ok);  // clear the rate / delete the file
        }
        if (c.asks != nullptr && c.elsewhere != E::OtherAdded) {
            prompt.nextAnswer(c.answer);
        }
        finishOp(editor, c.op);

        if (c.asks != nullptr) {
            EXPECT_TRUE(prompt.saw(QStringLiteral("確認"), {QString::fromUtf8(c.asks)})) << label;
        } else {
            EXPECT_FALSE(prompt.saw(QStringLiteral("確認"), {QStringLiteral("ほかで")})) << label;
        }
        ASSERT_EQ(fileExists(setup.name), !c.kept.empty()) << label;
        if (c.kept.empty()) {
            close();
            continue;
        }
        const std::string after = readBytes(setup.name);
        for (const std::string& text : c.kept) {
            EXPECT_NE(after.find(text), std::string::npos) << label << ": " << text;
        }
        if (c.answer == cancel) {
            EXPECT_EQ(after, other) << label;
            if (c.op == Op::Modify) {
                EXPECT_TRUE(inEditState(editor)) << label;
                EXPECT_EQ(editor->Text1->text(), QStringLiteral("typed")) << label;
            }
            close();
            continue;
        }
        // What the editor holds is what is on disk: the next change keeps
        // everything and asks nothing.
        ASSERT_TRUE(windows->isLoaded(WindowId::Form2)) << label;
        EXPECT_EQ(editor->QCount, static_cast<int>(c.kept.size())) << label;
        prompt.boxes.clear();
        editor->Command7_Click();
        editor->Text1->setText(QStringLiteral("again"));
        prompt.nextAnswer(PromptAnswer::Ok);  // clear the rate
        editor->Command4_Click();
        EXPECT_FALSE(prompt.saw(QStringLiteral("確認"), {QStringLiteral("ほかで")})) << label;
        const std::string again = readBytes(setup.name);
        EXPECT_NE(again.find("again"), std::string::npos) << label;
        EXPECT_EQ(lineCount(again), lineCount(after)) << label;
        close();
    }
}

// A new file made over one of that name replaces it, as the user agreed in
// the new-file dialog; merging its first question into the old file would
// keep questions the user chose to throw away. Changed since: asked.
TEST_F(EditorFileGuardTest, NewFileOverAnOldOneReplacesItUnlessItChangedSince) {
    for (const bool changedSince : {false, true}) {
        writeBytes("n.qz2", sjis("2\r\n" + records(2)));
        windows->show(WindowId::Form1);
        state().requestNewFile(QStringLiteral("n.qz2"));
        Form2* editor = show<Form2>(WindowId::Form2);
        ASSERT_EQ(editor->EditMode, 1);
        if (changedSince) {
            writeBytes("n.qz2", sjis("3\r\n" + records(3)));
        }
        editor->Text1->setText(QStringLiteral("new"));
        editor->Text2[0]->setText(QStringLiteral("x"));
        editor->Combo1->setCurrentIndex(0);
        prompt.boxes.clear();
        prompt.nextAnswer(PromptAnswer::Cancel);
        editor->Command4_Click();
        EXPECT_EQ(prompt.saw(QStringLiteral("確認"), {QStringLiteral("書き換え")}), changedSince);
        EXPECT_EQ(readBytes("n.qz2"), changedSince ? sjis("3\r\n" + records(3))
                                                   : sjis("1\r\nnew,x,ﾅｼ,ﾅｼ,ﾅｼ,ﾅｼ,1,0,0,ﾅｼ\r\n"))
            << changedSince;
        close();
    }
}

TEST_F(EditorFileGuardTest, ReadOnlyFileIsNeitherReplacedNorDeletedAndTheEditStays) {
    int i = 0;
    for (Op op : {Op::Modify, Op::AddLegacy, Op::Delete, Op::DeleteFile}) {
        const OpSetup setup = setupFor(op, i++);
        writeBytes(setup.name, setup.bytes);
        ASSERT_EQ(::chmod(setup.name.c_str(), 0444), 0);
        Form2* editor = open(setup.name);
        ASSERT_NE(editor, nullptr) << opName(op);
        startOp(editor, op);
        prompt.boxes.clear();
        if (op == Op::Modify || op == Op::DeleteFile) {
            prompt.nextAnswer(PromptAnswer::Ok);  // clear the rate / delete the file
        }
        finishOp(editor, op);
        EXPECT_TRUE(prompt.saw(QStringLiteral("エラー"), {QString::fromStdString(setup.name),
                                                          QStringLiteral("読み取り専用")}))
            << opName(op);
        EXPECT_EQ(readBytes(setup.name), setup.bytes) << opName(op);
        ASSERT_TRUE(windows->isLoaded(WindowId::Form2)) << opName(op);
        if (op == Op::Modify || op == Op::AddLegacy) {
            EXPECT_TRUE(inEditState(editor)) << opName(op);
            EXPECT_EQ(editor->Text1->text(), QStringLiteral("typed")) << opName(op);
        }
        close();
    }
}

TEST_F(EditorFileGuardTest, SaveThroughASymbolicLinkWritesTheTargetAndKeepsTheLink) {
    std::filesystem::create_directory("store");
    writeBytes("store/real.qz2", sjis("1\r\n" + records(1)));
    ASSERT_EQ(::symlink("store/real.qz2", "link.qz2"), 0);
    Form2* editor = open("link.qz2");
    ASSERT_NE(editor, nullptr);
    startOp(editor, Op::Modify);
    prompt.nextAnswer(PromptAnswer::Ok);  // clear the rate
    editor->Command4_Click();
    EXPECT_TRUE(std::filesystem::is_symlink("link.qz2"));
    EXPECT_EQ(std::filesystem::read_symlink("link.qz2"), "store/real.qz2");
    EXPECT_EQ(readBytes("store/real.qz2"), sjis("1\r\ntyped,a,b,c,d,e,2,0,0,ﾅｼ\r\n"));
    EXPECT_EQ(test::listDirectory("store"), "real.qz2");
}

// The quiz and the editor alike: a UTF-8 legacy file never gets a CP932
// record appended, and the box says how to convert the file.
TEST_F(EditorFileGuardTest, Utf8FilesAreRefusedByEveryWindowNamingTheConversion) {
    const std::string legacy = "問題,東京,大阪,京都,ﾅｼ,ﾅｼ,1\r\n";
    const std::string current = "1\r\n問題,東京,大阪,京都,ﾅｼ,ﾅｼ,1,0,0,ﾅｼ\r\n";
    for (const WindowId id : {WindowId::Form2, WindowId::Form4}) {
        for (const auto& [name, bytes] :
             {std::pair{"u.qzb", legacy}, std::pair{"u.qz2", current}}) {
            writeBytes(name, bytes);
            windows->show(WindowId::Form1);
            state().setF_name(QString::fromLatin1(name));
            state().setText1(QString::fromLatin1(name));
            state().setFileState(std::string_view(name).ends_with("qzb") ? FileState::Legacy
                                                                         : FileState::Current);
            prompt.boxes.clear();
            EXPECT_EQ(windows->show(id), nullptr) << name;
            EXPECT_TRUE(prompt.saw(QStringLiteral("エラー"),
                                   {QString::fromLatin1(name), QStringLiteral("UTF-8"),
                                    QStringLiteral("studyhop-tool import")}))
                << name;
            EXPECT_EQ(readBytes(name), bytes) << name;
        }
    }
}

TEST_F(EditorFileGuardTest, NumberLikeAndBlankEdgedChoicesComeBackAsTyped) {
    windows->show(WindowId::Form1);
    state().setText1(QStringLiteral("0"));
    Form2* editor = show<Form2>(WindowId::Form2);
    ASSERT_NE(editor, nullptr);
    editor->Text1->setText(QStringLiteral("問"));
    editor->Text2[0]->setText(QStringLiteral("007"));
    editor->Text2[1]->setText(QStringLiteral("  両端に空白  "));
    editor->Combo1->setCurrentIndex(0);
    editor->Command4_Click();
    close();
    Form2* reopened = open("試験ﾃﾞｰﾀ.qz2");
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(reopened->Text2[0]->text(), QStringLiteral("007"));
    EXPECT_EQ(reopened->Text2[1]->text(), QStringLiteral("  両端に空白  "));
}

TEST_F(EditorFileGuardTest, LegacyFileCutShortAfterTheEditorLimitIsRefusedOnItsLine) {
    const std::string name = "legacy_cut_short_after_100_records.qzb";
    std::filesystem::copy_file(std::string(STUDYHOP_FIXTURES) + "/" + name, name);
    const std::string before = readBytes(name);
    EXPECT_EQ(open(name), nullptr);
    EXPECT_TRUE(prompt.saw(QStringLiteral("エラー"),
                           {QString::fromStdString(name), QStringLiteral("101行目")}));
    EXPECT_EQ(readBytes(name), before);
}

}  // namespace
}  // namespace studyhop

namespace studyhop {
namespace {

// What a careful user met with two copies, a sync folder and a text editor:
// each change meets the file as it is now, and none takes a question that
// was not the one shown, nor drops one the editor never saw.
TEST_F(EditorFileGuardTest, ChangesThatMeetTheFileAsItIsNowLoseNoQuestion) {
    const auto row = [](const std::string& text, const std::string& tail = "0,0,ﾅｼ") {
        return text + ",a,b,c,d,e,2," + tail + "\r\n";
    };
    struct Case {
        const char* name;
        const char* file;      // "" for a new 試験ﾃﾞｰﾀ.qz2 in an empty folder
        std::string before;    // what the editor reads
        std::string elsewhere; // written after it read; "" leaves the file as it is
        std::function<void(Form2*)> act;
        std::vector<PromptAnswer> answers;
        const char* box;       // a box showing this; nullptr: no box with "ほかで"
        std::function<void(const test::ScriptedPrompt::Box&)> whileBoxOpen;
        std::string after;
    };
    const auto deleteShown = [](Form2* e) { e->Command3_Click(); };
    const auto modifyTo = [](const char* text) {
        return [text](Form2* e) {
            e->Command7_Click();
            e->Text1->setText(QString::fromUtf8(text));
            e->Command4_Click();
        };
    };
    const auto addQuestion = [](Form2* e) {
        if (e->EditMode == 0) {
            e->Command2_Click();
        }
        e->Text1->setText(QStringLiteral("typed"));
        e->Text2[0]->setText(QStringLiteral("x"));
        e->Text2[1]->setText(QStringLiteral("y"));
        e->Combo1->setCurrentIndex(1);
        e->Command4_Click();
    };
    std::string ten;
    for (int i = 1; i <= 10; ++i) {
        ten += row("s" + std::to_string(i));
    }
    std::string ninetyNine;
    for (int i = 1; i <= 99; ++i) {
        ninetyNine += row("n" + std::to_string(i));
    }
    const std::string twins = "2\r\n" + row("q", "5,5,ﾅｼ") + row("q");
    const Case cases[] = {
        {"the twin shown was deleted by another copy: no other twin goes", "t.qz2", twins,
         "1\r\n" + row("q"), deleteShown, {}, "削除しませんでした", nullptr, "1\r\n" + row("q")},
        {"the twin shown was deleted by another copy: modify asks", "t.qz2", twins,
         "1\r\n" + row("q"), modifyTo("typed"), {PromptAnswer::Ok, PromptAnswer::Cancel},
         "問題：q", nullptr, "1\r\n" + row("q")},
        {"a new file that arrived by sync keeps its questions", "", "", "10\r\n" + ten, addQuestion,
         {}, nullptr, nullptr, "11\r\n" + ten + "typed,x,y,ﾅｼ,ﾅｼ,ﾅｼ,2,0,0,ﾅｼ\r\n"},
        {"a file back while the box is open is merged with", "r.qz2", "1\r\n" + row("q1"), "<removed>",
         addQuestion, {PromptAnswer::Ok}, "ほかで削除",
         [](const test::ScriptedPrompt::Box& box) {
             if (!box.text.contains(QStringLiteral("ほかで削除"))) {
                 return;
             }
             writeBytes("r.qz2", sjis("2\r\nq1,a,b,c,d,e,2,0,0,ﾅｼ\r\nback,a,b,c,d,e,2,0,0,ﾅｼ\r\n"));
         },
         "3\r\nq1,a,b,c,d,e,2,0,0,ﾅｼ\r\nback,a,b,c,d,e,2,0,0,ﾅｼ\r\ntyped,x,y,ﾅｼ,ﾅｼ,ﾅｼ,2,0,0,ﾅｼ\r\n"},
        {"no question past one hundred", "h.qz2", "99\r\n" + ninetyNine,
         "101\r\n" + ninetyNine + row("m1") + row("m2"), addQuestion, {}, "100問まで", nullptr,
         "101\r\n" + ninetyNine + row("m1") + row("m2")},
        {"a hand-written reserved cell stays", "p.qz2", "1\r\n" + row("q", "4,3,出典p.12"), "",
         modifyTo("typed"), {PromptAnswer::Ok}, nullptr, nullptr, "1\r\n" + row("typed", "0,0,出典p.12")},
    };
    for (const Case& c : cases) {
        test::TestDir here;
        prompt.boxes.clear();
        Form2* editor = nullptr;
        const std::string name = *c.file == '\0' ? "試験ﾃﾞｰﾀ.qz2" : c.file;
        windows->show(WindowId::Form1);
        if (*c.file == '\0') {
            state().setText1(QStringLiteral("0"));
            editor = show<Form2>(WindowId::Form2);
        } else {
            writeBytes(name, sjis(c.before));
            editor = open(name);
        }
        ASSERT_NE(editor, nullptr) << c.name;
        if (c.elsewhere == "<removed>") {
            ::unlink(name.c_str());
        } else if (!c.elsewhere.empty()) {
            writeBytes(name, sjis(c.elsewhere));
        }
        for (const PromptAnswer a : c.answers) {
            prompt.nextAnswer(a);
        }
        prompt.onBox = c.whileBoxOpen;
        c.act(editor);
        prompt.onBox = nullptr;
        if (c.box != nullptr) {
            EXPECT_TRUE(prompt.saw(QStringLiteral("確認"), {QString::fromUtf8(c.box)}) ||
                        prompt.saw(QStringLiteral("エラー"), {QString::fromUtf8(c.box)}))
                << c.name;
        } else {
            EXPECT_FALSE(prompt.saw(QStringLiteral("確認"), {QStringLiteral("ほかで")})) << c.name;
        }
        EXPECT_EQ(readBytes(name), sjis(c.after)) << c.name;
        close();
    }
}

}  // namespace
}  // namespace studyhop

namespace studyhop {
namespace {

// A re-read that fails after a delete met a change elsewhere said the file
// could not be saved, though nothing was to be saved: it says what failed.
TEST_F(EditorFileGuardTest, AFailedReReadSaysItCouldNotRead) {
    writeBytes("a.qz2", sjis("2\r\n" + records(2)));
    Form2* editor = open("a.qz2");
    ASSERT_NE(editor, nullptr);
    writeBytes("a.qz2", sjis("2\r\nother,a,b,c,d,e,2,3,2,ﾅｼ\r\n" + records(2).substr(records(1).size())));
    int reads = 0;
    fs.hook = [&](FileOp op) { return op == FileOp::Read && ++reads > 1 ? EIO : 0; };
    editor->Command3_Click();
    fs.hook = nullptr;
    EXPECT_TRUE(prompt.saw(QStringLiteral("確認"), {QStringLiteral("削除しませんでした")}));
    EXPECT_TRUE(prompt.saw(QStringLiteral("エラー"), {QStringLiteral("読み直せませんでした")}));
    EXPECT_FALSE(prompt.saw(QStringLiteral("エラー"), {QStringLiteral("保存できませんでした")}));
}

}  // namespace
}  // namespace studyhop
