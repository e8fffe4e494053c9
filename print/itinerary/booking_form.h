#pragma once
// The print form as every other window reaches it: the main window's menus, the print
// hand-off, the imports and the SMS panel. The program hands in the real form; headless
// runs use HeadlessPrintForm.
#include "itinerary/print_form_state.h"
#include "itinerary/record.h"

#include <QRect>

namespace itin {

class BookingForm {
public:
    virtual ~BookingForm() = default;
    // Unloads the form (it saves its page settings); printFormOpen becomes false.
    virtual void unload() = 0;
    // Shows the form, loading it afresh in printMode when it is not open, and brings it to
    // the front with the focus.
    virtual void show() = 0;
    // The record of the open form, or null when none is open.
    virtual ItineraryRecord* record() = 0;
    // The record of the form, loading the form without showing it when it is not open
    // (an import that fills a form that is not open).
    virtual ItineraryRecord* loadRecord() = 0;
    // The form's frame on the screen; an empty rectangle when none is open.
    virtual QRect frame() const = 0;
};

// Sets printMode and reopens the form so that it builds itself in that mode with a fresh
// record (a form that is not open is only opened).
void OpenPrintForm(PrintFormState& state, BookingForm& form, qint16 mode);

} // namespace itin
