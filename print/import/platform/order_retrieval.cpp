#include "import/platform/order_retrieval.h"

#include "import/import_context.h"
#include "import/load_picture.h"
#include "import/platform/p_login.h"
#include "import/platform/w_webfrm.h"

#include "common/fso.h"
#include "itinerary/forms/print_form_host.h"
#include "itinerary/print_form_access.h"
#include "itinerary/settings_store.h"

namespace ximport {

OrderRetrieval::OrderRetrieval(itin::PrintFormHost& host, itin::PrintFormAccess& form,
                               itin::ItineraryContext& ctx, browser::BrowserProfile& profile)
    : QObject(&host), host_(host), form_(form), ctx_(ctx), profile_(profile) {
    // The print form going away ends a retrieval that would write into it.
    connect(&host, &itin::PrintFormHost::formUnloaded, this, [this] {
        if (signIn_) signIn_->close();
        if (window_) window_->close();
    });
}

OrderRetrieval::~OrderRetrieval() {
    delete signIn_;
    delete window_;
}

void OrderRetrieval::loadPicture(QLabel* target, const QUrl& url) {
    LoadPictureFromURL(target, url.toString(), profile_);
}

W_Webfrm* OrderRetrieval::open() {
    if (window_) {
        window_->close();
        delete window_;
    }
    if (!form_.record()) return nullptr;                // no form open
    window_ = new W_Webfrm(*this, host_.ownerWindow()); // goes with the main window
    window_->show();
    return window_;
}

W_Webfrm* OrderRetrieval::restart() {
    return open();
}

P_Login* OrderRetrieval::openSignIn() {
    if (!signIn_) signIn_ = new P_Login(*this, host_.ownerWindow());
    signIn_->show();
    signIn_->raise();
    return signIn_;
}

void OrderRetrieval::signInAbandoned() {
    if (window_) window_->close();
}

QString OrderRetrieval::siteUrl(int platform) const {
    return ctx_.deploy.value(platform == 0 ? QStringLiteral("PlatformSite1Url")
                                           : QStringLiteral("PlatformSite2Url"));
}

QString OrderRetrieval::blankUrl() const {
    return ctx_.deploy.value(QStringLiteral("PlatformBlankUrl"));
}

QString OrderRetrieval::pingTaiPath() const {
    return ctx_.settings.pingTaiPath.isEmpty() ? itin::PingTaiIniPath(ctx_.programFolder)
                                               : ctx_.settings.pingTaiPath;
}

QString OrderRetrieval::pingTaiText() const {
    const QString path = pingTaiPath();
    return common::FileExists(path) ? common::ReadTextFile(path) : QString();
}

OrderRetrieval* InstallOrderRetrieval(itin::PrintFormHost& host, itin::PrintFormAccess& form,
                                      itin::ItineraryContext& ctx,
                                      browser::BrowserProfile& profile) {
    auto* opener = new OrderRetrieval(host, form, ctx, profile);
    host.setOpenOrderRetrieval([opener](itin::P_GuoNei&) { opener->open(); });
    return opener;
}

OrderRetrieval* InstallOrderRetrieval(ImportContext& ctx) {
    return InstallOrderRetrieval(ctx.printForms, ctx.printForm, ctx.itinerary, ctx.profile);
}

} // namespace ximport
