#pragma once

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "ui/file_list_box.h"
#include "window/form.h"

namespace studyhop {

// The question file chooser: hands a question file of the working directory
// to the editor (editor mode) or to the quiz window (quiz mode).
// Where the chosen file goes; Label1 shows the quiz mode as "2".
enum class ChooserMode { Editor, Quiz };

class Form7 : public Form {
    Q_OBJECT
public:
    explicit Form7(const WindowContext& context);

    void Form_Load() override;
    // The chooser is already shown by the owner; these set its mode.
    void OpenForEditing() {}
    void OpenForQuiz();
    // Selects a question file given by the user as a bare name or a path.
    // A file that the list does not show (another folder, not a question
    // file, missing) leaves nothing selected and is reported. Returns
    // whether the file was selected. The argument is the bytes of the name
    // as the system gave them, so a name in CP932 is found too.
    bool selectFile(const std::string& nameOrPath);

    void Combo1_Click();
    void Command1_Click();  // open
    void Command2_Click();  // cancel
    void Command3_Click();  // new file
    void File1_KeyDown(int keyCode, int shift);

    FileListBox* File1;
    QComboBox* Combo1;
    QPushButton* Command3;
    QPushButton* Command1;
    QPushButton* Command2;
    QLabel* Label1;  // shows the mode: "" editor mode, "2" quiz mode
    ChooserMode mode() const { return m_mode; }

private:
    void openSelected();
    // Says once that the file is a sync engine's conflict copy, or that it
    // has one beside it.
    void tellOfConflictCopies(const QString& shown, const std::string& bytes);

    ChooserMode m_mode = ChooserMode::Editor;
};

}  // namespace studyhop
