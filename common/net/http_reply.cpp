#include "common/net/http_reply.h"

#include "common/code_page.h"

namespace net {

QByteArray CleanHeaderName(const QByteArray& name) {
    QByteArray n = name.trimmed();
    while (n.endsWith(':'))
        n = n.chopped(1).trimmed();
    return n;
}

QByteArray HttpReply::header(const QByteArray& name) const {
    const QByteArray want = CleanHeaderName(name).toLower();
    for (const auto& h : headers)
        if (h.first.toLower() == want) return h.second;
    return {};
}

QString HttpReply::text(const QByteArray& charset) const {
    return DecodeText(body, charset);
}

QString DecodeText(const QByteArray& bytes, const QByteArray& charset) {
    const QByteArray cs = charset.trimmed().toUpper();
    if (cs == "UTF-8" || cs == "UTF8") return QString::fromUtf8(bytes);
    return common::FromGbk(bytes);
}

} // namespace net
