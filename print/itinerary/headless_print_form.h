#pragma once
// A print form without a window, for "print --handoff": a fresh record on every load, no
// frame on the screen.
#include "itinerary/booking_form.h"

#include <memory>

namespace itin {

class HeadlessPrintForm : public BookingForm {
public:
    explicit HeadlessPrintForm(PrintFormState& state) : state_(state) {}
    void unload() override;
    void show() override;
    ItineraryRecord* record() override { return record_.get(); }
    ItineraryRecord* loadRecord() override;
    QRect frame() const override { return {}; }

private:
    PrintFormState& state_;
    std::unique_ptr<ItineraryRecord> record_;
};

} // namespace itin
