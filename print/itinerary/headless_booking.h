#pragma once
// A booking file prepared without windows as the print form prepares it, for the headless
// print and preview jobs.
#include "itinerary/print_form_state.h"
#include "itinerary/print_settings.h"
#include "itinerary/record.h"
#include "itinerary/settings_store.h"

#include "common/clock.h"

#include <QString>

#include <functional>
#include <memory>

namespace itin {

struct HeadlessBooking {
    QString text; // the booking display, decoded
    PrintFormState formState;
    ItineraryRecord record;
    PrintSettings settings;
    PageSetup boxes;
};

// Reads the booking file through the headless size cap and loads the settings of
// programFolder as the print form loads: settings read, passenger buttons reset, settings
// applied to the boxes. The booking is not parsed yet. Null after out() said why the file
// cannot be read.
std::unique_ptr<HeadlessBooking>
PrepareHeadlessBooking(const QString& pnrFile, const QString& programFolder, bool international,
                       const common::Clock& clock, const std::function<void(const QString&)>& out);

} // namespace itin
