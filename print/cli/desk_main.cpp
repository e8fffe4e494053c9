// The desk's side of print: the application and the entry points of every run.
#include "cli/desk.h"

#include "browser/web_module.h"
#include "common/platform/platform.h"

#include <QApplication>

namespace cli {

std::unique_ptr<QCoreApplication> MakeApplication(int& argc, char** argv) {
    if (argc > 1) platform::AttachParentConsole();
    const std::optional<Entry> entry = PeekEntry(argc, argv);
    if (!entry) return std::make_unique<QCoreApplication>(argc, argv); // to say what is wrong
    switch (*entry) {
    case Entry::PrinterJob:
    case Entry::PdfJob:
    case Entry::Preview:
        DrawOffscreen();
        return std::make_unique<QGuiApplication>(argc, argv);
    case Entry::Markup:
    case Entry::OrderPage:
    case Entry::TicketPage:
        DrawOffscreen();
        [[fallthrough]];
    case Entry::Windows:
        browser::PrepareEngine();
        return std::make_unique<QApplication>(argc, argv);
    default:
        return std::make_unique<QCoreApplication>(argc, argv);
    }
}

int DeskMain(int argc, char** argv) {
    const auto app = MakeApplication(argc, argv);
    CommandLine c;
    if (const auto exitCode = c.parse(QCoreApplication::arguments())) return *exitCode;
    switch (PickEntry(c)) {
    case Entry::Sheet:
        return RunSheet(c);
    case Entry::VendorRequest:
        return RunVendorRequest(c);
    case Entry::PrinterJob:
        return RunPrinterJob(c);
    case Entry::PdfJob:
        return RunPrintJob(c);
    case Entry::Preview:
        return RunPreview(c);
    case Entry::Receipts:
        return RunReceipts(c);
    case Entry::LedgerImport:
        return RunLedgerImport(c);
    case Entry::SmsText:
        return RunSmsText(c);
    case Entry::OrderPage:
        return RunOrderPage(c);
    case Entry::TicketPage:
        return RunTicketPage(c);
    case Entry::RecordJson:
        return RunRecordJson(c);
    case Entry::HandOff:
        return RunHandOff(c);
    case Entry::Markup:
        return RunMarkup(c);
    case Entry::Windows:
        return RunWindows(c);
    }
    return 2;
}

} // namespace cli
