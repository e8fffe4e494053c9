#include "import/platform/order_retrieval.h"

#include "import/import_context.h"
#include "import/platform/p_login.h"
#include "import/platform/w_webfrm.h"

#include "common/fso.h"
#include "itinerary/booking_form.h"
#include "itinerary/forms/itinerary_context.h"
#include "itinerary/forms/print_form_host.h"
#include "itinerary/settings_store.h"

namespace ximport {

OrderRetrieval::OrderRetrieval(ImportContext& ctx, itin::RetrievalForm& form)
    : QObject(&ctx.printForms), ctx_(ctx), form_(form),
      window_([&host = ctx.printForms] { return host.ownerWindow(); },
              [this](QWidget* owner) { return new W_Webfrm(*this, ctx_, form_, state_, owner); }),
      signIn_([&host = ctx.printForms] { return host.ownerWindow(); },
              [this](QWidget* owner) {
                  return new P_Login(*this, ctx_, form_, state_.selectedPlatform, owner);
              }) {
    // The print form going away ends a retrieval that would write into it.
    connect(&ctx.printForms, &itin::PrintFormHost::formUnloaded, this, [this] {
        signIn_.close();
        window_.close();
    });
}

W_Webfrm* OrderRetrieval::open() {
    if (!ctx_.printForm.record()) { // no form open
        window_.close();
        return nullptr;
    }
    return window_.showAfresh();
}

W_Webfrm* OrderRetrieval::restart() {
    return open();
}

P_Login* OrderRetrieval::openSignIn() {
    return signIn_.show();
}

void OrderRetrieval::signInAbandoned() {
    window_.close();
}

QString PlatformSiteUrl(const common::DeployConfig& deploy, int platform) {
    return deploy.value(platform == 0 ? QStringLiteral("PlatformSite1Url")
                                      : QStringLiteral("PlatformSite2Url"));
}

QString PlatformBlankUrl(const common::DeployConfig& deploy) {
    return deploy.value(QStringLiteral("PlatformBlankUrl"));
}

QString PingTaiPath(const itin::ItineraryContext& ctx) {
    return ctx.settings.pingTaiPath.isEmpty() ? itin::PingTaiIniPath(ctx.programFolder)
                                              : ctx.settings.pingTaiPath;
}

QString ReadPingTai(const itin::ItineraryContext& ctx) {
    const QString path = PingTaiPath(ctx);
    return common::FileExists(path) ? common::ReadTextFile(path) : QString();
}

} // namespace ximport
