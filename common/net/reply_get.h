#pragma once
// AsyncGet on a QNetworkReply (HTTPS and anything the kept connection does not take).
#include "common/net/async_get.h"

#include <QPointer>

class QNetworkReply;

namespace net {

class ReplyGet : public AsyncGet {
    Q_OBJECT
public:
    explicit ReplyGet(QNetworkReply* reply);
    ~ReplyGet() override;

    QByteArray readAvailable() override;
    void setReadBufferSize(qint64 bytes) override;
    void abort() override;

private:
    void onMetaData();
    void onFinished();
    bool cutShort() const;

    QPointer<QNetworkReply> reply_;
    qint64 taken_ = 0; // body bytes handed out by readAvailable()
    bool aborted_ = false;
};

} // namespace net
