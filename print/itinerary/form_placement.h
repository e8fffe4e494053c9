#pragma once
// Where the print form's window is on the screen, for the import windows that place
// themselves (and the form) beside it. Only the form with a window has a place.
#include <QPoint>
#include <QSize>

namespace itin {

class FormPlacement {
public:
    virtual ~FormPlacement() = default;
    // The top-left corner of the form's contents on the screen.
    virtual QPoint origin() const = 0;
    // The size of the form's window with its decoration; invalid when none is open.
    virtual QSize windowSize() const = 0;
    // Moves the form's window (within the main window's area when it sits there).
    virtual void moveWindow(const QPoint& to) = 0;
};

} // namespace itin
