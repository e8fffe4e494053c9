// Feeds arbitrary markup (UTF-8) to the result-page cuts of the ticket-number import, as
// the inner markup of the result table, and writes the cuts into a record.
#include "import/ticket/result_cut.h"
#include "itinerary/record.h"

#include <QString>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString markup = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    itin::ItineraryRecord record;
    for (const ximport::FieldCut& cut : ximport::CutResultTable(markup))
        record.setField(cut.field, cut.text);
    return 0;
}
