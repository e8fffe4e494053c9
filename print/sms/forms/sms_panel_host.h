#pragma once
// Owns the SMS panel: created on first use (hidden when the print form asks for it),
// destroyed when the agent closes it, and loaded afresh the next time.
#include "sms/forms/p_guonei2.h"

#include <QObject>
#include <QPointer>

namespace sms {

class SmsPanelHost : public QObject {
    Q_OBJECT
public:
    explicit SmsPanelHost(SmsContext& ctx, QObject* parent = nullptr);
    ~SmsPanelHost() override;

    // Panels made from now on are owned by owner (the main window).
    void setOwner(QWidget* owner) { owner_ = owner; }
    // Deletes the panel now, when there is one.
    void destroy() { delete panel_.data(); }
    // The main window's "打开短信窗口": load when needed and show, no sign-in test.
    void show();
    // After every field change of the record: when PnrQuery and Date1 are both set,
    // the panel's text becomes the composed text (loading the panel, hidden, first).
    void follow(itin::ItineraryRecord& record);
    // What follow does after one change: the composed text when both fields are set.
    void refreshFrom(const itin::ItineraryRecord& record);

private:
    // Loads the panel without showing it.
    P_Guonei2* ensureLoaded();

    SmsContext& ctx_;
    QPointer<P_Guonei2> panel_;
    QPointer<QWidget> owner_;
};

} // namespace sms
