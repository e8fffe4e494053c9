#include "itinerary/preview_surface.h"

#include "itinerary/print_out.h"

#include "common/fso.h"

#include <QDir>
#include <QMap>

#include <algorithm>

namespace itin {

namespace {

constexpr double kTwipsPerMillimetre = 1440 / 25.4;
constexpr int kFormLeft = 840; // the print origin at zero offsets
constexpr int kFormTop = 340;
constexpr int kBoxHeight = 300;

// Captions of the pre-printed form, by field.
const QMap<int, QString>& captions() {
    static const QMap<int, QString> map = {
        {PassengerName, QStringLiteral("旅客姓名")},
        {IdNumber, QStringLiteral("有效身份证号码")},
        {Endorsement, QStringLiteral("签注")},
        {PnrCode, QStringLiteral("编号PNR")},
        {City1, QStringLiteral("航段信息")},
        {Carrier1, QStringLiteral("承运人")},
        {Flight1, QStringLiteral("航班号")},
        {Class1, QStringLiteral("舱位等级")},
        {Date1, QStringLiteral("日期")},
        {Time1, QStringLiteral("时间")},
        {FareBasis1, QStringLiteral("客票级别")},
        {ValidFrom1, QStringLiteral("客票生效日期")},
        {ValidUntil1, QStringLiteral("有效截止日期")},
        {Baggage1, QStringLiteral("免费行李")},
        {Fare, QStringLiteral("票价")},
        {CnTax, QStringLiteral("发展基金")},
        {YqTax, QStringLiteral("燃油费")},
        {XtTax, QStringLiteral("其它")},
        {Total, QStringLiteral("合计")},
        {TicketNumber, QStringLiteral("电子客票号码")},
        {CheckCode, QStringLiteral("验证码")},
        {Notice, QStringLiteral("提示信息")},
        {Insurance, QStringLiteral("保险")},
        {AgentCode, QStringLiteral("销售单位代码")},
        {IssuedBy, QStringLiteral("填开单位")},
        {IssueDate, QStringLiteral("填开日期")},
    };
    return map;
}

// Width of a field's box: up to the next field on the same line, at most 2000 twips.
int boxWidth(const LayoutItem& item) {
    int next = item.dx + 2000;
    for (const LayoutItem& other : PrintLayout())
        if (other.dy == item.dy && other.dx > item.dx) next = std::min(next, other.dx);
    return std::max(300, next - item.dx - 40);
}

QString previewIniPath(const QString& programFolder) {
    return QDir(programFolder).filePath(QStringLiteral("preview.ini"));
}

} // namespace

QRectF ReceiptPageTwips() {
    return QRectF(0, 0, 238.0 * kTwipsPerMillimetre, 106.6 * kTwipsPerMillimetre);
}

void DrawFormOutline(QPainter& painter) {
    painter.save();
    painter.setPen(QPen(QColor(150, 170, 200), 10));
    painter.drawRect(ReceiptPageTwips().adjusted(120, 120, -120, -120));
    QFont small(QStringLiteral("WenQuanYi Zen Hei"));
    small.setPixelSize(120);
    painter.setFont(small);
    for (const LayoutItem& item : PrintLayout()) {
        const QRectF box(kFormLeft + item.dx - 40, kFormTop + item.dy - 20, boxWidth(item),
                         kBoxHeight);
        painter.setPen(QPen(QColor(200, 210, 225), 8));
        painter.drawRect(box);
        const QString caption = captions().value(item.field);
        if (caption.isEmpty()) continue;
        painter.setPen(QColor(120, 140, 170));
        painter.drawText(box.topLeft() + QPointF(0, -30), caption);
    }
    painter.restore();
}

PreviewSurface::PreviewSurface(int dpi, QImage form)
    : dpi_(std::clamp(dpi, 24, 1200)), form_(std::move(form)) {}

bool PreviewSurface::beginPage() {
    const QRectF page = ReceiptPageTwips();
    const double scale = dpi_ / 1440.0;
    image_ = QImage(QSize(int(page.width() * scale + 0.5), int(page.height() * scale + 0.5)),
                    QImage::Format_RGB32);
    image_.fill(Qt::white);
    placed_.clear();
    if (!painter_.begin(&image_)) {
        error_ = QStringLiteral("无法生成预览");
        return false;
    }
    painter_.setRenderHint(QPainter::Antialiasing);
    painter_.setRenderHint(QPainter::TextAntialiasing);
    if (!form_.isNull()) painter_.drawImage(QRectF(QPointF(0, 0), image_.size()), form_);
    useTwips(dpi_);
    if (form_.isNull()) DrawFormOutline(painter_);
    painter_.translate(origin_);
    painter_.setPen(Qt::black);
    return true;
}

void PreviewSurface::textDrawn(const QString& text, const QRectF& cell) {
    placed_.append({text, cell, false});
}

bool PreviewSurface::endDocument() {
    if (!painter_.isActive()) return false;
    const QRectF page = ReceiptPageTwips().translated(-origin_); // in the drawing's terms
    for (qsizetype i = 0; i < placed_.size(); ++i) {
        Placed& a = placed_[i];
        if (a.cell.isEmpty()) continue; // blanks leave no ink
        if (!page.contains(a.cell)) a.flagged = true;
        for (qsizetype j = i + 1; j < placed_.size(); ++j) {
            if (!a.cell.intersects(placed_[j].cell)) continue;
            a.flagged = true;
            placed_[j].flagged = true;
        }
    }
    painter_.setPen(QPen(Qt::red, 15));
    painter_.setBrush(Qt::NoBrush);
    for (const Placed& p : placed_)
        if (p.flagged) painter_.drawRect(p.cell);
    painter_.end();
    return true;
}

int PreviewSurface::flaggedCount() const {
    return int(
        std::count_if(placed_.begin(), placed_.end(), [](const Placed& p) { return p.flagged; }));
}

QString RenderPreview(const ItineraryRecord& record, const PrintFormState& formState,
                      const PrintSettings& settings, const QString& leftr, const QString& topb,
                      PreviewSurface& surface) {
    ItineraryRecord copy;
    for (int i = 0; i < kFieldCount; ++i)
        copy.setField(i, record.field(i));
    common::RecordingMessages messages;
    if (PrintItinerary(copy, formState, settings, leftr, topb, messages, surface, false)) return {};
    if (surface.image().isNull() && surface.beginPage()) surface.endDocument();
    return messages.shown.isEmpty() ? surface.error() : messages.shown.constLast().text;
}

QString PreviewFormImagePath(const QString& programFolder) {
    const QString text = common::ReadTextFile(previewIniPath(programFolder));
    for (const QString& line : text.split(QStringLiteral("\r\n")))
        if (line.startsWith(QLatin1String("formimage="))) return line.mid(10);
    return {};
}

QImage LoadFormImage(const QString& path) {
    QByteArray bytes;
    if (path.isEmpty() ||
        common::ReadAtMost(path, kMaxFormImageBytes, bytes) != common::ReadStatus::Ok)
        return {};
    return QImage::fromData(bytes);
}

bool SavePreviewFormImagePath(const QString& programFolder, const QString& imagePath) {
    return common::WriteTextFile(previewIniPath(programFolder),
                                 QStringLiteral("formimage=") + imagePath);
}

} // namespace itin
