#include "common/headless_input.h"

#include "common/fso.h"

namespace common {
namespace {
QString tooLarge(const QString& what, qint64 limit) {
    return QStringLiteral("%1 is larger than %2 KB; refused").arg(what).arg(limit / 1024);
}
} // namespace

std::optional<QByteArray> ReadInputFile(const QString& path, QString* error, qint64 limit) {
    QByteArray data;
    const ReadStatus status = common::ReadAtMost(path, limit, data);
    if (status == ReadStatus::Ok) return data;
    *error = ReadFailure(status, path, limit);
    return {};
}

bool CheckInputText(const QString& text, QString* error) {
    if (text.size() <= kMaxInputBytes) return true;
    *error = tooLarge(QStringLiteral("the text"), kMaxInputBytes);
    return false;
}

} // namespace common
