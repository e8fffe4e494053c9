#pragma once
// The one place that converts between Unicode texts and the GBK code page used by
// settings files, the vendor services and percent-encoded queries.
#include <QByteArray>
#include <QString>

namespace common {

// Unicode text to GBK bytes. Characters GBK cannot hold become "?".
QByteArray ToGbk(const QString& text);
// GBK (or GB2312, a subset) bytes to Unicode text.
QString FromGbk(const QByteArray& bytes);
// True when the bytes are well-formed UTF-8 (plain ASCII counts as UTF-8).
bool IsValidUtf8(const QByteArray& bytes);
// UTF-8 when the bytes are valid UTF-8 (a leading BOM is dropped), GBK otherwise.
QString DecodeDetect(const QByteArray& bytes);

} // namespace common
