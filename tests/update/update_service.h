#pragma once
// Starts tests/sites/update_service.py on a free port for one test and stops it after.
// Also holds the test's files and reads back the service's request log.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

inline QString sourceDir() {
    return qEnvironmentVariable("WS_SOURCE_DIR");
}
inline QString binDir() {
    return qEnvironmentVariable("WS_BIN_DIR");
}

class UpdateService {
public:
    // switches: further command-line switches of the service (signing, faults).
    explicit UpdateService(const QStringList& switches = {}) {
        root_ = dir_.filePath(QStringLiteral("served"));
        QDir().mkpath(root_);
        listPath_ = dir_.filePath(QStringLiteral("list.txt"));
        logPath_ = dir_.filePath(QStringLiteral("requests.log"));
        const QString script = sourceDir() + QStringLiteral("/tests/sites/update_service.py");
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(QStringLiteral(WS_PYTHON),
                       QStringList{script, QStringLiteral("--root"), root_,
                                   QStringLiteral("--list"), listPath_, QStringLiteral("--log"),
                                   logPath_} +
                           switches);
        for (int i = 0; i < 100 && port_ == 0; ++i) {
            if (!process_.canReadLine() && !process_.waitForReadyRead(100)) continue;
            const QByteArray line = process_.readLine().trimmed();
            if (line.startsWith("PORT ")) port_ = line.mid(5).toInt();
        }
    }
    ~UpdateService() {
        process_.kill();
        process_.waitForFinished(3000);
    }
    int port() const { return port_; }
    QString host() const { return QStringLiteral("127.0.0.1:%1").arg(port_); }
    QString fileUrl(const QString& name, const QString& query = {}) const {
        return QStringLiteral("http://%1/files/%2").arg(host(), name) +
               (query.isEmpty() ? QString() : QLatin1Char('?') + query);
    }
    // Puts a file under the served folder.
    void serve(const QString& name, const QByteArray& bytes) const {
        QFile f(QDir(root_).filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }
    void setList(const QByteArray& bytes) const {
        QFile f(listPath_);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }
    // One object per request, in order.
    QList<QJsonObject> requests() const {
        QList<QJsonObject> out;
        QFile f(logPath_);
        if (!f.open(QIODevice::ReadOnly)) return out;
        for (const QByteArray& line : f.readAll().split('\n'))
            if (!line.isEmpty()) out.append(QJsonDocument::fromJson(line).object());
        return out;
    }
    QString scratch(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
    QString root_, listPath_, logPath_;
    QProcess process_;
    int port_ = 0;
};

// Bytes 0..n-1 of a fixed pattern that differs at every offset within a slice.
inline QByteArray patternBytes(qsizetype n, int seed = 7) {
    QByteArray b(n, Qt::Uninitialized);
    for (qsizetype i = 0; i < n; ++i)
        b[i] = char((i * 31 + seed + i / 251) & 0xff);
    return b;
}

inline QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void writeAll(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
}
