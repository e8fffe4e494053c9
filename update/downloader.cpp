#include "downloader.h"

#include "format_size.h"
#include "http_client.h"
#include "messages.h"
#include "registrar.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

namespace upd {

namespace {

const QString kTitle = QStringLiteral("提示");
// What the network layer may hold before the body goes to the file.
constexpr qint64 kReadBufferBytes = 256 * 1024;

} // namespace

bool ParseContentRange(const QByteArray& value, qint64& first, qint64& last, qint64& total) {
    static const QRegularExpression re(
        QStringLiteral(R"(^\s*bytes[ =]\s*(\d+)\s*-\s*(\d+)\s*/\s*(\d+)\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(QString::fromLatin1(value));
    if (!m.hasMatch()) return false;
    bool ok1 = false, ok2 = false, ok3 = false;
    first = m.captured(1).toLongLong(&ok1);
    last = m.captured(2).toLongLong(&ok2);
    total = m.captured(3).toLongLong(&ok3);
    return ok1 && ok2 && ok3 && first <= last && last < total;
}

Downloader::Downloader(net::HttpClient& http, Messages& messages, DownloadView* view,
                       const Registrar* registrar, DownloadLimits limits)
    : http_(http), messages_(messages), view_(view), registrar_(registrar), limits_(limits) {
    idle_.setSingleShot(true);
    connect(&idle_, &QTimer::timeout, this, &Downloader::onTimeout);
}

Downloader::~Downloader() = default;

void Downloader::say(const QString& text) {
    if (view_) view_->setStatus(text);
}

void Downloader::start(const QString& url, const QString& target, int registerFlag) {
    url_ = url;
    target_ = target;
    registerFlag_ = registerFlag;
    running_ = true;
    requests_ = 0;
    offset_ = 0;
    covered_ = 0;
    total_ = -1;
    result_ = DownloadEnd::Complete;

    const QFileInfo info(target_);
    if (target_.isEmpty() || !QDir().mkpath(info.absolutePath())) {
        end(DownloadEnd::LocalError);
        return;
    }
    file_ = std::make_unique<QSaveFile>(target_);
    if (!file_->open(QIODevice::WriteOnly)) {
        end(DownloadEnd::LocalError);
        return;
    }
    say(QStringLiteral("开始下载……"));
    requestSlice();
}

void Downloader::requestSlice() {
    const net::HttpHeaders headers{
        {"Range",
         "bytes=" + QByteArray::number(offset_) + '-' + QByteArray::number(offset_ + kSliceSize)},
        {"Content-Type:", "application/octet-stream"},
        {"Accept-Encoding", "identity"},
    };
    sliceStart_ = 0;
    sliceLast_ = sliceTotal_ = -1;
    sliceBytes_ = 0;
    writing_ = wholeBody_ = timedOut_ = writeFailed_ = false;
    ++requests_;
    // The client's own inactivity limit is a backstop; ours ends the slice first.
    get_ = http_.getAsync(url_, headers, limits_.inactivityMs + 5000);
    get_->setReadBufferSize(kReadBufferBytes);
    connect(get_.get(), &net::AsyncGet::headersArrived, this, &Downloader::onHeaders);
    connect(get_.get(), &net::AsyncGet::readyRead, this, &Downloader::onData);
    connect(get_.get(), &net::AsyncGet::finished, this, &Downloader::onFinished);
    sliceClock_.start();
    idle_.start(limits_.inactivityMs);
}

void Downloader::onTimeout() {
    if (!get_ || get_->isFinished()) return;
    timedOut_ = true;
    get_->abort();
}

void Downloader::onHeaders() {
    const int status = get_->status();
    if (status == 200) {
        // A server that ignores Range sends the whole file.
        wholeBody_ = writing_ = true;
        writePos_ = 0;
    } else if (status >= 200 && status < 300) {
        qint64 first = 0, last = 0, total = 0;
        if (ParseContentRange(get_->header("Content-Range"), first, last, total) &&
            first <= covered_ && (total_ < 0 || total == total_)) {
            sliceStart_ = first;
            sliceLast_ = last;
            sliceTotal_ = total;
            writePos_ = first;
            writing_ = true;
        }
    }
}

void Downloader::onData() {
    idle_.start(limits_.inactivityMs);
    if (sliceClock_.elapsed() > limits_.sliceLimitMs) {
        onTimeout();
        return;
    }
    drain();
}

void Downloader::drain() {
    const QByteArray data = get_->readAvailable();
    if (!writing_ || data.isEmpty() || writeFailed_) return;
    if (!file_->seek(writePos_) || file_->write(data) != data.size()) {
        writeFailed_ = true;
        get_->abort();
        return;
    }
    writePos_ += data.size();
    sliceBytes_ += data.size();
}

void Downloader::onFinished() {
    idle_.stop();
    drain(); // whatever is still buffered
    const int status = get_->status();
    const QString statusText = get_->statusText();
    const bool failed = get_->failed();
    const bool headers = get_->headersReceived();
    const QByteArray contentRange = get_->header("Content-Range");
    get_.release()->deleteLater(); // we are inside its signal

    if (timedOut_) return end(DownloadEnd::TimedOut, QStringLiteral("下载文件超时"));
    if (writeFailed_) return end(DownloadEnd::LocalError);
    if (!headers)
        return end(DownloadEnd::Connection, QStringLiteral("连接服务器失败，请检查网络！"));
    if (status == 416) {
        // Nothing past the end: an empty file when nothing has arrived yet.
        if (covered_ == 0 && offset_ == 0) {
            file_->resize(0);
            return end(DownloadEnd::Complete);
        }
        return end(DownloadEnd::Stale);
    }
    if (status == 403) return end(DownloadEnd::Busy, QStringLiteral("服务器繁忙，请稍候重试"));
    if (status == 404)
        return end(DownloadEnd::NotFound, QStringLiteral("连接服务器失败，请检查网络！"));
    if (status > 299) {
        return end(DownloadEnd::HttpError, QStringLiteral("未知错误：") + statusText +
                                               QLatin1Char('(') + QString::number(status) +
                                               QLatin1Char(')'));
    }
    if (failed) return end(DownloadEnd::Connection, QStringLiteral("连接服务器失败，请检查网络！"));

    if (wholeBody_) {
        qint64 first = 0, last = 0, total = 0;
        if (ParseContentRange(contentRange, first, last, total)) {
            total_ = total;
        } else {
            messages_.show(QStringLiteral("无法获取文件大小！"), kTitle);
        }
        file_->resize(sliceBytes_);
        return end(DownloadEnd::Complete);
    }
    if (!writing_ || sliceBytes_ != sliceLast_ - sliceStart_ + 1)
        return end(DownloadEnd::NoSize, QStringLiteral("无法获取文件大小！"));

    total_ = sliceTotal_;
    covered_ = qMax(covered_, sliceLast_ + 1);
    const int percent = int(double(sliceLast_) / double(total_) * 100.0);
    say(QStringLiteral("当前进度:") + QString::number(percent) + QStringLiteral("%") +
        QStringLiteral(" (") + FormatSize(sliceLast_) + QLatin1Char('/') + FormatSize(total_) +
        QLatin1Char(')'));
    if (view_)
        view_->setProgressTwips(int(double(sliceLast_) / double(total_) * kProgressFrameTwips));
    if (total_ - sliceLast_ == 1) {
        file_->resize(total_);
        return end(DownloadEnd::Complete);
    }
    offset_ += kSliceSize;
    requestSlice();
}

void Downloader::end(DownloadEnd how, const QString& message) {
    idle_.stop();
    result_ = how;
    if (!message.isEmpty()) messages_.show(message, kTitle);
    if (file_) {
        if (how == DownloadEnd::Complete) {
            // A target in use cannot be replaced; it stays as it was.
            file_->commit();
        } else {
            file_->cancelWriting();
        }
        file_.reset();
    }
    if (registerFlag_ == 1 && registrar_) registrar_->RegisterComponent(target_, QString());
    running_ = false;
    emit finished();
}

DownloadEnd Downloader::DownloadFile(const QString& url, const QString& target, int registerFlag) {
    QEventLoop loop;
    connect(this, &Downloader::finished, &loop, &QEventLoop::quit);
    start(url, target, registerFlag);
    if (running_) loop.exec();
    return result_;
}

} // namespace upd
