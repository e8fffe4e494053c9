#pragma once
// Program-wide print-form state (one object per run, owned by the program and handed to
// whoever needs it).
#include <QString>

namespace itin {

enum PrintModeValue : qint16 { Domestic = 0, International = 1 };

// Print-form state that outlives the form; the booking itself lives in the form's
// ItineraryRecord.
struct PrintFormState {
    qint16 printMode = Domestic;
    bool printFormOpen = false;
    // The booking reference handed to platform order retrieval when the agent starts it.
    QString platformPnr;
};

} // namespace itin
