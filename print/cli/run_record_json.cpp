// print --pnr FILE, or --ticket-row TEXT: the filled record as JSON.
#include "cli/command_line.h"

#include "common/headless_input.h"
#include "common/messages.h"
#include "itinerary/parser.h"
#include "itinerary/record_json.h"

namespace cli {

int RunRecordJson(const CommandLine& c) {
    const auto clock = c.makeClock();
    if (!clock) return 2;
    itin::ItineraryRecord record;
    common::RecordingMessages messages;
    if (c.isSet(c.ticketRow)) {
        QString error;
        if (!common::CheckInputText(c.value(c.ticketRow), &error)) return Fail(error);
        itin::FillFromTicketRow(c.value(c.ticketRow), record);
    } else {
        QString booking;
        if (!ReadInputText(c.value(c.pnr), booking)) return 2;
        itin::ParseReservationText(booking, record, messages, *clock);
    }
    PrintLine(QString::fromUtf8(itin::RecordJson(record, messages.shown)));
    return 0;
}

} // namespace cli
