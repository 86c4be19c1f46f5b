#pragma once

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "window/form.h"

namespace studyhop {

// The settings dialog: the rate filter and the question order, taken from and
// stored into Tex1 and Tex2 and the settings file.
class System : public Form {
    Q_OBJECT
public:
    explicit System(const WindowContext& context);

    void Form_Load() override;
    void Command1_Click();  // OK
    void Command2_Click();  // cancel

    QComboBox* Combo1;
    QComboBox* Combo2;
    QLabel* Label1;
    QLabel* Label2;
    QPushButton* Command1;
    QPushButton* Command2;

private:
    // The positions shown when the dialog opened: OK writes only what differs.
    int m_shownRate = -1;
    int m_shownOrder = -1;
};

}  // namespace studyhop
