#include "ticket_page_run.h"

#include "browser_profile.h"
#include "embedded_browser.h"
#include "ticket_lookup.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <QUrl>

namespace ximport {

QUrl TicketPageUrl(const QString& page) {
    const QUrl url(page);
    if (url.scheme() == u"http" || url.scheme() == u"https") return url;
    const QFileInfo file(page);
    if (!file.isFile() || !file.isReadable()) return {};
    return QUrl::fromLocalFile(file.absoluteFilePath());
}

TicketPageRun ApplyTicketPage(const QString& page, itin::ItineraryRecord& record,
                              const QString& programFolder, int timeoutMs) {
    TicketPageRun run;
    const QUrl url = TicketPageUrl(page);
    if (url.isEmpty()) {
        run.error = QStringLiteral("cannot read %1").arg(page);
        return run;
    }
    browser::BrowserProfile profile;
    {
        browser::EmbeddedBrowser browser(profile);
        browser.resize(1024, 768);
        QEventLoop loop;
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        bool asked = false;
        QObject::connect(&browser, &browser::EmbeddedBrowser::topLoadFinished, &loop, [&](bool ok) {
            if (asked) return;
            asked = true;
            if (!ok) return loop.quit();
            browser.snapshot([&](const browser::DomDocument& d) {
                run.loaded = true;
                run.result = ApplyResultPage(
                                 d, [&] { return &record; }, programFolder)
                                 .result;
                loop.quit();
            });
        });
        browser.navigate(url.toString());
        loop.exec();
    }
    if (!run.loaded) run.error = QStringLiteral("%1 did not load").arg(page);
    return run;
}

} // namespace ximport
