#pragma once

class QWidget;

namespace studyhop {

enum class WindowId { Form1, Form2, Form3, Form4, Form5, Form6, Form7, System };

// Owns every window of the program. A window is created when first shown and
// brought to the front with its state unchanged when shown again; unloading
// destroys it, so the next show starts from scratch.
class WindowOwner {
public:
    virtual ~WindowOwner() = default;

    // Shows the window, loading it first if needed. Returns the window, or
    // nullptr when it unloaded itself while loading.
    virtual QWidget* show(WindowId id) = 0;
    // Unloads the window loaded under `id`, if any.
    virtual void unload(WindowId id) = 0;
    // Unloads `window` if it is still loaded; nothing when it was unloaded
    // already and another window of its id has taken its place.
    virtual void unload(const QWidget& window) = 0;
    virtual bool isLoaded(WindowId id) const = 0;
    // The loaded window, or nullptr.
    virtual QWidget* loaded(WindowId id) const = 0;
    // Ends the program at once: every window closes, nothing is saved.
    virtual void endProgram() = 0;
    // Whether the window loaded under `id` may close now: one that holds
    // input not yet saved asks the user. True when none is loaded. Callers
    // ask before an unload that would drop such input.
    virtual bool queryUnload(WindowId id) = 0;
    // queryUnload for every loaded window, until one says no.
    virtual bool queryEndProgram() = 0;
};

// The loaded window as its own class, or nullptr.
template <class W>
W* loadedAs(const WindowOwner& owner, WindowId id) {
    return qobject_cast<W*>(owner.loaded(id));
}
template <class W>
W* showAs(WindowOwner& owner, WindowId id) {
    return qobject_cast<W*>(owner.show(id));
}

}  // namespace studyhop
