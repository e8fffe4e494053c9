#include "itinerary/painter_surface.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPdfWriter>
#include <QSaveFile>

#include <cmath>

namespace itin {

namespace {
constexpr int kTwipsPerInch = 1440;
constexpr int kTwipsPerPoint = 20;
} // namespace

QPageSize ReceiptPageSize() {
    return QPageSize(QSizeF(238.0, 106.6), QPageSize::Millimeter, QStringLiteral("行程单"),
                     QPageSize::ExactMatch);
}

void PainterSurface::setFontSize(double points) {
    // Sizes in twips under the twips transform, whatever the device resolution.
    font_.setPixelSize(std::max(1, int(std::lround(points * kTwipsPerPoint))));
}

void PainterSurface::useTwips(int deviceDpi) {
    const double scale = double(deviceDpi) / kTwipsPerInch;
    painter_.setWorldTransform(QTransform::fromScale(scale, scale));
}

void PainterSurface::drawText(const QString& text) {
    if (!painter_.isActive()) return;
    painter_.setFont(font_);
    // The position is the top-left of the text cell; QPainter draws at the baseline.
    const QFontMetricsF metrics(font_);
    painter_.drawText(QPointF(x_, y_ + metrics.ascent()), text);
    textDrawn(text, metrics.tightBoundingRect(text).translated(x_, y_ + metrics.ascent()));
}

PdfSurface::PdfSurface(const QString& path) {
    const QFileInfo target(path);
    if (target.exists() && !target.isFile() && !target.isDir())
        file_ = std::make_unique<QFile>(path); // renaming onto it would replace the device
    else
        file_ = std::make_unique<QSaveFile>(path);
    opened_ = file_->open(QIODevice::WriteOnly);
    writer_ = std::make_unique<QPdfWriter>(file_.get());
    writer_->setResolution(kTwipsPerInch);
    writer_->setPageLayout(
        QPageLayout(ReceiptPageSize(), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    writer_->setCreator(QStringLiteral("print"));
    writer_->setTitle(QStringLiteral("行程单"));
}

PdfSurface::~PdfSurface() {
    finish();
}

bool PdfSurface::beginPage() {
    if (!painter_.isActive()) {
        if (pages_ > 0 || !opened_ || !painter_.begin(writer_.get())) {
            error_ = QStringLiteral("无法写入PDF文件");
            return false;
        }
    } else if (!writer_->newPage()) {
        error_ = QStringLiteral("无法写入PDF文件");
        return false;
    }
    useTwips(writer_->resolution());
    ++pages_;
    return true;
}

bool PdfSurface::finish() {
    if (finished_) return written_;
    finished_ = true;
    bool ok = opened_ && pages_ > 0;
    if (painter_.isActive()) ok = painter_.end() && ok;
    if (auto* save = qobject_cast<QSaveFile*>(file_.get())) {
        if (ok)
            ok = save->commit(); // false after any failed write: the target stays as it was
        else
            save->cancelWriting();
    } else if (opened_) {
        ok = file_->flush() && file_->error() == QFileDevice::NoError && ok;
        file_->close();
    }
    if (!ok && pages_ > 0 && error_.isEmpty()) error_ = QStringLiteral("无法写入PDF文件");
    written_ = ok;
    return ok;
}

} // namespace itin
