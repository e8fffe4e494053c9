#pragma once
// The SMS text composer: the notice for the passenger shown, from the itinerary record,
// the passenger state and the SMS account, in one of seven templates.
#include "itinerary/record.h"
#include "sms/sms_account.h"

namespace common {
class Messages;
} // namespace common

namespace sms {

// Composes with account.templateType. An empty PnrQuery shows a message; an unusable
// Date1 or an unknown type gives an empty text. Fills the account's short name (from
// IssuedBy) and service phone ("010-XXXXXXXX") when they are empty; they stay so.
QString ComposeSms(const itin::ItineraryRecord& record, SmsAccount& account,
                   common::Messages& messages);

// Flight time: month "月" day "日" time, from a year-month-day date; empty when the date
// does not split at "-" into exactly three parts.
QString FlightTime(const QString& date, const QString& time);
// A route line as a place: 北京   T3 gives 北京(3号航站楼); without a terminal the
// cleaned name alone.
QString PlaceText(const QString& cityField);
// "1.name" for one passenger; "1.a 2.b 3.c" for several; from the list, or the
// passenger shown when the list is empty.
QString PassengerListText(const QList<itin::PassengerRow>& list, const QString& shownName);
// Service phone "," "[" short name "]".
QString SignatureTail(const SmsAccount& account);

// Whether a change of the record refreshes the SMS panel's text.
bool SmsRefreshDue(const itin::ItineraryRecord& record);

} // namespace sms
