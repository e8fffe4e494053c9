#include "common/forms/held_input_wait.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace forms {
namespace {

bool isAgentInput(const QEvent* e) {
    switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::ContextMenu:
        return true;
    default:
        return false;
    }
}

} // namespace

HeldInputWait::HeldInputWait() = default;
HeldInputWait::~HeldInputWait() {
    if (depth_ > 0) qApp->removeEventFilter(this);
}

void HeldInputWait::beginWait() {
    if (depth_++ > 0) return;
    qApp->installEventFilter(this);
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void HeldInputWait::waitLoop(QEventLoop& loop) {
    loops_.append(&loop);
}

void HeldInputWait::abandonWhenClosed(QWidget* main, std::function<void()> then) {
    main_ = main;
    onAbandon_ = std::move(then);
}

void HeldInputWait::abandon() {
    if (abandoned_) return;
    abandoned_ = true;
    if (onAbandon_) onAbandon_();
    for (const QPointer<QEventLoop>& loop : std::as_const(loops_))
        if (loop) loop->quit();
}

void HeldInputWait::endWait() {
    if (!loops_.isEmpty()) loops_.removeLast();
    if (depth_ == 0 || --depth_ > 0) return;
    qApp->removeEventFilter(this);
    QApplication::restoreOverrideCursor();
    deliverHeld();
}

bool HeldInputWait::eventFilter(QObject* watched, QEvent* event) {
    if (depth_ == 0) return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::Close && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->isWindow()) {
        event->ignore();
        closes_.append(static_cast<QWidget*>(watched));
        ++held_;
        if (main_ && watched == main_) abandon();
        return true;
    }
    // Input from the agent (the platform's, or a shortcut it triggers) waits for the end.
    if (isAgentInput(event) && (event->spontaneous() || event->type() == QEvent::Shortcut)) {
        input_.push_back({watched, std::unique_ptr<QEvent>(event->clone())});
        ++held_;
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void HeldInputWait::deliverHeld() {
    // Posted, so they arrive after the code that waited has finished with its reply.
    std::vector<Held> input = std::move(input_);
    input_.clear();
    if (abandoned_) input.clear(); // the program is closing: the keys and clicks go with it
    for (Held& h : input)
        if (h.receiver) QCoreApplication::postEvent(h.receiver, h.event.release());
    const QList<QPointer<QWidget>> closes = std::move(closes_);
    closes_.clear();
    for (const QPointer<QWidget>& w : closes)
        if (w) QMetaObject::invokeMethod(w, &QWidget::close, Qt::QueuedConnection);
}

} // namespace forms
