#pragma once
// The shell reaches the print form through itin::PrintFormAccess: close it, open it in the
// current print mode, reach the record of the open form. Headless runs and tests use
// HeadlessPrintForm.
#include "itinerary/print_form_state.h"
#include "itinerary/record.h"
#include "itinerary/print_form_access.h"

#include <memory>

namespace shell {

using itin::PrintFormAccess;

// Sets printMode and reopens the form so that it builds itself in that mode with a fresh
// record (a form that is not open is only opened).
void OpenPrintForm(itin::PrintFormState& formState, PrintFormAccess& form, qint16 mode);

// A print form without a window: a fresh record on every load.
class HeadlessPrintForm : public PrintFormAccess {
public:
    explicit HeadlessPrintForm(itin::PrintFormState& formState) : formState_(formState) {}
    void unload() override;
    void show() override;
    itin::ItineraryRecord* record() override { return record_.get(); }

    int loads = 0;   // how often the form was loaded
    int unloads = 0; // how often it was unloaded
    qint16 loadedMode = 0;

private:
    itin::PrintFormState& formState_;
    std::unique_ptr<itin::ItineraryRecord> record_;
};

} // namespace shell
