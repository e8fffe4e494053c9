#include "itinerary/headless_print_form.h"

namespace itin {

void HeadlessPrintForm::unload() {
    if (!record_) return;
    record_.reset();
    state_.printFormOpen = false;
}

void HeadlessPrintForm::show() {
    if (record_) return;
    record_ = std::make_unique<ItineraryRecord>();
    state_.printFormOpen = true;
}

ItineraryRecord* HeadlessPrintForm::loadRecord() {
    show();
    return record();
}

} // namespace itin
