#pragma once
// Progress shown at most about 30 times a second: the downloader reports every slice,
// and the window repaints only the latest status and bar width when the interval has
// passed; a slice's progress text is formatted only when it is shown (or asked for), so
// the work per slice stays small.
#include "update/downloader.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <optional>

namespace upd {

inline constexpr int kRepaintIntervalMs = 33;

class ThrottledView : public QObject, public DownloadView {
public:
    explicit ThrottledView(DownloadView& target, int intervalMs = kRepaintIntervalMs);

    void setStatus(const QString& text) override;
    void setProgressTwips(int width) override;
    void setProgress(qint64 last, qint64 total) override;
    // Shows what is pending now.
    void flush();
    // The latest status given, shown or not.
    QString status() const;

private:
    struct Progress {
        qint64 last;
        qint64 total;
    };
    void schedule();

    DownloadView& target_;
    const int intervalMs_;
    QTimer timer_;
    QElapsedTimer sinceShown_;
    // Pending: a text, or a slice's numbers (which then stand for both text and bar).
    std::optional<QString> status_;
    std::optional<Progress> progress_;
    std::optional<int> width_;
    QString latest_;                      // the latest text, unless a slice came after it
    std::optional<Progress> latestSlice_; // the latest slice, unless a text came after it
};

} // namespace upd
