#include "itinerary/receipts/ledger_uri.h"

#include <QUrl>
#include <QUrlQuery>

namespace itin {

std::optional<LedgerUri> ParseLedgerUri(const QString& text, QString* error) {
    const auto refuse = [&](const QString& why) -> std::optional<LedgerUri> {
        if (error)
            *error = QStringLiteral("打印记录数据库地址 ReceiptLedger 无效（%1）：%2")
                         .arg(why, text.trimmed());
        return std::nullopt;
    };
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != u"postgresql" && scheme != u"postgres"))
        return refuse(QStringLiteral("应为 postgresql://用户@主机/数据库"));
    LedgerUri uri;
    uri.user = url.userName(QUrl::FullyDecoded);
    uri.password = url.password(QUrl::FullyDecoded);
    uri.host = url.host(QUrl::FullyDecoded);
    if (uri.user.isEmpty()) return refuse(QStringLiteral("缺少用户名"));
    if (uri.host.isEmpty()) return refuse(QStringLiteral("缺少主机"));
    // QUrl gives -1 for no port and refuses ports above 65535.
    if (url.port() == 0) return refuse(QStringLiteral("端口无效"));
    if (url.port() > 0) uri.port = url.port();
    uri.database = url.path(QUrl::FullyDecoded).mid(1);
    if (uri.database.isEmpty() || uri.database.contains(u'/'))
        return refuse(QStringLiteral("缺少数据库名"));
    static const QStringList kSslModes = {"disable", "allow",     "prefer",
                                          "require", "verify-ca", "verify-full"};
    for (const auto& [key, value] : QUrlQuery(url).queryItems(QUrl::FullyDecoded)) {
        if (key != u"sslmode") return refuse(QStringLiteral("不支持参数 %1").arg(key));
        if (!kSslModes.contains(value)) return refuse(QStringLiteral("sslmode 无效"));
        uri.sslMode = value;
    }
    if (!url.fragment().isEmpty()) return refuse(QStringLiteral("多余的 #"));
    return uri;
}

} // namespace itin
