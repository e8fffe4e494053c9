#include "update/throttled_view.h"

namespace upd {

ThrottledView::ThrottledView(DownloadView& target, int intervalMs)
    : target_(target), intervalMs_(intervalMs) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &ThrottledView::flush);
}

void ThrottledView::setStatus(const QString& text) {
    status_ = text;
    latest_ = text;
    schedule();
}

void ThrottledView::setProgressTwips(int width) {
    width_ = width;
    schedule();
}

void ThrottledView::schedule() {
    if (timer_.isActive()) return;
    const qint64 since = sinceShown_.isValid() ? sinceShown_.elapsed() : intervalMs_;
    if (since >= intervalMs_)
        flush();
    else
        timer_.start(int(intervalMs_ - since));
}

void ThrottledView::flush() {
    timer_.stop();
    if (!status_ && !width_) return;
    if (status_) target_.setStatus(*std::exchange(status_, std::nullopt));
    if (width_) target_.setProgressTwips(*std::exchange(width_, std::nullopt));
    sinceShown_.start();
}

} // namespace upd
