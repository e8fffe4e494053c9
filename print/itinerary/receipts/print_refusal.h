#pragma once
// What the print-out would refuse a record with before any page goes out, so that a
// refused receipt gets no row in the log.
#include "itinerary/print_form_state.h"
#include "itinerary/print_settings.h"
#include "itinerary/record.h"

#include <QString>

namespace itin {

// The print-out's own refusal (no PNR, no check code, offsets out of range) or, for a check
// code that is not one to four digits, "验证码只能是1到4位数字"; empty when the record
// would print.
QString PrintRefusal(const ItineraryRecord& record, const PrintFormState& formState,
                     const PrintSettings& settings, const QString& leftr, const QString& topb);

} // namespace itin
