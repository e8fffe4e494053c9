#include "update/downloader.h"

#include "common/messages.h"
#include "common/net/http_client.h"
#include "update/format_size.h"
#include "update/registrar.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QSaveFile>

namespace upd {

namespace {

const QString kTitle = QStringLiteral("提示");
const QString kNoSize = QStringLiteral("无法获取文件大小！");
const QString kNoConnection = QStringLiteral("连接服务器失败，请检查网络！");
// What the network layer may hold before a whole-file body goes to the file.
constexpr qint64 kReadBufferBytes = 256 * 1024;

} // namespace

// One range request and what has come back for it. A 200 reply to the first slice (a
// server that ignores Range) streams to the file; any other body is kept, at most one
// slice long.
struct SliceRequest {
    explicit SliceRequest(qint64 offset) : offset(offset) {}
    // The body is the whole file, written as it arrives.
    bool whole() const { return offset == 0 && get->status() == 200; }

    const qint64 offset;
    std::unique_ptr<net::AsyncGet> get;
    QByteArray body;
    qint64 received = 0;
    QElapsedTimer clock;
    bool done = false;
    bool overLimit = false; // longer than the whole-slice limit
    bool overflow = false;
    bool writeFailed = false;
};

namespace {

// A reader of header values such as "bytes 20480-40960/45000", one token at a time.
class HeaderCursor {
public:
    explicit HeaderCursor(QByteArrayView text) : text_(text) {}

    void skipBlanks() {
        while (at_ < text_.size() && isBlank(text_[at_]))
            ++at_;
    }
    bool take(char c) {
        if (at_ >= text_.size() || text_[at_] != c) return false;
        ++at_;
        return true;
    }
    // "bytes" in any case.
    bool takeBytesUnit() {
        const QByteArrayView unit = text_.sliced(at_).first(qMin<qsizetype>(5, text_.size() - at_));
        if (unit.compare("bytes", Qt::CaseInsensitive) != 0) return false;
        at_ += 5;
        return true;
    }
    // 1 to 18 decimal digits, so the value fits.
    bool takeNumber(qint64& value) {
        value = 0;
        qsizetype digits = 0;
        for (; at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9'; ++at_, ++digits) {
            if (digits == 18) return false;
            value = value * 10 + (text_[at_] - '0');
        }
        return digits > 0;
    }
    bool atEnd() {
        skipBlanks();
        return at_ == text_.size();
    }

private:
    static bool isBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

