// print --pnr FILE --pdf OUT.pdf | --printer NAME: the receipts of a booking, no window.
#include "cli/command_line.h"

#include "itinerary/headless_print.h"

namespace cli {

int RunPrintJob(const CommandLine& c) {
    const auto clock = c.makeClock();
    if (!clock) return 2;
    itin::HeadlessPrintJob job;
    job.pnrFile = c.value(c.pnr);
    job.pdfPath = c.value(c.pdf);
    job.printerName = c.value(c.printer);
    job.checkCode = c.value(c.checkCode);
    job.international = c.isSet(c.international);
    job.programFolder = c.programFolder();
    job.reprint = c.isSet(c.reprint);
    return itin::RunHeadlessPrint(job, *clock, PrintLine);
}

} // namespace cli
