#include "widget_wait_hook.h"

#include <QApplication>

namespace shell {

void WidgetWaitHook::beginWait() {
    if (depth_++ > 0) return;
    focus_ = QApplication::focusWidget();
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->isEnabled()) {
            w->setEnabled(false);
            disabled_.append(w);
        }
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void WidgetWaitHook::endWait() {
    if (depth_ == 0 || --depth_ > 0) return;
    for (const QPointer<QWidget>& w : disabled_)
        if (w) w->setEnabled(true);
    disabled_.clear();
    if (focus_ && focus_->isEnabled() && focus_->isVisible()) focus_->setFocus();
    focus_ = nullptr;
    QApplication::restoreOverrideCursor();
}

} // namespace shell
