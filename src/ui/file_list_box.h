#pragma once

#include <QListWidget>
#include <QString>

namespace studyhop {

// A list of the files in the working directory whose names match a pattern
// list such as "*.qzb;*.qz2" (without regard to case, as on the system the
// question files come from). Bare names, sorted; hidden files never show.
class FileListBox : public QListWidget {
    Q_OBJECT
public:
    explicit FileListBox(QWidget* parent = nullptr);

    void setPattern(const QString& pattern);
    const QString& pattern() const { return m_pattern; }
    // Reads the working directory again.
    void refresh();
    QString fileName(int index) const;
    // The selected name, or "" when nothing is selected.
    QString selectedName() const;

private:
    QString m_pattern;
};

}  // namespace studyhop
