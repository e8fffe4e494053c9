#pragma once
// Progress shown at most about 30 times a second: the downloader reports every slice,
// and the window repaints only the latest status and bar width when the interval has
// passed, so the work per slice stays small.
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
    // Shows what is pending now.
    void flush();
    // The latest status given, shown or not.
    QString status() const { return latest_; }

private:
    void schedule();

    DownloadView& target_;
    const int intervalMs_;
    QTimer timer_;
    QElapsedTimer sinceShown_;
    std::optional<QString> status_;
    std::optional<int> width_;
    QString latest_;
};

} // namespace upd
