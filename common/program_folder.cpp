#include "common/program_folder.h"

#include "common/platform/platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace common {

QCommandLineOption DataDirOption() {
    return QCommandLineOption(QStringLiteral("data-dir"),
                              QStringLiteral("Folder of the settings files (default: the "
                                             "program's folder)."),
                              QStringLiteral("DIR"));
}

QString ExecutableFolder(const QString& argv0) {
    if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
    const QFileInfo self(QStringLiteral("/proc/self/exe"));
    if (self.exists()) return QFileInfo(self.canonicalFilePath()).absolutePath();
    return QFileInfo(argv0).absolutePath();
}

QString DataFolderFor(const QString& programFolder, bool programFolderWritable) {
    // Every file the programs keep beside themselves; deploy.ini too, so the per-user
    // folder starts with the deployment values.
    static const std::vector<std::string> kFiles = {"info.ini",     "PingTai.ini", "UP.ini",
                                                    "SmsSetup.inf", "preview.ini", "receipts.db",
                                                    "PNC.txt",      "update.log",  "deploy.ini"};
    const std::filesystem::path program(programFolder.toStdU16String());
    // Named after the program folder, so two installations keep apart.
    QString name = QFileInfo(programFolder).fileName();
    if (name.isEmpty()) name = QStringLiteral("TicketWorkstation");
    const std::filesystem::path user = platform::PerUserFolder(name.toStdString());
    const std::filesystem::path chosen =
        platform::ChooseDataFolder(program, programFolderWritable, user, kFiles);
    return chosen.empty() ? programFolder : QString::fromStdU16String(chosen.u16string());
}

QString Resolve(const QString& dataDir, const QString& argv0) {
    if (!dataDir.isEmpty()) return QDir(dataDir).absolutePath();
    const QString folder = ExecutableFolder(argv0);
    return DataFolderFor(folder, platform::CanCreateFilesIn(folder.toStdU16String()));
}

} // namespace common
