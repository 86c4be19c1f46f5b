#pragma once

#include <QLabel>
#include <QString>

namespace studyhop {

// A label that takes the keyboard focus and stands for a group of controls
// to assistive technology: a screen reader reads its accessible name when the
// focus comes to it, and again whenever the name changes while it keeps the
// focus. Qt offers no announcement event, and screen readers ignore name
// changes of plain labels, so this is how a new question or a score is heard.
// It draws a focus frame; mouse events go to what lies under it when it
// shows no text.
class SpokenLabel : public QLabel {
    Q_OBJECT
public:
    explicit SpokenLabel(QWidget* parent);

    // Makes `text` this label's accessible name and gives it the focus, so
    // that it is read out now, even when the name is the same as before.
    void speak(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace studyhop
