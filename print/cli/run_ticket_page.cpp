// print [--pnr FILE] --ticket-page PAGE: an e-ticket verification page loaded headless and
// applied to a record as "票号导入" does when a page finishes; the record as JSON.
#include "cli/command_line.h"

#include "browser/web_module.h"
#include "common/deploy_config.h"
#include "common/messages.h"
#include "import/ticket/ticket_page_run.h"
#include "itinerary/parser.h"
#include "itinerary/record_json.h"

namespace cli {

int RunTicketPage(const CommandLine& c) {
    const auto clock = c.makeClock();
    if (!clock) return 2;
    QString error;
    browser::WebModule* pages = browser::LoadWebModule(&error);
    if (!pages) return Fail(error);
    if (pages->ticketPageUrl(c.value(c.ticketPage), &error).isEmpty()) return Fail(error);
    itin::ItineraryRecord record;
    common::RecordingMessages messages;
    if (c.isSet(c.pnr)) {
        QString booking;
        if (!ReadInputText(c.value(c.pnr), booking)) return 2;
        itin::ParseReservationText(booking, record, messages, *clock);
    }
    const QString folder = c.programFolder();
    const ximport::TicketPageRun run = pages->applyTicketPage(
        c.value(c.ticketPage), record, folder, common::DeployConfig::load(folder).httpTimeoutMs());
    if (!run.loaded) return Fail(run.error);
    PrintLine(QString::fromUtf8(itin::RecordJson(record, messages.shown)));
    return 0;
}

} // namespace cli
