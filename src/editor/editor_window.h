#pragma once

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <array>
#include <optional>
#include <utility>

#include "data/question_file.h"
#include "data/question_table.h"
#include "data/status.h"
#include "editor/field_check.h"
#include "editor/question_edit.h"
#include "ui/question_box.h"
#include "window/form.h"

namespace studyhop {

// The question editor: shows the questions of one file one at a time, and
// adds, modifies and deletes them; every accepted change is written at once.
class Form2 : public Form {
    Q_OBJECT
public:
    explicit Form2(const WindowContext& context);

    void Form_Load() override;
    // With input not yet registered, asks whether to close and drop it.
    bool queryClose() override;
    void Command1_Click();  // cancel or close
    void Command2_Click();  // new question
    void Command3_Click();  // delete
    void Command4_Click();  // register
    void Command5_Click();  // previous question
    void Command6_Click();  // next question
    void Command7_Click();  // modify

    void ShowQuestion();
    void SetBrowseState();
    void SetEditState();
    void UpdateNewButton();
    void CheckFields();
    void StoreQuestion();
    // Ctrl+Z while browsing: the question deleted last goes back to its
    // place, with its statistics, through the same path as any change.
    void undoDelete();

    // Controls.
    QLabel* Label1;
    QLabel* Label10;
    QLabel* Label8;
    QLabel* Label9;
    // Wraps the question over its lines while it is typed.
    QuestionBox* Text1;
    std::array<QLabel*, 5> ChoiceCaptions{};  // Label2..Label6
    std::array<QLineEdit*, 5> Text2{};
    QLabel* Label7;
    QComboBox* Combo1;
    QLabel* Label21;
    QLabel* Label22;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    QPushButton* Command4;
    QPushButton* Command5;
    QPushButton* Command6;
    QPushButton* Command7;
    QLabel* Label11;
    QLabel* Label12;
    QLabel* Label13;
    QLabel* Label14;
    QLabel* Label15;
    QLabel* Label16;
    QLabel* Label17;
    QLabel* Label18;
    QLabel* Label19;
    QLabel* Label20;

    // Editor state.
    QString F_name;
    EditedQuestions edited;
    QuestionTable& table = edited.table;
    int& QCount = edited.QCount;
    int& Mcnt = edited.Mcnt;
    int EditMode = 0;
    int Reply = 0;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool legacyFile() const { return m_format == FileFormat::Legacy; }
    void setFileFormat(FileFormat format);
    void showCounters();
    void setEditing(bool editing);
    void setBoxesEditable(bool editable);
    void keepBrowsingFocus(QPushButton* pressed, QPushButton* other, bool pressedHides);
    // Runs one change on the file as it is now (see QuestionFileChanger),
    // asking the user where it needs their word; `question` names the
    // question a conflict is about.
    ChangeResult changeFile(const QuestionChange& change, const QString& question = {});
    // Makes the editor hold what a written change left on disk.
    void takeFromDisk(const ChangeResult& result);
    // Makes the editor hold the file as it is now; false (and said so) when
    // it cannot be read.
    bool reloadFromDisk();
    // The question text of row `row` as read, for the boxes that name it.
    QString questionText(int row) const;
    void hideNavigationAtTheEnds();
    QuestionFields displayedFields() const;
    void showFields(const QuestionFields& fields);
    void resetCorrectNumbers();
    void reportWriteFailure(const ChangeResult& result);
    void closeEditor();

    // A legacy file with more questions than the editor holds is only shown.
    bool m_readOnly = false;
    // Label12 shows it: "1" legacy, "2" current.
    FileFormat m_format = FileFormat::Current;
    // The bytes of the file's name (F_name is the name as shown).
    std::string m_path;
    // The file as the editor read or last wrote it: every change is made
    // against it.
    QuestionFileRead m_read;
    // Opened to make a new file: the first registration replaces what is
    // there (the user agreed), rather than adding to it.
    bool m_replacing = false;
    // The question deleted last and the place it had, for undoDelete.
    std::optional<std::pair<int, QuestionRow>> m_deleted;
};

}  // namespace studyhop
