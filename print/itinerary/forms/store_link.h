#pragma once
// The forms' one connection to the print settings store and the print-out.
#include "itinerary_context.h"
#include "record.h"

#include <QString>
#include <QStringList>

class QLineEdit;

namespace itin::link {

// The settings part of the print form's load: load, reset the stepping buttons, apply the
// offsets and agency fields to the form.
void LoadSettingsIntoForm(ItineraryContext& ctx, ItineraryRecord& record, QLineEdit& leftr,
                          QLineEdit& topb);
// Writes the page block from the form's boxes.
void SavePageBlock(ItineraryContext& ctx, const QString& leftr, const QString& topb,
                   const ItineraryRecord& record);
// Creates or repairs the platform list; returns the display names and the whole list text.
QStringList LoadPlatforms(ItineraryContext& ctx, QString& listText);

// The font dialog's choices.
struct FontChoice {
    QString face1;
    double size1 = 18;
    bool bold1 = false, italic1 = false, underline1 = false, strikethrough1 = false;
    QString face2;
    double size2 = 13;
    bool bold2 = false, italic2 = false, underline2 = false, strikethrough2 = false;
    bool sc = false;
};
FontChoice StoredFonts(const PrintSettings& settings);
void SaveFonts(ItineraryContext& ctx, const FontChoice& choice);

// One receipt for the passenger shown, on a surface opened from the context.
void PrintReceipt(ItineraryContext& ctx, ItineraryRecord& record, const QString& leftr,
                  const QString& topb);

} // namespace itin::link
