#include "async_get.h"

#include "request_builder.h"

#include <QNetworkReply>

namespace net {

AsyncGet::AsyncGet(QNetworkReply* reply) : reply_(reply) {
    reply_->setParent(this);
    connect(reply_, &QNetworkReply::metaDataChanged, this, &AsyncGet::onMetaData);
    connect(reply_, &QNetworkReply::readyRead, this, [this] {
        if (!headersSeen_) onMetaData();
        emit readyRead();
    });
    connect(reply_, &QNetworkReply::finished, this, &AsyncGet::onFinished);
}

AsyncGet::~AsyncGet() {
    if (reply_ && !reply_->isFinished()) {
        reply_->disconnect(this);
        reply_->abort();
    }
}

int AsyncGet::readyState() const {
    if (finished_) return 4;
    return headersSeen_ ? 3 : 1;
}

void AsyncGet::onMetaData() {
    if (headersSeen_ || !reply_) return;
    HttpReply r = replyOf(*reply_, {});
    if (!r.arrived) return;
    meta_ = std::move(r);
    status_ = meta_.status;
    statusText_ = meta_.statusText;
    headersSeen_ = true;
    emit headersArrived();
}

QByteArray AsyncGet::header(const QByteArray& name) const {
    return meta_.header(name);
}

QByteArray AsyncGet::readAvailable() {
    return reply_ ? reply_->readAll() : QByteArray();
}

void AsyncGet::setReadBufferSize(qint64 bytes) {
    if (reply_) reply_->setReadBufferSize(bytes);
}

void AsyncGet::abort() {
    if (finished_ || !reply_) return;
    reply_->abort(); // emits finished, which marks the transfer failed
}

void AsyncGet::onFinished() {
    if (finished_) return;
    if (!headersSeen_) onMetaData();
    const int error = int(reply_->error());
    failed_ = !headersSeen_ || (error > 0 && error < int(QNetworkReply::ContentAccessDenied));
    finished_ = true;
    emit finished();
}

} // namespace net
