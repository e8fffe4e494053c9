#include "itinerary/forms/print_form_host.h"

#include "itinerary/forms/receipt_workbench.h"
#include "itinerary/forms/twips.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace itin {

PrintFormHost::PrintFormHost(ItineraryContext& ctx, QObject* parent) : QObject(parent), ctx_(ctx) {
    InstallReceiptWorkbench(*this);
}

PrintFormHost::~PrintFormHost() {
    QPointer<QWidget> window = sub_ ? static_cast<QWidget*>(sub_) : form_.data();
    unload();
    delete window.data();
}

P_GuoNei* PrintFormHost::ensureLoaded() {
    if (form_) return form_;
    auto* form = new P_GuoNei(ctx_, &commands_);
    form_ = form;
    connect(form, &P_GuoNei::unloaded, this, &PrintFormHost::formGone);
    connect(form, &P_GuoNei::modeSwitchRequested, this, [this] { reload(); });
    // The form sits at 1470 twips from the top of its parent area, at its left edge.
    const QPoint place = TwipRect(0, 1470, 0, 0).topLeft();
    if (area_) {
        sub_ = area_->addSubWindow(form);
        sub_->setAttribute(Qt::WA_DeleteOnClose);
        sub_->setWindowTitle(form->windowTitle());
        sub_->adjustSize();
        sub_->move(place);
        sub_->hide();
    } else {
        form->setAttribute(Qt::WA_DeleteOnClose, false);
        form->move(place);
    }
    emit formLoaded(form);
    return form_;
}

P_GuoNei* PrintFormHost::show() {
    P_GuoNei* form = ensureLoaded();
    if (!form) return nullptr;
    if (sub_) {
        sub_->show();
        form->show();
        area_->setActiveSubWindow(sub_);
    } else {
        form->show();
        form->raise();
        form->activateWindow();
    }
    return form;
}

P_GuoNei* PrintFormHost::reload() {
    unload();
    return show();
}

void PrintFormHost::unload() {
    if (form_) form_->unload(); // emits unloaded, which ends in formGone
}

void PrintFormHost::formGone() {
    P_GuoNei* form = form_;
    QMdiSubWindow* sub = sub_;
    form_ = nullptr;
    sub_ = nullptr;
    if (!form) return;
    form->disconnect(this);
    // Deleted later: the unload may come from one of the form's own handlers.
    form->hide();
    if (sub) {
        sub->hide();
        sub->deleteLater();
    } else {
        form->deleteLater();
    }
    emit formUnloaded();
}

void PrintFormHost::setMdiArea(QMdiArea* area) {
    area_ = area;
}

QWidget* PrintFormHost::ownerWindow() const {
    return area_ ? area_->window() : nullptr;
}

} // namespace itin
