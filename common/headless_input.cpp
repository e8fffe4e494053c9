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
    switch (common::ReadAtMost(path, limit, data)) {
    case common::ReadStatus::Ok:
        return data;
    case common::ReadStatus::TooLarge:
        *error = tooLarge(path, limit);
        return {};
    case common::ReadStatus::Unreadable:
        break;
    }
    *error = QStringLiteral("cannot read %1").arg(path);
    return {};
}

bool CheckInputText(const QString& text, QString* error) {
    if (text.size() <= kMaxInputBytes) return true;
    *error = tooLarge(QStringLiteral("the text"), kMaxInputBytes);
    return false;
}

} // namespace common
