#include "common/net/reply_get.h"

#include "common/net/request_builder.h"

#include <QNetworkReply>

namespace net {

ReplyGet::ReplyGet(QNetworkReply* reply) : reply_(reply) {
    reply_->setParent(this);
    connect(reply_, &QNetworkReply::metaDataChanged, this, &ReplyGet::onMetaData);
    connect(reply_, &QNetworkReply::readyRead, this, [this] {
        if (!headersReceived()) onMetaData();
        emit readyRead();
    });
    connect(reply_, &QNetworkReply::finished, this, &ReplyGet::onFinished);
}

ReplyGet::~ReplyGet() {
    if (reply_ && !reply_->isFinished()) {
        reply_->disconnect(this);
        reply_->abort();
    }
}

void ReplyGet::onMetaData() {
    if (headersReceived() || !reply_) return;
    HttpReply r = ReplyOf(*reply_, {});
    if (r.arrived) markHeaders(std::move(r));
}

QByteArray ReplyGet::readAvailable() {
    const QByteArray data = reply_ && reply_->isOpen() ? reply_->readAll() : QByteArray();
    taken_ += data.size();
    return data;
}

void ReplyGet::setReadBufferSize(qint64 bytes) {
    if (reply_) reply_->setReadBufferSize(bytes);
}

void ReplyGet::abort() {
    if (isFinished() || !reply_) return;
    aborted_ = true;
    reply_->abort(); // emits finished, which marks the transfer failed
}

void ReplyGet::onFinished() {
    if (isFinished()) return;
    if (!headersReceived()) onMetaData();
    const int error = int(reply_->error());
    // The transfer time-out cancels the reply as an abort would.
    const bool timedOut = !aborted_ && (reply_->error() == QNetworkReply::TimeoutError ||
                                        reply_->error() == QNetworkReply::OperationCanceledError);
    markFinished((error > 0 && error < int(QNetworkReply::ContentAccessDenied)) || cutShort(),
                 timedOut);
}

// A body that stops short of its announced length: the connection dropped under it, which
// the network layer does not always report as an error. Encoded bodies are left alone (their
// length counts the encoded bytes).
bool ReplyGet::cutShort() const {
    bool known = false;
    const qint64 length = header("Content-Length").toLongLong(&known);
    const QByteArray encoding = header("Content-Encoding").trimmed().toLower();
    if (!known || !(encoding.isEmpty() || encoding == "identity")) return false;
    return taken_ + (reply_->isOpen() ? reply_->bytesAvailable() : 0) < length;
}

} // namespace net
