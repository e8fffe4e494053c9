#include "shell/vendor_cli.h"

#include "shell/vendor_codec.h"
#include "shell/vendor_session.h"

#include "common/clock.h"
#include "common/deploy_config.h"
#include "common/messages.h"
#include "common/net/http_client.h"

namespace shell {

int RunVendorRequest(const QString& folder, const QString& params,
                     const std::function<void(const QString&)>& out) {
    const common::DeployConfig config = common::DeployConfig::load(folder);
    QString why;
    const auto keys = CipherKeyTable::parse(config.value(QStringLiteral("CipherKeyTable")), &why);
    if (!keys) {
        out(QStringLiteral("CipherKeyTable refused: ") + why);
        return 2;
    }
    net::HttpClient http(config);
    common::RecordingMessages messages;
    common::SystemClock clock;
    SystemRandom random;
    VendorSession vendor(config, *keys, http, messages, clock, random);
    QString transportError;
    const QString reply = vendor.postVendorRequest(params, &transportError);
    if (!transportError.isEmpty()) {
        out(QStringLiteral("no reply from ") + vendor.vendorServiceUrl() + QStringLiteral(": ") +
            transportError);
        return 1;
    }
    out(QStringLiteral("reply: ") + reply);
    const QString code = reply.split(QLatin1Char(';')).value(0);
    if (reply.startsWith(QLatin1Char('0')) && ResultCodeMessage(code) != code)
        out(QStringLiteral("message: ") + ResultCodeMessage(code));
    return reply.isEmpty() ? 1 : 0;
}

} // namespace shell
