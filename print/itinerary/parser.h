#pragma once
// Turns the pasted booking display of the reservation terminal into the itinerary record,
// by fixed markers and columns; and fills the record from one spreadsheet ticket row.
#include "itinerary/record.h"

#include "common/clock.h"
#include "common/messages.h"

namespace itin {

// Parses the pasted text (any line ends) into a new booking on the record.
// May show "没有找到航段信息" (title "错误提示") or "没有找到乘机人信息".
void ParseReservationText(const QString& pastedText, ItineraryRecord& record,
                          common::Messages& messages, const common::Clock& clock);

// ";"-separated ticket row with fields 0..13 (field 0 empty): a one-passenger booking.
void FillFromTicketRow(const QString& row, ItineraryRecord& record);

// "12MAR" -> current year "-03-12"; "12MAR13" -> "13-03-12".
QString ConvertSegmentDate(const QString& text, const common::Clock& clock);

} // namespace itin
