#include "import/forms/ticket_page_run.h"

#include "import/ticket_lookup.h"
#include "shell/browser/browser_profile.h"
#include "shell/browser/embedded_browser.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <QUrl>

namespace ximport {

QUrl TicketPageUrl(const QString& page, QString* error) {
    const QUrl url(page);
    if (url.scheme() == u"http" || url.scheme() == u"https") return url;
    const QFileInfo file(page);
    if (!file.isFile() || !file.isReadable()) {
        if (error) *error = QStringLiteral("cannot read %1").arg(page);
        return {};
    }
    if (file.size() > kMaxResultMarkup) {
        if (error) *error = QStringLiteral("%1 is over the size cap (8 MB)").arg(page);
        return {};
    }
    return QUrl::fromLocalFile(file.absoluteFilePath());
}

TicketPageRun ApplyTicketPage(const QString& page, itin::ItineraryRecord& record,
                              const QString& programFolder, int timeoutMs) {
    TicketPageRun run;
    const QUrl url = TicketPageUrl(page, &run.error);
    if (url.isEmpty()) return run;
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
                const ResultApplied done = ApplyResultPage(
                    d, [&] { return &record; }, programFolder);
                run.loaded = true;
                run.result = done.result;
                if (done.tooLarge)
                    run.error = QStringLiteral("%1 is over the size cap (8 MB)").arg(page);
                loop.quit();
            });
        });
        browser.navigate(url.toString());
        loop.exec();
    }
    if (!run.loaded) run.error = QStringLiteral("%1 did not load").arg(page);
    if (!run.error.isEmpty()) run.loaded = false;
    return run;
}

} // namespace ximport
