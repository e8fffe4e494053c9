#include "itinerary/parser.h"

#include "common/text_ops.h"
#include "itinerary/code_tables.h"

#include <QVarLengthArray>

#include <array>
#include <cmath>
#include <initializer_list>

namespace itin {
namespace {

using common::BeforeView;
using common::MidView;
using common::TrimSpaces;
using common::TrimSpacesView;

// Where split would cut a text at a marker, in order.
using Cuts = QVarLengthArray<qsizetype, 24>;

// Piece n (from 0) of Split(s, marker), given the cuts found in s.
QStringView pieceAt(QStringView s, const Cuts& cuts, qsizetype markerSize, qsizetype n) {
    const qsizetype from = n == 0 ? 0 : cuts[n - 1] + markerSize;
    const qsizetype to = n < cuts.size() ? cuts[n] : s.size();
    return s.sliced(from, to - from);
}

// Piece 1 of Split(s, marker): from the first occurrence to the second (or the end).
QStringView secondPiece(QStringView s, QStringView marker) {
    const qsizetype first = s.indexOf(marker);
    if (first < 0) return {};
    const qsizetype from = first + marker.size();
    const qsizetype second = s.indexOf(marker, from);
    return s.sliced(from, (second < 0 ? s.size() : second) - from);
}

constexpr QStringView kSeparator = u".  ", kFareStart = u"FN/A/FCNY", kTax = u"/TCNY",
                      kTotal = u"ACNY", kIdItem = u"SSR FOID ", kTicketItem = u".TN/";

// Every marker the parser cuts at, found in one pass over the text. None of the markers can
// overlap itself, so each occurrence found here is a cut split would make.
struct Markers {
    Cuts segments;       // ".  "
    Cuts dots;           // "." in the name part (before the first ".  ")
    Cuts ids;            // "SSR FOID "
    Cuts tickets;        // ".TN/"
    qsizetype fare = -1; // where the fare text after "FN/A/FCNY" starts
    // In the fare text, from its start: the first "/", the first three "/TCNY", two "ACNY".
    qsizetype slash = -1;
    Cuts taxes, totals;
    // Line ends that are not CR LF. Positions are those of the text with every line end
    // brought to CR LF: each such line end before a marker moves it on by one.
    qsizetype otherLineEnds = 0;
};

// The characters a marker or a line end starts with.
constexpr std::array<bool, 128> kStarts = [] {
    std::array<bool, 128> t{};
    for (char c : {'\r', '\n', '.', 'S', 'F', '/', 'A'})
        t[size_t(c)] = true;
    return t;
}();

// The markers never hold a line end, so they are found alike before and after the line
// ends are brought to CR LF: one pass over the text as pasted serves both.
Markers scanMarkers(QStringView text) {
    Markers m;
    const char16_t* d = text.utf16();
    const qsizetype n = text.size();
    const auto at = [&](qsizetype i, QStringView marker) {
        if (n - i < marker.size()) return false;
        for (qsizetype k = 1; k < marker.size(); ++k)
            if (d[i + k] != marker[k].unicode()) return false;
        return true;
    };
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = d[i];
        if (c >= 128 || !kStarts[c]) continue;
        const qsizetype p = i + m.otherLineEnds; // where c is in CR LF text
        switch (c) {
        case u'\r':
            if (i + 1 < n && d[i + 1] == u'\n')
                ++i;
            else
                ++m.otherLineEnds;
            break;
        case u'\n':
            ++m.otherLineEnds;
            break;
        case u'.':
            if (at(i, kSeparator)) {
                m.segments.append(p);
            } else if (m.segments.isEmpty()) {
                m.dots.append(p);
            }
            if (at(i, kTicketItem)) m.tickets.append(p);
            break;
        case u'S':
            if (at(i, kIdItem)) m.ids.append(p);
            break;
        case u'F':
            if (m.fare < 0 && at(i, kFareStart)) m.fare = p + kFareStart.size();
            break;
        case u'/':
            if (m.fare < 0 || p < m.fare) break;
            if (m.slash < 0) m.slash = p - m.fare;
            if (m.taxes.size() < 3 && at(i, kTax)) m.taxes.append(p - m.fare);
            break;
        case u'A':
            if (m.fare >= 0 && p >= m.fare && m.totals.size() < 2 && at(i, kTotal))
                m.totals.append(p - m.fare);
            break;
        }
    }
    return m;
}

QString joined(std::initializer_list<QStringView> parts) {
    qsizetype size = 0;
    for (QStringView p : parts)
        size += p.size();
    QString out;
    out.reserve(size);
    for (QStringView p : parts)
        out.append(p);
    return out;
}

QString routeLine(QStringView code, QStringView terminal) {
    return joined({AirportCityName(code), u"   ", terminal == u"--" ? QStringView() : terminal});
}

QString hourMinute(QStringView seg, int hourAt) {
    return joined({TrimSpacesView(MidView(seg, hourAt, 2)), u":",
                   TrimSpacesView(MidView(seg, hourAt + 2, 2))});
}

QString convertDate(QStringView text, const common::Clock& clock) {
    const QStringView t = TrimSpacesView(text);
    const QStringView day = MidView(t, 1, 2);
    const QString month = MonthNumber(MidView(t, 3, 3));
    if (t.size() == 7) return joined({MidView(t, 6, 2), u"-", month, u"-", day});
    const QString year = QString::number(clock.today().year()).rightJustified(4, QLatin1Char('0'));
    return joined({year, u"-", month, u"-", day});
}

// Carrier, flight, class, date, time and baggage of one row from a segment text.
void fillRow(ItineraryRecord& record, int row, QStringView seg, const common::Clock& clock) {
    static const QString baggage = QStringLiteral("20K");
    const SegmentRow r = SegmentAt(row);
    record.setField(r.carrier, AirlineShortName(MidView(seg, 1, 2)));
    record.setField(r.flight, TrimSpacesView(MidView(seg, 1, 6)).toString());
    record.setField(r.cls, TrimSpacesView(MidView(seg, 8, 2)).toString());
    record.setField(r.date, convertDate(MidView(seg, 14, 7), clock));
    record.setField(r.time, hourMinute(seg, 34));
    record.setField(r.baggage, baggage);
}

// The segment texts are the pieces after the first and second ".  " of the text.
void parseSegments(QStringView s1, QStringView s2, bool two, ItineraryRecord& record,
                   const common::Clock& clock) {
    static const QString voidMark = QStringLiteral("VOID");
    record.setField(City1, routeLine(MidView(s1, 21, 3), MidView(s1, 55, 2)));
    fillRow(record, 1, s1, clock);
    if (!two) {
        record.setArrivalTimes(hourMinute(s1, 39), QString());
        record.setField(City2, routeLine(MidView(s1, 24, 3), MidView(s1, 57, 2)));
        record.setField(Carrier2, voidMark);
        record.setField(City3, voidMark);
        return;
    }
    record.setField(City2, routeLine(MidView(s2, 21, 3), MidView(s2, 55, 2)));
    fillRow(record, 2, s2, clock);
    record.setArrivalTimes(hourMinute(s1, 39), hourMinute(s2, 39));
    record.setField(City3, routeLine(MidView(s2, 24, 3), MidView(s2, 57, 2)));
    record.setField(Carrier3, voidMark);
    record.setField(City4, voidMark);
}

void parseFareLine(QStringView text, const Markers& m, ItineraryRecord& record) {
    if (m.fare < 0) return;
    const QStringView f = text.sliced(m.fare);
    if (m.slash >= 0) record.setField(Fare, joined({u"CNY ", f.first(m.slash)}));
    if (m.taxes.size() >= 2) {
        record.setField(
            CnTax,
            joined({u"CN ", BeforeView(pieceAt(f, m.taxes, kTax.size(), 1), u".0"), u".00"}));
        record.setField(
            YqTax,
            joined({u"YQ ", BeforeView(pieceAt(f, m.taxes, kTax.size(), 2), u".00"), u".00"}));
    }
    if (!m.totals.isEmpty())
        record.setField(
            Total,
            joined({u"CNY ", BeforeView(pieceAt(f, m.totals, kTotal.size(), 1), u".00"), u".00"}));
}

// Item k's value when the number after its first "/P" names passenger k: the part before
// "/P"; a missing number names no passenger.
QStringView matchedItem(QStringView item, int k) {
    const qsizetype at = item.indexOf(u"/P");
    if (at < 0) return {};
    qsizetype end = at + 2;
    qint64 number = 0;
    while (end < item.size() && end - at < 8 && item[end] >= u'0' && item[end] <= u'9')
        number = number * 10 + (item[end++].unicode() - u'0');
    if (end == at + 2 || number != k) return {};
    return item.first(at);
}

// A name as the display shows it: without the line breaks of a wrapped line and without
// the number of the item that follows it.
QString wholeName(QStringView piece) {
    QStringView s = TrimSpacesView(piece);
    while (!s.isEmpty() && s.back() >= u'0' && s.back() <= u'9')
        s.chop(1);
    QString name = s.toString();
    name.remove(u'\r');
    name.remove(u'\n');
    return TrimSpaces(name);
}

QStringView dropLast(QStringView s, int n) {
    return s.size() > n ? s.first(s.size() - n) : QStringView();
}

QStringView rightView(QStringView s, int n) {
    return s.size() > n ? s.last(n) : s;
}

void parsePassengers(QStringView text, const Markers& m, ItineraryRecord& record) {
    const QStringView namePart = pieceAt(text, m.segments, kSeparator.size(), 0);
    const int n = int(m.dots.size());
    // The last name and the booking reference: the last item up to the segment's number,
    // its wrapped lines joined.
    const QString lastItem = wholeName(pieceAt(namePart, m.dots, 1, n));
    const QStringView l = lastItem;
    record.setField(PnrCode, rightView(l, 6).toString());
    QList<PassengerRow> rows;
    rows.reserve(n);
    if (n == 1) {
        PassengerRow row;
        row.name = TrimSpacesView(dropLast(l, 6)).toString();
        if (!m.ids.isEmpty()) {
            const QStringView id = pieceAt(text, m.ids, kIdItem.size(), 1);
            const qsizetype idP = id.indexOf(u"/P");
            if (idP >= 0) row.id = secondPiece(id.first(idP), u"NI").toString();
        }
        if (!m.tickets.isEmpty()) {
            const QStringView ticket = pieceAt(text, m.tickets, kTicketItem.size(), 1);
            const qsizetype ticketP = ticket.indexOf(u"/P");
            if (ticketP >= 0) row.ticket = ticket.first(ticketP).toString();
        }
        rows << row;
    } else {
        // Items count only when there is exactly one per passenger.
        const bool idsMatch = m.ids.size() == n, ticketsMatch = m.tickets.size() == n;
        for (int k = 1; k <= n; ++k) {
            PassengerRow row;
            if (k < n)
                row.name = wholeName(pieceAt(namePart, m.dots, 1, k));
            else
                row.name = TrimSpacesView(dropLast(l, 6)).toString();
            if (idsMatch) {
                const QStringView item = matchedItem(pieceAt(text, m.ids, kIdItem.size(), k), k);
                if (!item.isEmpty()) row.id = secondPiece(item, u"NI").toString();
            }
            if (ticketsMatch)
                row.ticket =
                    matchedItem(pieceAt(text, m.tickets, kTicketItem.size(), k), k).toString();
            rows << row;
        }
    }
    record.setPassengers(rows);
}

// The parse proper, over a text in CR LF and the markers found in it.
void parseScanned(QStringView text, const Markers& m, ItineraryRecord& record,
                  common::Messages& messages, const common::Clock& clock) {
    if (m.segments.isEmpty()) {
        messages.show(QStringLiteral("没有找到航段信息"), QStringLiteral("错误提示"));
        return;
    }
    const qsizetype sep = kSeparator.size();
    const bool two = m.segments.size() >= 2;
    parseSegments(pieceAt(text, m.segments, sep, 1),
                  two ? pieceAt(text, m.segments, sep, 2) : QStringView(), two, record, clock);
    parseFareLine(text, m, record);
    // The receipt gets the first two segments; the agent is told of the others.
    QStringList leftOut;
    for (qsizetype k = 3; k <= m.segments.size(); ++k)
        leftOut << TrimSpacesView(MidView(pieceAt(text, m.segments, sep, k), 1, 6)).toString();
    record.setLeftOutFlights(leftOut);

    if (m.dots.isEmpty()) {
        messages.show(QStringLiteral("没有找到乘机人信息"));
        return;
    }
    parsePassengers(text, m, record);
}

} // namespace

