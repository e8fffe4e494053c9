#include "itinerary/forms/hosted_print_form.h"

#include "itinerary/forms/print_form_host.h"

#include <QMdiSubWindow>

namespace itin {

void HostedPrintForm::unload() {
    host_.unload();
}

void HostedPrintForm::show() {
    host_.show();
}

ItineraryRecord* HostedPrintForm::record() {
    P_GuoNei* form = host_.form();
    return form ? &form->record() : nullptr;
}

ItineraryRecord* HostedPrintForm::loadRecord() {
    P_GuoNei* form = host_.ensureLoaded();
    return form ? &form->record() : nullptr;
}

QWidget* HostedPrintForm::window() const {
    P_GuoNei* form = host_.form();
    if (!form) return nullptr;
    // In the main window the form sits in an MDI sub-window.
    return qobject_cast<QMdiSubWindow*>(form->parentWidget()) ? form->parentWidget()
                                                              : static_cast<QWidget*>(form);
}

QRect HostedPrintForm::frame() const {
    const QWidget* frame = window();
    if (!frame) return {};
    const QPoint at =
        frame->parentWidget() ? frame->parentWidget()->mapToGlobal(frame->pos()) : frame->pos();
    return {at, frame->size()};
}

int HostedPrintForm::platformIndex() const {
    const P_GuoNei* form = host_.form();
    return form ? form->platformIndex() : 0;
}

QString HostedPrintForm::platformName() const {
    const P_GuoNei* form = host_.form();
    return form ? form->platformName() : QString();
}

void HostedPrintForm::setStatusText(const QString& text) {
    if (P_GuoNei* form = host_.form()) form->setStatusText(text);
}

void HostedPrintForm::setEnabled(bool on) {
    if (P_GuoNei* form = host_.form()) form->setEnabled(on);
}

QPoint HostedPrintForm::origin() const {
    const P_GuoNei* form = host_.form();
    return form ? form->mapToGlobal(QPoint(0, 0)) : QPoint();
}

QSize HostedPrintForm::windowSize() const {
    const QWidget* frame = window();
    return frame ? frame->frameGeometry().size() : QSize();
}

void HostedPrintForm::moveWindow(const QPoint& to) {
    if (QWidget* frame = window()) frame->move(to);
}

} // namespace itin
