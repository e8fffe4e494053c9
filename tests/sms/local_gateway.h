#pragma once
// Starts the local SMS gateway (tests/sites/sms_gateway.py) for one test and stops it.
#include "sms/gateway.h"

#include <QJsonArray>
#include <QProcess>
#include <QString>
#include <QUrlQuery>

class LocalGateway {
public:
    LocalGateway();
    ~LocalGateway();
    bool started() const { return port_ > 0; }
    QString host() const { return QStringLiteral("127.0.0.1:%1").arg(port_); }

    // Test control, through the gateway's /admin/ pages (values in UTF-8).
    QByteArray admin(const QString& what, const QUrlQuery& query = {});
    QJsonArray sent();
    QJsonArray requests();
    void addAccount(const QString& user, const QString& password, const QString& name,
                    const QString& phone, double balance);
    void force(const QString& service, const QString& reply);

private:
    QProcess proc_;
    int port_ = 0;
    sms::HttpGet get_;
};
