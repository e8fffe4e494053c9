#include "update/update_list.h"

#include "common/fso.h"
#include "common/text_ops.h"

#include <QRegularExpression>

namespace upd {

int UpdateRow::registerFlag() const {
    return common::leadingNumber(zc) == 1.0 ? 1 : 0;
}

std::optional<QString> FindListAttribute(const QString& element, const QString& name) {
    const QString opener = name + QStringLiteral("=\"");
    const qsizetype at = element.indexOf(opener);
    if (at < 0) return std::nullopt;
    const qsizetype from = at + opener.size();
    const qsizetype end = element.indexOf(QLatin1Char('"'), from);
    if (end < 0) return std::nullopt;
    return element.mid(from, end - from);
}

QString GetListAttribute(const QString& element, const QString& name) {
    return FindListAttribute(element, name).value_or(QString());
}

QDateTime ParseListDate(const QString& text) {
    static const QRegularExpression re(QStringLiteral(
        R"(^\s*(\d{4})[-/.](\d{1,2})[-/.](\d{1,2})(?:[ T]+(\d{1,2}):(\d{1,2})(?::(\d{1,2}))?)?\s*$)"));
    const auto m = re.match(text);
    if (!m.hasMatch()) return {};
    const QDate d(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    const QTime t = m.capturedLength(4) ? QTime(m.captured(4).toInt(), m.captured(5).toInt(),
                                                m.capturedLength(6) ? m.captured(6).toInt() : 0)
                                        : QTime(0, 0);
    if (!d.isValid() || !t.isValid()) return {};
    return QDateTime(d, t);
}

QString ReadLastUpdateTime(const QString& logPath) {
    if (!common::FileExists(logPath)) return QString::fromLatin1(kNoLastUpdate);
    return common::ReadTextFile(logPath);
}

QList<UpdateRow> SelectUpdateRows(const QString& listText, const SelectionInputs& in) {
    QList<UpdateRow> rows;
    const QStringList parts = listText.split(QStringLiteral("<file"));
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QString& element = parts[i];
        const auto surl = FindListAttribute(element, QStringLiteral("surl"));
        const auto to = FindListAttribute(element, QStringLiteral("to"));
        const auto fg = FindListAttribute(element, QStringLiteral("fg"));
        const auto zc = FindListAttribute(element, QStringLiteral("zc"));
        const auto date = FindListAttribute(element, QStringLiteral("date"));
        if (!surl || !to || !fg || !zc || !date) continue;
        const QDateTime released = ParseListDate(*date);
        if (!released.isValid() || in.lastUpdate.secsTo(released) < 1) continue;
        const QString target = in.resolveTarget ? in.resolveTarget(*to) : *to;
        if (!target.isEmpty() && *fg != QStringLiteral("0") && in.fileExists &&
            in.fileExists(target))
            continue;
        rows.append({*surl, target, *fg, *zc, *date,
                     GetListAttribute(element, QStringLiteral("sha256")), *to});
    }
    return rows;
}

} // namespace upd
