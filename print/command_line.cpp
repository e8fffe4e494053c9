#include "command_line.h"

#include "common/code_page.h"
#include "common/headless_input.h"
#include "common/platform/platform.h"
#include "common/program_folder.h"

namespace {

QCommandLineOption option(const char* name, const char* help, const char* value = nullptr) {
    return value ? QCommandLineOption(QString::fromLatin1(name), QString::fromUtf8(help),
                                      QString::fromLatin1(value))
                 : QCommandLineOption(QString::fromLatin1(name), QString::fromUtf8(help));
}

} // namespace

CommandLine::CommandLine(int argc_, char** argv_)
    : argc(argc_), argv(argv_),
      pnr(option("pnr", "Parse a booking display file, print JSON.", "FILE")),
      ticketRow(option("ticket-row", "Fill a fresh record from a ticket row.", "TEXT")),
      now(option("now", "Pin the clock (ISO date and time).", "DATETIME")),
      sheet(option("sheet", "List the ticket rows of a workbook as JSON.", "FILE")),
      form(option("form", "Open the print form alone.")),
      pdf(option("pdf", "With --pnr: print the receipts into a PDF.", "OUT.pdf")),
      printer(option("printer",
                     "With --pnr: print the receipts on a printer (a name or \"default\").",
                     "NAME")),
      checkCode(option("check-code", "Check code of the first receipt.", "CODE")),
      international(
          option("international", "International print mode (with --pdf/--printer: its layout).")),
      dataDir(common::dataDirOption()),
      vendorRequest(option("vendor-request",
                           "Send one vendor service request (e.g. \"s=0&u=name\"), print the "
                           "reply.",
                           "PARAMS")),
      sms(option("sms", "With --pnr: print the SMS text of template TYPE (1-7).", "TYPE")),
      markup(option("markup", "Load a page headless, print its markup.", "URL")),
      handoff(option("handoff", "Hand a print data file over, print JSON.", "FILE")),
      orderPage(option("order-page",
                       "Read a platform order detail page (PLATFORM 0 or 1, then the page as "
                       "argument), print JSON.",
                       "PLATFORM")),
      platformPnr(option("platform-pnr", "With --order-page: the PNR.", "PNR")),
      ticketPage(option("ticket-page",
                        "Apply an e-ticket result page (a file or an address) to a record "
                        "(with --pnr: the parsed one), print JSON.",
                        "PAGE")),
      reprint(option("reprint",
                     "With --pdf/--printer: print check codes the receipt log already holds.")),
      receipts(option("receipts", "Print the receipt log (receipts.db) as CSV.")),
      from(option("from", "With --receipts: from this day (2026-03-01, 2026/3/1 or 20260301).",
                  "DATE")),
      to(option("to", "With --receipts: up to and with this day.", "DATE")),
      preview(
          option("preview", "With --pnr: the first receipt's print preview as a PNG.", "OUT.png")),
      dpi(option("dpi", "With --preview: pixels per inch (default 150).", "N")) {
    // Headless options print to the console the program was started from (print is a
    // windowed program on Windows); arguments whole, whatever the code page.
    if (argc > 1) platform::AttachParentConsole();
    for (const std::string& arg : platform::Arguments(argc, argv))
        args << QString::fromStdString(arg);
    cli.setApplicationDescription(QStringLiteral("Air-ticket agency workstation"));
    cli.addHelpOption();
    cli.addOptions(
        {ticketPage,    orderPage, platformPnr, sms,           pnr,     ticketRow, now,     form,
         pdf,           printer,   checkCode,   international, dataDir, markup,    handoff, sheet,
         vendorRequest, reprint,   receipts,    from,          to,      preview,   dpi});
}

QString CommandLine::programFolder() const {
    return common::resolve(value(dataDir), args.value(0));
}

std::unique_ptr<common::Clock> CommandLine::makeClock() const {
    if (!isSet(now)) return std::make_unique<common::SystemClock>();
    const QDateTime at = QDateTime::fromString(value(now), Qt::ISODate);
    if (!at.isValid()) {
        Fail(QStringLiteral("--now needs a date such as 2026-03-01T09:00:00"));
        return nullptr;
    }
    return std::make_unique<common::FixedClock>(at);
}

int Fail(const QString& message) {
    platform::WriteOutput(QStringLiteral("print: %1\n").arg(message).toStdString(), true);
    return 2;
}

void DrawOffscreen() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
}

void PrintLine(const QString& line) {
    platform::WriteOutput((line + QLatin1Char('\n')).toStdString());
}

bool ReadInputFile(const QString& path, QString& text) {
    QString error;
    const auto bytes = common::ReadInputFile(path, &error);
    if (!bytes) {
        Fail(error);
        return false;
    }
    text = common::decodeDetect(*bytes);
    return true;
}
