#pragma once
// Print forms without a window for tests: a stand-in showing a given record in a given
// frame, and the headless form counting its loads and unloads.
#include "itinerary/booking_form.h"
#include "itinerary/headless_print_form.h"

#include <QRect>

namespace support {

class StandInPrintForm : public itin::BookingForm {
public:
    explicit StandInPrintForm(itin::ItineraryRecord* shown = nullptr, QRect place = {})
        : shown(shown), place(place) {}

    itin::ItineraryRecord* shown;
    QRect place;

    void unload() override { shown = nullptr; }
    void show() override {}
    itin::ItineraryRecord* record() override { return shown; }
    itin::ItineraryRecord* loadRecord() override { return shown; }
    QRect frame() const override { return place; }
};

// The headless form, counting how often it was loaded and unloaded, and the print mode of
// its last load.
class CountingPrintForm : public itin::HeadlessPrintForm {
public:
    explicit CountingPrintForm(itin::PrintFormState& state)
        : HeadlessPrintForm(state), state_(state) {}
    int loads = 0;
    int unloads = 0;
    qint16 loadedMode = 0;

    void show() override {
        if (!record()) {
            ++loads;
            loadedMode = state_.printMode;
        }
        HeadlessPrintForm::show();
    }
    void unload() override {
        if (record()) ++unloads;
        HeadlessPrintForm::unload();
    }

private:
    itin::PrintFormState& state_;
};

} // namespace support
