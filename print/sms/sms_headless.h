#pragma once
// "print --pnr FILE --sms TYPE": the SMS text of a booking, composed without the gateway.
#include <QString>
#include <QStringList>

namespace common {
class Clock;
} // namespace common

namespace sms {

struct HeadlessSms {
    QStringList messages; // what the agent would have been shown, in order
    QString text;         // the composed text (empty when nothing was composed)
};

// Parses the booking as the PNR dialog does, fills the agency fields from the print
// settings in programFolder, and composes template type (1 to 7) for the first passenger.
HeadlessSms ComposeHeadless(const QString& bookingText, int type, const QString& programFolder,
                            const common::Clock& clock);

} // namespace sms
