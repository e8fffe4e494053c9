#include "itinerary/headless_preview.h"

#include "itinerary/headless_booking.h"
#include "itinerary/parser.h"
#include "itinerary/preview_surface.h"
#include "itinerary/receipts/receipt_log.h"

#include "common/messages.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace itin {

int RunHeadlessPreview(const HeadlessPreviewJob& job, const common::Clock& clock,
                       const std::function<void(const QString&)>& out) {
    const auto booking =
        PrepareHeadlessBooking(job.pnrFile, job.programFolder, job.international, clock, out);
    if (!booking) return 2;
    PrintFormState& formState = booking->formState;
    ItineraryRecord& record = booking->record;
    const PageSetup& boxes = booking->boxes;
    common::RecordingMessages messages;
    ParseReservationText(booking->text, record, messages, clock);
    for (const common::ShownMessage& m : messages.shown)
        out(m.text);
    QString checkCode = job.checkCode;
    // The log's next code when there is one; a preview needs none.
    if (checkCode.isEmpty()) {
        itin::ReceiptLog log;
        itin::UseConfiguredLedger(log, job.programFolder);
        // A local log is not made for a preview; a shared ledger is asked.
        const bool local = !log.shared();
        if ((!local || QFileInfo::exists(QDir(job.programFolder).filePath(itin::LogFileName()))) &&
            log.open())
            checkCode = log.nextCheckCode();
    }
    record.setField(CheckCode, checkCode);

    const QString formPath = PreviewFormImagePath(job.programFolder);
    PreviewSurface surface(job.dpi, LoadFormImage(formPath));
    const QString refused =
        RenderPreview(record, formState, booking->settings, boxes.leftr, boxes.topb, surface);
    if (!refused.isEmpty()) {
        out(refused);
        return 1;
    }
    for (const PreviewSurface::Placed& p : surface.placed())
        if (p.flagged) out(QStringLiteral("超出或重叠：") + p.text);
    QSaveFile file(job.pngPath);
    if (!file.open(QIODevice::WriteOnly) || !surface.image().save(&file, "PNG") || !file.commit()) {
        out(QStringLiteral("无法写入预览图片 %1").arg(job.pngPath));
        return 1;
    }
    return 0;
}

} // namespace itin
