#include "sms/sms_headless.h"

#include "common/messages.h"
#include "itinerary/parser.h"
#include "itinerary/settings_store.h"
#include "sms/composer.h"

namespace sms {

HeadlessSms ComposeHeadless(const QString& bookingText, int type, const QString& programFolder,
                            const common::Clock& clock) {
    itin::ItineraryRecord record;
    itin::PrintSettings settings;
    itin::PageSetup boxes;
    common::RecordingMessages messages;
    // As the print form loads: settings first, then the pasted booking.
    itin::ApplyPrintSettings(settings, programFolder, record, clock, boxes);
    itin::ParseReservationText(bookingText, record, messages, clock);
    SmsAccount account;
    account.templateType = type;
    HeadlessSms out;
    out.text = ComposeSms(record, account, messages);
    for (const common::ShownMessage& m : messages.shown)
        out.messages << m.text;
    return out;
}

} // namespace sms
