#include "update/update_list.h"

#include "common/fso.h"
#include "common/text_ops.h"

#include <QRegularExpression>

namespace upd {

int UpdateRow::registerFlag() const {
    return common::LeadingNumber(zc) == 1.0 ? 1 : 0;
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

namespace {

// Where the first file element starts: "<file" followed by a blank, "/" or ">" (a
// wrapper such as "<files>" is not one); the text's size when there is none. Text or GBK
// bytes (the marker is ASCII either way).
char16_t code(QChar c) {
    return c.unicode();
}
char16_t code(char c) {
    return uchar(c);
}
template <typename Text, typename Marker>
qsizetype firstFileElement(const Text& text, Marker marker) {
    for (qsizetype at = text.indexOf(marker); at >= 0; at = text.indexOf(marker, at + 1)) {
        const qsizetype next = at + 5;
        if (next >= text.size()) return at;
        const char16_t c = code(text[next]);
        if (c == u' ' || (c >= u'\t' && c <= u'\r') || c == u'/' || c == u'>') return at;
    }
    return text.size();
}

} // namespace

std::optional<ReleaseInfo> ReadReleaseElement(const QString& listText) {
    const QStringView opener = u"<release";
    const qsizetype at = listText.indexOf(opener);
    if (at < 0 || listText.indexOf(opener, at + 1) >= 0 ||
        at >= firstFileElement(listText, QLatin1String("<file")))
        return std::nullopt;
    const qsizetype close = listText.indexOf(u'>', at);
    if (close < 0) return std::nullopt;
    const QString element = listText.mid(at, close - at);
    const auto serial = FindListAttribute(element, QStringLiteral("serial"));
    if (!serial || serial->isEmpty() || serial->size() > 18) return std::nullopt;
    for (const QChar c : *serial)
        if (c < u'0' || c > u'9') return std::nullopt;
    ReleaseInfo info;
    info.serial = serial->toLongLong();
    if (const auto expires = FindListAttribute(element, QStringLiteral("expires"))) {
        info.expires = QDateTime::fromString(*expires, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (!info.expires.isValid()) return std::nullopt;
    }
    return info;
}

QByteArray WithReleaseElement(const QByteArray& list, qint64 serial, const QDateTime& expires) {
    if (list.contains("<release")) return {};
    QByteArray element = "<release serial=\"" + QByteArray::number(serial) + '"';
    if (expires.isValid())
        element += " expires=\"" +
                   expires.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toLatin1() + '"';
    element += "/>\r\n";
    return QByteArray(list).insert(firstFileElement(list, QByteArrayView("<file")), element);
}

bool IsWellFormedSha256(const QString& text) {
    if (text.size() != 64) return false;
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F')))
            return false;
    }
    return true;
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
