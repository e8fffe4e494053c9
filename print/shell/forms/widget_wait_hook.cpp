#include "widget_wait_hook.h"

#include <QApplication>
#include <QEvent>

namespace shell {
namespace {

bool isAgentInput(const QEvent* e) {
    if (!e->spontaneous()) return false;
    switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::Close:
    case QEvent::ContextMenu:
        return true;
    default:
        return false;
    }
}

} // namespace

void WidgetWaitHook::beginWait() {
    if (depth_++ > 0) return;
    qApp->installEventFilter(this);
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void WidgetWaitHook::endWait() {
    if (depth_ == 0 || --depth_ > 0) return;
    qApp->removeEventFilter(this);
    QApplication::restoreOverrideCursor();
}

bool WidgetWaitHook::eventFilter(QObject* watched, QEvent* event) {
    if (depth_ > 0 && isAgentInput(event)) {
        if (event->type() == QEvent::Close) event->ignore();
        ++dropped_;
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace shell
