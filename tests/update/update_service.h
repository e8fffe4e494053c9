#pragma once
// Runs tests/sites/update_service.py on a free port for one test and stops it after.
// Also holds the test's files and reads back the service's request log.
#include "support/site_process.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

inline QString BinDir() {
    return qEnvironmentVariable("WS_BIN_DIR");
}

// Bytes 0..n-1 of a fixed pattern that differs at every offset within a slice.
inline QByteArray PatternBytes(qsizetype n, int seed = 7) {
    QByteArray b(n, Qt::Uninitialized);
    for (qsizetype i = 0; i < n; ++i)
        b[i] = char((i * 31 + seed + i / 251) & 0xff);
    return b;
}

inline QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void WriteAll(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
}

class UpdateService {
public:
    // switches: further command-line switches of the service (signing, faults).
    explicit UpdateService(const QStringList& switches = {})
        : site_(QStringLiteral("update_service.py"),
                QStringList{QStringLiteral("--root"), root_, QStringLiteral("--list"), listPath_,
                            QStringLiteral("--log"), logPath_} +
                    switches) {}
    int port() const { return site_.port(); }
    QString host() const { return site_.host(); }
    QString fileUrl(const QString& name, const QString& query = {}) const {
        return QStringLiteral("http://%1/files/%2").arg(host(), name) +
               (query.isEmpty() ? QString() : QLatin1Char('?') + query);
    }
    // Puts a file under the served folder.
    void serve(const QString& name, const QByteArray& bytes) const {
        WriteAll(QDir(root_).filePath(name), bytes);
    }
    void setList(const QByteArray& bytes) const { WriteAll(listPath_, bytes); }
    // One object per request, in order.
    QList<QJsonObject> requests() const {
        QList<QJsonObject> out;
        for (const QByteArray& line : ReadAll(logPath_).split('\n'))
            if (!line.isEmpty()) out.append(QJsonDocument::fromJson(line).object());
        return out;
    }
    QString scratch(const QString& name) const { return dir_.filePath(name); }

private:
    static QString madeFolder(const QString& path) {
        QDir().mkpath(path);
        return path;
    }
    QTemporaryDir dir_;
    QString root_ = madeFolder(dir_.filePath(QStringLiteral("served")));
    QString listPath_ = dir_.filePath(QStringLiteral("list.txt"));
    QString logPath_ = dir_.filePath(QStringLiteral("requests.log"));
    support::SiteProcess site_; // started after the folders above
};
