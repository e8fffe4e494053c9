// print --pnr FILE --printer NAME: the receipts of a booking on a printer, no window.
#include "cli/command_line.h"
#include "cli/print_job.h"

#include "itinerary/printer_surface.h"

namespace cli {

int RunPrinterJob(const CommandLine& c) {
    const auto clock = c.makeClock();
    if (!clock) return 2;
    itin::HeadlessPrintJob job = PrintJobOf(c);
    job.openPrinter = [](const QString& name) {
        return std::make_unique<itin::PrinterSurface>(name);
    };
    return itin::RunHeadlessPrint(job, *clock, PrintLine);
}

} // namespace cli
