#pragma once

#include <QWidget>

#include "window/change_journal.h"
#include "window/window_context.h"
#include "window/window_owner.h"

class QPushButton;

namespace studyhop {

// The base of every window: it knows its owner and its id, and loads through
// Form_Load after the owner has registered it. Closing it with the window
// frame does what its cancel or exit button does (closeFromFrame); the
// window closes only when that unloads it. Its object name is its id's name.
// The focused control shows its focus frame from the first paint on.
class Form : public QWidget {
    Q_OBJECT
public:
    Form(const WindowContext& context, WindowId id, const QString& title, int clientWidthTwips,
         int clientHeightTwips);

    WindowId windowId() const { return m_id; }
    virtual void Form_Load() {}
    // Whether the window may close now; a window that holds input not yet
    // saved asks the user. Unloading does not ask: the owner's caller does.
    virtual bool queryClose() { return true; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // What closing the window with its frame does; by default it unloads.
    virtual void closeFromFrame() { unloadSelf(); }
    // Esc clicks `cancel` (or, for nullptr, does what the frame does) and an
    // Enter that no control used clicks `accept`, as in a dialog.
    void setDialogKeys(QPushButton* accept, QPushButton* cancel);
    // Unloads this very window; a newer window of the same id stays.
    void unloadSelf() { m_owner.unload(*this); }

    WindowOwner& m_owner;
    SharedState& m_state;
    Prompt& m_prompt;
    FileSystem& m_fs;
    ChangeJournal& m_journal;

private:
    WindowId m_id;
    bool m_dialogKeys = false;
    QPushButton* m_accept = nullptr;
    QPushButton* m_cancel = nullptr;
};

}  // namespace studyhop
