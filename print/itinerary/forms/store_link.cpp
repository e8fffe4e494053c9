#include "itinerary/forms/store_link.h"

#include "common/text_ops.h"
#include "itinerary/painter_surface.h"
#include "itinerary/print_out.h"
#include "itinerary/receipts/print_refusal.h"
#include "itinerary/receipts/receipt_log.h"

#include <QLineEdit>

namespace itin {

void LoadSettingsIntoForm(ItineraryContext& ctx, ItineraryRecord& record, QLineEdit& leftr,
                          QLineEdit& topb) {
    LoadPrintSettings(ctx.settings, ctx.programFolder, record, ctx.clock);
    PageSetup boxes;
    if (ApplyPrintSettings(ctx.settings, ctx.programFolder, record, ctx.clock, boxes)) {
        leftr.setText(boxes.leftr);
        topb.setText(boxes.topb);
    }
    // The check code carries on from the last receipt printed.
    if (ctx.receiptLog && record.field(CheckCode).isEmpty())
        record.setField(CheckCode, ctx.receiptLog->nextCheckCode());
}

void SavePageBlock(ItineraryContext& ctx, const QString& leftr, const QString& topb,
                   const ItineraryRecord& record) {
    SavePageSetup(ctx.settings, ctx.programFolder, PageSetupFromForm(leftr, topb, record));
}

PlatformList LoadPlatforms(ItineraryContext& ctx) {
    return LoadPlatformList(ctx.settings, ctx.programFolder);
}

void SaveFonts(ItineraryContext& ctx, const FontChoice& choice) {
    SaveFontSettings(ctx.settings, ctx.programFolder, choice);
}

bool PrintReceipt(ItineraryContext& ctx, ItineraryRecord& record, const QString& leftr,
                  const QString& topb) {
    itin::ReceiptLog* log = ctx.receiptLog;
    const QString code = common::TrimSpaces(record.field(CheckCode));
    // A refused receipt gets neither a page nor a row.
    if (const QString refused = PrintRefusal(record, ctx.formState, ctx.settings, leftr, topb);
        !refused.isEmpty()) {
        ctx.messages.show(refused);
        return false;
    }
    const bool reuse = log && log->contains(code);
    if (reuse && !ctx.messages.ask(itin::DuplicateCheckCodeMessage(code) +
                                   QStringLiteral("，确定用它再打印一张吗？")))
        return false;
    // Once per booking: the flights the receipt leaves out.
    if (const QStringList leftOut = record.takeLeftOutFlights(); !leftOut.isEmpty())
        ctx.messages.show(QStringLiteral("行程单只打印前两个航段，以下航班不在行程单上：") +
                          leftOut.join(QStringLiteral("、")));
    std::unique_ptr<PrintSurface> surface;
    if (ctx.makePrintSurface)
        surface = ctx.makePrintSurface();
    else
        surface = std::make_unique<PrinterSurface>();
    if (!surface) {
        ctx.messages.show(QStringLiteral("打印机不可用"));
        return false;
    }
    // The row and its check code are written before the page goes out; no row, no page.
    QList<itin::Receipt> rows;
    if (log) {
        rows = {itin::ReceiptFromRecord(record, ctx.formState.printMode, QStringLiteral("default"),
                                        ctx.clock.now())};
        if (!log->reserve(rows, CodeSource::Given, reuse)) {
            ctx.messages.show(log->error() + QStringLiteral("，行程单没有打印"));
            return false;
        }
    }
    const bool printed =
        PrintItinerary(record, ctx.formState, ctx.settings, leftr, topb, ctx.messages, *surface);
    if (!log) return printed;
    QString reason;
    if (!printed)
        reason =
            surface->error().isEmpty() ? QStringLiteral("打印机没有接受这一页") : surface->error();
    if (!log->finish({{rows.first().id, printed, reason}})) ctx.messages.show(log->error());
    // The counter only moves forward: after a reprint the box shows the log's next code.
    if (const QString next = log->nextCheckCode(); printed && !next.isEmpty())
        record.setField(CheckCode, next);
    return printed;
}

} // namespace itin
