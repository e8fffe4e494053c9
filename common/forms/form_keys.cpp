#include "common/forms/form_keys.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTextEdit>

#include <algorithm>

namespace forms {
namespace {

class DefaultButtonFilter : public QObject {
public:
    DefaultButtonFilter(QWidget* window, QPushButton* button) : QObject(window), button_(button) {}

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() != QEvent::KeyPress || !button_) return QObject::eventFilter(watched, e);
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter) return QObject::eventFilter(watched, e);
        if (qobject_cast<QTextEdit*>(watched) || qobject_cast<QPlainTextEdit*>(watched))
            return QObject::eventFilter(watched, e);
        if (!button_->isEnabled() || !button_->isVisible()) return true;
        const QPointer<QPushButton> button(button_);
        button->setFocus(Qt::OtherFocusReason);
        if (button) button->click();
        return true;
    }

private:
    QPointer<QPushButton> button_;
};

} // namespace

void SetDefaultButton(QWidget* window, QPushButton* button) {
    button->setDefault(true);
    auto* filter = new DefaultButtonFilter(window, button);
    // Every control of the window hears Enter first; the filter sees it there.
    window->installEventFilter(filter);
    for (QWidget* w : window->findChildren<QWidget*>())
        w->installEventFilter(filter);
}

void OrderTabsByLayout(QWidget* window) {
    if (window->layout()) window->layout()->activate();
    struct Placed {
        QWidget* w;
        QRect at;
    };
    QList<Placed> controls;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!(w->focusPolicy() & Qt::TabFocus) || w->focusProxy() || w->isWindow()) continue;
        controls.append({w, QRect(w->mapTo(window, QPoint(0, 0)), w->size())});
    }
    // Rows: a control whose middle lies within the previous one's height is on its row.
    std::sort(controls.begin(), controls.end(), [](const Placed& a, const Placed& b) {
        return a.at.center().y() < b.at.center().y();
    });
    QList<QList<Placed>> rows;
    for (const Placed& p : controls) {
        if (rows.isEmpty() || p.at.center().y() > rows.last().first().at.bottom())
            rows.append({p});
        else
            rows.last().append(p);
    }
    QWidget* previous = nullptr;
    for (QList<Placed>& row : rows) {
        std::sort(row.begin(), row.end(),
                  [](const Placed& a, const Placed& b) { return a.at.x() < b.at.x(); });
        for (const Placed& p : row) {
            if (previous) QWidget::setTabOrder(previous, p.w);
            previous = p.w;
        }
    }
}

} // namespace forms
