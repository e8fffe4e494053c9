#pragma once
// Shows a workbook cell the way the spreadsheet does: serial dates and times, number
// format codes (sections, literals, date and time parts, digit placeholders) and the
// built-in formats of a Chinese desktop.
#include <QDateTime>
#include <QString>

namespace wbook {

// A serial day number (days since the workbook's epoch, fraction = time of day) as a date
// and time, rounded to the second. Invalid for negative or absurd serials.
QDateTime SerialToDateTime(double serial, bool date1904);

// Format code of a built-in format id as a Chinese desktop shows it; empty when unknown.
QString BuiltinFormatCode(int id);

// Whether the code shows numbers as a date or a time (its first section has date parts).
bool IsDateTimeFormat(const QString& code);

// The text the spreadsheet shows for a number under the code ("General" when empty).
QString FormatNumber(double value, const QString& code, bool date1904);

// The text shown for a text cell: the text section of the code applied, if there is one.
QString FormatText(const QString& text, const QString& code);

// A number as the value-to-text conversion of the desktop gives it: up to 15 significant
// digits, no trailing zeros, whole numbers without decimals.
QString ValueText(double value);

// A date serial as that conversion gives it: the short date, the long time (a serial below
// one day in the 1900 system), or both.
QString DateValueText(double serial, bool date1904);

} // namespace wbook
