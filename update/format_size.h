#pragma once
// Byte counts as the progress line shows them: "1023b", "1k", "1.4M", "0.6G".
#include <QString>

namespace upd {

QString FormatSize(qint64 bytes);

} // namespace upd