    QByteArrayView text_;
    qsizetype at_ = 0;
};

} // namespace

bool ParseContentRange(const QByteArray& value, qint64& first, qint64& last, qint64& total) {
    HeaderCursor c(value);
    c.skipBlanks();
    if (!c.takeBytesUnit() || !(c.take(' ') || c.take('='))) return false;
    c.skipBlanks();
    if (!c.takeNumber(first)) return false;
    c.skipBlanks();
    if (!c.take('-')) return false;
    c.skipBlanks();
    if (!c.takeNumber(last)) return false;
    c.skipBlanks();
    if (!c.take('/')) return false;
    c.skipBlanks();
    if (!c.takeNumber(total) || !c.atEnd()) return false;
    return first <= last && last < total;
}

qint64 UnsatisfiedRangeTotal(const QByteArray& value) {
    HeaderCursor c(value);
    qint64 total = -1;
    c.skipBlanks();
    if (!c.takeBytesUnit()) return -1;
    c.skipBlanks();
    if (!c.take('*')) return -1;
    c.skipBlanks();
    if (!c.take('/')) return -1;
    c.skipBlanks();
    return c.takeNumber(total) && c.atEnd() ? total : -1;
}

void DownloadView::setProgress(qint64 last, qint64 total) {
    setStatus(ProgressText(last, total));
    setProgressTwips(ProgressTwips(last, total));
}

QString ProgressText(qint64 last, qint64 total) {
    const int percent = int(double(last) / double(total) * 100.0);
    return QStringLiteral("当前进度:") + QString::number(percent) + QStringLiteral("% (") +
           FormatSize(last) + QLatin1Char('/') + FormatSize(total) + QLatin1Char(')');
}

int ProgressTwips(qint64 last, qint64 total) {
    return int(double(last) / double(total) * kProgressFrameTwips);
}

Downloader::Downloader(net::HttpClient& http, common::Messages& messages, DownloadView* view,
                       const Registrar* registrar, DownloadLimits limits)
    : http_(http), messages_(messages), view_(view), registrar_(registrar), limits_(limits) {}

Downloader::~Downloader() {
    discardSlices();
}

void Downloader::say(const QString& text) {
    if (view_) view_->setStatus(text);
}

void Downloader::start(const QString& url, const QString& target, int registerFlag,
                       const QString& sha256) {
    url_ = url;
    target_ = target;
    sha256_ = sha256.trimmed().toLower();
    registerFlag_ = registerFlag;
    running_ = true;
    requests_ = 0;
    nextOffset_ = 0;
    total_ = -1;
    hash_.reset();
    result_ = DownloadEnd::Complete;

    const QFileInfo info(target_);
    if (target_.isEmpty() || !QDir().mkpath(info.absolutePath())) {
        end(DownloadEnd::LocalError);
        return;
    }
    request_ = http_.prepareGet(
        url_, {{"Content-Type:", "application/octet-stream"}, {"Accept-Encoding", "identity"}},
        limits_.inactivityMs);
    file_ = std::make_unique<QSaveFile>(target_);
    if (!file_->open(QIODevice::WriteOnly)) {
        end(DownloadEnd::LocalError);
        return;
    }
    say(QStringLiteral("开始下载……"));
    fill();
}

void Downloader::fill() {
    // The first slice goes alone; the rest only once the total is known, and never past
    // the end: a slice is needed while the one before it stops short of the last byte.
    while (running_ && qsizetype(window_.size()) < qMax(1, limits_.slicesInFlight)) {
        if (requests_ > 0 && (total_ < 0 || nextOffset_ >= total_ - 1)) break;
        send(nextOffset_);
        nextOffset_ += kSliceSize;
    }
}

void Downloader::send(qint64 offset) {
    QNetworkRequest request = request_;
    request.setRawHeader("Range", "bytes=" + QByteArray::number(offset) + '-' +
                                      QByteArray::number(offset + kSliceSize));
    ++requests_;
    auto slice = std::make_unique<SliceRequest>(offset);
    SliceRequest* s = slice.get();
    s->get = http_.getAsync(request);
    // Only the first slice can be a whole file that must stream to disk.
    if (offset == 0) s->get->setReadBufferSize(kReadBufferBytes);
    net::AsyncGet* get = s->get.get();
    connect(get, &net::AsyncGet::readyRead, get, [this, s] {
        if (s->clock.elapsed() > limits_.sliceLimitMs) {
            s->overLimit = true;
            s->get->abort();
            return;
        }
        drain(*s);
    });
    connect(get, &net::AsyncGet::finished, get, [this, s] {
        drain(*s); // whatever is still buffered
        s->done = true;
        applyFinished(); // may discard s
    });
    s->clock.start();
    window_.push_back(std::move(slice));
}

void Downloader::drain(SliceRequest& s) {
    const QByteArray data = s.get->readAvailable();
    if (data.isEmpty() || s.writeFailed || s.overflow) return;
    const int status = s.get->status();
    if (s.whole()) {
        if (s.received + data.size() > kMaxFileBytes || !file_->seek(s.received) ||
            file_->write(data) != data.size()) {
            s.writeFailed = true;
            s.get->abort();
            return;
        }
        if (!sha256_.isEmpty()) hash_.addData(data);
    } else if (status >= 200 && status < 300) {
        if (s.body.size() + data.size() > kSliceSize + 1) {
            s.overflow = true;
            s.get->abort();
            return;
        }
        s.body += data;
    }
    s.received += data.size();
}

void Downloader::applyFinished() {
    if (applying_) return;
    applying_ = true;
    while (running_ && !window_.empty() && window_.front()->done) {
        std::unique_ptr<SliceRequest> slice = std::move(window_.front());
        window_.pop_front();
        const bool goOn = apply(*slice);
        // We may be inside a signal of this request.
        slice->get->disconnect();
        slice->get.release()->deleteLater();
        if (!goOn) break;
    }
    applying_ = false;
    fill();
}

bool Downloader::apply(SliceRequest& slice) {
    const net::AsyncGet& get = *slice.get;
    const int status = get.status();
    if (slice.overLimit || get.timedOut())
        return end(DownloadEnd::TimedOut, QStringLiteral("下载文件超时")), false;
    if (slice.writeFailed) return end(DownloadEnd::LocalError), false;
    if (!get.headersReceived()) return end(DownloadEnd::Connection, kNoConnection), false;
    if (status == 416) {
        // Only a server whose file is empty makes the target empty; otherwise the target
        // keeps what it holds.
        const qint64 total = UnsatisfiedRangeTotal(get.header("Content-Range"));
        if (slice.offset == 0 && total == 0) {
            file_->resize(0);
            return end(DownloadEnd::Complete), false;
        }
        return end(DownloadEnd::Stale), false;
    }
    if (status == 403)
        return end(DownloadEnd::Busy, QStringLiteral("服务器繁忙，请稍候重试")), false;
    if (status == 404) return end(DownloadEnd::NotFound, kNoConnection), false;
    if (status > 299) {
        end(DownloadEnd::HttpError, QStringLiteral("未知错误：") + get.statusText() +
                                        QLatin1Char('(') + QString::number(status) +
                                        QLatin1Char(')'));
        return false;
    }
    if (slice.overflow) return end(DownloadEnd::NoSize, kNoSize), false;
    if (get.failed()) return end(DownloadEnd::Connection, kNoConnection), false;
    return slice.whole() ? applyWhole(slice) : applyRange(slice);
}

bool Downloader::applyWhole(SliceRequest& slice) {
    // Without a length (or chunked framing) a body cut short cannot be told from a whole
    // one: such a reply is not saved.
    const net::AsyncGet& get = *slice.get;
    bool known = false;
    const qint64 length = get.header("Content-Length").toLongLong(&known);
    const bool chunked = get.header("Transfer-Encoding").toLower().contains("chunked");
    if (!chunked && (!known || length != slice.received))
        return end(DownloadEnd::NoSize, kNoSize), false;
    qint64 first = 0, last = 0, total = 0;
    if (!ParseContentRange(get.header("Content-Range"), first, last, total))
        messages_.show(kNoSize, kTitle);
    file_->resize(slice.received);
    end(DownloadEnd::Complete);
    return false;
}

bool Downloader::applyRange(SliceRequest& slice) {
    qint64 first = 0, last = 0, total = 0;
    // The reply must start where it was asked, agree with the total of the first reply and
    // reach the start of the next slice (or the end).
    if (!ParseContentRange(slice.get->header("Content-Range"), first, last, total) ||
        first != slice.offset || total > kMaxFileBytes || (total_ >= 0 && total != total_) ||
        slice.body.size() != last - first + 1 || last + 1 < qMin(first + kSliceSize, total))
        return end(DownloadEnd::NoSize, kNoSize), false;
    if (!file_->seek(first) || file_->write(slice.body) != slice.body.size())
        return end(DownloadEnd::LocalError), false;
    // The last byte of a slice is written again by the next one.
    const bool final = total - last == 1;
    if (!sha256_.isEmpty())
        hash_.addData(final ? QByteArrayView(slice.body)
                            : QByteArrayView(slice.body).first(kSliceSize));
    total_ = total;
    if (view_) view_->setProgress(last, total);
    if (!final) return true;
    file_->resize(total_);
    end(DownloadEnd::Complete);
    return false;
}

void Downloader::discardSlices() {
    for (auto& slice : window_) {
        slice->get->disconnect();
        slice->get.release()->deleteLater(); // aborts a transfer still running
    }
    window_.clear();
}

void Downloader::end(DownloadEnd how, const QString& message) {
    discardSlices();
    QString text = message;
    if (how == DownloadEnd::Complete && !sha256_.isEmpty() &&
        hash_.result().toHex() != sha256_.toLatin1()) {
        how = DownloadEnd::HashMismatch;
        text = QStringLiteral("文件校验失败：") + target_;
    }
    result_ = how;
    running_ = false;
    if (!text.isEmpty()) messages_.show(text, kTitle);
    if (file_) {
        // A target in use cannot be replaced; it stays as it was.
        if (how == DownloadEnd::Complete && !file_->commit()) result_ = DownloadEnd::LocalError;
        if (how != DownloadEnd::Complete) file_->cancelWriting();
        file_.reset();
    }
    if (registerFlag_ == 1 && registrar_ && how != DownloadEnd::HashMismatch)
        registrar_->registerComponent(target_, QString());
    emit finished();
}

DownloadEnd Downloader::downloadFile(const QString& url, const QString& target, int registerFlag,
                                     const QString& sha256) {
    QEventLoop loop;
    connect(this, &Downloader::finished, &loop, &QEventLoop::quit);
    start(url, target, registerFlag, sha256);
    if (running_) loop.exec();
    return result_;
}

} // namespace upd
