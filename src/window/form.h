#pragma once

#include <QWidget>

#include "window/change_journal.h"
#include "window/window_context.h"
#include "window/window_owner.h"

namespace studyhop {

// The base of every window: it knows its owner and its id, loads through
// Form_Load after the owner has registered it, and is unloaded when the user
// closes it with the window frame. Its object name is its id's name.
class Form : public QWidget {
    Q_OBJECT
public:
    Form(const WindowContext& context, WindowId id, const QString& title, int clientWidthTwips,
         int clientHeightTwips);

    WindowId windowId() const { return m_id; }
    virtual void Form_Load() {}

protected:
    void closeEvent(QCloseEvent* event) override;
    // Unloads this very window; a newer window of the same id stays.
    void unloadSelf() { m_owner.unload(*this); }

    WindowOwner& m_owner;
    SharedState& m_state;
    Prompt& m_prompt;
    FileSystem& m_fs;
    ChangeJournal& m_journal;

private:
    WindowId m_id;
};

}  // namespace studyhop
