#pragma once
// One GET in flight, for callers that stream a large body to a file. Signals arrive on
// the caller's thread from its event loop; read the bytes on readyRead() to keep memory
// flat. A transfer that fails (no connection, inactivity time-out, abort) ends with
// finished() and failed() true. HttpClient::getAsync picks the transport behind it.
#include "common/net/http_reply.h"

#include <QObject>

namespace net {

class AsyncGet : public QObject {
    Q_OBJECT
public:
    ~AsyncGet() override = default;

    bool isFinished() const { return finished_; }
    // Ready state as the update callers poll it: 1 while waiting, 3 while receiving,
    // 4 when done.
    int readyState() const;
    bool failed() const { return failed_; }
    // Failed because no byte arrived within the time-out.
    bool timedOut() const { return timedOut_; }
    bool headersReceived() const { return headersSeen_; }
    int status() const { return meta_.status; }
    QString statusText() const { return meta_.statusText; }
    QByteArray header(const QByteArray& name) const { return meta_.header(name); }
    // Bytes received since the last call.
    virtual QByteArray readAvailable() = 0;
    // Caps what the network layer holds until readAvailable() takes it (0: no cap), so a
    // large body streams instead of piling up.
    virtual void setReadBufferSize(qint64 bytes) = 0;
    // Ends the transfer as failed; finished() follows.
    virtual void abort() = 0;

signals:
    void headersArrived();
    void readyRead();
    void finished();

protected:
    AsyncGet() = default;
    // Both emit their signal once; later calls are ignored.
    void markHeaders(HttpReply meta);
    void markFinished(bool failed, bool timedOut = false);

private:
    HttpReply meta_;
    bool headersSeen_ = false;
    bool finished_ = false;
    bool failed_ = false;
    bool timedOut_ = false;
};

} // namespace net
