#include "store_link.h"

#include "painter_surface.h"
#include "print_out.h"

#include <QLineEdit>

namespace itin::link {

void LoadSettingsIntoForm(ItineraryContext& ctx, ItineraryRecord& record, QLineEdit& leftr,
                          QLineEdit& topb) {
    LoadPrintSettings(ctx.settings, ctx.programFolder, record, ctx.clock);
    ResetPassengerButtons(record);
    PageSetup boxes;
    if (ApplyPrintSettings(ctx.settings, ctx.programFolder, record, ctx.clock, boxes)) {
        leftr.setText(boxes.leftr);
        topb.setText(boxes.topb);
    }
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

void PrintReceipt(ItineraryContext& ctx, ItineraryRecord& record, const QString& leftr,
                  const QString& topb) {
    std::unique_ptr<PrintSurface> surface;
    if (ctx.makePrintSurface)
        surface = ctx.makePrintSurface();
    else
        surface = std::make_unique<PrinterSurface>();
    if (!surface) {
        ctx.messages.show(QStringLiteral("打印机不可用"));
        return;
    }
    PrintItinerary(record, ctx.common, ctx.settings, leftr, topb, ctx.messages, *surface);
}

} // namespace itin::link
