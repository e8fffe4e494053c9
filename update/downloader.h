#pragma once
// The chunked downloader: one file of the update list fetched in slices of 20480 bytes
// (inclusive ranges N-(N+20480)), written into a temporary file beside the target that
// replaces the target only when the last byte of the total has arrived (and, when the row
// names one, its SHA-256 matches). The first slice goes alone; once its reply has given
// the total, several slices are kept in flight, and their replies are applied strictly in
// slice order, so statuses, messages, progress and the file are those of one slice after
// another. Waits are driven by the replies' signals; the caller's event loop keeps running.
#include <QByteArray>
#include <QCryptographicHash>
#include <QNetworkRequest>
#include <QObject>
#include <QString>

#include <deque>
#include <memory>

namespace common {
class Messages;
} // namespace common
class QSaveFile;
namespace net {
class HttpClient;
} // namespace net

namespace upd {

class Registrar;
struct SliceRequest;

inline constexpr qint64 kSliceSize = 20480;
inline constexpr int kProgressFrameTwips = 6600;
// Longest wait for one slice: 120000 polls of 100 ms.
inline constexpr qint64 kSliceLimitMs = 120000LL * 100;
// Largest file the downloader takes (sizes are 32-bit); bounds the slices of one file.
inline constexpr qint64 kMaxFileBytes = 0x7fffffff;
// Range requests outstanding at once: the connections Qt Network opens to one host.
inline constexpr int kSlicesInFlight = 6;

// Where the downloader shows its progress: the status line and the progress bar.
class DownloadView {
public:
    virtual ~DownloadView() = default;
    virtual void setStatus(const QString& text) = 0;
    virtual void setProgressTwips(int width) = 0;
    // Last byte and total of the latest slice. Shows ProgressText and ProgressTwips; a
    // view that repaints less often than slices arrive formats only what it shows.
    virtual void setProgress(qint64 last, qint64 total);
};

// "当前进度:45% (20k/43k)" for the last byte index and the total size.
QString ProgressText(qint64 last, qint64 total);
// The bar's width in twips within its frame.
int ProgressTwips(qint64 last, qint64 total);

struct DownloadLimits {
    int inactivityMs = 30000;            // no byte for this long ends the slice as a time-out
    qint64 sliceLimitMs = kSliceLimitMs; // whole slice
    int slicesInFlight = kSlicesInFlight;
};

enum class DownloadEnd {
    Complete, // the target now holds the whole file
    Busy,     // 403
    NotFound, // 404
    TimedOut,
    HttpError,    // another status above 299
    NoSize,       // no usable "Content-Range", a range not where asked, a cut whole body
    Connection,   // no connection, or the connection dropped
    LocalError,   // the target folder or file could not be written
    Stale,        // 416 for a file that is not empty: the server's file changed
    HashMismatch, // the file does not match the row's sha256
};

class Downloader : public QObject {
    Q_OBJECT
public:
    Downloader(net::HttpClient& http, common::Messages& messages, DownloadView* view,
               const Registrar* registrar, DownloadLimits limits = {});
    ~Downloader() override;

    // Starts one file; finished() follows. Registration (zc 1) runs after every end but a
    // hash mismatch. sha256: 64 hex digits the file must match, or empty.
    void start(const QString& url, const QString& target, int registerFlag,
               const QString& sha256 = {});
    bool isRunning() const { return running_; }
    DownloadEnd result() const { return result_; }
    // Requests sent for the current (or last) file.
    int requestCount() const { return requests_; }

    // start(), then waits in a local event loop until the file has ended.
    DownloadEnd downloadFile(const QString& url, const QString& target, int registerFlag,
                             const QString& sha256 = {});

signals:
    void finished();

private:
    void fill();
    void send(qint64 offset);
    void drain(SliceRequest& slice); // takes what has arrived
    void applyFinished();
    bool apply(SliceRequest& slice); // false when the file has ended
    bool applyWhole(SliceRequest& slice);
    bool applyRange(SliceRequest& slice);
    void end(DownloadEnd how, const QString& message = {});
    void discardSlices();
    void say(const QString& text);

    net::HttpClient& http_;
    common::Messages& messages_;
    DownloadView* view_;
    const Registrar* registrar_;
    DownloadLimits limits_;

    QString url_;
    QNetworkRequest request_; // set up once per file; each slice adds its Range
    QString target_;
    QString sha256_;
    int registerFlag_ = 0;
    std::unique_ptr<QSaveFile> file_;
    std::deque<std::unique_ptr<SliceRequest>> window_; // in slice order
    QCryptographicHash hash_{QCryptographicHash::Sha256};
    qint64 nextOffset_ = 0; // start of the next range to ask for
    qint64 total_ = -1;     // from the first slice's "Content-Range"
    bool running_ = false;
    bool applying_ = false;
    int requests_ = 0;
    DownloadEnd result_ = DownloadEnd::Complete;
};

// "bytes 20480-40960/45000" to its first byte, last byte and total; false when the text
// is not such a range or the numbers do not fit together.
bool ParseContentRange(const QByteArray& value, qint64& first, qint64& last, qint64& total);
// The total of a 416's "bytes */N"; -1 when the header is not of that form.
qint64 UnsatisfiedRangeTotal(const QByteArray& value);

} // namespace upd
