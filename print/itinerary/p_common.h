#pragma once
// Program-wide itinerary state (one object per run, owned by the program and handed to
// whoever needs it) and the operations on the record that use it.
#include "itinerary/record.h"

#include <QString>

namespace itin {

enum PrintModeValue : qint16 { Domestic = 0, International = 1 };

// Print-form state that outlives the form; the booking itself lives in the form's
// ItineraryRecord.
struct PCommon {
    qint16 PrintMode = Domestic;
    bool PrintFormOpen = false;
    // The booking reference handed to platform order retrieval when the agent starts it.
    QString PlatformPnr;
};

double MoneyValue(const QString& text);
double OffsetMillimetres(const QString& text);
// Money prefix of a money field ("CNY ", "CN ", "YQ ", "XT "), empty for other fields.
QString MoneyPrefix(int index);
// Amount in the pattern "0.00".
QString FormatMoney(double value);
void NormaliseMoneyField(ItineraryRecord& record, int index);
void RecomputeTotal(ItineraryRecord& record);

} // namespace itin
