#include "itinerary/painter_surface.h"

#include "common/platform/platform.h"

#include <QDateTime>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>

#include <cmath>

namespace itin {

namespace {
constexpr int kTwipsPerInch = 1440;
constexpr int kTwipsPerPoint = 20;

// Qt hands the finished job to the print system without looking at the answer; the
// spooler (CUPS on Linux) tells whether the queue took it and the printer is there.
bool printSystemRefusedLastJob(const QPrinter& printer) {
    return platform::LastJobStatus(printer.printerName().toStdString(),
                                   printer.docName().toStdString()) != platform::JobStatus::Accepted;
}

QPrinterInfo printerNamed(const QString& name) {
    const bool useDefault = name.isEmpty() || name == QLatin1String("default");
    return useDefault ? QPrinterInfo::defaultPrinter() : QPrinterInfo::printerInfo(name);
}

// The receipt page on the printer, with the margins the printer needs and no more: the
// painter's origin is then the corner of the printable area.
void useReceiptPage(QPrinter& printer) {
    printer.setPageSize(ReceiptPageSize()); // kept at the default when not accepted
    const QPageLayout layout = printer.pageLayout();
    printer.setPageMargins(layout.minimumMargins(), layout.units());
}
} // namespace

QPointF PrintableAreaCorner(const QString& printerName) {
    const QPrinterInfo info = printerNamed(printerName);
    if (info.isNull()) return {};
    QPrinter printer(info, QPrinter::HighResolution);
    useReceiptPage(printer);
    const QMarginsF m = printer.pageLayout().margins(QPageLayout::Point);
    return {m.left() * kTwipsPerPoint, m.top() * kTwipsPerPoint};
}

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

PrinterSurface::PrinterSurface(const QString& printerName) : name_(printerName) {}

PrinterSurface::~PrinterSurface() {
    if (painter_.isActive()) painter_.end();
}

bool PrinterSurface::beginPage() {
    const bool useDefault = name_.isEmpty() || name_ == QLatin1String("default");
    const QPrinterInfo info = printerNamed(name_);
    if (info.isNull()) {
        error_ = useDefault ? QStringLiteral("没有找到默认打印机，请先安装打印机")
                            : QStringLiteral("没有找到打印机：%1").arg(name_);
        return false;
    }
    printer_ = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    // A distinct job name per receipt: printers that file jobs by name keep each one.
    printer_->setDocName(QStringLiteral("行程单 ") + QDateTime::currentDateTime().toString(
                                                         QStringLiteral("yyyyMMdd-HHmmss-zzz")));
    useReceiptPage(*printer_);
    if (!painter_.begin(printer_.get())) {
        error_ = QStringLiteral("打印机无法打印：%1").arg(info.printerName());
        printer_.reset();
        return false;
    }
    useTwips(printer_->resolution());
    return true;
}

bool PrinterSurface::endDocument() {
    if (!painter_.isActive()) return false;
    const bool ended = painter_.end();
    const bool ok =
        ended && printer_->printerState() != QPrinter::Error &&
        printer_->printerState() != QPrinter::Aborted &&
        !(printer_->outputFormat() == QPrinter::NativeFormat && printSystemRefusedLastJob(*printer_));
    if (!ok) error_ = QStringLiteral("打印机拒绝了打印任务：%1").arg(printer_->printerName());
    printer_.reset();
    return ok;
}

} // namespace itin
