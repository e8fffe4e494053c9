#pragma once
// Loading and saving the print settings ("info.ini") and the platform list
// ("PingTai.ini") in the program folder. Files are GBK, lines end in CR LF, every write
// replaces the file atomically; saving one block keeps every other byte of the file.
#include "itinerary/print_settings.h"
#include "itinerary/record.h"

#include "common/clock.h"

#include <QString>
#include <QStringList>

namespace itin {

// The print form's values that the page block stores: the offset boxes and the three
// agency fields of the record.
struct PageSetup {
    QString leftr;
    QString topb;
    QString agentCode;   // AgentCode (38), key companycode
    QString agentNumber; // AgentNumber (41), key companynumber
    QString issuedBy;    // IssuedBy (39), key companyname
};

// The font dialog's choices: selected face and size list entries (empty when a list
// has no selection) and the check boxes.
struct FontChoice {
    QString face1; // List1
    QString size1; // List2
    bool bold1 = false, italic1 = false, underline1 = false, strikethrough1 = false;
    QString face2; // List3
    QString size2; // List4
    bool bold2 = false, italic2 = false, underline2 = false, strikethrough2 = false;
    bool sc = false; // Check9
};

// What the platform selector Surs1 shows: display names in file order, and its Tag
// (the whole platform list text).
struct PlatformList {
    QStringList names;
    QString tag;
};

// The text between the first "<key>" and the first "</key>" after it; empty when either
// tag is missing. Case-sensitive, independent of lines and blocks.
QString GetTagValue(const QString& text, const QString& key);

// Puts today's date into IssueDate, computes the paths, establishes the workstation
// identifier and reads "info.ini" when it exists (true), then normalises the font values.
bool LoadPrintSettings(PrintSettings& settings, const QString& programFolder,
                       ItineraryRecord& record, const common::Clock& clock);

// Loads; when "info.ini" exists, writes the agency fields into the record and returns
// true with the five page values in boxes (the form shows leftr and topb from there).
bool ApplyPrintSettings(PrintSettings& settings, const QString& programFolder,
                        ItineraryRecord& record, const common::Clock& clock, PageSetup& boxes);

// The page values as the print form holds them: the offset boxes and the record.
PageSetup PageSetupFromForm(const QString& leftrBox, const QString& topbBox,
                            const ItineraryRecord& record);

// Rewrites the page block of "info.ini"; the in-memory values stay. When the file is
// missing or has no "</setup>", writes a complete file (page block, then the file's font
// block or, without one, the font block from memory). False when the write failed.
bool SavePageSetup(const PrintSettings& settings, const QString& programFolder,
                   const PageSetup& form);

// Rewrites the font block of "info.ini" (everything after the old one is dropped) and
// takes the choice into memory. A size that is not a number is stored as chosen and
// held as the default size. False when the write failed (memory is updated anyway).
bool SaveFontSettings(PrintSettings& settings, const QString& programFolder,
                      const FontChoice& choice);

// The dialog's choice as the stored settings show it (sizes as whole-number texts).
FontChoice FontChoiceFromSettings(const PrintSettings& settings);

// Creates or repairs "PingTai.ini" (exactly as many lines as the default list) and
// returns what the platform selector shows. A line without a display name shows the
// default name of its position.
PlatformList LoadPlatformList(PrintSettings& settings, const QString& programFolder);

// "info.ini" and "PingTai.ini" in the program folder.
QString InfoIniPath(const QString& programFolder);
QString PingTaiIniPath(const QString& programFolder);
// "0,今日天下通,," CR LF "1,羿天下,,".
QString DefaultPlatformList();

} // namespace itin
