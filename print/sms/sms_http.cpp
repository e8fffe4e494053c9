#include "sms/sms_http.h"

#include "common/net/http_client.h"

#include <memory>

namespace sms {
namespace {

// Only a successful page is a reply; an error page counts as no answer.
QByteArray bodyOf(const net::HttpReply& r) {
    return r.arrived && r.status >= 200 && r.status < 300 ? r.body : QByteArray();
}

} // namespace

HttpGet GatewayGet(net::HttpClient& client) {
    return [&client](const QString& url) { return bodyOf(client.get(url)); };
}

HttpGet NetworkGet(int timeoutMs) {
    auto client = std::make_shared<net::HttpClient>(timeoutMs);
    return [client](const QString& url) { return bodyOf(client->get(url)); };
}

} // namespace sms
