#pragma once
// The booking as one JSON object, for the headless entry points.
#include "itinerary/record.h"

#include "common/messages.h"

#include <QByteArray>

namespace itin {

// {"fields": {...59 by name...}, "passengers": [[name, id, ticket], ...],
//  "currentPassenger": n, "arrivalTimes": [t1, t2], "previousEnabled": b,
//  "nextEnabled": b, "messages": [{"text": ..., "title": ...}]}
QByteArray RecordJson(const ItineraryRecord& record, const QList<common::ShownMessage>& messages);

} // namespace itin
