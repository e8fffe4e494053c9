#include "update/format_size.h"

#include <QLocale>

#include <cmath>

namespace upd {

namespace {

// One decimal, halves rounded away from zero, optional digit grouping; ".0" dropped.
QString oneDecimal(double value, bool grouping) {
    const double rounded = std::floor(value * 10.0 + 0.5) / 10.0;
    QLocale c = QLocale::c();
    c.setNumberOptions(grouping ? QLocale::DefaultNumberOptions : QLocale::OmitGroupSeparator);
    QString s = c.toString(rounded, 'f', 1);
    s.replace(QStringLiteral(".0"), QString());
    return s;
}

} // namespace

QString FormatSize(qint64 n) {
    if (n < 1024) return QString::number(n) + QLatin1Char('b');
    if (n < 1048576) return QString::number(n / 1024) + QLatin1Char('k');
    if (n < 536870912) return oneDecimal(double(n / 1024) / 1024.0, false) + QLatin1Char('M');
    return oneDecimal(double(n / 1048576) / 1024.0, true) + QLatin1Char('G');
}

} // namespace upd
