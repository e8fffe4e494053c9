#include "store_link.h"

#include "settings_standin.h"

#include <QLineEdit>

namespace itin::link {

void LoadSettingsIntoForm(ItineraryContext& ctx, ItineraryRecord& record, QLineEdit& leftr,
                          QLineEdit& topb) {
    standin::LoadPrintSettings(ctx.settings, ctx.programFolder, record, ctx.clock);
    ResetPassengerButtons(record);
    QString l = leftr.text(), t = topb.text();
    standin::ApplyPrintSettings(ctx.settings, ctx.programFolder, record, ctx.clock, l, t);
    leftr.setText(l);
    topb.setText(t);
}

void SavePageBlock(ItineraryContext& ctx, const QString& leftr, const QString& topb,
                   const ItineraryRecord& record) {
    standin::SavePageSetup(ctx.programFolder, leftr, topb, record);
}

QStringList LoadPlatforms(ItineraryContext& ctx, QString& listText) {
    return standin::LoadPlatformList(ctx.programFolder, listText);
}

FontChoice StoredFonts(const PrintSettings& s) {
    return {s.fonttype1,      s.fontsize1,      s.bold1,     s.italic1, s.underline1,
            s.strikethrough1, s.fonttype2,      s.fontsize2, s.bold2,   s.italic2,
            s.underline2,     s.strikethrough2, s.sc};
}

void SaveFonts(ItineraryContext& ctx, const FontChoice& c) {
    PrintSettings chosen = ctx.settings;
    chosen.fonttype1 = c.face1;
    chosen.fontsize1 = c.size1;
    chosen.bold1 = c.bold1;
    chosen.italic1 = c.italic1;
    chosen.underline1 = c.underline1;
    chosen.strikethrough1 = c.strikethrough1;
    chosen.fonttype2 = c.face2;
    chosen.fontsize2 = c.size2;
    chosen.bold2 = c.bold2;
    chosen.italic2 = c.italic2;
    chosen.underline2 = c.underline2;
    chosen.strikethrough2 = c.strikethrough2;
    chosen.sc = c.sc;
    standin::SaveFontSettings(ctx.settings, ctx.programFolder, chosen);
}

void PrintReceipt(ItineraryContext& ctx, ItineraryRecord& record, const QString& leftr,
                  const QString& topb) {
    std::unique_ptr<PrintSurface> surface;
    if (ctx.makePrintSurface) surface = ctx.makePrintSurface();
    standin::PrintItinerary(record, leftr, topb, ctx.common.PrintMode, ctx.settings, surface.get(),
                            ctx.messages);
}

} // namespace itin::link
