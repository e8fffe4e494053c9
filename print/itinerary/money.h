#pragma once
// Money fields of the record: reading, prefixes, the "0.00" pattern and the total.
#include "itinerary/record.h"

#include <QString>

namespace itin {

double MoneyValue(const QString& text);
double OffsetMillimetres(const QString& text);
// Money prefix of a money field ("CNY ", "CN ", "YQ ", "XT "), empty for other fields.
QString MoneyPrefix(int index);
// Amount in the pattern "0.00".
QString FormatMoney(double value);
void NormaliseMoneyField(ItineraryRecord& record, int index);
void RecomputeTotal(ItineraryRecord& record);

} // namespace itin
