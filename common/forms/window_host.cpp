#include "common/forms/window_host.h"

namespace forms {

WindowSlot::~WindowSlot() {
    destroy();
}

QWidget* WindowSlot::ensure() {
    if (window_) return window_;
    QWidget* w = make_(owner_);
    if (!w) return nullptr;
    if (owner_ && w->parentWidget() != owner_) w->setParent(owner_, w->windowFlags() | Qt::Window);
    w->setAttribute(Qt::WA_DeleteOnClose);
    window_ = w;
    return w;
}

QWidget* WindowSlot::show() {
    QWidget* w = ensure();
    if (w) BringToFront(w);
    return w;
}

void WindowSlot::destroy() {
    delete window_.data();
}

void BringToFront(QWidget* window) {
    if (!window) return;
    if (window->isMinimized()) window->showNormal();
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace forms
