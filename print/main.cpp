// print: the agency workstation. Without options it starts the windows; the options
// below are headless entry points for scripted use and tests.
#include "browser_profile.h"
#include "clock.h"
#include "code_page.h"
#include "deploy_config.h"
#include "headless_input.h"
#include "headless_print.h"
#include "markup_dump.h"
#include "messages.h"
#include "order_page_headless.h"
#include "p_excel.h"
#include "parser.h"
#include "print_hand_off.h"
#include "program_folder.h"
#include "record_json.h"
#include "run_workstation.h"
#include "sms_headless.h"
#include "standalone.h"
#include "ticket_rows.h"
#include "vendor_cli.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDateTime>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>
#include <memory>

namespace {

int fail(const QString& message) {
    std::fprintf(stderr, "print: %s\n", message.toUtf8().constData());
    return 2;
}

void printLine(const QByteArray& utf8) {
    std::fwrite(utf8.constData(), 1, size_t(utf8.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[]) {
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);

    QCommandLineParser cli;
    cli.setApplicationDescription(QStringLiteral("Air-ticket agency workstation"));
    cli.addHelpOption();
    const QCommandLineOption pnrOpt(QStringLiteral("pnr"),
                                    QStringLiteral("Parse a booking display file, print JSON."),
                                    QStringLiteral("FILE"));
    const QCommandLineOption ticketRowOpt(QStringLiteral("ticket-row"),
                                          QStringLiteral("Fill a fresh record from a ticket row."),
                                          QStringLiteral("TEXT"));
    const QCommandLineOption nowOpt(QStringLiteral("now"),
                                    QStringLiteral("Pin the clock (ISO date and time)."),
                                    QStringLiteral("DATETIME"));
    const QCommandLineOption sheetOpt(QStringLiteral("sheet"),
                                      QStringLiteral("List the ticket rows of a workbook as JSON."),
                                      QStringLiteral("FILE"));
    const QCommandLineOption formOpt(QStringLiteral("form"),
                                     QStringLiteral("Open the print form alone."));
    const QCommandLineOption pdfOpt(QStringLiteral("pdf"),
                                    QStringLiteral("With --pnr: print the receipts into a PDF."),
                                    QStringLiteral("OUT.pdf"));
    const QCommandLineOption printerOpt(QStringLiteral("printer"),
                                        QStringLiteral("With --pnr: print the receipts on a "
                                                       "printer (a name or \"default\")."),
                                        QStringLiteral("NAME"));
    const QCommandLineOption checkCodeOpt(QStringLiteral("check-code"),
                                          QStringLiteral("Check code of the first receipt."),
                                          QStringLiteral("CODE"));
    const QCommandLineOption internationalOpt(
        QStringLiteral("international"),
        QStringLiteral("International print mode (with --pdf/--printer: its layout)."));
    const QCommandLineOption dataDirOpt = programfolder::dataDirOption();
    const QCommandLineOption vendorOpt(QStringLiteral("vendor-request"),
                                       QStringLiteral("Send one vendor service request "
                                                      "(e.g. \"s=0&u=name\"), print the reply."),
                                       QStringLiteral("PARAMS"));
    const QCommandLineOption smsOpt(QStringLiteral("sms"),
                                    QStringLiteral("With --pnr: print the SMS text of template TYPE (1-7)."),
                                    QStringLiteral("TYPE"));
    const QCommandLineOption markupOpt(QStringLiteral("markup"),
                                       QStringLiteral("Load a page headless, print its markup."),
                                       QStringLiteral("URL"));
    const QCommandLineOption handoffOpt(QStringLiteral("handoff"),
                                        QStringLiteral("Hand a print data file over, print JSON."),
                                        QStringLiteral("FILE"));
    const QCommandLineOption orderPageOpt(
        QStringLiteral("order-page"),
        QStringLiteral("Read a platform order detail page (PLATFORM 0 or 1, then the page as "
                       "argument), print JSON."),
        QStringLiteral("PLATFORM"));
    const QCommandLineOption platformPnrOpt(QStringLiteral("platform-pnr"),
                                            QStringLiteral("With --order-page: the PNR."),
                                            QStringLiteral("PNR"));
    cli.addOptions({orderPageOpt, platformPnrOpt, smsOpt, pnrOpt, ticketRowOpt, nowOpt, formOpt, pdfOpt, printerOpt, checkCodeOpt,
                    internationalOpt, dataDirOpt, markupOpt, handoffOpt, sheetOpt, vendorOpt});
    if (!cli.parse(args)) return fail(cli.errorText());
    if (cli.isSet(QStringLiteral("help"))) {
        printLine(cli.helpText().toUtf8());
        return 0;
    }

    QString inputError;
    // Every file or text named for a headless run is read through one size cap.
    const auto readInput = [&](const QString& path, qint64 limit = headless::kMaxInputBytes) {
        return headless::ReadInputFile(path, &inputError, limit);
    };
    if (cli.isSet(ticketRowOpt) && !headless::CheckInputText(cli.value(ticketRowOpt), &inputError))
        return fail(inputError);

    if (cli.isSet(sheetOpt)) {
        if (!readInput(cli.value(sheetOpt), wbook::kMaxWorkbookBytes)) return fail(inputError);
        const ximport::TicketLoad load = ximport::LoadTicketWorkbook(cli.value(sheetOpt));
        if (!load.ok) {
            std::fprintf(stderr, "%s\n", load.message.toUtf8().constData());
            return 1;
        }
        for (const ximport::TicketListRow& row : load.rows)
            printLine(ximport::TicketRowJson(row));
        return 0;
    }

    std::unique_ptr<Clock> clock;
    if (cli.isSet(nowOpt)) {
        const QDateTime at = QDateTime::fromString(cli.value(nowOpt), Qt::ISODate);
        if (!at.isValid())
            return fail(QStringLiteral("--now needs a date such as 2026-03-01T09:00:00"));
        clock = std::make_unique<FixedClock>(at);
    } else {
        clock = std::make_unique<SystemClock>();
    }

    if (cli.isSet(vendorOpt)) {
        QCoreApplication app(argc, argv);
        return shell::RunVendorRequest(programfolder::resolve(cli.value(dataDirOpt)),
                                       cli.value(vendorOpt),
                                       [](const QString& line) { printLine(line.toUtf8()); });
    }

    if (cli.isSet(pnrOpt) && (cli.isSet(pdfOpt) || cli.isSet(printerOpt))) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        itin::HeadlessPrintJob job;
        job.pnrFile = cli.value(pnrOpt);
        job.pdfPath = cli.value(pdfOpt);
        job.printerName = cli.value(printerOpt);
        job.checkCode = cli.value(checkCodeOpt);
        job.international = cli.isSet(internationalOpt);
        job.programFolder = programfolder::resolve(cli.value(dataDirOpt), args.value(0));
        return itin::RunHeadlessPrint(job, *clock,
                                      [](const QString& line) { printLine(line.toUtf8()); });
    }

    if (cli.isSet(pnrOpt) && cli.isSet(smsOpt)) {
        const int type = cli.value(smsOpt).toInt();
        if (type < 1 || type > 7) return fail(QStringLiteral("--sms needs a template type 1 to 7"));
        const auto booking = readInput(cli.value(pnrOpt));
        if (!booking) return fail(inputError);
        const sms::HeadlessSms out = sms::ComposeHeadless(
            codepage::decodeDetect(*booking), type,
            programfolder::resolve(cli.value(dataDirOpt), args.value(0)), *clock);
        for (const QString& m : out.messages) printLine(m.toUtf8());
        printLine(out.text.toUtf8());
        return 0;
    }

    if (cli.isSet(orderPageOpt)) {
        if (cli.positionalArguments().size() != 1)
            return fail(QStringLiteral("--order-page needs PLATFORM and PAGE"));
        browser::PrepareEngine();
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv);
        ximport::OrderPageJob job;
        job.platform = cli.value(orderPageOpt);
        job.page = cli.positionalArguments().constFirst();
        job.platformPnr = cli.value(platformPnrOpt);
        job.pnrFile = cli.value(pnrOpt);
        job.timeoutMs = DeployConfig::load(programfolder::resolve(cli.value(dataDirOpt))).httpTimeoutMs();
        return ximport::RunOrderPage(
            job, *clock, [](const QByteArray& line) { printLine(line); },
            [](const QString& why) { std::fprintf(stderr, "print: %s\n", why.toUtf8().constData()); });
    }

