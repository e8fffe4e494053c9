// Feeds arbitrary page snapshots (collector JSON) to the platform page recognition and the
// order readers of both platforms.
#include "import/platform/order_reader.h"
#include "import/platform/platform_pages.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const browser::DomDocument page =
        browser::DocumentFromJson(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    const QDateTime now(QDate(2026, 3, 1), QTime(9, 0));
    for (int platform = 0; platform < 2; ++platform) {
        const ximport::PlatformSite site(platform, QStringLiteral("http://p.test/"));
        const ximport::RetrievalInput in{platform, site.signInPageUrl(), QStringLiteral("agent01"),
                                         QStringLiteral("pw"), QStringLiteral("ABC123")};
        (void)ximport::ClassifyRetrievalPage(site, in, page).actions.script();
        (void)ximport::ClassifySignInPage(site, in.finishedUrl, in.account, page, now);
        (void)ximport::SignInActions(platform, page, in.account, in.password,
                                     QStringLiteral("1234"));
        const browser::DomDocument* main = page.frame(QStringLiteral("mainFrame"));
        itin::ItineraryRecord record;
        ximport::ApplyOrder(ximport::ReadPlatformOrder(platform, main ? *main : page), in.pnr,
                            record);
    }
    return 0;
}
