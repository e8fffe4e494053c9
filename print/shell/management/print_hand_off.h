#pragma once
// The management system's print page hands a booking to the print form as one line of
// comma-separated fields: mode, segments ("|" between, "^" inside), booking reference,
// passengers ("|" between, name^id^ticket), fare, CN and YQ amounts.
#include "itinerary/booking_form.h"

#include "common/messages.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace shell {

// The print mode the text names by its first character ("0" or "1"); none otherwise.
std::optional<qint16> HandOffMode(const QString& printData);

// Writes the text as a new booking: segments, money fields, passenger list and booking
// reference.
void FillFromPrintData(const QString& printData, itin::ItineraryRecord& record);

// The whole hand-off: a text naming no mode changes nothing and returns false; otherwise
// the form is reopened in that mode and filled.
bool PrintHandOff(const QString& printData, itin::PrintFormState& formState,
                  itin::BookingForm& form);

// "print --handoff": the hand-off on a fresh headless form, as JSON: the record view of
// the itinerary entry points with "handedOff" and "printMode" in front.
QByteArray HandOffJson(const QString& printData);

} // namespace shell
