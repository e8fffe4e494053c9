#include "store_link.h"

#include "print_standin.h"

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
    if (ctx.makePrintSurface) surface = ctx.makePrintSurface();
    standin::PrintItinerary(record, leftr, topb, ctx.common.PrintMode, ctx.settings, surface.get(),
                            ctx.messages);
}

} // namespace itin::link
