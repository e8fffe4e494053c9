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

OrderRetrieval::OrderRetrieval(ImportContext& ctx)
    : QObject(&ctx.printForms), form_(ctx.printForm), ctx_(ctx.itinerary), profile_(ctx.profile()),
      window_([&host = ctx.printForms] { return host.ownerWindow(); },
              [this](QWidget* owner) { return new W_Webfrm(*this, owner); }),
      signIn_([&host = ctx.printForms] { return host.ownerWindow(); },
              [this](QWidget* owner) { return new P_Login(*this, owner); }) {
    // The print form going away ends a retrieval that would write into it.
    connect(&ctx.printForms, &itin::PrintFormHost::formUnloaded, this, [this] {
        signIn_.close();
        window_.close();
    });
}

void OrderRetrieval::loadPicture(QLabel* target, const QUrl& url) {
    LoadPictureFromURL(target, url.toString(), profile_);
}

W_Webfrm* OrderRetrieval::open() {
    if (!form_.record()) { // no form open
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

} // namespace ximport
