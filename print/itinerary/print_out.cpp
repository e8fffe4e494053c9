#include "itinerary/print_out.h"
#include "itinerary/money.h"

#include "common/text_ops.h"

#include <cmath>
#include <limits>

namespace itin {

namespace {

constexpr double kTwipsPerMillimetre = 56.7;
constexpr int kLeftMargin = 840;
constexpr int kTopMargin = 340;

QList<LayoutItem> buildLayout() {
    QList<LayoutItem> out = {
        {-1, 1400, -100, true},           {PassengerName, 200, 400, false},
        {IdNumber, 2460, 500, false},     {Endorsement, 6700, 400, false},
        {PnrCode, 100, 900, false},       {Fare, 1940, 3300, false},
        {CnTax, 3480, 3300, false},       {YqTax, 5060, 3300, false},
        {XtTax, 6640, 3300, true},        {Total, 8260, 3300, false},
        {TicketNumber, 740, 3700, false}, {CheckCode, 3820, 3700, false},
        {Notice, 5440, 3700, false},      {Insurance, 9780, 3700, false},
        {AgentCode, 740, 4060, false},    {AgentNumber, 740, 4260, false},
        {IssuedBy, 3800, 4100, false},    {IssueDate, 8760, 4100, false},
    };
    const int rowDy[4] = {1500, 2000, 2500, 3000};
    for (int row = 1; row <= 4; ++row) {
        const SegmentRow r = SegmentAt(row);
        const int dy = rowDy[row - 1];
        out.append({r.city, 200, dy - 100, false});
        const int columns[9][2] = {
            {r.carrier, 2120},   {r.flight, 2720},     {r.cls, 3800},
            {r.date, 4100},      {r.time, 5740},       {r.fareBasis, 6900},
            {r.validFrom, 8000}, {r.validUntil, 9100}, {r.baggage, 10200},
        };
        for (const auto& c : columns)
            out.append({c[0], c[1], dy, false});
    }
    out.append({City5, 200, 3400, false});
    return out;
}

bool inInt16(double v) {
    return v >= std::numeric_limits<qint16>::min() && v <= std::numeric_limits<qint16>::max();
}

} // namespace

const QList<LayoutItem>& PrintLayout() {
    static const QList<LayoutItem> layout = buildLayout();
    return layout;
}

QString InternationalMark() {
    return QStringLiteral("国际(I)");
}

std::optional<QPoint> PrintOrigin(const QString& leftr, const QString& topb) {
    // nearbyint rounds half to even in the default rounding mode.
    const double x0 = std::nearbyint(OffsetMillimetres(leftr) * kTwipsPerMillimetre + kLeftMargin);
    const double y0 = std::nearbyint(OffsetMillimetres(topb) * kTwipsPerMillimetre + kTopMargin);
    if (!inInt16(x0) || !inInt16(y0)) return std::nullopt;
    for (const LayoutItem& item : PrintLayout())
        if (!inInt16(x0 + item.dx) || !inInt16(y0 + item.dy)) return std::nullopt;
    return QPoint(int(x0), int(y0));
}

QString AdvanceCheckCode(const QString& checkCode) {
    QString digits = common::TrimSpaces(checkCode);
    if (digits.isEmpty()) return checkCode;
    for (QChar c : digits)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return checkCode;
    while (digits.size() > 1 && digits.startsWith(QLatin1Char('0')))
        digits.remove(0, 1);
    if (digits.size() > 6) return QString(); // the sum has six or more digits
    const QString sum = QString::number(digits.toLongLong() + 1);
    switch (sum.size()) {
    case 1:
        return QStringLiteral("000") + sum;
    case 2:
        return QStringLiteral("00") + sum;
    case 3:
        return QStringLiteral("0") + sum;
    case 4:
        return sum;
    case 5:
        return sum.left(4);
    default:
        return QString();
    }
}

void PrintText(PrintSurface& surface, const PrintSettings& s, const QString& text) {
    if (text.isEmpty()) return;
    const bool western = text.at(0).unicode() < 128;
    surface.setFontName(western ? s.fonttype2 : s.fonttype1);
    surface.setFontSize(western ? s.fontsize2 : s.fontsize1);
    surface.setFontUnderline(western ? s.underline2 : s.underline1);
    surface.setFontBold(western ? s.bold2 : s.bold1);
    surface.setFontItalic(western ? s.italic2 : s.italic1);
    surface.setFontStrikethrough(western ? s.strikethrough2 : s.strikethrough1);
    surface.drawText(text);
}

bool PrintItinerary(ItineraryRecord& record, const PrintFormState& formState,
                    const PrintSettings& settings, const QString& leftr, const QString& topb,
                    common::Messages& messages, PrintSurface& surface, bool requireCheckCode) {
    if (record.field(PnrQuery).isEmpty()) {
        messages.show(QStringLiteral("请填写PNR"));
        return false;
    }
    if (requireCheckCode && common::TrimSpaces(record.field(CheckCode)).isEmpty()) {
        messages.show(QStringLiteral("请填写验证码!"));
        return false;
    }
    const std::optional<QPoint> origin = PrintOrigin(leftr, topb);
    if (!origin) {
        messages.show(QStringLiteral("打印偏移量超出范围，请调整左右、上下偏移后再打印"));
        return false;
    }
    if (!surface.beginPage()) {
        messages.show(surface.error());
        return false;
    }
    const bool international = formState.printMode == International;
    for (const LayoutItem& item : PrintLayout()) {
        if (item.internationalOnly && !international) continue;
        surface.setPosition(origin->x() + item.dx, origin->y() + item.dy);
        PrintText(surface, settings,
                  item.field < 0 ? InternationalMark() : record.field(item.field));
    }
    if (!surface.endDocument()) {
        messages.show(surface.error());
        return false;
    }
    record.setField(CheckCode, AdvanceCheckCode(record.field(CheckCode)));
    return true;
}

} // namespace itin
