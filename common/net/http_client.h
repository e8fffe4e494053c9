#pragma once
// HTTP client for the vendor, update and SMS services. Synchronous requests wait in a
// local event loop (the wait hook disables the window meanwhile) and always end: a
// time-out or transport failure comes back as an empty reply, never as an exception.
#include "async_get.h"
#include "http_reply.h"
#include "wait_hook.h"

#include <QByteArray>
#include <QString>

#include <memory>

class DeployConfig;
class QNetworkAccessManager;

namespace net {

class KeepAliveFetcher;

class HttpClient {
public:
    // Time-out from the deployment values (HttpTimeoutMs).
    explicit HttpClient(const DeployConfig& config, WaitHook* hook = nullptr);
    explicit HttpClient(int timeoutMs, WaitHook* hook = nullptr);
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    int timeoutMs() const { return timeoutMs_; }
    void setWaitHook(WaitHook* hook) { hook_ = hook; }

    // Header names are cleaned before they go on the wire; a caller's Content-Length is
    // replaced by the body's own length. timeoutMs <= 0 means the client's time-out.
    HttpReply post(const QString& url, const QByteArray& body, const HttpHeaders& headers = {},
                   int timeoutMs = 0);
    HttpReply get(const QString& url, const HttpHeaders& headers = {}, int timeoutMs = 0);

    // Starts a GET and returns at once; the caller owns the result. The time-out here is
    // one of inactivity: the transfer ends as failed when no byte arrives for that long.
    // Plain-HTTP transfers, one after another, share one kept-alive connection.
    std::unique_ptr<AsyncGet> getAsync(const QString& url, const HttpHeaders& headers = {},
                                       int timeoutMs = 0);

private:
    HttpReply run(const QByteArray& method, const QString& url, const QByteArray* body,
                  const HttpHeaders& headers, int timeoutMs);

    int timeoutMs_;
    WaitHook* hook_;
    std::unique_ptr<QNetworkAccessManager> nam_;
    std::unique_ptr<KeepAliveFetcher> keepAlive_; // made on the first plain-HTTP transfer
};

} // namespace net
