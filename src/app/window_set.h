#pragma once

#include <functional>
#include <map>
#include <memory>

#include "window/change_journal.h"
#include "window/random_source.h"
#include "window/window_owner.h"

namespace studyhop {

class FileSystem;
class Form;
class Prompt;
class SharedState;

// The program's windows: the one place that knows every window class. It
// holds what the windows share for the whole run: the shared state, the
// message boxes and the random generator.
class WindowSet : public WindowOwner {
public:
    // `quit` is called by endProgram after every window is closed.
    WindowSet(Prompt& prompt, FileSystem& fs, std::function<void()> quit);
    ~WindowSet() override;

    QWidget* show(WindowId id) override;
    void unload(WindowId id) override;
    void unload(const QWidget& window) override;
    bool isLoaded(WindowId id) const override;
    QWidget* loaded(WindowId id) const override;
    void endProgram() override;
    bool queryUnload(WindowId id) override;
    bool queryEndProgram() override;

    // Where the windows record changes that remove data; none by default.
    // `journal` must outlive the windows.
    void setJournal(ChangeJournal& journal) { m_journal = &journal; }

    SharedState& state() { return *m_state; }
    RandomSource& random() { return m_random; }

private:
    std::unique_ptr<Form> create(WindowId id);

    Prompt& m_prompt;
    FileSystem& m_fs;
    std::function<void()> m_quit;
    std::unique_ptr<SharedState> m_state;
    RandomSource m_random;
    NoChangeJournal m_noJournal;
    ChangeJournal* m_journal = &m_noJournal;
    // The loaded windows, owned here; an unloaded one is handed to Qt for a
    // deferred delete, as it may be unloading itself from its own handler.
    std::map<WindowId, std::unique_ptr<Form>> m_windows;
};

}  // namespace studyhop
