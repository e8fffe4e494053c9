#pragma once
// Plain-HTTP GETs one after another on one kept-alive connection, in the caller's thread:
// a run of small range requests costs one round trip each and no hand-over to a network
// thread. HTTP/1.1 replies with Content-Length, chunked or close-delimited bodies; a reply
// with "Connection: close" (or an HTTP/1.0 one) closes the connection and the next request
// opens a new one; a kept connection found dropped before any byte of the reply is
// reopened and the request sent once more. One request at a time.
#include "async_get.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

#include <memory>

namespace net {

class KeepAliveGet;

class KeepAliveFetcher : public QObject {
    Q_OBJECT
public:
    KeepAliveFetcher();
    ~KeepAliveFetcher() override;

    // Addresses it can fetch: http with a host and no user name.
    static bool accepts(const QUrl& url);
    bool isBusy() const { return current_ != nullptr; }
    // Connections opened so far (a reused connection opens none).
    int connectionsOpened() const { return opened_; }

    // Starts a GET; nullptr when busy or the address is not accepted. inactivityMs: the
    // transfer fails when no byte arrives for that long.
    std::unique_ptr<AsyncGet> get(const QUrl& url, const HttpHeaders& headers, int inactivityMs);

private:
    friend class KeepAliveGet;
    enum class Phase { Status, Headers, Body, ChunkSize, ChunkData, ChunkEnd, Trailers, ToClose };

    void startRequest();
    void send();
    void openAndSend();
    void pump();
    bool step(); // parses what it can of in_; false when it needs more bytes
    bool headersDone();
    bool deliver(qint64 n); // false when the request ended meanwhile
    void complete();
    void fail();
    void onDropped();
    void cancel(KeepAliveGet* get); // the handle went away mid-transfer
    void resume();                  // the reader took bytes: read on
    void dropSocket();

    QTcpSocket socket_;
    QTimer idle_;
    QPointer<KeepAliveGet> current_;
    QUrl url_;
    QUrl redirectTo_;
    QByteArray endpoint_; // host:port of the open connection
    int inactivityMs_ = 30000;
    qsizetype headBytes_ = 0;
    HttpHeaders headers_;
    QByteArray request_;
    QByteArray in_;
    HttpReply reply_;
    Phase phase_ = Phase::Status;
    qint64 remaining_ = 0;
    int redirects_ = 0;
    int opened_ = 0;
    bool connectionServed_ = false; // this connection carried a whole reply before
    bool reusedForThis_ = false;    // the current request went on such a connection
    bool resent_ = false;
    bool gotBytes_ = false;
    bool closeAfter_ = false;
    bool redirecting_ = false;
    bool pumping_ = false;
    bool paused_ = false;
};

class KeepAliveGet : public AsyncGet {
    Q_OBJECT
public:
    ~KeepAliveGet() override;
    QByteArray readAvailable() override;
    void setReadBufferSize(qint64 bytes) override;
    void abort() override;

private:
    friend class KeepAliveFetcher;
    explicit KeepAliveGet(KeepAliveFetcher* owner) : owner_(owner) {}
    bool full() const { return cap_ > 0 && body_.size() >= cap_; }

    QPointer<KeepAliveFetcher> owner_;
    QByteArray body_;
    qint64 cap_ = 0;
};

} // namespace net
