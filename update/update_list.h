#pragma once
// The update list: the service's "<file" elements, their attributes, and the rule that
// picks the files changed since the last finished run.
#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace upd {

// The last update time when update.log does not exist (or cannot be read as a date).
inline constexpr auto kNoLastUpdate = "2010-10-10 00:00:00";

struct UpdateRow {
    QString surl;     // download address
    QString to;       // target path, folder tokens resolved
    QString fg;       // "0": replace when newer; otherwise only write a missing file
    QString zc;       // "1": register after download
    QString date;     // release date and time of the file
    QString sha256;   // 64 hex digits the file must match; empty: unchecked
    QString listedTo; // `to` as the list wrote it
    bool operator==(const UpdateRow&) const = default;
    // Refused: the target lies outside the folder of its token.
    bool refused() const { return to.isEmpty(); }
    // zc as a number; 1 asks for registration (any other number, however large, does not).
    int registerFlag() const;
};

// The text between the first `name="` and the next `"`; nothing when the attribute is
// absent or its value is not closed. Names are case-sensitive.
std::optional<QString> FindListAttribute(const QString& element, const QString& name);
// As above, an empty text when the attribute is absent.
QString GetListAttribute(const QString& element, const QString& name);

// A date and time as the desktop reads one: "2026-12-7 5:46:09", "2026/12/7 5:46:09",
// a date alone (midnight), or ISO 8601. Invalid when it is none of these.
QDateTime ParseListDate(const QString& text);

// The release element a signed list carries before its first file element:
// <release serial="N" expires="YYYY-MM-DD HH:MM:SS"/>, expires optional.
struct ReleaseInfo {
    qint64 serial = 0;
    QDateTime expires; // invalid: the list does not expire
};
// The one release element ahead of the first file element; nothing when it is missing,
// repeated, or its serial or expiry is malformed. A plain function (fuzzed).
std::optional<ReleaseInfo> ReadReleaseElement(const QString& listText);
// The list's bytes with <release serial="N" expires="..."/> put before its first file
// element (or at its end); empty when it has a release element already.
QByteArray WithReleaseElement(const QByteArray& list, qint64 serial, const QDateTime& expires);
// A SHA-256 as a row gives it: 64 hex digits.
bool IsWellFormedSha256(const QString& text);

// update.log in the given path, or kNoLastUpdate when it does not exist.
QString ReadLastUpdateTime(const QString& logPath);

struct SelectionInputs {
    QDateTime lastUpdate;
    std::function<QString(const QString&)> resolveTarget; // folder tokens; empty: refused
    std::function<bool(const QString&)> fileExists;
};

// Splits the reply at "<file" and keeps, in order, the elements dated at least one second
// after the last update whose target is missing or whose fg is "0". Elements lacking an
// attribute or carrying an unreadable date are skipped; a refused target is kept as a row
// with an empty `to`, so the run can say so. A plain function (fuzzed).
QList<UpdateRow> SelectUpdateRows(const QString& listText, const SelectionInputs& in);

} // namespace upd
