#include "sms_http.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>
#include <QUrl>

#include <memory>

namespace sms {

HttpGet NetworkGet(int timeoutMs) {
    auto nam = std::make_shared<QNetworkAccessManager>();
    return [nam, timeoutMs](const QString& url) -> QByteArray {
        QNetworkRequest req(QUrl::fromEncoded(url.toLatin1()));
        req.setTransferTimeout(timeoutMs);
        std::unique_ptr<QNetworkReply> reply(nam->get(req));
        QEventLoop loop;
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
        QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
        guard.start(timeoutMs);
        if (!reply->isFinished()) loop.exec();
        if (!reply->isFinished() || reply->error() != QNetworkReply::NoError) {
            reply->abort();
            return {};
        }
        return reply->readAll();
    };
}

} // namespace sms
