#pragma once
// One GET in flight, for callers that stream a large body to a file. Signals arrive on
// the caller's thread from its event loop; read the bytes on readyRead() to keep memory
// flat. A transfer that fails (no connection, inactivity time-out, abort) ends with
// finished() and failed() true.
#include "http_reply.h"

#include <QObject>
#include <QPointer>

class QNetworkReply;

namespace net {

class AsyncGet : public QObject {
    Q_OBJECT
public:
    ~AsyncGet() override;

    bool isFinished() const { return finished_; }
    // Ready state as the update callers poll it: 1 while waiting, 3 while receiving,
    // 4 when done.
    int readyState() const;
    bool failed() const { return failed_; }
    bool headersReceived() const { return headersSeen_; }
    int status() const { return status_; }
    QString statusText() const { return statusText_; }
    QByteArray header(const QByteArray& name) const;
    // Bytes received since the last call.
    QByteArray readAvailable();
    // Caps what the network layer holds until readAvailable() takes it (0: no cap), so a
    // large body streams instead of piling up.
    void setReadBufferSize(qint64 bytes);
    void abort();

signals:
    void headersArrived();
    void readyRead();
    void finished();

private:
    friend class HttpClient;
    explicit AsyncGet(QNetworkReply* reply);
    void onMetaData();
    void onFinished();

    QPointer<QNetworkReply> reply_;
    HttpReply meta_;
    int status_ = 0;
    QString statusText_;
    bool headersSeen_ = false;
    bool finished_ = false;
    bool failed_ = false;
};

} // namespace net
