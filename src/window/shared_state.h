#pragma once

#include <QObject>
#include <QString>
#include <optional>
#include <set>
#include <string>
#include <utility>

#include "window/file_state.h"

namespace studyhop {

// The values the main window shares with every other window: the public
// variables F_name, Mode and Log, the texts of the strip's Text1, Text2, Tex1
// and Tex2, and the file state that Text4 shows as a digit. Every change is
// announced, so the strip can follow.
class SharedState : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    const QString& F_name() const { return m_fName; }
    int Mode() const { return m_mode; }
    int Log() const { return m_log; }
    const QString& Text1() const { return m_text1; }
    const QString& Text2() const { return m_text2; }
    FileState fileState() const { return m_fileState; }
    // The file state as the strip's Text4 shows it.
    QString Text4() const;
    const QString& Tex1() const { return m_tex1; }
    const QString& Tex2() const { return m_tex2; }

    void setF_name(const QString& value) { assign(m_fName, value); }
    void setMode(int value);
    void setLog(int value) { m_log = value; }
    void setText1(const QString& value) { assign(m_text1, value); }
    void setText2(const QString& value) { assign(m_text2, value); }
    void setFileState(FileState value);
    void setTex1(const QString& value) { assign(m_tex1, value); }
    void setTex2(const QString& value) { assign(m_tex2, value); }

    // The new-file dialog's name for the editor's next start: the editor
    // takes it once and starts an empty file of that name. No other window
    // sees it, so a new file never reaches a running quiz.
    void requestNewFile(const QString& name) { m_newFile = name; }
    std::optional<QString> takeNewFileRequest() { return std::exchange(m_newFile, std::nullopt); }

    // A file name travels as the text shown (F_name, Text1); the chooser
    // leaves the bytes of the name it opened here, so a name that is not
    // UTF-8 (CP932 from Windows) is opened and saved under its own bytes.
    void setFileNameBytes(const QString& shown, std::string bytes);
    // The bytes to open the file shown as `shown` by: the chooser's bytes for
    // that name, else the name's UTF-8.
    std::string fileNameBytes(const QString& shown) const;

    // Started on a question file (a file manager opening one): that folder is
    // the user's, and the program creates nothing of its own there.
    bool startedOnFile() const { return m_startedOnFile; }
    void setStartedOnFile(bool value) { m_startedOnFile = value; }
    // The user has been told that the settings file is not ours and that
    // settings chosen now hold only until the program ends; told once.
    bool toldSettingsNotOurs() const { return m_toldSettingsNotOurs; }
    void setToldSettingsNotOurs() { m_toldSettingsNotOurs = true; }
    // True the first time in a run that a notice with this key is given:
    // notices that need saying once (a conflict copy beside a file) ask here.
    bool firstNotice(const std::string& key) { return m_notices.insert(key).second; }

    // Settings travel as the text of a whole number: the number from lo to
    // hi that `text` spells, or nothing.
    static std::optional<int> wholeNumber(const QString& text, int lo, int hi);
    // The whole number `text` spells; any other text counts as 0.
    static int number(const QString& text);

signals:
    void changed();

private:
    void assign(QString& field, const QString& value);

    QString m_fName;
    int m_mode = 0;
    int m_log = 0;
    QString m_text1;
    QString m_text2;
    FileState m_fileState = FileState::None;
    QString m_tex1;
    QString m_tex2;
    std::optional<QString> m_newFile;
    bool m_startedOnFile = false;
    bool m_toldSettingsNotOurs = false;
    std::set<std::string> m_notices;
    QString m_bytesShown;
    std::string m_bytes;
};

}  // namespace studyhop
