#include "sms/forms/sms_panel_host.h"

#include "sms/composer.h"

namespace sms {

SmsPanelHost::SmsPanelHost(SmsContext& ctx, QObject* parent) : QObject(parent), ctx_(ctx) {}

SmsPanelHost::~SmsPanelHost() {
    delete panel_;
}

P_Guonei2* SmsPanelHost::ensureLoaded() {
    if (!panel_) {
        panel_ = new P_Guonei2(ctx_, owner_);
        panel_->setAttribute(Qt::WA_DeleteOnClose);
        panel_->load();
    }
    return panel_;
}

void SmsPanelHost::show() {
    P_Guonei2* p = ensureLoaded();
    p->show();
    p->raise();
}

void SmsPanelHost::refreshFrom(const itin::ItineraryRecord& record) {
    if (!SmsRefreshDue(record)) return;
    P_Guonei2* p = ensureLoaded();
    p->setSmsText(ComposeSms(record, ctx_.account, ctx_.messages));
}

void SmsPanelHost::follow(itin::ItineraryRecord& record) {
    QPointer<SmsPanelHost> self(this);
    itin::ItineraryRecord* r = &record;
    record.setAfterChangeHook([self, r](int) {
        if (self) self->refreshFrom(*r);
    });
}

} // namespace sms
