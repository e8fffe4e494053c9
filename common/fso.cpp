#include "common/fso.h"

#include "common/code_page.h"
#include "common/platform/platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

namespace common {

bool FileExists(const QString& path) {
    QFileInfo info(path);
    return info.exists() && info.isFile();
}

QString ReadTextFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return common::fromGbk(f.readAll());
}

bool WriteTextFile(const QString& path, const QString& text, Access access) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    // Set on the temporary copy, so the file is never readable by others, not even briefly.
    if (access == Access::OwnerOnly)
        f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const QByteArray bytes = common::toGbk(text);
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
    for (const QString& name : dir.entryList({info.fileName() + QStringLiteral(".*")},
                                             QDir::Files | QDir::Hidden))
        if (copy.match(name).hasMatch()) dir.remove(name);
}

ReadStatus ReadAtMost(const QString& path, qint64 limit, QByteArray& out) {
    out.clear();
    QFile f(path);
    if (QFileInfo(path).isDir() || !f.open(QIODevice::ReadOnly)) return ReadStatus::Unreadable;
    out = f.read(limit + 1);
    if (out.size() > limit) {
        out.clear();
        return ReadStatus::TooLarge;
    }
    if (f.error() != QFileDevice::NoError) return ReadStatus::Unreadable;
    return ReadStatus::Ok;
}

} // namespace common
