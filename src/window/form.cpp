#include "window/form.h"

#include <QCloseEvent>

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
}

void Form::closeEvent(QCloseEvent* event) {
    event->accept();
    unloadSelf();
}

}  // namespace studyhop
