#pragma once
// Minimal print settings and print surface the forms use until the settings store and the
// print-out are linked in: the page block round trip, the font values, a page counter.
#include "p_common.h"

#include "clock.h"
#include "messages.h"

#include <QString>
#include <QStringList>

namespace itin {

struct PrintSettings {
    QString leftr, topb, companycode, companynumber, companyname;
    QString fonttype1 = QStringLiteral("TEC");
    double fontsize1 = 18;
    bool bold1 = false, underline1 = false, italic1 = false, strikethrough1 = false;
    QString fonttype2 = QStringLiteral("TEE");
    double fontsize2 = 13;
    bool bold2 = false, underline2 = false, italic2 = false, strikethrough2 = false;
    bool sc = false;
};

class PrintSurface {
public:
    virtual ~PrintSurface() = default;
    virtual void drawText(int x, int y, const QString& text) = 0;
    virtual void endPage() = 0;
};

namespace standin {

bool LoadPrintSettings(PrintSettings& s, const QString& folder, ItineraryRecord& record,
                       const Clock& clock);
void ApplyPrintSettings(PrintSettings& s, const QString& folder, ItineraryRecord& record,
                        const Clock& clock, QString& leftr, QString& topb);
void SavePageSetup(const QString& folder, const QString& leftr, const QString& topb,
                   const ItineraryRecord& record);
void SaveFontSettings(PrintSettings& s, const QString& folder, const PrintSettings& chosen);
// Display names for the platform selector, and the list text kept in its Tag.
QStringList LoadPlatformList(const QString& folder, QString& listText);
void PrintItinerary(ItineraryRecord& record, const QString& leftr, const QString& topb, qint16 mode,
                    const PrintSettings& s, PrintSurface* surface, Messages& messages);

} // namespace standin
} // namespace itin
