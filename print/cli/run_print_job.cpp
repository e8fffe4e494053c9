// print --pnr FILE --pdf OUT.pdf: the receipts of a booking into a PDF file, no window.
#include "cli/command_line.h"
#include "cli/print_job.h"

namespace cli {

itin::HeadlessPrintJob PrintJobOf(const CommandLine& c) {
    itin::HeadlessPrintJob job;
    job.pnrFile = c.value(c.pnr);
    job.pdfPath = c.value(c.pdf);
    job.printerName = c.value(c.printer);
    job.checkCode = c.value(c.checkCode);
    job.international = c.isSet(c.international);
    job.programFolder = c.programFolder();
    job.reprint = c.isSet(c.reprint);
    return job;
}

int RunPrintJob(const CommandLine& c) {
    const auto clock = c.makeClock();
    if (!clock) return 2;
    return itin::RunHeadlessPrint(PrintJobOf(c), *clock, PrintLine);
}

} // namespace cli
