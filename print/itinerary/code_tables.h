#pragma once
// Fixed code tables: airport codes to printed city names, airline designators to short
// names, month abbreviations to numbers.
#include <QString>

namespace itin {

// Printed name of an airport code (upper-cased, not trimmed); empty when unknown.
QString AirportCityName(const QString& code);
// Short name of an airline designator (upper-cased and trimmed); "未知" when unknown.
QString AirlineShortName(const QString& designator);
// "01".."12" for a month abbreviation; empty otherwise.
QString MonthNumber(const QString& month);

} // namespace itin