    if (cli.isSet(pnrOpt) || cli.isSet(ticketRowOpt)) {
        itin::PCommon common;
        itin::ItineraryRecord record;
        RecordingMessages messages;
        if (cli.isSet(ticketRowOpt)) {
            itin::FillFromTicketRow(cli.value(ticketRowOpt), record);
        } else {
            const auto booking = readInput(cli.value(pnrOpt));
            if (!booking) return fail(inputError);
            itin::ParseReservationText(codepage::decodeDetect(*booking), common, record,
                                       messages, *clock);
        }
        printLine(itin::RecordJson(common, record, messages.shown));
        return 0;
    }

    if (cli.isSet(handoffOpt)) {
        const auto data = readInput(cli.value(handoffOpt));
        if (!data) return fail(inputError);
        QString text = codepage::decodeDetect(*data);
        while (text.endsWith(u'\n') || text.endsWith(u'\r'))
            text.chop(1);
        printLine(shell::HandOffJson(text));
        return 0;
    }

    browser::PrepareEngine();
    if (cli.isSet(markupOpt)) {
        // Headless: no window system needed.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv);
        const QString folder = programfolder::resolve(cli.value(dataDirOpt));
        return browser::DumpMarkup(cli.value(markupOpt),
                                   DeployConfig::load(folder).httpTimeoutMs());
    }

    QApplication app(argc, argv);
    if (cli.isSet(formOpt))
        return itin::RunPrintFormAlone(app, cli.isSet(internationalOpt),
                                       programfolder::resolve(cli.value(dataDirOpt)),
                                       ximport::InstallSpreadsheetImport);
    return shell::RunWorkstation(programfolder::resolve(cli.value(dataDirOpt)));
}
