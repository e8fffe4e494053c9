#include "itinerary/headless_preview.h"

#include "itinerary/parser.h"
#include "itinerary/preview_surface.h"
#include "itinerary/receipts/receipt_log.h"
#include "itinerary/settings_store.h"

#include "common/code_page.h"
#include "common/headless_input.h"

#include <QDir>
#include <QSaveFile>

namespace itin {

int RunHeadlessPreview(const HeadlessPreviewJob& job, const common::Clock& clock,
                       const std::function<void(const QString&)>& out) {
    QString error;
    const auto bytes = common::ReadInputFile(job.pnrFile, &error);
    if (!bytes) {
        out(error);
        return 2;
    }
    PCommon common;
    common.PrintMode = job.international ? International : Domestic;
    ItineraryRecord record;
    common::RecordingMessages messages;
    PrintSettings settings;
    LoadPrintSettings(settings, job.programFolder, record, clock);
    PageSetup boxes{QStringLiteral("0"), QStringLiteral("0"), {}, {}, {}};
    ApplyPrintSettings(settings, job.programFolder, record, clock, boxes);
    ParseReservationText(common::decodeDetect(*bytes), common, record, messages, clock);
    for (const common::ShownMessage& m : messages.shown)
        out(m.text);
    QString checkCode = job.checkCode;
    if (checkCode.isEmpty()) {
        itin::ReceiptLog log;
        if (log.open(QDir(job.programFolder).filePath(itin::LogFileName())))
            checkCode = log.nextCheckCode();
    }
    record.setField(CheckCode, checkCode);

    const QString formPath = PreviewFormImagePath(job.programFolder);
    PreviewSurface surface(job.dpi, formPath.isEmpty() ? QImage() : QImage(formPath));
    const QString refused =
        RenderPreview(record, common, settings, boxes.leftr, boxes.topb, surface);
    if (!refused.isEmpty()) {
        out(refused);
        return 1;
    }
    for (const PreviewSurface::Placed& p : surface.placed())
        if (p.flagged) out(QStringLiteral("超出或重叠：") + p.text);
    QSaveFile file(job.pngPath);
    if (!file.open(QIODevice::WriteOnly) || !surface.image().save(&file, "PNG") ||
        !file.commit()) {
        out(QStringLiteral("无法写入预览图片 %1").arg(job.pngPath));
        return 1;
    }
    return 0;
}

} // namespace itin
