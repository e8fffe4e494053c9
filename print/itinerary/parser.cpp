#include "parser.h"

#include "code_tables.h"
#include "text_ops.h"

#include <cmath>

namespace itin {
namespace {

using textops::mid;
using textops::split;
using textops::trimSpaces;

const QString kCrLf = QStringLiteral("\r\n");

QString before(const QString& s, const QString& marker) {
    const qsizetype at = s.indexOf(marker);
    return at < 0 ? s : s.left(at);
}

QString firstLine(const QString& s) {
    return before(s, kCrLf);
}

QString routeLine(const QString& code, const QString& terminal) {
    return AirportCityName(code) + QStringLiteral("   ") +
           (terminal == QLatin1String("--") ? QString() : terminal);
}

QString hourMinute(const QString& seg, int hourAt) {
    return trimSpaces(mid(seg, hourAt, 2)) + QLatin1Char(':') + trimSpaces(mid(seg, hourAt + 2, 2));
}

// Carrier, flight, class, date, time and baggage of one row from a segment text.
void fillRow(ItineraryRecord& record, int row, const QString& seg, const Clock& clock) {
    const SegmentRow r = segmentRow(row);
    record.setField(r.carrier, AirlineShortName(mid(seg, 1, 2)));
    record.setField(r.flight, trimSpaces(mid(seg, 1, 6)));
    record.setField(r.cls, trimSpaces(mid(seg, 8, 2)));
    record.setField(r.date, ConvertSegmentDate(mid(seg, 14, 7), clock));
    record.setField(r.time, hourMinute(seg, 34));
    record.setField(r.baggage, QStringLiteral("20K"));
}

void parseSegments(const QStringList& pieces, PCommon& common, ItineraryRecord& record,
                   const Clock& clock) {
    const QString& s1 = pieces.at(1);
    record.setField(City1, routeLine(mid(s1, 21, 3), mid(s1, 55, 2)));
    fillRow(record, 1, s1, clock);
    common.ArrivalTime1 = hourMinute(s1, 39);
    if (pieces.size() == 2) {
        record.setField(City2, routeLine(mid(s1, 24, 3), mid(s1, 57, 2)));
        record.setField(Carrier2, QStringLiteral("VOID"));
        record.setField(City3, QStringLiteral("VOID"));
        return;
    }
    const QString& s2 = pieces.at(2);
    record.setField(City2, routeLine(mid(s2, 21, 3), mid(s2, 55, 2)));
    fillRow(record, 2, s2, clock);
    common.ArrivalTime2 = hourMinute(s2, 39);
    record.setField(City3, routeLine(mid(s2, 24, 3), mid(s2, 57, 2)));
    record.setField(Carrier3, QStringLiteral("VOID"));
    record.setField(City4, QStringLiteral("VOID"));
}

void parseFareLine(const QString& text, ItineraryRecord& record) {
    const QString marker = QStringLiteral("FN/A/FCNY");
    const qsizetype at = text.indexOf(marker);
    if (at < 0) return;
    const QString f = text.mid(at + marker.size());
    using textops::piece;
    using textops::pieceCount;
    const QString slash = QStringLiteral("/"), tax = QStringLiteral("/TCNY"),
                  total = QStringLiteral("ACNY");
    if (pieceCount(f, slash, 2) >= 2)
        record.setField(Fare, QStringLiteral("CNY ") + piece(f, slash, 0));
    if (pieceCount(f, tax, 3) >= 3) {
        record.setField(CnTax, QStringLiteral("CN ") +
                                   before(piece(f, tax, 1), QStringLiteral(".0")) +
                                   QStringLiteral(".00"));
        record.setField(YqTax, QStringLiteral("YQ ") +
                                   before(piece(f, tax, 2), QStringLiteral(".00")) +
                                   QStringLiteral(".00"));
    }
    if (pieceCount(f, total, 2) >= 2)
        record.setField(Total, QStringLiteral("CNY ") +
                                   before(piece(f, total, 1), QStringLiteral(".00")) +
                                   QStringLiteral(".00"));
}

// The passenger number after the first "/P" of an item, or -1 when it is not a digit.
int passengerDigit(const QString& afterP) {
    if (afterP.isEmpty() || !afterP.at(0).isDigit() || afterP.at(0).unicode() > '9') return -1;
    return afterP.at(0).unicode() - '0';
}

// Item k's value when its "/P" digit names passenger k: the part before "/P".
QString matchedItem(const QString& item, int k) {
    const qsizetype at = item.indexOf(QStringLiteral("/P"));
    if (at < 0) return {};
    if (passengerDigit(item.mid(at + 2)) != k) return {};
    return item.left(at);
}

QString afterNi(const QString& s) {
    const QStringList parts = split(s, QStringLiteral("NI"));
    return parts.size() >= 2 ? parts.at(1) : QString();
}

QString dropLast(const QString& s, int n) {
    return s.size() > n ? s.left(s.size() - n) : QString();
}

void parsePassengers(const QString& text, const QStringList& names, PCommon& common,
                     ItineraryRecord& record) {
    const int n = int(names.size()) - 1;
    QList<PassengerRow> rows;
    if (n == 1) {
        const QString l = trimSpaces(firstLine(names.at(1)));
        record.setField(PnrCode, textops::right(l, 6));
        PassengerRow row;
        row.name = trimSpaces(dropLast(l, 6));
        const QStringList ids = split(text, QStringLiteral("SSR FOID "));
        if (ids.size() >= 2) {
            const QStringList p = split(ids.at(1), QStringLiteral("/P"));
            if (p.size() >= 2) row.id = afterNi(p.at(0));
        }
        const QStringList tickets = split(text, QStringLiteral(".TN/"));
        if (tickets.size() >= 2) {
            const QStringList p = split(tickets.at(1), QStringLiteral("/P"));
            if (p.size() >= 2) row.ticket = p.at(0);
        }
        rows << row;
    } else {
        const QString l = trimSpaces(firstLine(names.at(n)));
        record.setField(PnrCode, textops::right(l, 6));
        const QStringList ids = split(text, QStringLiteral("SSR FOID "));
        const QStringList tickets = split(text, QStringLiteral(".TN/"));
        const bool idsMatch = ids.size() == n + 1;
        const bool ticketsMatch = tickets.size() == n + 1;
        for (int k = 1; k <= n; ++k) {
            PassengerRow row;
            if (k < n)
                row.name = trimSpaces(dropLast(trimSpaces(names.at(k)), 1));
            else
                row.name = trimSpaces(dropLast(l, 6));
            if (idsMatch) {
                const QString item = matchedItem(ids.at(k), k);
                if (!item.isEmpty()) row.id = afterNi(item);
            }
            if (ticketsMatch) row.ticket = matchedItem(tickets.at(k), k);
            rows << row;
        }
    }
    SetPassengerList(common, record, rows);
}

} // namespace

QString ConvertSegmentDate(const QString& text, const Clock& clock) {
    const QString t = trimSpaces(text);
    const QString day = mid(t, 1, 2);
    const QString month = MonthNumber(mid(t, 3, 3));
    if (t.size() == 7) return mid(t, 6, 2) + QLatin1Char('-') + month + QLatin1Char('-') + day;
    return QString::number(clock.today().year()).rightJustified(4, QLatin1Char('0')) +
           QLatin1Char('-') + month + QLatin1Char('-') + day;
}

void ParseReservationText(const QString& pastedText, PCommon& common, ItineraryRecord& record,
                          Messages& messages, const Clock& clock) {
    common.CurrentPassenger = 0;
    ResetPassengerButtons(record);
    ClearParsedFields(record);

    const QString text = textops::toCrLf(pastedText);
    if (text.isEmpty()) return;

    const QStringList pieces = split(text, QStringLiteral(".  "));
    if (pieces.size() < 2) {
        messages.show(QStringLiteral("没有找到航段信息"), QStringLiteral("错误提示"));
        return;
    }
    parseSegments(pieces, common, record, clock);
    parseFareLine(text, record);

    const QStringList names = split(pieces.at(0), QStringLiteral("."));
    if (names.size() < 2) {
        messages.show(QStringLiteral("没有找到乘机人信息"));
        return;
    }
    parsePassengers(text, names, common, record);
}

namespace {

// Rounds half to even, as the legacy whole-number conversion does.
qint64 roundHalfEven(double v) {
    if (!std::isfinite(v)) return 0;
    if (v > 9e15) v = 9e15;
    if (v < -9e15) v = -9e15;
    return qint64(std::nearbyint(v)); // default rounding mode: to nearest, ties to even
}

} // namespace

void FillFromTicketRow(const QString& row, ItineraryRecord& record) {
    QStringList f = split(row, QStringLiteral(";"));
    while (f.size() < 14)
        f << QString(); // a short row reads its missing fields as empty
    record.setField(PnrCode, f.at(3));
    record.setField(Carrier1, AirlineShortName(textops::left(f.at(6), 2)));
    record.setField(Flight1, f.at(6));
    record.setField(Class1, f.at(7));
    record.setField(FareBasis1, f.at(7));
    record.setField(City1, AirportCityName(textops::left(f.at(8), 3)));
    record.setField(City2, AirportCityName(textops::right(f.at(8), 3)));
    record.setField(Date1, f.at(9));
    record.setField(Time1, f.at(10));
    record.setField(Baggage1, QStringLiteral("20K"));
    record.setField(Carrier2, QStringLiteral("VOID"));
    record.setField(City3, QStringLiteral("VOID"));
    record.setField(PassengerName, f.at(4));
    record.setField(IdNumber, f.at(5));
    record.setField(TicketNumber, f.at(1));
    record.setField(CheckCode, textops::right(trimSpaces(f.at(2)), 4));
    record.setField(Fare, QStringLiteral("CNY ") + f.at(11) + QStringLiteral(".00"));
    record.setField(CnTax, QStringLiteral("CN ") + f.at(12) + QStringLiteral(".00"));
    record.setField(YqTax, QStringLiteral("YQ ") + f.at(13) + QStringLiteral(".00"));
    // Amounts that are not numbers count as 0; the sum is kept whole, never wrapped.
    qint64 sum = roundHalfEven(textops::leadingNumber(f.at(11)));
    sum = roundHalfEven(double(sum) + textops::leadingNumber(f.at(12)));
    sum = roundHalfEven(double(sum) + textops::leadingNumber(f.at(13)));
    record.setField(Total, QStringLiteral("CNY ") + QString::number(sum) + QStringLiteral(".00"));
}

} // namespace itin
