#include "support/local_gateway.h"

#include "sms/sms_http.h"

#include <QJsonDocument>
#include <QUrl>

namespace support {

LocalGateway::LocalGateway()
    : site_(QStringLiteral("sms_gateway.py"), {QStringLiteral("--exit-with-stdin")}),
      get_(sms::NetworkGet(5000)) {}

QByteArray LocalGateway::admin(const QString& what, const QUrlQuery& query) {
    QUrl url(QStringLiteral("http://%1/admin/%2").arg(host(), what));
    url.setQuery(query);
    return get_(QString::fromLatin1(url.toEncoded()));
}

QJsonArray LocalGateway::sent() {
    return QJsonDocument::fromJson(admin(QStringLiteral("sent"))).array();
}

QJsonArray LocalGateway::requests() {
    return QJsonDocument::fromJson(admin(QStringLiteral("requests"))).array();
}

void LocalGateway::addAccount(const QString& user, const QString& password, const QString& name,
                              const QString& phone, double balance) {
    QUrlQuery q;
    q.addQueryItem(QStringLiteral("username"), user);
    q.addQueryItem(QStringLiteral("password"), password);
    q.addQueryItem(QStringLiteral("name"), name);
    q.addQueryItem(QStringLiteral("phone"), phone);
    q.addQueryItem(QStringLiteral("balance"), QString::number(balance));
    admin(QStringLiteral("account"), q);
}

void LocalGateway::force(const QString& service, const QString& reply) {
    QUrlQuery q;
    q.addQueryItem(QStringLiteral("service"), service);
    q.addQueryItem(QStringLiteral("reply"), reply);
    admin(QStringLiteral("force"), q);
}

} // namespace support
