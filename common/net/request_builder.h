#pragma once
// Request set-up and reply reading shared by the synchronous and asynchronous paths.
#include "common/net/http_reply.h"

#include <QNetworkRequest>

class QNetworkReply;

namespace net {

// Cleaned header names, no cookies in either direction, redirects followed.
QNetworkRequest BuildRequest(const QUrl& url, const HttpHeaders& headers, bool hasBody);
// Status, status text and headers of a reply; empty (not arrived) when no HTTP status
// came back.
HttpReply ReplyOf(const QNetworkReply& reply, QByteArray body);

} // namespace net
