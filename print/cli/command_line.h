#pragma once
// The options of print and what every entry point gets: the parsed command line, the
// program folder and the clock. main.cpp (or, for the runs that need it, the desk's
// DeskMain) makes the application the options need, reads the options and runs the entry
// point PickEntry names; each headless entry point is one small file beside it (run_*.cpp).
#include "common/clock.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

#include <memory>
#include <optional>

namespace cli {

struct CommandLine {
    CommandLine();

    // Reads args (the application's arguments once it exists). Returns the exit code when
    // the run ends here: 0 after --help or --version, 2 after one line naming what is
    // wrong (an unknown option, an option without the one it belongs to, a stray
    // argument); nothing when an entry point is to run.
    std::optional<int> parse(const QStringList& args);
    // The same checks without printing anything.
    bool acceptable(const QStringList& args);

    QCommandLineParser cli;
    const QCommandLineOption pnr, ticketRow, now, sheet, form, pdf, printer, checkCode,
        international, dataDir, vendorRequest, sms, markup, handoff, orderPage, platformPnr,
        ticketPage, reprint, receipts, from, to, preview, dpi, ledgerImport, help, version;

    bool isSet(const QCommandLineOption& o) const { return cli.isSet(o); }
    QString value(const QCommandLineOption& o) const { return cli.value(o); }
    // Where the settings files live ("--data-dir", else the program's folder).
    QString programFolder() const;
    // The clock of the run: pinned by "--now", else the system clock; null after a bad
    // "--now" (the reason is printed).
    std::unique_ptr<common::Clock> makeClock() const;
};

// The entry point a command line runs, in the order they are tried.
enum class Entry {
    Sheet,
    VendorRequest,
    PrinterJob,
    PdfJob,
    Preview,
    Receipts,
    LedgerImport,
    SmsText,
    OrderPage,
    TicketPage,
    RecordJson,
    HandOff,
    Markup,
    Windows,
};
Entry PickEntry(const CommandLine& c);
// The entry point of the raw arguments; nothing when they are not a run (bad options,
// --help, --version).
std::optional<Entry> PeekEntry(int argc, char** argv);
// Jobs that need no widgets, network, workbooks or pages: print runs them alone; the
// rest run in the desk module (see desk.h).
bool RunsWithoutDesk(Entry entry);
// The application a run without the desk needs: a GUI drawing offscreen for the PDF and
// preview jobs, otherwise (also for --help, --version and bad options) a core application.
std::unique_ptr<QCoreApplication> MakeJobApplication(std::optional<Entry> entry, int& argc,
                                                     char** argv);

// "print: <message>" on standard error; returns the exit code 2.
int Fail(const QString& message);
// Headless runs draw offscreen unless QT_QPA_PLATFORM names a window system.
void DrawOffscreen();
// One line on standard output, flushed.
void PrintLine(const QString& line);
// The whole file as text (UTF-8 or GBK), read through the size cap of headless input;
// false after printing why it cannot be read or is too big.
bool ReadInputText(const QString& path, QString& text);

// Entry points, one file each.
int RunSheet(const CommandLine& c);         // --sheet FILE
int RunVendorRequest(const CommandLine& c); // --vendor-request PARAMS
int RunPrintJob(const CommandLine& c);      // --pnr FILE --pdf OUT.pdf
int RunPrinterJob(const CommandLine& c);    // --pnr FILE --printer NAME
int RunSmsText(const CommandLine& c);       // --pnr FILE --sms TYPE
int RunRecordJson(const CommandLine& c);    // --pnr FILE, or --ticket-row TEXT
int RunHandOff(const CommandLine& c);       // --handoff FILE
int RunOrderPage(const CommandLine& c);     // --order-page PLATFORM PAGE
int RunTicketPage(const CommandLine& c);    // [--pnr FILE] --ticket-page PAGE
int RunMarkup(const CommandLine& c);        // --markup URL
int RunReceipts(const CommandLine& c);      // --receipts [--from DATE] [--to DATE]
int RunPreview(const CommandLine& c);       // --pnr FILE --preview OUT.png [--dpi N]
int RunWindows(const CommandLine& c);       // no option (or --form): the windows
int RunLedgerImport(const CommandLine& c);  // --ledger-import

} // namespace cli
