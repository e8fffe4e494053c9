#pragma once
// Printing a booking file without windows: the settings are loaded as the print form
// loads them, the booking is parsed, and one receipt per passenger goes to a PDF file or
// a printer through the print-out of the print button, stepping as "下一位" does.
#include "common/clock.h"
#include "itinerary/print_surface.h"

#include <QString>

#include <functional>
#include <memory>

namespace itin {

// Opens the printer of that name ("default": the system default) as a print surface.
using OpenPrinter = std::function<std::unique_ptr<PrintSurface>(const QString& name)>;

struct HeadlessPrintJob {
    QString pnrFile;     // booking display, UTF-8 or GBK
    QString pdfPath;     // PDF output, or
    QString printerName; // a printer: a name, or "default"
    QString checkCode;   // CheckCode of the first receipt; empty: the log's next free one
    bool international = false;
    QString programFolder;   // where info.ini and receipts.db live
    bool reprint = false;    // print check codes the log already holds
    OpenPrinter openPrinter; // needed for printerName; the PDF job runs without it
};

// Runs the job; every output line (one per receipt: passenger and check code, and every
// message shown) goes to out. Every receipt's row and check code are written to receipts.db
// in one transaction before any page goes out, and marked printed or failed when the job
// ends. Returns 0 when every receipt was printed, 1 when the print-out refused or failed,
// the log cannot be opened or written (nothing is printed then), or a check code is already
// in the log without reprint (the message is in the output), 2 when the booking file
// cannot be read or is over the headless size cap.
int RunHeadlessPrint(const HeadlessPrintJob& job, const common::Clock& clock,
                     const std::function<void(const QString&)>& out);

} // namespace itin
