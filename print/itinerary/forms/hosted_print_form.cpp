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

QRect HostedPrintForm::frame() const {
    P_GuoNei* form = host_.form();
    if (!form) return {};
    // In the main window the frame is the MDI sub-window around the form.
    QWidget* frame = qobject_cast<QMdiSubWindow*>(form->parentWidget())
                         ? form->parentWidget()
                         : static_cast<QWidget*>(form);
    const QPoint at =
        frame->parentWidget() ? frame->parentWidget()->mapToGlobal(frame->pos()) : frame->pos();
    return {at, frame->size()};
}

} // namespace itin
