#include "window/form.h"

#include <QCloseEvent>

namespace studyhop {

Form::Form(WindowOwner& owner, WindowId id) : QWidget(nullptr), m_owner(owner), m_id(id) {}

void Form::closeEvent(QCloseEvent* event) {
    event->accept();
    unloadSelf();
}

}  // namespace studyhop
