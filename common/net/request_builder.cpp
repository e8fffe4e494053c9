#include "common/net/request_builder.h"

#include <QNetworkReply>

namespace net {

QNetworkRequest BuildRequest(const QUrl& url, const HttpHeaders& headers, bool hasBody) {
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    bool typed = false;
    for (const auto& h : headers) {
        const QByteArray name = CleanHeaderName(h.first);
        if (name.isEmpty()) continue;
        // The body's own length always wins; the network layer sets it.
        if (name.compare("Content-Length", Qt::CaseInsensitive) == 0) continue;
        if (name.compare("Content-Type", Qt::CaseInsensitive) == 0) typed = true;
        request.setRawHeader(name, h.second.trimmed());
    }
    if (hasBody && !typed)
        request.setHeader(QNetworkRequest::ContentTypeHeader,
                          QByteArrayLiteral("application/x-www-form-urlencoded"));
    return request;
}

HttpReply ReplyOf(const QNetworkReply& reply, QByteArray body) {
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid()) return {};
    // Network-layer errors (connection lost mid-body, time-out, abort) lose the reply;
    // HTTP error statuses keep their body like any other reply.
    const int error = int(reply.error());
    if (error > 0 && error < int(QNetworkReply::ContentAccessDenied)) return {};
    HttpReply out;
    out.arrived = true;
    out.status = status.toInt();
    out.statusText = QString::fromLatin1(
        reply.attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray());
    out.body = std::move(body);
    for (const auto& pair : reply.rawHeaderPairs())
        out.headers.append(pair);
    return out;
}

} // namespace net
