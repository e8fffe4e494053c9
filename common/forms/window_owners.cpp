#include "common/forms/window_owners.h"

#include <QApplication>
#include <QEvent>
#include <QMargins>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace forms {
namespace {

// The frame the window manager adds around a window: the frame of a window that has one
// already (the owner's), else room for a title bar and borders.
QMargins frameMargins(const QWidget* w, const QWidget* owner) {
    for (const QWidget* shown : {w, owner}) {
        if (!shown) continue;
        const QRect frame = shown->frameGeometry(), inner = shown->geometry();
        if (frame != inner)
            return {inner.left() - frame.left(), inner.top() - frame.top(),
                    frame.right() - inner.right(), frame.bottom() - inner.bottom()};
    }
    return {6, 32, 6, 6};
}

} // namespace

WindowOwners::WindowOwners() {
    qApp->installEventFilter(this);
}

WindowOwners::~WindowOwners() {
    if (qApp) qApp->removeEventFilter(this);
}

bool WindowOwners::eventFilter(QObject* watched, QEvent* event) {
    // The window is created by now and not yet mapped, so the hint is there when the
    // window manager first sees it.
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* w = static_cast<QWidget*>(watched);
        if (w->isWindow()) {
            QWidget* owner = OwnerOf(w, main_);
            if (owner) HintOwner(w, owner);
            if (owner || w->windowType() == Qt::Window) FitOnScreen(w);
        }
    }
    return QObject::eventFilter(watched, event);
}

QWidget* OwnerOf(const QWidget* w, QWidget* main) {
    if (!w || !w->isWindow() || w == main) return nullptr;
    const Qt::WindowType type = w->windowType();
    if (type != Qt::Window && type != Qt::Dialog) return nullptr;
    QWidget* owner = w->parentWidget() ? w->parentWidget()->window() : main;
    return owner == w ? nullptr : owner;
}

void HintOwner(QWidget* w, QWidget* owner) {
    if (!w || !owner) return;
    owner = owner->window();
    owner->winId();
    w->winId();
    QWindow* mine = w->windowHandle();
    QWindow* theirs = owner->windowHandle();
    if (mine && theirs && mine != theirs && mine->transientParent() != theirs)
        mine->setTransientParent(theirs);
}

QRect FitInside(const QRect& frame, const QRect& area) {
    QRect r(frame.topLeft(), frame.size().boundedTo(area.size()));
    if (r.right() > area.right()) r.moveRight(area.right());
    if (r.bottom() > area.bottom()) r.moveBottom(area.bottom());
    if (r.left() < area.left()) r.moveLeft(area.left());
    if (r.top() < area.top()) r.moveTop(area.top());
    return r;
}

void FitOnScreen(QWidget* w) {
    QScreen* screen = w->screen();
    if (!screen || w->isMaximized() || w->isFullScreen()) return;
    QWidget* owner = w->parentWidget() ? w->parentWidget()->window() : nullptr;
    const QMargins m = frameMargins(w, owner);
    const QRect frame = w->geometry().marginsAdded(m);
    const QRect fitted = FitInside(frame, screen->availableGeometry());
    if (fitted.size() != frame.size())
        w->resize(fitted.marginsRemoved(m).size().expandedTo(w->minimumSize()));
    // A window nobody placed is placed by the window manager, inside the screen.
    if (w->testAttribute(Qt::WA_Moved) && fitted.topLeft() != frame.topLeft())
        w->move(fitted.topLeft());
}

} // namespace forms
