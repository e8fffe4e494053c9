#pragma once
// HTTP client for the vendor, update and SMS services, on Qt Network. Synchronous requests
// wait in a local event loop (the wait hook disables the window meanwhile) and always end:
// a time-out, a transport failure or a reply above the size limit comes back as an empty
// reply, never as an exception.
#include "common/net/async_get.h"
#include "common/net/http_reply.h"
#include "common/net/wait_hook.h"

#include <QByteArray>
#include <QNetworkRequest>
#include <QString>

#include <memory>

namespace common {
class DeployConfig;
} // namespace common
class QNetworkAccessManager;

namespace net {

// Largest body a synchronous request keeps; a longer reply is refused (tooLarge).
inline constexpr qint64 kMaxReplyBytes = 2 * 1024 * 1024;

class HttpClient {
public:
    // Time-out from the deployment values (HttpTimeoutMs).
    explicit HttpClient(const common::DeployConfig& config, WaitHook* hook = nullptr);
    explicit HttpClient(int timeoutMs, WaitHook* hook = nullptr);
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    int timeoutMs() const { return timeoutMs_; }
    void setWaitHook(WaitHook* hook) { hook_ = hook; }
    void setMaxReplyBytes(qint64 bytes) { maxReplyBytes_ = bytes; }

    // Header names are cleaned before they go on the wire; a caller's Content-Length is
    // replaced by the body's own length. timeoutMs <= 0 means the client's time-out.
    HttpReply post(const QString& url, const QByteArray& body, const HttpHeaders& headers = {},
                   int timeoutMs = 0);
    HttpReply get(const QString& url, const HttpHeaders& headers = {}, int timeoutMs = 0);

    // Starts a GET and returns at once; the caller owns the result. The time-out here is
    // one of inactivity: the transfer ends as failed (and timedOut) when no byte arrives
    // for that long. Several may be in flight; Qt Network keeps up to six connections per
    // host alive.
    std::unique_ptr<AsyncGet> getAsync(const QString& url, const HttpHeaders& headers = {},
                                       int timeoutMs = 0);
    // A GET set up once for many transfers from one address (the slices of a download):
    // cleaned headers, no cookies, no cache headers, the inactivity time-out. Set a header
    // on a copy and start it with getAsync(request).
    QNetworkRequest prepareGet(const QString& url, const HttpHeaders& headers = {},
                               int timeoutMs = 0) const;
    std::unique_ptr<AsyncGet> getAsync(const QNetworkRequest& request);

private:
    HttpReply run(const QByteArray& method, const QString& url, const QByteArray* body,
                  const HttpHeaders& headers, int timeoutMs);

    int timeoutMs_;
    WaitHook* hook_;
    qint64 maxReplyBytes_ = kMaxReplyBytes;
    std::unique_ptr<QNetworkAccessManager> nam_;
};

} // namespace net
