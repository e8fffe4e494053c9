#include "cli/command_line.h"

#include "common/code_page.h"
#include "common/deploy_config.h"
#include "common/headless_input.h"
#include "common/platform/platform.h"
#include "common/program_folder.h"
#include "common/runtime_folder.h"

#include <QGuiApplication>

namespace cli {

namespace {

QCommandLineOption option(const char* name, const char* help, const char* value = nullptr) {
    return value ? QCommandLineOption(QString::fromLatin1(name), QString::fromUtf8(help),
                                      QString::fromLatin1(value))
                 : QCommandLineOption(QString::fromLatin1(name), QString::fromUtf8(help));
}

} // namespace

CommandLine::CommandLine()
    : pnr(option("pnr", "Parse a booking display file, print JSON.", "FILE")),
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
      dataDir(common::DataDirOption()),
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
      dpi(option("dpi", "With --preview: pixels per inch (default 150).", "N")),
      ledgerImport(
          option("ledger-import",
                 "Copy the local receipt log into the shared ledger of deploy.ini, once.")),
      help(QStringList{QStringLiteral("h"), QStringLiteral("?"), QStringLiteral("help"),
                       QStringLiteral("help-all")},
           QStringLiteral("Show this help.")),
      version(QStringList{QStringLiteral("v"), QStringLiteral("version")},
              QStringLiteral("Show the version.")) {
    cli.setApplicationDescription(
        QStringLiteral("Air-ticket agency workstation. Without options: the sign-in window, "
                       "then the main window."));
    cli.addOptions({help,          version,       ticketPage, orderPage, platformPnr, sms,
                    pnr,           ticketRow,     now,        form,      pdf,         printer,
                    checkCode,     international, dataDir,    markup,    handoff,     sheet,
                    vendorRequest, reprint,       receipts,   from,      to,          preview,
                    dpi,           ledgerImport});
    cli.addPositionalArgument(QStringLiteral("PAGE"),
                              QStringLiteral("With --order-page: the order page (a file or an "
                                             "address)."),
                              QStringLiteral("[PAGE]"));
}

namespace {

const char kExamples[] = R"(
Examples:
  print
  print --form --international
  print --pnr booking.txt
  print --pnr booking.txt --pdf receipts.pdf --check-code 0041
  print --pnr booking.txt --preview page.png --dpi 200
  print --receipts --from 2026-03-01 --to 2026-03-31
  print --vendor-request "s=2&u=demo01&u2=001&p=123456")";

// An option is only read with the one it belongs to; alone it would start the windows.
QString missingOption(const CommandLine& c) {
    struct Need {
        const QCommandLineOption& option;
        QList<const QCommandLineOption*> anyOf;
    };
    const Need needs[] = {
        {c.pdf, {&c.pnr}},
        {c.printer, {&c.pnr}},
        {c.preview, {&c.pnr}},
        {c.sms, {&c.pnr}},
        {c.checkCode, {&c.pdf, &c.printer, &c.preview}},
        {c.reprint, {&c.pdf, &c.printer}},
        {c.dpi, {&c.preview}},
        {c.international, {&c.form, &c.pdf, &c.printer, &c.preview}},
        {c.from, {&c.receipts}},
        {c.to, {&c.receipts}},
        {c.platformPnr, {&c.orderPage}},
    };
    for (const Need& need : needs) {
        if (!c.isSet(need.option)) continue;
        QStringList names;
        bool met = false;
        for (const QCommandLineOption* o : need.anyOf) {
            met = met || c.isSet(*o);
            names << QStringLiteral("--") + o->names().constLast();
        }
        if (met) continue;
        const QString last = names.takeLast();
        return QStringLiteral("--") + need.option.names().constLast() + QStringLiteral(" needs ") +
               (names.isEmpty() ? last
                                : names.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last);
    }
    const QStringList stray = c.cli.positionalArguments();
    if (!stray.isEmpty() && !c.isSet(c.orderPage))
        return stray.constFirst() + QStringLiteral(" needs an option before it, such as --pnr");
    return {};
}

} // namespace

bool CommandLine::acceptable(const QStringList& args) {
    return cli.parse(args) && !isSet(help) && !isSet(version) && missingOption(*this).isEmpty();
}

std::optional<int> CommandLine::parse(const QStringList& args) {
    if (!cli.parse(args)) return Fail(cli.errorText());
    if (isSet(help)) {
        // The usage line names the program, not the path it was started by.
        const QString usage = cli.helpText();
        PrintLine(QStringLiteral("Usage: print") + usage.mid(usage.indexOf(u" [options]")) +
                  QString::fromLatin1(kExamples));
        return 0;
    }
    if (isSet(version)) {
        PrintLine(QStringLiteral("print ") + common::BuildVersion());
        return 0;
    }
    if (const QString missing = missingOption(*this); !missing.isEmpty()) return Fail(missing);
    return std::nullopt;
}

Entry PickEntry(const CommandLine& c) {
    const bool pnr = c.isSet(c.pnr);
    if (c.isSet(c.sheet)) return Entry::Sheet;
    if (c.isSet(c.vendorRequest)) return Entry::VendorRequest;
    if (pnr && !c.value(c.printer).isEmpty()) return Entry::PrinterJob;
    if (pnr && (c.isSet(c.pdf) || c.isSet(c.printer))) return Entry::PdfJob;
    if (pnr && c.isSet(c.preview)) return Entry::Preview;
    if (c.isSet(c.receipts)) return Entry::Receipts;
    if (c.isSet(c.ledgerImport)) return Entry::LedgerImport;
    if (pnr && c.isSet(c.sms)) return Entry::SmsText;
    if (c.isSet(c.orderPage)) return Entry::OrderPage;
    if (c.isSet(c.ticketPage)) return Entry::TicketPage;
    if (pnr || c.isSet(c.ticketRow)) return Entry::RecordJson;
    if (c.isSet(c.handoff)) return Entry::HandOff;
    if (c.isSet(c.markup)) return Entry::Markup;
    return Entry::Windows;
}

std::optional<Entry> PeekEntry(int argc, char** argv) {
    // Before the application exists: the raw arguments, read without printing anything.
    QStringList raw;
    for (const std::string& arg : platform::Arguments(argc, argv))
        raw << QString::fromStdString(arg);
    CommandLine c;
    if (!c.acceptable(raw)) return std::nullopt;
    return PickEntry(c);
}

bool RunsWithoutDesk(Entry entry) {
    return entry == Entry::PdfJob || entry == Entry::Preview || entry == Entry::Receipts ||
           entry == Entry::RecordJson;
}

std::unique_ptr<QCoreApplication> MakeJobApplication(std::optional<Entry> entry, int& argc,
                                                     char** argv) {
    // Headless options print to the console the program was started from (print is a
    // windowed program on Windows).
    if (argc > 1) platform::AttachParentConsole();
    if (entry == Entry::PdfJob || entry == Entry::Preview) {
        DrawOffscreen();
        return std::make_unique<QGuiApplication>(argc, argv);
    }
    return std::make_unique<QCoreApplication>(argc, argv);
}

QString CommandLine::programFolder() const {
    return common::Resolve(value(dataDir));
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
    common::EnsurePrivateRuntimeFolder(); // else the platform warns on standard error
}

void PrintLine(const QString& line) {
    platform::WriteOutput((line + QLatin1Char('\n')).toStdString());
}

bool ReadInputText(const QString& path, QString& text) {
    QString error;
    const auto bytes = common::ReadInputFile(path, &error);
    if (!bytes) {
        Fail(error);
        return false;
    }
    text = common::DecodeDetect(*bytes);
    return true;
}

} // namespace cli
