#pragma once
// The print form P_GuoNei as other windows reach it: the host's form behind each role's
// interface (every caller's BookingForm, the platform retrieval's RetrievalForm, the import
// windows' FormPlacement).
#include "itinerary/booking_form.h"
#include "itinerary/form_placement.h"
#include "itinerary/retrieval_form.h"

class QWidget;

namespace itin {

class PrintFormHost;

class HostedPrintForm : public BookingForm, public RetrievalForm, public FormPlacement {
public:
    explicit HostedPrintForm(PrintFormHost& host) : host_(host) {}
    void unload() override;
    void show() override;
    ItineraryRecord* record() override;
    ItineraryRecord* loadRecord() override;
    QRect frame() const override;
    int platformIndex() const override;
    QString platformName() const override;
    void setStatusText(const QString& text) override;
    void setEnabled(bool on) override;
    QPoint origin() const override;
    QSize windowSize() const override;
    void moveWindow(const QPoint& to) override;

private:
    // The window around the loaded form (its MDI sub-window, or the form itself), or null.
    QWidget* window() const;

    PrintFormHost& host_;
};

} // namespace itin
