#pragma once
// Holds one window that is created when first needed and deleted when the agent closes
// it; the next request creates a fresh one. The window is a top-level window owned by an
// owner window, so it stays in front of its owner and goes when the owner goes.
#include <QPointer>
#include <QWidget>

#include <functional>

namespace forms {

class WindowSlot {
public:
    // make builds the window with the given owner (it may be null: a window of its own).
    using Factory = std::function<QWidget*(QWidget* owner)>;
    explicit WindowSlot(Factory make) : make_(std::move(make)) {}
    ~WindowSlot();
    WindowSlot(const WindowSlot&) = delete;
    WindowSlot& operator=(const WindowSlot&) = delete;

    // Windows made from now on belong to owner.
    void setOwner(QWidget* owner) { owner_ = owner; }
    QWidget* owner() const { return owner_; }
    // The open window, or null.
    QWidget* window() const { return window_; }
    // Creates the window when there is none, without showing it.
    QWidget* ensure();
    // Creates when needed, shows, raises and activates it.
    QWidget* show();
    // Deletes the window now, when there is one.
    void destroy();

private:
    Factory make_;
    QPointer<QWidget> owner_;
    QPointer<QWidget> window_;
};

// The typed form of WindowSlot.
template <class W> class WindowHost {
public:
    explicit WindowHost(std::function<W*(QWidget* owner)> make)
        : slot_([make = std::move(make)](QWidget* owner) -> QWidget* { return make(owner); }) {}
    void setOwner(QWidget* owner) { slot_.setOwner(owner); }
    W* window() const { return static_cast<W*>(slot_.window()); }
    W* ensure() { return static_cast<W*>(slot_.ensure()); }
    W* show() { return static_cast<W*>(slot_.show()); }
    void destroy() { slot_.destroy(); }

private:
    WindowSlot slot_;
};

// Brings a window to the front and gives it the focus.
void BringToFront(QWidget* window);

} // namespace forms
