#pragma once
// One window of a kind, made when it is first asked for and forgotten when it closes (it
// deletes itself then); the next request makes a fresh one. Each window is made for the
// owner window that `owner` names at that moment (null: a window of its own), so it stays in
// front of its owner and goes with it; a window still open when the host goes goes too.
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace forms {

class WindowSlot : public QObject {
public:
    using Owner = std::function<QWidget*()>;
    using Factory = std::function<QWidget*(QWidget* owner)>;
    // make builds the window for the given owner; parent owns the slot (it may be null).
    WindowSlot(Owner owner, Factory make, QObject* parent = nullptr);
    ~WindowSlot() override;

    // The open window, or null.
    QWidget* window() const { return window_; }
    // Makes the window when there is none; shows, raises and activates it.
    QWidget* show();
    // Closes and deletes the open window, when there is one, and shows a fresh one.
    QWidget* showAfresh();
    // Closes the open window, when there is one (it deletes itself).
    void close();

private:
    Owner owner_;
    Factory make_;
    QPointer<QWidget> window_;
};

// The typed form of WindowSlot.
template <class W> class WindowHost : public WindowSlot {
public:
    WindowHost(Owner owner, std::function<W*(QWidget* owner)> make, QObject* parent = nullptr)
        : WindowSlot(
              std::move(owner),
              [make = std::move(make)](QWidget* owner) -> QWidget* { return make(owner); },
              parent) {}
    W* window() const { return static_cast<W*>(WindowSlot::window()); }
    W* show() { return static_cast<W*>(WindowSlot::show()); }
    W* showAfresh() { return static_cast<W*>(WindowSlot::showAfresh()); }
};

// Brings a window to the front and gives it the focus.
void BringToFront(QWidget* window);

} // namespace forms
