#include "ui/qt_prompt.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace studyhop {

PromptAnswer QtPrompt::ask(const QString& text, const QString& title, PromptButtons buttons) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    if (buttons == PromptButtons::OkCancel) {
        box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
    } else {
        box.setEscapeButton(ok);
    }
    box.setDefaultButton(ok);
    box.exec();
    return box.clickedButton() == ok ? PromptAnswer::Ok : PromptAnswer::Cancel;
}

}  // namespace studyhop
