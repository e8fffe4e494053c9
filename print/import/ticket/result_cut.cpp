#include "import/ticket/result_cut.h"

#include "itinerary/record.h"

#include <QStringList>

#include <optional>

namespace ximport {

namespace {

using Cut = std::optional<QString>;

const QString kNbsp = QStringLiteral("&nbsp;");
const QString kPx = QStringLiteral("px\">");
const QString kDivEnd = QStringLiteral("</DIV>");

// Element k of text split at sep, as a split array would hold it; none past its end.
Cut element(const QString& text, const QString& sep, int k) {
    const QStringList parts = text.split(sep);
    if (k < 0 || k >= parts.size()) return std::nullopt;
    return parts.at(k);
}

// The part before the first sep; none when sep is absent (the markup is not as expected).
Cut before(const QString& text, const QString& sep) {
    const qsizetype at = text.indexOf(sep);
    if (at < 0) return std::nullopt;
    return text.left(at);
}

class ResultTable {
public:
    explicit ResultTable(const QString& inner) {
        for (const QString& row : inner.split(QStringLiteral("</TR>")))
            rows_.append(row.split(QStringLiteral("</TD>")));
    }
    Cut cell(int r, int c) const {
        if (r >= rows_.size() || c >= rows_.at(r).size()) return std::nullopt;
        return rows_.at(r).at(c);
    }

private:
    QList<QStringList> rows_;
};

// Line i of a cell split at "<BR>": the first after "px\">", the last before "</".
Cut line(const QString& cell, int i) {
    const QStringList lines = cell.split(QStringLiteral("<BR>"));
    const int n = int(lines.size()) - 1;
    if (i > n) return std::nullopt;
    if (i == 0) return element(lines.at(0), kPx, 1);
    if (i == n) return lines.at(n).split(QStringLiteral("</")).at(0);
    return lines.at(i);
}

QString money(QString text) {
    return text.remove(kNbsp) + u'0';
}

QString tax(const QString& text) {
    return money(text).remove(QStringLiteral("CNY "));
}

// Route lines 1..5 and the segment columns of rows 1..4 with their source cells of R(3).
constexpr int kRouteFields[] = {itin::City1, itin::City2, itin::City3, itin::City4, itin::City5};

struct SegmentColumn {
    int cell;
    int itin::SegmentRow::*field;
};
constexpr SegmentColumn kSegmentColumns[] = {
    {3, &itin::SegmentRow::carrier}, {4, &itin::SegmentRow::flight},
    {5, &itin::SegmentRow::cls},     {6, &itin::SegmentRow::date},
    {7, &itin::SegmentRow::time},    {8, &itin::SegmentRow::fareBasis},
    {11, &itin::SegmentRow::baggage}};

} // namespace

QString ResultMarker() {
    return QStringLiteral("印刷序号");
}

QList<FieldCut> CutResultTable(const QString& tableInner) {
    const ResultTable t(tableInner);
    QList<FieldCut> out;
    const auto put = [&out](int field, const Cut& text) {
        if (text) out.append({field, *text});
    };
    const auto then = [](const Cut& c, auto f) -> Cut { return c ? Cut(f(*c)) : std::nullopt; };
    const auto after = [](const Cut& c, const QString& sep, int k) -> Cut {
        return c ? element(*c, sep, k) : std::nullopt;
    };

    put(itin::PassengerName, then(before(t.cell(1, 0).value_or(QString()), kDivEnd),
                                  [](const QString& s) { return s.split(u'>').last(); }));
    put(itin::Endorsement, then(after(t.cell(1, 2), QStringLiteral(">"), 1),
                                [](QString s) { return s.replace(kNbsp, QStringLiteral(" ")); }));

    if (const Cut route = t.cell(3, 1))
        for (int i = 0; i < 5; ++i)
            put(kRouteFields[i], line(*route, i));
    for (const SegmentColumn& col : kSegmentColumns)
        if (const Cut cell = t.cell(3, col.cell))
            for (int i = 0; i < 4; ++i)
                put(itin::SegmentAt(i + 1).*col.field, line(*cell, i));

    put(itin::Fare, then(after(t.cell(4, 0), QStringLiteral(">"), 2), money));
    put(itin::CnTax, then(after(t.cell(4, 1), QStringLiteral(">"), 1), tax));
    put(itin::YqTax, then(after(t.cell(4, 2), QStringLiteral(">"), 1), tax));
    put(itin::XtTax, then(after(t.cell(4, 3), QStringLiteral(">"), 1), tax));
    put(itin::Total, then(after(t.cell(4, 4), QStringLiteral(">"), 1), money));

    const Cut ticketCell = t.cell(5, 0);
    put(itin::TicketNumber, after(ticketCell ? before(*ticketCell, kDivEnd) : Cut(), kPx, 1));
    put(itin::Notice, after(t.cell(5, 2), QStringLiteral(">"), 1));
    return out;
}

} // namespace ximport
