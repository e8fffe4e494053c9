#pragma once
// Reading a platform order detail page (the document of frame "mainFrame") into the
// itinerary record. The page is read whole first; only a page that yields every value is
// written, so a changed page leaves the record as it was.
#include "browser/dom_snapshot.h"
#include "import/platform/platform_texts.h"
#include "itinerary/record.h"

#include <QList>
#include <QPair>
#include <QString>

namespace ximport {

struct OrderRead {
    bool ok = false;
    QString problem;                   // what was missing, when not ok
    QList<QPair<int, QString>> fields; // record writes in order
    QList<itin::PassengerRow> passengers;
};

// Platform 0: elements by id and the passenger inputs at 31 + 4k and 32 + 4k.
OrderRead ReadFirstPlatformOrder(const browser::DomDocument& detail);
// Platform 1: segments from table 2, fares by id, passengers from table 8.
OrderRead ReadSecondPlatformOrder(const browser::DomDocument& detail);
OrderRead ReadPlatformOrder(int platform, const browser::DomDocument& detail);

// The order as a new booking: its fields and passengers replace the booking on the form.
// Returns the status text for Label7; an order that was not read changes nothing and gives
// UnreadableOrderStatus().
QString ApplyOrder(const OrderRead& order, const QString& platformPnr,
                   itin::ItineraryRecord& record);

// A whole number from page text, rounded half to even; false when it is not a number or
// is out of any sensible range.
bool WholeNumber(const QString& text, qint64& out);

} // namespace ximport
