#include "keep_alive_fetcher.h"

#include <utility>

namespace net {

namespace {

constexpr qsizetype kMaxHeadBytes = 64 * 1024; // status line and headers, or one chunk line
constexpr qint64 kReadChunk = 256 * 1024;
constexpr int kMaxRedirects = 5;

// One line without its end; false when no whole line has arrived yet.
bool takeLine(QByteArray& in, QByteArray& line) {
    const qsizetype eol = in.indexOf('\n');
    if (eol < 0) return false;
    line = in.left(eol);
    if (line.endsWith('\r')) line.chop(1);
    in.remove(0, eol + 1);
    return true;
}

bool safeHeaderText(const QByteArray& s) {
    return !s.contains('\r') && !s.contains('\n');
}

} // namespace

KeepAliveFetcher::KeepAliveFetcher() {
    idle_.setSingleShot(true);
    connect(&idle_, &QTimer::timeout, this, [this] {
        if (current_) fail();
    });
    connect(&socket_, &QTcpSocket::connected, this, [this] {
        socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        if (current_) send();
    });
    connect(&socket_, &QTcpSocket::readyRead, this, &KeepAliveFetcher::pump);
    // Queued, so the socket has finished its own closing before we reopen it.
    connect(&socket_, &QTcpSocket::disconnected, this, &KeepAliveFetcher::onDropped,
            Qt::QueuedConnection);
    connect(&socket_, &QTcpSocket::errorOccurred, this, &KeepAliveFetcher::onDropped,
            Qt::QueuedConnection);
}

KeepAliveFetcher::~KeepAliveFetcher() {
    socket_.disconnect(this);
    socket_.abort();
}

bool KeepAliveFetcher::accepts(const QUrl& url) {
    return url.isValid() && url.scheme() == QLatin1String("http") && !url.host().isEmpty() &&
           url.userInfo().isEmpty();
}

std::unique_ptr<AsyncGet> KeepAliveFetcher::get(const QUrl& url, const HttpHeaders& headers,
                                                int inactivityMs) {
    if (current_ || !accepts(url)) return nullptr;
    auto* handle = new KeepAliveGet(this);
    current_ = handle;
    url_ = url;
    headers_ = headers;
    inactivityMs_ = inactivityMs > 0 ? inactivityMs : 30000;
    redirects_ = 0;
    redirecting_ = false;
    resent_ = false;
    startRequest();
    return std::unique_ptr<AsyncGet>(handle);
}

void KeepAliveFetcher::startRequest() {
    QByteArray target = url_.path(QUrl::FullyEncoded).toLatin1();
    if (target.isEmpty()) target = "/";
    if (url_.hasQuery()) target += '?' + url_.query(QUrl::FullyEncoded).toLatin1();
    request_ = "GET " + target +
               " HTTP/1.1\r\nHost: " + url_.authority(QUrl::FullyEncoded).toLatin1() + "\r\n";
    for (const auto& h : headers_) {
        const QByteArray name = cleanHeaderName(h.first);
        const QByteArray value = h.second.trimmed();
        if (name.isEmpty() || name.contains(' ') || name.contains(':') || !safeHeaderText(name) ||
            !safeHeaderText(value))
            continue;
        const QByteArray lower = name.toLower();
        if (lower == "host" || lower == "content-length" || lower == "connection" ||
            lower == "transfer-encoding")
            continue;
        request_ += name + ": " + value + "\r\n";
    }
    request_ += "Connection: keep-alive\r\n\r\n";

    phase_ = Phase::Status;
    in_.clear();
    gotBytes_ = false;
    closeAfter_ = false;
    idle_.start(inactivityMs_);
    const QByteArray endpoint = url_.host().toLatin1() + ':' + QByteArray::number(url_.port(80));
    if (socket_.state() == QAbstractSocket::ConnectedState && endpoint == endpoint_ &&
        socket_.bytesAvailable() == 0) {
        reusedForThis_ = connectionServed_;
        send();
    } else {
        endpoint_ = endpoint;
        openAndSend();
    }
}

void KeepAliveFetcher::openAndSend() {
    dropSocket();
    reusedForThis_ = false;
    ++opened_;
    socket_.connectToHost(url_.host(), quint16(url_.port(80)));
}

void KeepAliveFetcher::send() {
    socket_.write(request_);
    socket_.flush(); // now, not on the next pass of the event loop
}

void KeepAliveFetcher::dropSocket() {
    socket_.abort();
    connectionServed_ = false;
}

void KeepAliveFetcher::pump() {
    if (pumping_) return; // the outer pass reads on
    pumping_ = true;
    paused_ = false;
    while (current_) {
        if (step()) continue;
        if (!current_) break;
        if (current_->full() && socket_.state() == QAbstractSocket::ConnectedState) {
            paused_ = true; // the reader takes the bytes first
            break;
        }
        const QByteArray more = socket_.read(kReadChunk);
        if (more.isEmpty()) break;
        gotBytes_ = true;
        idle_.start(inactivityMs_);
        in_ += more;
    }
    pumping_ = false;
}

void KeepAliveFetcher::resume() {
    if (!paused_) return;
    paused_ = false;
    QMetaObject::invokeMethod(this, &KeepAliveFetcher::pump, Qt::QueuedConnection);
}

bool KeepAliveFetcher::step() {
    if (current_->full() && phase_ != Phase::Status && phase_ != Phase::Headers) return false;
    QByteArray line;
    switch (phase_) {
    case Phase::Status: {
        if (!takeLine(in_, line)) {
            if (in_.size() > kMaxHeadBytes) fail();
            return !current_;
        }
        line = line.trimmed();
        if (line.isEmpty()) return true; // a stray blank line before the status line
        const QList<QByteArray> parts = line.split(' ');
        bool ok = false;
        const int status = parts.size() > 1 ? parts[1].toInt(&ok) : 0;
        if (!line.startsWith("HTTP/1.") || !ok || status < 100 || status > 999) {
            fail();
            return true;
        }
        reply_ = {};
        reply_.arrived = true;
        reply_.status = status;
        const qsizetype reasonAt = line.indexOf(' ', line.indexOf(' ') + 1);
        if (reasonAt > 0) reply_.statusText = QString::fromLatin1(line.mid(reasonAt + 1));
        closeAfter_ = line.startsWith("HTTP/1.0");
        headBytes_ = line.size();
        phase_ = Phase::Headers;
        return true;
    }
    case Phase::Headers: {
        const bool whole = takeLine(in_, line);
        headBytes_ += whole ? line.size() : in_.size();
        if (headBytes_ > kMaxHeadBytes) {
            fail();
            return true;
        }
        if (!whole) return false;
        if (line.isEmpty()) return headersDone();
        const qsizetype colon = line.indexOf(':');
        if (colon > 0)
            reply_.headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
        return true;
    }
    case Phase::Body:
    case Phase::ChunkData: {
        const qint64 n = qMin<qint64>(remaining_, in_.size());
        if (n == 0 && remaining_ > 0) return false;
        remaining_ -= n;
        if (!deliver(n)) return true;
        if (remaining_ == 0) {
            if (phase_ == Phase::Body)
                complete();
            else
                phase_ = Phase::ChunkEnd;
        }
        return true;
    }
    case Phase::ChunkSize: {
        if (!takeLine(in_, line)) {
            if (in_.size() > kMaxHeadBytes) fail();
            return !current_;
        }
        const qsizetype semi = line.indexOf(';');
        bool ok = false;
        const qint64 size = (semi >= 0 ? line.left(semi) : line).trimmed().toLongLong(&ok, 16);
        if (!ok || size < 0) {
            fail();
            return true;
        }
        remaining_ = size;
        phase_ = size == 0 ? Phase::Trailers : Phase::ChunkData;
        return true;
    }
    case Phase::ChunkEnd:
        if (!takeLine(in_, line)) return false;
        if (!line.isEmpty())
            fail();
        else
            phase_ = Phase::ChunkSize;
        return true;
    case Phase::Trailers:
        if (!takeLine(in_, line)) {
            if (in_.size() > kMaxHeadBytes) fail();
            return !current_;
        }
        if (line.isEmpty()) complete();
        return true;
    case Phase::ToClose:
        if (in_.isEmpty()) return false;
        deliver(in_.size());
        return true;
    }
    return false;
}

bool KeepAliveFetcher::headersDone() {
    const int status = reply_.status;
    if (status < 200 && status != 101) { // interim reply: the real one follows
        phase_ = Phase::Status;
        return true;
    }
    const QByteArray connection = reply_.header("Connection").toLower();
    if (connection.contains("close"))
        closeAfter_ = true;
    else if (connection.contains("keep-alive"))
        closeAfter_ = false;

    bool hasBody = status != 204 && status != 304;
    if (hasBody && reply_.header("Transfer-Encoding").toLower().contains("chunked")) {
        phase_ = Phase::ChunkSize;
    } else if (hasBody && !reply_.header("Content-Length").isEmpty()) {
        // Repeated lengths must agree; anything else is not a reply we can frame.
        qint64 length = -1;
        for (const auto& h : reply_.headers) {
            if (h.first.compare("Content-Length", Qt::CaseInsensitive) != 0) continue;
            bool ok = false;
            const qint64 n = h.second.toLongLong(&ok);
            if (!ok || n < 0 || (length >= 0 && n != length)) {
                fail();
                return true;
            }
            length = n;
        }
        remaining_ = length;
        hasBody = length > 0;
        phase_ = Phase::Body;
    } else if (hasBody) {
        phase_ = Phase::ToClose;
        closeAfter_ = true;
    }

    redirecting_ = false;
    if ((status == 301 || status == 302 || status == 303 || status == 307 || status == 308) &&
        redirects_ < kMaxRedirects) {
        const QUrl next = url_.resolved(QUrl::fromEncoded(reply_.header("Location")));
        if (accepts(next) && !reply_.header("Location").isEmpty()) {
            redirecting_ = true;
            redirectTo_ = next;
        }
    }
    if (!redirecting_) {
        KeepAliveGet* handle = current_;
        handle->markHeaders(reply_);
        if (current_ != handle) return true;
    }
    if (!hasBody) complete();
    return true;
}

bool KeepAliveFetcher::deliver(qint64 n) {
    if (n <= 0) return true;
    if (redirecting_) { // the body of a redirect is not the caller's
        in_.remove(0, n);
        return true;
    }
    KeepAliveGet* handle = current_;
    if (n == in_.size()) {
        if (handle->body_.isEmpty())
            handle->body_ = std::exchange(in_, {});
        else
            handle->body_ += std::exchange(in_, {});
    } else {
        handle->body_ += in_.left(n);
        in_.remove(0, n);
    }
    emit handle->readyRead();
    return current_ == handle;
}

void KeepAliveFetcher::complete() {
    idle_.stop();
    phase_ = Phase::Status;
    const bool reusable =
        !closeAfter_ && in_.isEmpty() && socket_.state() == QAbstractSocket::ConnectedState;
    in_.clear();
    if (reusable)
        connectionServed_ = true;
    else
        dropSocket();
    if (redirecting_) {
        redirecting_ = false;
        ++redirects_;
        url_ = redirectTo_;
        startRequest();
        return;
    }
    KeepAliveGet* handle = current_;
    current_ = nullptr;
    handle->markFinished(false);
}

void KeepAliveFetcher::fail() {
    KeepAliveGet* handle = current_;
    current_ = nullptr;
    idle_.stop();
    dropSocket();
    in_.clear();
    phase_ = Phase::Status;
    redirecting_ = false;
    if (handle) handle->markFinished(true);
}

void KeepAliveFetcher::cancel(KeepAliveGet* handle) {
    if (current_ != handle) return;
    current_ = nullptr;
    idle_.stop();
    dropSocket();
    in_.clear();
    phase_ = Phase::Status;
}

void KeepAliveFetcher::onDropped() {
    if (!current_ || socket_.state() != QAbstractSocket::UnconnectedState) return;
    KeepAliveGet* handle = current_;
    pump(); // what came before the close
    if (current_ != handle) return;
    if (phase_ == Phase::ToClose) {
        closeAfter_ = true;
        complete();
    } else if (!gotBytes_ && reusedForThis_ && !resent_) {
        // The server had closed the kept connection: one more try on a new one.
        resent_ = true;
        in_.clear();
        phase_ = Phase::Status;
        openAndSend();
    } else {
        fail();
    }
}

KeepAliveGet::~KeepAliveGet() {
    if (!isFinished() && owner_) owner_->cancel(this);
}

QByteArray KeepAliveGet::readAvailable() {
    QByteArray out = std::exchange(body_, {});
    if (owner_ && !isFinished()) owner_->resume();
    return out;
}

void KeepAliveGet::setReadBufferSize(qint64 bytes) {
    cap_ = qMax<qint64>(0, bytes);
    if (owner_ && owner_->current_ == this) owner_->socket_.setReadBufferSize(cap_);
}

void KeepAliveGet::abort() {
    if (!isFinished() && owner_ && owner_->current_ == this) owner_->fail();
}

} // namespace net
