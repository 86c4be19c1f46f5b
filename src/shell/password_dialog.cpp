#include "shell/password_dialog.h"

#include "ui/controls.h"
#include "ui/twips.h"
#include "window/shared_state.h"

namespace studyhop {

Form5::Form5(const WindowContext& context)
    : Form(context, WindowId::Form5, QStringLiteral("管理"), 4110, 585) {
    Label1 = makeLabel(this, "Label1", QStringLiteral("パスワード"), 120, 120, 975, 255);
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    placeTwips(Text1, 1200, 120, 1455, 270);
    Command1 = makeButton(this, "Command1", QStringLiteral("ＯＫ"), 2880, 120, 1095, 375);
    connect(Command1, &QPushButton::clicked, this, &Form5::Command1_Click);
    onKeyDown(Text1, [this](KeyDown key) {
        Text1_KeyDown(key.keyCode, key.shift);
        return key.keyCode == kKeyEnter;
    });
    // No cancel button: Esc closes the dialog as its frame does, checking nothing.
    setDialogKeys(nullptr, nullptr);
    Text1->setAccessibleName(QStringLiteral("パスワード"));
    Command1->setAccessibleName(QStringLiteral("ＯＫ"));
    Text1->setFocus();
}

void Form5::Command1_Click() {
    checkPassword();
}

void Form5::Text1_KeyDown(int keyCode, int /*shift*/) {
    if (keyCode == kKeyEnter) {
        checkPassword();
    }
}

void Form5::checkPassword() {
    if (Text1->text() == QStringLiteral("pelican")) {
        // The main window follows Mode and uncovers its strip.
        m_state.setMode(1);
    }
    unloadSelf();
}

}  // namespace studyhop
