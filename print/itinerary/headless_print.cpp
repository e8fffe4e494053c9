#include "itinerary/headless_print.h"

#include "itinerary/headless_booking.h"
#include "itinerary/painter_surface.h"
#include "itinerary/parser.h"
#include "itinerary/print_out.h"
#include "itinerary/receipts/print_refusal.h"
#include "itinerary/receipts/receipt_log.h"

#include "common/messages.h"

#include <QDir>
#include <QFileInfo>

#include <memory>

namespace itin {

namespace {

// Passes each message on as an output line as it is shown.
class LineMessages : public common::Messages {
public:
    explicit LineMessages(const std::function<void(const QString&)>& out) : out_(out) {}

protected:
    void deliver(const QString& text, const QString&) override { out_(text); }

private:
    const std::function<void(const QString&)>& out_;
};

} // namespace

int RunHeadlessPrint(const HeadlessPrintJob& job, const common::Clock& clock,
                     const std::function<void(const QString&)>& out) {
    const auto booking =
        PrepareHeadlessBooking(job.pnrFile, job.programFolder, job.international, clock, out);
    if (!booking) return 2;
    PrintFormState& formState = booking->formState;
    ItineraryRecord& record = booking->record;
    const PrintSettings& settings = booking->settings;
    const PageSetup& boxes = booking->boxes;
    LineMessages messages(out);
    ParseReservationText(booking->text, record, messages, clock);

    // The ledger deploy.ini names: receipts.db here, or the agency's shared one.
    itin::ReceiptLog log;
    itin::UseConfiguredLedger(log, job.programFolder);
    if (!log.open()) {
        out(log.error());
        return 1;
    }
    const CodeSource source = job.checkCode.isEmpty() ? CodeSource::LogNext : CodeSource::Given;
    record.setField(CheckCode, job.checkCode.isEmpty() ? log.nextCheckCode() : job.checkCode);
    // A refused receipt gets neither a page nor a row.
    if (const QString refused = PrintRefusal(record, formState, settings, boxes.leftr, boxes.topb);
        !refused.isEmpty()) {
        messages.show(refused);
        return 1;
    }

    std::unique_ptr<PdfSurface> pdf;
    std::unique_ptr<PrintSurface> printer;
    PrintSurface* surface = nullptr;
    if (!job.printerName.isEmpty()) {
        if (!job.openPrinter) {
            out(QStringLiteral("打印机不可用"));
            return 1;
        }
        printer = job.openPrinter(job.printerName);
        surface = printer.get();
    } else {
        pdf = std::make_unique<PdfSurface>(job.pdfPath);
        surface = pdf.get();
    }
    const QString target =
        job.printerName.isEmpty() ? QFileInfo(job.pdfPath).absoluteFilePath() : job.printerName;

    // Every passenger's row and check code are taken in one transaction before any page.
    QList<itin::Receipt> rows;
    for (;;) {
        rows << itin::ReceiptFromRecord(record, formState.printMode, target, clock.now());
        if (!record.nextEnabled()) break;
        record.nextPassenger();
    }
    record.showPassenger(0);
    if (!log.reserve(rows, source, job.reprint)) {
        messages.show(log.error());
        return 1;
    }

    QList<PageOutcome> outcomes;
    int status = 0;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (i > 0) record.nextPassenger();
        record.setField(CheckCode, rows[i].checkCode);
        if (status != 0) {
            outcomes.append({rows[i].id, false, QStringLiteral("前一张没有打印出来，这张未打印")});
            continue;
        }
        if (!PrintItinerary(record, formState, settings, boxes.leftr, boxes.topb, messages,
                            *surface)) {
            status = 1;
            outcomes.append({rows[i].id, false,
                             surface->error().isEmpty() ? QStringLiteral("打印机没有接受这一页")
                                                        : surface->error()});
            continue;
        }
        out(rows[i].passenger + QLatin1Char('\t') + rows[i].checkCode);
        outcomes.append({rows[i].id, true, QString()});
    }
    // PDF pages are out only when the file is complete.
    if (pdf && !pdf->finish()) {
        const QString why =
            pdf->error().isEmpty() ? QStringLiteral("无法写入PDF文件") : pdf->error();
        if (status == 0) out(why);
        status = 1;
        for (PageOutcome& o : outcomes)
            if (o.printed) o = {o.id, false, why};
    }
    if (!log.finish(outcomes)) {
        out(log.error());
        status = 1;
    }
    return status;
}

} // namespace itin
