#include "update/throttled_view.h"

namespace upd {

ThrottledView::ThrottledView(DownloadView& target, int intervalMs)
    : target_(target), intervalMs_(intervalMs) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &ThrottledView::flush);
}

void ThrottledView::setStatus(const QString& text) {
    status_ = text;
    // The slice's bar stays pending; its text is replaced.
    if (progress_) width_ = ProgressTwips(progress_->last, progress_->total);
    progress_.reset();
    latest_ = text;
    latestSlice_.reset();
    schedule();
}

void ThrottledView::setProgressTwips(int width) {
    width_ = width;
    schedule();
}

void ThrottledView::setProgress(qint64 last, qint64 total) {
    progress_ = Progress{last, total};
    status_.reset();
    width_.reset();
    latestSlice_ = progress_;
    schedule();
}

QString ThrottledView::status() const {
    return latestSlice_ ? ProgressText(latestSlice_->last, latestSlice_->total) : latest_;
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
    if (!status_ && !progress_ && !width_) return;
    if (progress_) target_.setProgress(progress_->last, progress_->total);
    if (status_) target_.setStatus(*status_);
    if (width_) target_.setProgressTwips(*width_);
    status_.reset();
    progress_.reset();
    width_.reset();
    sinceShown_.start();
}

} // namespace upd
