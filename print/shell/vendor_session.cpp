#include "shell/vendor_session.h"

#include "shell/vendor_codec.h"

#include "common/clock.h"
#include "common/date_format.h"
#include "common/deploy_config.h"
#include "common/messages.h"
#include "common/net/http_client.h"

namespace shell {

VendorSession::VendorSession(const common::DeployConfig& config, const CipherKeyTable& keys,
                             net::HttpClient& http, common::Messages& messages,
                             const common::Clock& clock, RandomSource& random)
    : config_(config), keys_(keys), http_(http), messages_(messages), clock_(clock),
      random_(random) {}

QString VendorSession::credentialQuery() const {
    return QStringLiteral("u=") + loginComUser + QStringLiteral("&u2=") + loginStaffUser +
           QStringLiteral("&p=") + loginPassword;
}

QString VendorSession::timeStamp() const {
    const QDateTime now = clock_.now();
    return common::ShortDate(now.date()) + QLatin1Char(' ') + common::LongTime(now.time());
}

QString VendorSession::vendorServiceUrl() const {
    return config_.value(QStringLiteral("VendorServiceUrl"));
}

QString VendorSession::encipherParams(const QString& text) {
    const int row = randomInRange(CipherKeyTable::kRows) - 1;
    bool ok = false;
    // Check the text before the filler draw, as the substitution comes first.
    EncipherWithRow(text, keys_, row, 1, &ok);
    if (!ok) {
        messages_.show(QStringLiteral("加密错误"));
        return {};
    }
    int filler = randomInRange(int(CipherAlphabet().size()));
    // Row 1 followed by the filler "0" would read as row 10; take the next filler instead.
    if (row == 0 && filler == 1) filler = 2;
    return EncipherWithRow(text, keys_, row, filler);
}

QString VendorSession::postVendorRequest(const QString& params, QString* transportError) {
    const QString body = encipherParams(UrlEncodeGbk(params + QStringLiteral("&t=") + timeStamp()));
    if (body.isEmpty()) return {};
    const net::HttpReply reply =
        http_.post(vendorServiceUrl(), body.toLatin1(),
                   {{"Content-Length ", QByteArray::number(body.size())},
                    {"CONTENT-TYPE ", "application/x-www-form-urlencoded "}});
    if (transportError) *transportError = reply.error;
    // Cookies of the reply are not kept: every request is a fresh exchange.
    return reply.text("GB2312");
}

bool IsNumberOne(const QString& reply) {
    bool ok = false;
    const double v = reply.trimmed().toDouble(&ok);
    return ok && v == 1.0;
}

} // namespace shell
