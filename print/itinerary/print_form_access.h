#pragma once
// The one way other windows reach the print form: the main window's menus, the print
// hand-off, the imports and the SMS panel. The program hands in the real form's host;
// headless runs and tests use a form without a window.
#include "itinerary/record.h"

#include <QRect>

namespace itin {

class PrintFormAccess {
public:
    virtual ~PrintFormAccess() = default;
    // Unloads the form (it saves its page settings); PrintFormOpen becomes false.
    virtual void unload() = 0;
    // Shows the form, loading it afresh in PrintMode when it is not open, and brings it to
    // the front with the focus.
    virtual void show() = 0;
    // The record of the open form, or null when none is open.
    virtual ItineraryRecord* record() = 0;
    // The record of the form, loading the form without showing it when it is not open
    // (an import that fills a form that is not open).
    virtual ItineraryRecord* loadRecord() {
        show();
        return record();
    }
    // The form's frame on the screen; an empty rectangle when none is open.
    virtual QRect frame() const { return {}; }
};

} // namespace itin
