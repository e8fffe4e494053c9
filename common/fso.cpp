#include "common/fso.h"

#include "common/code_page.h"
#include "common/platform/platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace common {

bool FileExists(const QString& path) {
    QFileInfo info(path);
    return info.exists() && info.isFile();
}

QString ReadTextFile(const QString& path, QString* error) {
    QByteArray bytes;
    const ReadStatus status = ReadAtMost(path, kMaxSettingsBytes, bytes);
    if (status != ReadStatus::Ok) {
        if (error) *error = ReadFailure(status, path, kMaxSettingsBytes);
        return {};
    }
    if (error) error->clear();
    return common::FromGbk(bytes);
}

QString ReadTextFile(const QString& path) {
    QString error;
    const QString text = ReadTextFile(path, &error);
    // A missing file is an ordinary empty setting; anything else is said once.
    if (!error.isEmpty() && QFileInfo::exists(path)) qWarning("print: %s", qUtf8Printable(error));
    return text;
}

bool WriteTextFile(const QString& path, const QString& text, Access access) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    // Set on the temporary copy, so the file is never readable by others, not even briefly.
    if (access == Access::OwnerOnly)
        f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const QByteArray bytes = common::ToGbk(text);
    if (f.write(bytes) != bytes.size()) {
        f.cancelWriting();
        return false;
    }
    if (!f.commit()) return false;
    // On Windows the permissions above touch only the read-only flag, and the file keeps
    // the folder's ACL through the rename: the owner-only one is set now.
    return access != Access::OwnerOnly ||
           platform::RestrictToOwner(std::filesystem::path(path.toStdU16String()));
}

void RemoveStaleCopies(const QString& path) {
    // The temporary copy of a save is the file's name, a dot and six letters or digits.
    const QFileInfo info(path);
    const QRegularExpression copy(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(info.fileName()) + QStringLiteral("\\.[A-Za-z0-9]{6}")));
    QDir dir = info.dir();
    for (const QString& name :
         dir.entryList({info.fileName() + QStringLiteral(".*")}, QDir::Files | QDir::Hidden))
        if (copy.match(name).hasMatch()) dir.remove(name);
}

namespace {

// Regular files only; the type is asked before opening, as opening a pipe blocks.
bool isRegularFile(const QString& path) {
#ifdef Q_OS_UNIX
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
#else
    return QFileInfo(path).isFile();
#endif
}

} // namespace

QString ReadFailure(ReadStatus status, const QString& path, qint64 limit) {
    switch (status) {
    case ReadStatus::Ok:
        return {};
    case ReadStatus::TooLarge:
        return QStringLiteral("%1 is larger than %2 KB; refused").arg(path).arg(limit / 1024);
    case ReadStatus::NotAFile:
        return QStringLiteral("%1 is not a regular file; refused").arg(path);
    case ReadStatus::Unreadable:
        break;
    }
    return QStringLiteral("cannot read %1").arg(path);
}

ReadStatus ReadAtMost(const QString& path, qint64 limit, QByteArray& out) {
    out.clear();
    if (!QFileInfo::exists(path)) return ReadStatus::Unreadable;
    if (!isRegularFile(path)) return ReadStatus::NotAFile;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return ReadStatus::Unreadable;
    out = f.read(limit + 1);
    if (out.size() > limit) {
        out.clear();
        return ReadStatus::TooLarge;
    }
    if (f.error() != QFileDevice::NoError) return ReadStatus::Unreadable;
    return ReadStatus::Ok;
}

} // namespace common
