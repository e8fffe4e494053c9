#pragma once
// The chunked downloader: one file of the update list fetched in slices of 20480 bytes
// (inclusive ranges N-(N+20480)), written into a temporary file beside the target that
// replaces the target only when the last byte of the total has arrived. Waits are driven
// by the reply's signals; the caller's event loop keeps running meanwhile.
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

class Messages;
class QSaveFile;
namespace net {
class AsyncGet;
class HttpClient;
} // namespace net

namespace upd {

class Registrar;

inline constexpr qint64 kSliceSize = 20480;
inline constexpr int kProgressFrameTwips = 6600;
// Longest wait for one slice: 120000 polls of 100 ms.
inline constexpr qint64 kSliceLimitMs = 120000LL * 100;

// Where the downloader shows its progress: the status line and the progress bar.
class DownloadView {
public:
    virtual ~DownloadView() = default;
    virtual void setStatus(const QString& text) = 0;
    virtual void setProgressTwips(int width) = 0;
};

struct DownloadLimits {
    int inactivityMs = 30000;            // no byte for this long ends the slice as a time-out
    qint64 sliceLimitMs = kSliceLimitMs; // whole slice
};

enum class DownloadEnd {
    Complete, // the target now holds the whole file
    Busy,     // 403
    NotFound, // 404
    TimedOut,
    HttpError,  // another status above 299
    NoSize,     // no usable "Content-Range"
    Connection, // no connection, or the connection dropped
    LocalError, // the target folder or file could not be written
    Stale,      // 416 after part of the file had arrived: the server's file changed
};

class Downloader : public QObject {
    Q_OBJECT
public:
    Downloader(net::HttpClient& http, Messages& messages, DownloadView* view,
               const Registrar* registrar, DownloadLimits limits = {});
    ~Downloader() override;

    // Starts one file; finished() follows. Registration (zc 1) runs after every end.
    void start(const QString& url, const QString& target, int registerFlag);
    bool isRunning() const { return running_; }
    DownloadEnd result() const { return result_; }
    // Requests sent for the current (or last) file.
    int requestCount() const { return requests_; }

    // start(), then waits in a local event loop until the file has ended.
    DownloadEnd DownloadFile(const QString& url, const QString& target, int registerFlag);

signals:
    void finished();

private:
    void requestSlice();
    void onHeaders();
    void onData();
    void drain();
    void onFinished();
    void onTimeout();
    void end(DownloadEnd how, const QString& message = {});
    void say(const QString& text);

    net::HttpClient& http_;
    Messages& messages_;
    DownloadView* view_;
    const Registrar* registrar_;
    DownloadLimits limits_;

    QString url_;
    QString target_;
    int registerFlag_ = 0;
    std::unique_ptr<QSaveFile> file_;
    std::unique_ptr<net::AsyncGet> get_;
    QTimer idle_;
    QElapsedTimer sliceClock_;
    qint64 offset_ = 0;   // start of the range asked for
    qint64 covered_ = 0;  // bytes 0..covered_-1 are written
    qint64 total_ = -1;   // from the first usable "Content-Range"
    qint64 writePos_ = 0; // where the next received byte goes
    qint64 sliceStart_ = 0;
    qint64 sliceLast_ = -1;
    qint64 sliceTotal_ = -1;
    qint64 sliceBytes_ = 0;
    bool writing_ = false;   // the body of this reply is stored
    bool wholeBody_ = false; // a 200 reply: the body is the whole file
    bool timedOut_ = false;
    bool writeFailed_ = false;
    bool running_ = false;
    int requests_ = 0;
    DownloadEnd result_ = DownloadEnd::Complete;
};

// "bytes 20480-40960/45000" to its first byte, last byte and total; false when the text
// is not such a range or the numbers do not fit together.
bool ParseContentRange(const QByteArray& value, qint64& first, qint64& last, qint64& total);

} // namespace upd
