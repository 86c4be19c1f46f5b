#pragma once

#include <QWidget>

#include "window/window_owner.h"

namespace studyhop {

// The base of every window: it knows its owner and its id, loads through
// Form_Load after the owner has registered it, and is unloaded when the user
// closes it with the window frame.
class Form : public QWidget {
    Q_OBJECT
public:
    Form(WindowOwner& owner, WindowId id);

    WindowId windowId() const { return m_id; }
    virtual void Form_Load() {}

protected:
    void closeEvent(QCloseEvent* event) override;
    // Unloads this very window; a newer window of the same id stays.
    void unloadSelf() { m_owner.unload(*this); }

    WindowOwner& m_owner;

private:
    WindowId m_id;
};

}  // namespace studyhop
