#pragma once
// A minimal print surface and print-out the form uses until the real print-out is linked
// in: the two refusals, one page per receipt, the check code advance.
#include "p_common.h"
#include "print_settings.h"

#include "messages.h"

#include <QString>

namespace itin {

class PrintSurface {
public:
    virtual ~PrintSurface() = default;
    virtual void drawText(int x, int y, const QString& text) = 0;
    virtual void endPage() = 0;
};

namespace standin {

void PrintItinerary(ItineraryRecord& record, const QString& leftr, const QString& topb, qint16 mode,
                    const PrintSettings& s, PrintSurface* surface, Messages& messages);

} // namespace standin
} // namespace itin
