#include "itinerary/headless_print.h"

#include "itinerary/headless_booking.h"
#include "itinerary/painter_surface.h"
#include "itinerary/parser.h"
#include "itinerary/print_out.h"
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
    PCommon& common = booking->common;
    ItineraryRecord& record = booking->record;
    const PrintSettings& settings = booking->settings;
    const PageSetup& boxes = booking->boxes;
    LineMessages messages(out);

    itin::ReceiptLog log;
    if (!log.open(QDir(job.programFolder).filePath(itin::LogFileName()))) {
        out(log.error());
        return 1;
    }

    ParseReservationText(booking->text, common, record, messages, clock);
    record.setField(CheckCode, job.checkCode.isEmpty() ? log.nextCheckCode() : job.checkCode);

    std::unique_ptr<PdfSurface> pdf;
    std::unique_ptr<PrinterSurface> printer;
    PrintSurface* surface = nullptr;
    if (!job.printerName.isEmpty()) {
        printer = std::make_unique<PrinterSurface>(job.printerName);
        surface = printer.get();
    } else {
        pdf = std::make_unique<PdfSurface>(job.pdfPath);
        surface = pdf.get();
    }

    const QString target = job.printerName.isEmpty() ? QFileInfo(job.pdfPath).absoluteFilePath()
                                                     : job.printerName;
    // A printer job is out when it ends; PDF pages are out only when the file is complete,
    // so their rows wait for that.
    QList<std::pair<itin::Receipt, QString>> pending;
    const auto logNow = [&](const itin::Receipt& r, const QString& next) {
        if (!log.record(r, next)) messages.show(log.error());
    };
    const auto logReceipt = [&](const QString& next) {
        const itin::Receipt r =
            itin::ReceiptFromRecord(record, common.PrintMode, target, clock.now());
        if (pdf)
            pending.append({r, next});
        else
            logNow(r, next);
    };
    int status = 0;
    for (;;) {
        const QString name = record.field(PassengerName);
        const QString code = record.field(CheckCode);
        if (!job.reprint && log.contains(code)) {
            messages.show(itin::DuplicateCheckCodeMessage(code));
            status = 1;
            break;
        }
        if (!PrintItinerary(record, common, settings, boxes.leftr, boxes.topb, messages, *surface,
                            logReceipt)) {
            status = 1;
            break;
        }
        out(name + QLatin1Char('\t') + code);
        if (!record.nextEnabled()) break;
        NextPassenger(common, record);
    }
    if (pdf && !pdf->finish()) {
        if (status == 0)
            out(pdf->error().isEmpty() ? QStringLiteral("无法写入PDF文件") : pdf->error());
        status = 1;
        pending.clear();
    }
    for (const auto& [r, next] : pending)
        logNow(r, next);
    return status;
}

} // namespace itin
