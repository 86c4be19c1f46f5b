#pragma once

#include <QLabel>
#include <QPushButton>
#include <array>

#include "ui/file_list_box.h"
#include "window/form.h"

namespace studyhop {

// The main window: title picture, four buttons, and the strip below the
// client area that shows the shared state in maintenance mode.
class Form1 : public Form {
    Q_OBJECT
public:
    explicit Form1(const WindowContext& context);

    void Form_Load() override;
    void Command1_Click(int index);
    void Command1_KeyDown(int index, int keyCode, int shift);

    QLabel* Picture1;
    std::array<QPushButton*, 4> Command1{};
    // The strip's text boxes only ever show values: nobody types into them.
    QLabel* Text1;
    QLabel* Text2;
    QLabel* Text4;
    QLabel* Tex1;
    QLabel* Tex2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    FileListBox* File1;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void showStrip();
};

}  // namespace studyhop
