#pragma once
// Program-wide itinerary state (one object per run, owned by the program and handed to
// whoever needs it) and the operations on the record that use it.
#include "itinerary/record.h"

#include <QList>
#include <QString>

namespace itin {

struct PassengerRow {
    QString name;
    QString id;
    QString ticket;
    bool operator==(const PassengerRow&) const = default;
};

enum PrintModeValue : qint16 { Domestic = 0, International = 1 };

// Passenger state that outlives the print form.
struct PCommon {
    QList<PassengerRow> PassengerList;
    int CurrentPassenger = 0; // not 16-bit: a booking may list more than 32,767 names
    QString ArrivalTime1;
    QString ArrivalTime2;
    qint16 PrintMode = Domestic;
    bool PrintFormOpen = false;
    QString PlatformPnr;
    // Flights of the last parsed booking beyond the two the receipt gets, with the booking
    // they belong to (PnrCode, Flight1, Flight2 as parsed), so a later writer's booking
    // is not taken for it.
    QStringList LeftOutFlights;
    QString LeftOutBooking;
};

// "PnrCode|Flight1|Flight2" of the record: which booking LeftOutFlights belongs to.
QString BookingKey(const ItineraryRecord& record);

// Passenger stepping. Out-of-range steps do nothing.
void NextPassenger(PCommon& common, ItineraryRecord& record);
void PreviousPassenger(PCommon& common, ItineraryRecord& record);
void ResetPassengerButtons(ItineraryRecord& record);
// Copies row CurrentPassenger of the list into PassengerName, IdNumber and TicketNumber.
void ShowCurrentPassenger(const PCommon& common, ItineraryRecord& record);
// Replaces the passenger list as a writer does: CurrentPassenger 0, buttons reset,
// row 0 shown, "下一位" enabled when there is more than one row.
void SetPassengerList(PCommon& common, ItineraryRecord& record, const QList<PassengerRow>& rows);

// Empties fields 0, 1, 3 to 29 and 34.
void ClearParsedFields(ItineraryRecord& record);

double MoneyValue(const QString& text);
double OffsetMillimetres(const QString& text);
// Money prefix of a money field ("CNY ", "CN ", "YQ ", "XT "), empty for other fields.
QString MoneyPrefix(int index);
// Amount in the pattern "0.00".
QString FormatMoney(double value);
void NormaliseMoneyField(ItineraryRecord& record, int index);
void RecomputeTotal(ItineraryRecord& record);

} // namespace itin
