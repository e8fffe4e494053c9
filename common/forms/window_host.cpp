#include "common/forms/window_host.h"

namespace forms {

WindowSlot::WindowSlot(Owner owner, Factory make, QObject* parent)
    : QObject(parent), owner_(std::move(owner)), make_(std::move(make)) {}

WindowSlot::~WindowSlot() {
    delete window_.data();
}

QWidget* WindowSlot::show() {
    if (!window_) {
        QWidget* owner = owner_ ? owner_() : nullptr;
        QWidget* w = make_(owner);
        if (!w) return nullptr;
        if (owner && w->parentWidget() != owner) w->setParent(owner, w->windowFlags() | Qt::Window);
        w->setAttribute(Qt::WA_DeleteOnClose);
        window_ = w;
    }
    // A window that shows without activating (one out of sight) is left where it is.
    if (window_->testAttribute(Qt::WA_ShowWithoutActivating))
        window_->show();
    else
        BringToFront(window_);
    return window_;
}

QWidget* WindowSlot::showAfresh() {
    if (window_) {
        window_->close();
        delete window_.data(); // now, not when the event loop comes round
    }
    return show();
}

void WindowSlot::close() {
    if (window_) window_->close();
}

void BringToFront(QWidget* window) {
    if (!window) return;
    if (window->isMinimized()) window->showNormal();
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace forms
