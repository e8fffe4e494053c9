// Feeds arbitrary texts to the booking parser and the ticket-row fill.
#include "itinerary/parser.h"

#include <QString>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    static common::FixedClock clock(QDateTime(QDate(2026, 3, 1), QTime(9, 0)));
    itin::ItineraryRecord record;
    common::RecordingMessages messages;
    itin::ParseReservationText(text, record, messages, clock);
    record.nextPassenger();
    record.previousPassenger();
    itin::FillFromTicketRow(text, record);
    return 0;
}
