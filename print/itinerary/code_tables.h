#pragma once
// Fixed code tables: airport codes to printed city names, airline designators to short
// names, month abbreviations to numbers.
#include <QString>

namespace itin {

// Printed name of an airport code (upper-cased, not trimmed); empty when unknown.
QString AirportCityName(QStringView code);
// Short name of an airline designator (upper-cased and trimmed); "未知" when unknown.
QString AirlineShortName(QStringView designator);
// "01".."12" for a month abbreviation; empty otherwise.
QString MonthNumber(QStringView month);

// The same for texts given as QString (or as literals).
inline QString AirportCityName(const QString& code) { return AirportCityName(QStringView(code)); }
inline QString AirlineShortName(const QString& designator) {
    return AirlineShortName(QStringView(designator));
}
inline QString MonthNumber(const QString& month) { return MonthNumber(QStringView(month)); }

} // namespace itin
