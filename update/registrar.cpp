#include "update/registrar.h"

#include <QEventLoop>
#include <QLibrary>
#include <QProcess>
#include <QTimer>

namespace upd {

namespace {

constexpr int kExitRegistered = 0;
constexpr int kExitNotLibrary = 3;
constexpr int kExitNoEntryPoint = 4;
constexpr int kExitBadMode = 5;

const char* entryPointFor(const QString& mode) {
    if (mode.isEmpty()) return "DllRegisterServer";
    if (mode == QStringLiteral("U") || mode == QStringLiteral("u")) return "DllUnregisterServer";
    return nullptr;
}

} // namespace

Registrar::Registrar(QString helperProgram, QStringList helperArgs, int limitMs)
    : program_(std::move(helperProgram)), args_(std::move(helperArgs)), limitMs_(limitMs) {}

RegisterOutcome Registrar::RegisterComponent(const QString& path, const QString& mode) const {
    if (!entryPointFor(mode)) return RegisterOutcome::BadMode;

    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.setStandardOutputFile(QProcess::nullDevice());
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
        switch (child.exitCode()) {
        case kExitRegistered:
            outcome = RegisterOutcome::Registered;
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
    QLibrary library(path);
    if (!library.load()) return kExitNotLibrary;
    using EntryPoint = long (*)();
    const auto fn = reinterpret_cast<EntryPoint>(library.resolve(entry));
    if (!fn) return kExitNoEntryPoint;
    fn();
    // The library stays loaded until the process ends, so the entry point's threads do too.
    return kExitRegistered;
}

} // namespace upd
