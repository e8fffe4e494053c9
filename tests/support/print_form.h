#pragma once
// A print form without a window: the record it shows (null: no form open) and its frame.
#include "itinerary/print_form_access.h"

#include <QRect>

namespace support {

class StandInPrintForm : public itin::PrintFormAccess {
public:
    explicit StandInPrintForm(itin::ItineraryRecord* shown = nullptr, QRect place = {})
        : shown(shown), place(place) {}

    itin::ItineraryRecord* shown;
    QRect place;

    void unload() override { shown = nullptr; }
    void show() override {}
    itin::ItineraryRecord* record() override { return shown; }
    QRect frame() const override { return place; }
};

} // namespace support
