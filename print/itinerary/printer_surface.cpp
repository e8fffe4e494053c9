#include "itinerary/printer_surface.h"

#include "common/platform/platform.h"

#include <QDateTime>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>

namespace itin {

namespace {
constexpr int kTwipsPerPoint = 20;

// Qt hands the finished job to the print system without looking at the answer; the
// spooler (CUPS on Linux) tells whether the queue took it and the printer is there.
bool printSystemRefusedLastJob(const QPrinter& printer) {
    return platform::LastJobStatus(printer.printerName().toStdString(),
                                   printer.docName().toStdString()) !=
           platform::JobStatus::Accepted;
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
    const bool ok = ended && printer_->printerState() != QPrinter::Error &&
                    printer_->printerState() != QPrinter::Aborted &&
                    !(printer_->outputFormat() == QPrinter::NativeFormat &&
                      printSystemRefusedLastJob(*printer_));
    if (!ok) error_ = QStringLiteral("打印机拒绝了打印任务：%1").arg(printer_->printerName());
    printer_.reset();
    return ok;
}

} // namespace itin
