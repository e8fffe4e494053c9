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
    QString surl; // download address
    QString to;   // target path, folder tokens resolved
    QString fg;   // "0": replace when newer; otherwise only write a missing file
    QString zc;   // "1": register after download
    QString date; // release date and time of the file
    bool operator==(const UpdateRow&) const = default;
    // zc as a number; 1 asks for registration.
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

// update.log in the given path, or kNoLastUpdate when it does not exist.
QString ReadLastUpdateTime(const QString& logPath);

struct SelectionInputs {
    QDateTime lastUpdate;
    std::function<QString(const QString&)> resolveTarget; // folder tokens
    std::function<bool(const QString&)> fileExists;
};

// Splits the reply at "<file" and keeps, in order, the elements dated at least one second
// after the last update whose target is missing or whose fg is "0". Elements lacking an
// attribute or carrying an unreadable date are skipped.
QList<UpdateRow> SelectUpdateRows(const QString& listText, const SelectionInputs& in);

} // namespace upd
