#pragma once

#include <QLabel>
#include <QString>
#include <functional>

#include "ui/key_codes.h"

class QApplication;
class QComboBox;
class QListWidget;
class QPushButton;
class QWidget;

namespace studyhop {

// A label with a click event.
class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

// A command button at a place given in twips. Like a classic command button it
// is clicked by Enter as well as by Space while it has the focus.
QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, int left,
                        int top, int width, int height);
QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption, int left, int top,
                  int width, int height);
ClickableLabel* makeClickableLabel(QWidget* parent, const char* name, int left, int top, int width,
                                   int height);

// Calls `handler` with the translated key for every key pressed while
// `widget` has the focus; the handler returns true when it used the key.
void onKeyDown(QWidget* widget, std::function<bool(KeyDown)> handler);

// Makes a list's row current and selected when the list gets the focus (the
// first row when none is), and has a screen reader read that row: a list
// that only holds the focus is read as "list with N items" and nothing more.
void readRowOnFocus(QListWidget* list);

// Gives a combo box what a screen reader needs to read its value: a label
// that is never shown, leads and names it as "caption value" (screen readers
// name a combo box by its label and read a closed one's value from its list,
// which Qt 6.4 does not offer them), and a list whose selection follows a
// change made while the box has the focus, so that the change is read out too.
void nameComboBox(QComboBox* combo, const QString& caption);

// Sets the program font: a Japanese sans-serif, whatever fonts are installed.
void applyProgramFont(QApplication& app);
// The font the designs name "ＭＳ Ｐゴシック", falling back to a Japanese sans-serif.
QFont gothicFont(double pointSize);

// Makes the label's font smaller until its caption fits its designed width.
void shrinkToFit(QLabel* label);

// Colours of a label: text on background.
void setLabelColors(QLabel* label, const QColor& text, const QColor& background);
QColor buttonFaceColor();

}  // namespace studyhop