QString ConvertSegmentDate(const QString& text, const common::Clock& clock) {
    return convertDate(text, clock);
}

void ParseReservationText(const QString& pastedText, ItineraryRecord& record,
                          common::Messages& messages, const common::Clock& clock) {
    record.startBooking();

    if (pastedText.isEmpty()) return;
    // Line ends are brought to CR LF only when the text holds another kind; the markers
    // are found once, in the text as pasted.
    const Markers m = scanMarkers(pastedText);
    if (m.otherLineEnds == 0)
        parseScanned(pastedText, m, record, messages, clock);
    else
        parseScanned(common::ToCrLf(pastedText), m, record, messages, clock);
}

namespace {

// Rounds half to even when an amount becomes a whole number.
qint64 roundHalfEven(double v) {
    if (!std::isfinite(v)) return 0;
    if (v > 9e15) v = 9e15;
    if (v < -9e15) v = -9e15;
    return qint64(std::nearbyint(v)); // default rounding mode: to nearest, ties to even
}

} // namespace

void FillFromTicketRow(const QString& row, ItineraryRecord& record) {
    QStringList f = common::Split(row, QStringLiteral(";"));
    while (f.size() < 14)
        f << QString(); // a short row reads its missing fields as empty
    // The row is a booking of its own with one passenger.
    record.startBooking();
    record.setField(PnrCode, f.at(3));
    record.setField(Carrier1, AirlineShortName(common::Left(f.at(6), 2)));
    record.setField(Flight1, f.at(6));
    record.setField(Class1, f.at(7));
    record.setField(FareBasis1, f.at(7));
    record.setField(City1, AirportCityName(common::Left(f.at(8), 3)));
    record.setField(City2, AirportCityName(common::Right(f.at(8), 3)));
    record.setField(Date1, f.at(9));
    record.setField(Time1, f.at(10));
    record.setField(Baggage1, QStringLiteral("20K"));
    record.setField(Carrier2, QStringLiteral("VOID"));
    record.setField(City3, QStringLiteral("VOID"));
    record.setField(PassengerName, f.at(4));
    record.setField(IdNumber, f.at(5));
    record.setField(TicketNumber, f.at(1));
    record.takePassengerFromFields();
    record.setField(CheckCode, common::Right(TrimSpaces(f.at(2)), 4));
    record.setField(Fare, QStringLiteral("CNY ") + f.at(11) + QStringLiteral(".00"));
    record.setField(CnTax, QStringLiteral("CN ") + f.at(12) + QStringLiteral(".00"));
    record.setField(YqTax, QStringLiteral("YQ ") + f.at(13) + QStringLiteral(".00"));
    // Amounts that are not numbers count as 0; the sum is kept whole, never wrapped.
    qint64 sum = roundHalfEven(common::LeadingNumber(f.at(11)));
    sum = roundHalfEven(double(sum) + common::LeadingNumber(f.at(12)));
    sum = roundHalfEven(double(sum) + common::LeadingNumber(f.at(13)));
    record.setField(Total, QStringLiteral("CNY ") + QString::number(sum) + QStringLiteral(".00"));
}

} // namespace itin
