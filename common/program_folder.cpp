#include "common/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace common {

QCommandLineOption dataDirOption() {
    return QCommandLineOption(QStringLiteral("data-dir"),
                              QStringLiteral("Folder of the settings files (default: the "
                                             "program's folder)."),
                              QStringLiteral("DIR"));
}

QString resolve(const QString& dataDir, const QString& argv0) {
    if (!dataDir.isEmpty()) return QDir(dataDir).absolutePath();
    if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
    const QFileInfo self(QStringLiteral("/proc/self/exe"));
    if (self.exists()) return QFileInfo(self.canonicalFilePath()).absolutePath();
    return QFileInfo(argv0).absolutePath();
}

} // namespace common
