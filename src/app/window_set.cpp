#include "app/window_set.h"

#include <QApplication>
#include <QPointer>
#include <vector>

#include "editor/editor_window.h"
#include "quiz/quiz_window.h"
#include "quiz/result_window.h"
#include "shell/file_chooser.h"
#include "shell/main_window.h"
#include "shell/new_file_dialog.h"
#include "shell/password_dialog.h"
#include "shell/settings_dialog.h"
#include "window/form.h"
#include "ui/window_placement.h"
#include "window/shared_state.h"

namespace studyhop {

WindowSet::WindowSet(Prompt& prompt, FileSystem& fs, std::function<void()> quit)
    : m_prompt(prompt),
      m_fs(fs),
      m_quit(std::move(quit)),
      m_state(std::make_unique<SharedState>()) {}

WindowSet::~WindowSet() = default;

std::unique_ptr<Form> WindowSet::create(WindowId id) {
    const WindowContext context{*this, *m_state, m_prompt, m_fs, m_random, *m_journal};
    switch (id) {
        case WindowId::Form1:
            return std::make_unique<Form1>(context);
        case WindowId::Form2:
            return std::make_unique<Form2>(context);
        case WindowId::Form3:
            return std::make_unique<Form3>(context);
        case WindowId::Form7:
            return std::make_unique<Form7>(context);
        case WindowId::Form4:
            return std::make_unique<Form4>(context);
        case WindowId::Form6:
            return std::make_unique<Form6>(context);
        case WindowId::Form5:
            return std::make_unique<Form5>(context);
        case WindowId::System:
            return std::make_unique<System>(context);
    }
    return nullptr;
}

QWidget* WindowSet::show(WindowId id) {
    if (Form* window = static_cast<Form*>(loaded(id))) {
        window->show();
        window->raise();
        window->activateWindow();
        return window;
    }
    std::unique_ptr<Form> created = create(id);
    if (created == nullptr) {
        return nullptr;
    }
    Form* window = created.get();
    // The window that asks for another is its opener: the new one opens on
    // its screen.
    const QWidget* opener = QApplication::activeWindow();
    m_windows[id] = std::move(created);
    // Form_Load may unload the window again (a file it cannot use).
    QPointer<Form> guard(window);
    window->Form_Load();
    if (guard.isNull() || loaded(id) != window) {
        return nullptr;
    }
    // The results open beside the quiz, which they must not cover; every
    // other window centred on its opener's screen.
    const QWidget* anchor = id == WindowId::Form6 ? loaded(WindowId::Form4) : nullptr;
    placeNewWindow(window, opener != window ? opener : nullptr, anchor);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void WindowSet::unload(WindowId id) {
    const auto it = m_windows.find(id);
    if (it == m_windows.end()) {
        return;
    }
    Form* window = it->second.release();
    m_windows.erase(it);
    // Hidden at once, so no message box takes it for a parent; deleted once
    // control is back in the event loop, as the window may be unloading
    // itself from one of its own handlers.
    window->hide();
    window->deleteLater();
}

void WindowSet::unload(const QWidget& window) {
    const auto* form = qobject_cast<const Form*>(&window);
    if (form != nullptr && loaded(form->windowId()) == form) {
        unload(form->windowId());
    }
}

bool WindowSet::isLoaded(WindowId id) const {
    return m_windows.count(id) != 0;
}

QWidget* WindowSet::loaded(WindowId id) const {
    const auto it = m_windows.find(id);
    return it == m_windows.end() ? nullptr : it->second.get();
}

bool WindowSet::queryUnload(WindowId id) {
    const auto it = m_windows.find(id);
    return it == m_windows.end() || it->second->queryClose();
}

bool WindowSet::queryEndProgram() {
    // A window's question may unload others; the ids are taken first.
    std::vector<WindowId> ids;
    for (const auto& entry : m_windows) {
        ids.push_back(entry.first);
    }
    for (WindowId id : ids) {
        if (!queryUnload(id)) {
            return false;
        }
    }
    return true;
}

void WindowSet::endProgram() {
    while (!m_windows.empty()) {
        unload(m_windows.begin()->first);
    }
    if (m_quit) {
        m_quit();
    }
}

}  // namespace studyhop
