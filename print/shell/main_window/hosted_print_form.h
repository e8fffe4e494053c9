#pragma once
// The print form P_GuoNei, as the shell's menus and the print hand-off reach it.
#include "print_form_access.h"

namespace itin {
class PrintFormHost;
}

namespace shell {

class HostedPrintForm : public PrintFormAccess {
public:
    explicit HostedPrintForm(itin::PrintFormHost& host) : host_(host) {}
    void unload() override;
    void show() override;
    itin::ItineraryRecord* record() override;

private:
    itin::PrintFormHost& host_;
};

} // namespace shell
