#include "common/net/async_get.h"

namespace net {

int AsyncGet::readyState() const {
    if (finished_) return 4;
    return headersSeen_ ? 3 : 1;
}

void AsyncGet::markHeaders(HttpReply meta) {
    if (headersSeen_) return;
    meta_ = std::move(meta);
    headersSeen_ = true;
    emit headersArrived();
}

void AsyncGet::markFinished(bool failed, bool timedOut) {
    if (finished_) return;
    failed_ = failed || timedOut || !headersSeen_;
    timedOut_ = timedOut;
    finished_ = true;
    emit finished();
}

} // namespace net
