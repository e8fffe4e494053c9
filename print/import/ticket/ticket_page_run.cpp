#include "import/ticket/ticket_page_run.h"

#include "browser/headless_page.h"
#include "import/ticket/ticket_lookup.h"

#include <QUrl>

namespace ximport {

QUrl TicketPageUrl(const QString& page, QString* error) {
    return browser::HeadlessPageUrl(page, error);
}

TicketPageRun ApplyTicketPage(const QString& page, itin::ItineraryRecord& record,
                              const QString& programFolder, int timeoutMs) {
    TicketPageRun run;
    const QUrl url = TicketPageUrl(page, &run.error);
    if (url.isEmpty()) return run;
    const browser::HeadlessPage loaded = browser::LoadHeadlessPage(url, timeoutMs);
    if (loaded.outcome != browser::HeadlessPage::Read) {
        run.error = loaded.why(page);
        return run;
    }
    const ResultApplied done = ApplyResultPage(
        loaded.document, [&record] { return &record; }, programFolder);
    run.loaded = true;
    run.result = done.result;
    if (done.tooLarge) {
        run.error = QStringLiteral("%1 is over the size cap (8 MB)").arg(page);
        run.loaded = false;
    }
    return run;
}

} // namespace ximport
