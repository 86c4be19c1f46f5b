#pragma once

#include <QPlainTextEdit>
#include <QString>

namespace studyhop {

// A text box for one paragraph that wraps its text over its lines while it is
// typed, and never takes a line break: Enter is not typed, and line breaks
// in pasted or dropped text become blanks. It offers the calls of a one-line
// text box, so that a window reads and sets it the same way.
class QuestionBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit QuestionBox(QWidget* parent);

    QString text() const { return toPlainText(); }
    // Shows `text` as it is, line breaks included: what a file holds is
    // shown, never changed.
    void setText(const QString& text) { setPlainText(text); }
    int cursorPosition() const { return textCursor().position(); }
    void setCursorPosition(int position);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
};

}  // namespace studyhop
