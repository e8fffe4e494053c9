#pragma once
// The one way other windows reach the print form: the main window's menus, the print
// hand-off, the imports and the SMS panel. The program hands in the real form's host;
// headless runs and tests use a form without a window.
#include "itinerary/record.h"

#include <QRect>
#include <QString>

namespace itin {

class PrintFormAccess {
public:
    virtual ~PrintFormAccess() = default;
    // Unloads the form (it saves its page settings); printFormOpen becomes false.
    virtual void unload() = 0;
    // Shows the form, loading it afresh in printMode when it is not open, and brings it to
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

    // What the import windows read from and do to the open form; a form without a window, or
    // no open form, answers with the defaults and ignores the rest.
    // The platform chosen on the form and its name (-1 when none is chosen; 0 without a form).
    virtual int platformIndex() const { return 0; }
    virtual QString platformName() const { return {}; }
    // Shows text in the form's status line.
    virtual void setStatusText(const QString&) {}
    // Takes the form's controls away from the agent (false) or gives them back (true).
    virtual void setEnabled(bool) {}
    // The top-left corner of the form's contents on the screen.
    virtual QPoint origin() const { return {}; }
    // The size of the form's window with its decoration; invalid when none is open.
    virtual QSize windowSize() const { return {}; }
    // Moves the form's window (within the main window's area when it sits there).
    virtual void moveWindow(const QPoint&) {}
};

} // namespace itin
