#pragma once
// The local SMS gateway (tests/sites/sms_gateway.py), running while this object lives.
#include "sms/gateway.h"
#include "support/site_process.h"

#include <QJsonArray>
#include <QString>
#include <QUrlQuery>

namespace support {

class LocalGateway {
public:
    LocalGateway();
    bool started() const { return site_.running(); }
    QString host() const { return site_.host(); }

    // Test control, through the gateway's /admin/ pages (values in UTF-8).
    QByteArray admin(const QString& what, const QUrlQuery& query = {});
    QJsonArray sent();
    QJsonArray requests();
    void addAccount(const QString& user, const QString& password, const QString& name,
                    const QString& phone, double balance);
    void force(const QString& service, const QString& reply);

private:
    support::SiteProcess site_;
    sms::HttpGet get_;
};

} // namespace support
