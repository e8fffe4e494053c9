#include "itinerary/booking_form.h"

namespace itin {

void OpenPrintForm(PrintFormState& state, BookingForm& form, qint16 mode) {
    state.printMode = mode;
    if (state.printFormOpen) form.unload();
    form.show();
}

} // namespace itin
