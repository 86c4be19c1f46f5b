#include "ui/qt_prompt.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

namespace studyhop {

PromptAnswer QtPrompt::ask(const QString& text, const QString& title, PromptButtons buttons) {
    // An unloaded window is hidden at once and deleted later: a box never
    // takes a hidden window for its parent.
    QWidget* parent = QApplication::activeWindow();
    if (parent != nullptr && !parent->isVisible()) {
        parent = nullptr;
    }
    // On the heap and watched: should its window be deleted while the box is
    // open, the box goes with it and nothing touches it afterwards.
    QPointer<QMessageBox> box =
        new QMessageBox(QMessageBox::NoIcon, title, text, QMessageBox::NoButton, parent);
    QPushButton* ok = box->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    QPushButton* cancel = nullptr;
    if (buttons == PromptButtons::Ok) {
        box->setEscapeButton(ok);
    } else {
        cancel = box->addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
    }
    box->setDefaultButton(buttons == PromptButtons::OkCancelSafe ? cancel : ok);
    // Read out by screen readers as title and text.
    box->setAccessibleName(title);
    box->setAccessibleDescription(text);
    box->exec();
    if (box.isNull()) {
        return PromptAnswer::Cancel;
    }
    const PromptAnswer answer =
        box->clickedButton() == ok ? PromptAnswer::Ok : PromptAnswer::Cancel;
    box->deleteLater();
    return answer;
}

}  // namespace studyhop
