#pragma once

#include <QListWidget>
#include <QString>
#include <string>

namespace studyhop {

class FileSystem;

// A list of the files in the file system's directory whose names match a
// pattern list such as "*.qzb;*.qz2" (without regard to case, as on the
// system the question files come from). Bare names, sorted; hidden files
// never show. Each entry keeps the bytes of its name: a name in CP932 (from a
// Windows archive) shows decoded, one that is neither UTF-8 nor CP932 shows
// with U+FFFD for the bytes that are not; the file is opened by its bytes.
// The keyboard always selects: the focus entering the list selects the
// current file (the first when there is none), and a move selects the file it
// lands on, even the only one.
// A name too long for the list shows both its ends around a "…" (the
// extension stays); a sync engine's conflict copy follows its real file and
// shows as a conflict copy with its date. The whole name is every row's
// tooltip and what a screen reader reads.
class FileListBox : public QListWidget {
    Q_OBJECT
public:
    explicit FileListBox(QWidget* parent = nullptr);

    // The directory to list; without one, the working directory.
    void setFileSystem(FileSystem* fs) { m_fs = fs; }
    void setPattern(const QString& pattern);
    const QString& pattern() const { return m_pattern; }
    // Reads the directory again.
    void refresh();
    QString fileName(int index) const;
    // The selected name as shown, or "" when nothing is selected.
    QString selectedName() const;
    // The bytes of the selected name, or "" when nothing is selected.
    std::string selectedBytes() const;
    // Whether the selected name could be shown as it is (UTF-8 or CP932).
    bool selectedNameDecodes() const;
    // The row whose name has these bytes (on Windows, in any letter case), or -1.
    int rowOfBytes(const std::string& bytes) const;
    // What the row shows in `width` pixels of text in the list's font.
    QString shownText(int row, int width) const;
    // The same for the width the list gives its rows now.
    QString shownText(int row) const;
    // Whether the row is a conflict copy.
    bool isConflictCopy(int row) const;

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Makes the current row current again, which a screen reader reads out.
    void announceCurrent();

    QString m_pattern;
    FileSystem* m_fs = nullptr;
};

}  // namespace studyhop
