#include "window/form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>

#include "ui/twips.h"

namespace studyhop {

namespace {

// In the order of WindowId.
constexpr const char* kWindowNames[] = {"Form1", "Form2", "Form3", "Form4",
                                        "Form5", "Form6", "Form7", "System"};

}  // namespace

Form::Form(const WindowContext& context, WindowId id, const QString& title, int clientWidthTwips,
           int clientHeightTwips)
    : QWidget(nullptr),
      m_owner(context.owner),
      m_state(context.state),
      m_prompt(context.prompt),
      m_fs(context.fs),
      m_journal(context.journal),
      m_id(id) {
    setObjectName(QString::fromLatin1(kWindowNames[static_cast<int>(id)]));
    setWindowTitle(title);
    setClientSizeTwips(this, clientWidthTwips, clientHeightTwips);
    // Without it, the focus frame appears only after the first Tab, and a
    // user cannot see which button Enter presses.
    // Qt clears it on every focus change but Tab's; it is set again at once.
    setAttribute(Qt::WA_KeyboardFocusChange);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now != nullptr && now->window() == this) {
            setAttribute(Qt::WA_KeyboardFocusChange);
        }
    });
}

void Form::closeEvent(QCloseEvent* event) {
    // Unloading hides the window; a window that stays (a question in the
    // way, a quiz that goes on with its retest) stays open.
    event->ignore();
    closeFromFrame();
}

void Form::setDialogKeys(QPushButton* accept, QPushButton* cancel) {
    m_dialogKeys = true;
    m_accept = accept;
    m_cancel = cancel;
}

void Form::keyPressEvent(QKeyEvent* event) {
    // Keys reach the window only when the focused control did not use them.
    if (m_dialogKeys && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (event->key() == Qt::Key_Escape) {
            event->accept();
            if (m_cancel != nullptr) {
                m_cancel->click();
            } else {
                closeFromFrame();
            }
            return;
        }
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
            m_accept != nullptr && m_accept->isVisible() && m_accept->isEnabled()) {
            event->accept();
            m_accept->click();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

}  // namespace studyhop
