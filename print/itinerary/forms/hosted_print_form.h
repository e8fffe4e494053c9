#pragma once
// The print form P_GuoNei as other windows reach it: the host's form behind the
// PrintFormAccess interface.
#include "itinerary/print_form_access.h"

namespace itin {

class PrintFormHost;

class HostedPrintForm : public PrintFormAccess {
public:
    explicit HostedPrintForm(PrintFormHost& host) : host_(host) {}
    void unload() override;
    void show() override;
    ItineraryRecord* record() override;
    ItineraryRecord* loadRecord() override;
    QRect frame() const override;

private:
    PrintFormHost& host_;
};

} // namespace itin
