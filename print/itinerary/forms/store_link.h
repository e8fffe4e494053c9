#pragma once
// The forms' one connection to the print settings store and the print-out.
#include "itinerary/forms/itinerary_context.h"
#include "itinerary/record.h"
#include "itinerary/settings_store.h"

#include <QString>
#include <QStringList>

class QLineEdit;

namespace itin {

// The settings part of the print form's load: load, apply the offsets and agency fields to
// the form.
void LoadSettingsIntoForm(ItineraryContext& ctx, ItineraryRecord& record, QLineEdit& leftr,
                          QLineEdit& topb);
// Writes the page block from the form's boxes.
void SavePageBlock(ItineraryContext& ctx, const QString& leftr, const QString& topb,
                   const ItineraryRecord& record);
// Creates or repairs the platform list; what the platform selector shows.
PlatformList LoadPlatforms(ItineraryContext& ctx);
// Writes the font block and takes the choice into memory.
void SaveFonts(ItineraryContext& ctx, const FontChoice& choice);

// One receipt for the passenger shown, on a surface opened from the context, logged in the
// receipt log; a check code already logged is printed only when the agent confirms. True
// when the page went out.
bool PrintReceipt(ItineraryContext& ctx, ItineraryRecord& record, const QString& leftr,
                  const QString& topb);

} // namespace itin
