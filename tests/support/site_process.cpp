#include "support/site_process.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>

namespace support {

SiteProcess::SiteProcess(const QString& script, const QStringList& args) {
    // Debian's interpreter: a version-manager shim earlier on PATH costs time on every start.
    const QString python = QFileInfo::exists(QStringLiteral("/usr/bin/python3"))
                               ? QStringLiteral("/usr/bin/python3")
                               : QStringLiteral("python3");
    const QString path =
        qEnvironmentVariable("WS_SOURCE_DIR") + QStringLiteral("/tests/sites/") + script;
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(python, QStringList{path} + args);
    if (!process_.waitForStarted(10000)) return;
    QDeadlineTimer deadline(10000);
    while (!process_.canReadLine() && !deadline.hasExpired() &&
           process_.state() == QProcess::Running)
        process_.waitForReadyRead(100);
    const QByteArray line = process_.readLine().trimmed();
    if (line.startsWith("PORT ")) port_ = line.mid(5).toInt();
}

SiteProcess::~SiteProcess() {
    process_.kill();
    process_.waitForFinished(5000);
}

QString SiteProcess::host() const {
    return QStringLiteral("127.0.0.1:%1").arg(port_);
}

QString SiteProcess::url(const QString& path) const {
    return QStringLiteral("http://") + host() + path;
}

QByteArray SiteProcess::get(const QString& path) const {
    QNetworkAccessManager nam;
    QNetworkReply* reply = nam.get(QNetworkRequest(QUrl(url(path))));
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    if (!reply->isFinished()) loop.exec();
    const QByteArray body = reply->readAll();
    delete reply;
    return body;
}

} // namespace support
