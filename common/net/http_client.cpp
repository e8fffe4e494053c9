#include "common/net/http_client.h"

#include "common/deploy_config.h"
#include "common/net/reply_get.h"
#include "common/net/request_builder.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QTimer>

namespace net {

namespace {

// The application's proxy settings (the system's, by default), with a direct connection
// answered as DefaultProxy rather than NoProxy: the connection's socket resolves that to
// the same settings and connects directly, and Qt Network then reads replies through a
// buffered socket. With NoProxy it reads every header byte with its own system call.
class BufferedDirectProxies : public QNetworkProxyFactory {
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override {
        const QList<QNetworkProxy> proxies = QNetworkProxyFactory::proxyForQuery(query);
        if (proxies.isEmpty() || proxies.first().type() == QNetworkProxy::NoProxy)
            return {QNetworkProxy(QNetworkProxy::DefaultProxy)};
        return proxies;
    }
};

} // namespace

HttpClient::HttpClient(const common::DeployConfig& config, WaitHook* hook)
    : HttpClient(config.httpTimeoutMs(), hook) {}

HttpClient::HttpClient(int timeoutMs, WaitHook* hook)
    : timeoutMs_(timeoutMs > 0 ? timeoutMs : 30000), hook_(hook),
      nam_(std::make_unique<QNetworkAccessManager>()) {
    nam_->setProxyFactory(new BufferedDirectProxies); // the manager owns it
}

HttpClient::~HttpClient() = default;

HttpReply HttpClient::post(const QString& url, const QByteArray& body, const HttpHeaders& headers,
                           int timeoutMs) {
    return run("POST", url, &body, headers, timeoutMs);
}

HttpReply HttpClient::get(const QString& url, const HttpHeaders& headers, int timeoutMs) {
    return run("GET", url, nullptr, headers, timeoutMs);
}

HttpReply HttpClient::run(const QByteArray& method, const QString& url, const QByteArray* body,
                          const HttpHeaders& headers, int timeoutMs) {
    const QUrl target(url);
    if (!target.isValid() || target.scheme().isEmpty() || target.host().isEmpty()) {
        HttpReply invalid;
        invalid.error = QStringLiteral("not a valid address");
        return invalid;
    }
    const int limit = timeoutMs > 0 ? timeoutMs : timeoutMs_;
    QNetworkRequest request = BuildRequest(target, headers, body != nullptr);

    QNetworkReply* reply = body ? nam_->sendCustomRequest(request, method, *body)
                                : nam_->sendCustomRequest(request, method);
    bool timedOut = false;
    bool tooLarge = false;
    QByteArray received;
    // The body is taken as it arrives, so a reply past the limit is dropped early instead
    // of being kept whole.
    const auto take = [&] {
        if (tooLarge) return;
        const qint64 announced = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
        if (announced > maxReplyBytes_ ||
            received.size() + reply->bytesAvailable() > maxReplyBytes_) {
            tooLarge = true;
            reply->abort();
            return;
        }
        received += reply->readAll();
    };
    if (!reply->isFinished()) {
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(reply, &QNetworkReply::metaDataChanged, &loop, take);
        QObject::connect(reply, &QNetworkReply::readyRead, &loop, take);
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
            timedOut = true;
            reply->abort();
            loop.quit();
        });
        timer.start(limit);
        // An abandoned wait (the program is closing) drops the request unanswered.
        if (!reply->isFinished() && !Wait(loop, hook_) && !reply->isFinished()) {
            QObject::disconnect(reply, nullptr, &loop, nullptr);
            reply->abort();
            reply->deleteLater();
            return {};
        }
    }
    take();
    HttpReply out;
    if (tooLarge)
        out.tooLarge = true;
    else if (!timedOut)
        out = ReplyOf(*reply, std::move(received));
    if (tooLarge)
        out.error = QStringLiteral("reply larger than %1 bytes").arg(maxReplyBytes_);
    else if (timedOut)
        out.error = QStringLiteral("no reply within %1 ms").arg(limit);
    else if (!out.arrived)
        out.error = reply->errorString();
    reply->deleteLater();
    return out;
}

std::unique_ptr<AsyncGet> HttpClient::getAsync(const QString& url, const HttpHeaders& headers,
                                               int timeoutMs) {
    return getAsync(prepareGet(url, headers, timeoutMs));
}

QNetworkRequest HttpClient::prepareGet(const QString& url, const HttpHeaders& headers,
                                       int timeoutMs) const {
    QNetworkRequest request = BuildRequest(QUrl(url), headers, false);
    // No cache is kept, and a ranged GET is never answered from one: the default control
    // sends no cache headers.
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QVariant());
    request.setTransferTimeout(timeoutMs > 0 ? timeoutMs : timeoutMs_);
    return request;
}

std::unique_ptr<AsyncGet> HttpClient::getAsync(const QNetworkRequest& request) {
    return std::make_unique<ReplyGet>(nam_->get(request));
}

} // namespace net
