#pragma once
// The receipt print-out: every field of the record at its fixed place on the pre-printed
// form, shifted by the agent's offsets, one page per call; the check code advances after
// a page that went to the printer.
#include "itinerary/print_form_state.h"
#include "itinerary/print_settings.h"
#include "itinerary/print_surface.h"
#include "itinerary/record.h"

#include "common/messages.h"

#include <QList>
#include <QPoint>

#include <optional>

namespace itin {

// One line of the print layout: a field (or the mark "国际(I)" when field is -1) at the
// origin plus (dx, dy) twips.
struct LayoutItem {
    int field;
    int dx;
    int dy;
    bool internationalOnly;
};

// The layout in print order (the segment rows expanded into their nine columns).
const QList<LayoutItem>& PrintLayout();

// The mark printed on international receipts.
QString InternationalMark();

// The origin in twips for the offset box texts: mm × 56.7 plus the margins 840 / 340,
// rounded half to even. Empty when the origin or any layout position would leave the
// 16-bit range the printer positions need.
std::optional<QPoint> PrintOrigin(const QString& leftr, const QString& topb);

// The next check code: the number plus one, padded with zeros to four digits, a fifth
// digit cut, six or more digits giving an empty text. A text that is not a whole number
// stays as it is.
QString AdvanceCheckCode(const QString& checkCode);

// Draws text at the surface's current position in the font its first character selects
// (set 2 for ASCII, set 1 otherwise); an empty text draws nothing.
void PrintText(PrintSurface& surface, const PrintSettings& settings, const QString& text);

// Prints the receipt of the record as the print form shows it (offset boxes leftr and
// topb). Shows a message and prints nothing when PnrQuery or CheckCode is empty, the
// offsets are out of range or the printer cannot print. True when the page went out; the
// check code has then advanced. A preview (requireCheckCode false) draws an empty check
// code as an empty box.
bool PrintItinerary(ItineraryRecord& record, const PrintFormState& formState,
                    const PrintSettings& settings, const QString& leftr, const QString& topb,
                    common::Messages& messages, PrintSurface& surface,
                    bool requireCheckCode = true);

} // namespace itin
