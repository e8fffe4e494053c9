#include "update/registrar.h"

#include "common/platform/platform.h"

#include <QEventLoop>
#include <QProcess>
#include <QTimer>

#include <cstdio>

namespace upd {

namespace {

constexpr int kExitRegistered = 0;
constexpr int kExitNotLibrary = 3;
constexpr int kExitNoEntryPoint = 4;
constexpr int kExitBadMode = 5;
constexpr int kExitFailed = 6;

const char* entryPointFor(const QString& mode) {
    if (mode.isEmpty()) return "DllRegisterServer";
    if (mode == QStringLiteral("U") || mode == QStringLiteral("u")) return "DllUnregisterServer";
    return nullptr;
}

} // namespace

Registrar::Registrar(QString helperProgram, QStringList helperArgs, int limitMs)
    : program_(std::move(helperProgram)), args_(std::move(helperArgs)), limitMs_(limitMs) {}

RegisterOutcome Registrar::registerComponent(const QString& path, const QString& mode) const {
    hresult_ = 0;
    if (!entryPointFor(mode)) return RegisterOutcome::BadMode;

    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    bool timedOut = false;
    QObject::connect(&child, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&child, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart) loop.quit();
    });
    QObject::connect(&limit, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        loop.quit();
    });

    if (busy_) busy_(true);
    child.start(program_, args_ + QStringList{QStringLiteral("--register"), path,
                                              QStringLiteral("--register-mode"), mode});
    limit.start(limitMs_);
    if (child.state() != QProcess::NotRunning || child.error() != QProcess::FailedToStart)
        loop.exec();
    RegisterOutcome outcome;
    if (timedOut && child.state() != QProcess::NotRunning) {
        child.kill();
        child.waitForFinished(5000);
        outcome = RegisterOutcome::TimedOut;
    } else if (child.error() == QProcess::FailedToStart ||
               child.exitStatus() == QProcess::CrashExit) {
        outcome = RegisterOutcome::HelperFailed;
    } else {
        // The child's last line: "HRESULT 0x........".
        const QList<QByteArray> lines = child.readAllStandardOutput().trimmed().split('\n');
        if (lines.last().startsWith("HRESULT 0x"))
            hresult_ = qint32(lines.last().mid(10).trimmed().toUInt(nullptr, 16));
        switch (child.exitCode()) {
        case kExitRegistered:
            outcome = RegisterOutcome::Registered;
            break;
        case kExitFailed:
            outcome = RegisterOutcome::Failed;
            break;
        case kExitNotLibrary:
            outcome = RegisterOutcome::NotLibrary;
            break;
        case kExitNoEntryPoint:
            outcome = RegisterOutcome::NoEntryPoint;
            break;
        case kExitBadMode:
            outcome = RegisterOutcome::BadMode;
            break;
        default:
            outcome = RegisterOutcome::HelperFailed;
            break;
        }
    }
    if (busy_) busy_(false);
    return outcome;
}

int RunRegistrationEntry(const QString& path, const QString& mode) {
    const char* entry = entryPointFor(mode);
    if (!entry) return kExitBadMode;
    // The library stays loaded until the process ends, so the entry point's threads do too.
    const platform::RegisterResult r =
        platform::CallRegistrationEntry(std::filesystem::path(path.toStdU16String()), entry);
    if (r.status == platform::RegisterStatus::NotLibrary) return kExitNotLibrary;
    if (r.status == platform::RegisterStatus::NoEntryPoint) return kExitNoEntryPoint;
    std::printf("HRESULT 0x%08X\n", unsigned(r.hresult));
    std::fflush(stdout);
    return r.hresult < 0 ? kExitFailed : kExitRegistered;
}

bool RegisterFont(const QString& path) {
    return platform::InstallFont(std::filesystem::path(path.toStdU16String()));
}

bool NeedsElevation(const QList<UpdateRow>& rows, bool appFolderWritable) {
    for (const UpdateRow& row : rows) {
        if (row.listedTo.startsWith(QStringLiteral("{sys}")) ||
            row.listedTo.startsWith(QStringLiteral("{font}")))
            return true;
        if (row.listedTo.startsWith(QStringLiteral("{app}")) && !appFolderWritable) return true;
    }
    return false;
}

bool HandOverElevated(const QList<UpdateRow>& rows, const QString& appFolder,
                      const QStringList& args) {
    if (platform::IsElevated() ||
        !NeedsElevation(rows, platform::CanCreateFilesIn(appFolder.toStdU16String())))
        return false;
    std::vector<std::string> forwarded;
    for (const QString& arg : args)
        forwarded.push_back(arg.toStdString());
    return platform::RestartElevated(forwarded);
}

QString ArgumentAt(int argc, char* argv[], int i) {
    const std::vector<std::string> args = platform::Arguments(argc, argv);
    return i < int(args.size()) ? QString::fromStdString(args[size_t(i)]) : QString();
}

} // namespace upd
