// print: the agency workstation. Without options it starts the windows; the options are
// headless entry points for scripted use and tests, one file each in cli/.
#include "cli/command_line.h"

int main(int argc, char* argv[]) {
    using namespace cli;
    const auto app = MakeApplication(argc, argv);
    CommandLine c;
    if (const auto exitCode = c.parse(QCoreApplication::arguments())) return *exitCode;
    if (c.isSet(c.sheet)) return RunSheet(c);
    if (c.isSet(c.vendorRequest)) return RunVendorRequest(c);
    if (c.isSet(c.pnr) && (c.isSet(c.pdf) || c.isSet(c.printer))) return RunPrintJob(c);
    if (c.isSet(c.pnr) && c.isSet(c.preview)) return RunPreview(c);
    if (c.isSet(c.receipts)) return RunReceipts(c);
    if (c.isSet(c.ledgerImport)) return RunLedgerImport(c);
    if (c.isSet(c.pnr) && c.isSet(c.sms)) return RunSmsText(c);
    if (c.isSet(c.orderPage)) return RunOrderPage(c);
    if (c.isSet(c.ticketPage)) return RunTicketPage(c);
    if (c.isSet(c.pnr) || c.isSet(c.ticketRow)) return RunRecordJson(c);
    if (c.isSet(c.handoff)) return RunHandOff(c);
    if (c.isSet(c.markup)) return RunMarkup(c);
    return RunWindows(c);
}
