#pragma once
// Date and time texts in the target desktop's regional formats (Chinese Windows):
// short date "yyyy/M/d", long time "H:mm:ss", general date both joined by a blank.
#include <QDateTime>
#include <QString>

namespace common {

inline QString ShortDate(const QDate& d) {
    return d.toString(QStringLiteral("yyyy/M/d"));
}
inline QString LongTime(const QTime& t) {
    return t.toString(QStringLiteral("H:mm:ss"));
}
inline QString GeneralDate(const QDateTime& dt) {
    return ShortDate(dt.date()) + QLatin1Char(' ') + LongTime(dt.time());
}
// Reads a general date text back; invalid when it is not one.
inline QDateTime ParseGeneralDate(const QString& text) {
    QDateTime dt = QDateTime::fromString(text.trimmed(), QStringLiteral("yyyy/M/d H:mm:ss"));
    if (!dt.isValid())
        dt = QDateTime(QDate::fromString(text.trimmed(), QStringLiteral("yyyy/M/d")), QTime(0, 0));
    return dt;
}

} // namespace common
