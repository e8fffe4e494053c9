#pragma once
// Owns the print form's life cycle: created when first needed, destroyed when it unloads,
// rebuilt when the print mode changes. Hosted in the main window's MDI area when one is set,
// as a top-level window otherwise.
#include "itinerary/forms/p_guonei.h"

#include <QObject>
#include <QPointer>

class QMdiArea;
class QMdiSubWindow;

namespace itin {

class PrintFormHost : public QObject {
    Q_OBJECT
public:
    // ctx must outlive the host.
    explicit PrintFormHost(ItineraryContext& ctx, QObject* parent = nullptr);
    ~PrintFormHost() override;

    // The loaded form, or nullptr.
    P_GuoNei* form() const { return form_; }
    // Loads the form without showing it (importers that fill a form that is not open).
    P_GuoNei* ensureLoaded();
    // Loads the form when needed and shows it.
    P_GuoNei* show();
    // Unloads the form when it is loaded (saving the page block) and shows it afresh, in the
    // mode printMode now holds.
    P_GuoNei* reload();
    // Unloads the form when it is loaded.
    void unload();

    // Later forms are MDI children of area (nullptr: top-level windows).
    void setMdiArea(QMdiArea* area);
    // The owner of the windows opened from the form: the main window holding the MDI area,
    // or null when the form is a window of its own (it may reload, its dialogs stay).
    QWidget* ownerWindow() const;

    // The buttons other parts of the program put on the form (the receipt workbench's from
    // the start); forms loaded after a change show it, and they survive reloads.
    FormCommands& commands() { return commands_; }

signals:
    void formLoaded(itin::P_GuoNei* form);
    void formUnloaded();

private:
    void formGone();

    ItineraryContext& ctx_;
    FormCommands commands_;
    QPointer<QMdiArea> area_;
    QPointer<P_GuoNei> form_;
    QPointer<QMdiSubWindow> sub_;
};

} // namespace itin
