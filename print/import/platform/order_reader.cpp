#include "import/platform/order_reader.h"

#include "import/platform/platform_texts.h"
#include "itinerary/code_tables.h"

#include <QHash>
#include <QStringList>

#include <cmath>

namespace ximport {

using browser::DomDocument;
using browser::DomNode;
using namespace itin;

namespace {

// Collects the first problem; later lookups on a failed read return empty texts. The
// elements are indexed once, so every lookup is cheap and the read stays linear in the
// size of the page (thousands of passengers read as fast as one).
struct Reader {
    explicit Reader(const DomDocument& d) { index(d.root); }

    QString problem;

    // The element's text, without its markup (a price in a coloured font is a number).
    QString byId(const QString& id) {
        const auto it = ids_.constFind(id);
        if (it == ids_.constEnd()) {
            fail(QStringLiteral("no element ") + id);
            return {};
        }
        return it.value()->textContent().trimmed();
    }
    qint64 number(const QString& id) {
        const QString text = byId(id);
        qint64 v = 0;
        if (problem.isEmpty() && !WholeNumber(text, v))
            fail(id + QStringLiteral(" is not a number"));
        return v;
    }
    // The element at index among the document's elements of tag (INPUT or TABLE).
    const DomNode* nth(const QString& tag, int index) {
        const std::vector<const DomNode*>& all = tag.toUpper() == u"INPUT" ? inputs_ : tables_;
        if (index >= 0 && size_t(index) < all.size()) return all[size_t(index)];
        fail(QStringLiteral("no %1 element %2").arg(tag).arg(index));
        return nullptr;
    }
    void fail(const QString& what) {
        if (problem.isEmpty()) problem = what;
    }

private:
    void index(const DomNode& n) {
        if (n.kind != DomNode::Element) return;
        const QString id = n.id();
        if (!id.isEmpty() && !ids_.contains(id)) ids_.insert(id, &n); // the first, as by id
        if (n.tag == u"INPUT") inputs_.push_back(&n);
        if (n.tag == u"TABLE") tables_.push_back(&n);
        for (const DomNode& c : n.children)
            index(c);
    }

    QHash<QString, const DomNode*> ids_;
    std::vector<const DomNode*> inputs_;
    std::vector<const DomNode*> tables_;
};

// The text of a table cell cut from markup: tags dropped, the common entities decoded.
QString cellText(const QString& cell) {
    QString out;
    out.reserve(cell.size());
    bool inTag = false;
    for (const QChar c : cell) {
        if (c == u'<')
            inTag = true;
        else if (c == u'>')
            inTag = false;
        else if (!inTag)
            out += c;
    }
    out.replace(QStringLiteral("&NBSP;"), QStringLiteral(" "), Qt::CaseInsensitive)
        .replace(QStringLiteral("&LT;"), QStringLiteral("<"), Qt::CaseInsensitive)
        .replace(QStringLiteral("&GT;"), QStringLiteral(">"), Qt::CaseInsensitive)
        .replace(QStringLiteral("&AMP;"), QStringLiteral("&"), Qt::CaseInsensitive);
    return out.trimmed();
}

// The text of a cell that must hold some.
QString cellValue(const QString& cell, Reader& r) {
    const QString text = cellText(cell);
    if (text.isEmpty()) r.fail(QStringLiteral("an empty cell"));
    return text;
}

// Element k of text split at sep, or a recorded problem.
QString part(const QString& text, QChar sep, int k, Reader& r) {
    const QStringList parts = text.split(sep);
    if (k < parts.size()) return parts.at(k);
    r.fail(QStringLiteral("a cell lacks part %1").arg(k));
    return {};
}

// (CnTax, YqTax) amounts for the whole tax of platform 0.
QPair<int, int> taxSplit(qint64 tax) {
    static const struct {
        qint64 tax;
        int cn, yq;
    } kSplit[] = {{170, 50, 120}, {120, 50, 70}, {70, 0, 70}};
    for (const auto& s : kSplit)
        if (s.tax == tax) return {s.cn, s.yq};
    return {0, 0};
}

QString money(const QString& prefix, qint64 v) {
    return prefix + QString::number(v) + QStringLiteral(".00");
}

struct Segment {
    QString origin, destination, carrier, flight, cls, date, time;
};

Segment readSegment(const QString& row, Reader& r) {
    const QStringList cells = row.split(QStringLiteral("</TD>"));
    if (cells.size() < 5) {
        r.fail(QStringLiteral("a segment row has too few cells"));
        return {};
    }
    Segment s;
    const QString route = cellValue(cells.at(0), r);
    s.origin = part(route, u'-', 0, r);
    s.destination = part(route, u'-', 1, r);
    s.flight = cellValue(cells.at(2), r);
    s.carrier = AirlineShortName(s.flight.left(2));
    s.cls = cellValue(cells.at(3), r);
    const int paren = s.cls.indexOf(u'(');
    if (paren >= 0) s.cls.truncate(paren);
    const QString when = cellValue(cells.at(4), r);
    s.date = part(when, u' ', 0, r);
    s.time = part(when, u' ', 1, r);
    // Hours and minutes: the seconds go when there are any ("14:30:00"), "14:30" stays.
    if (s.time.count(u':') >= 2) s.time.truncate(s.time.lastIndexOf(u':'));
    if (s.time.size() == 4) s.time.prepend(u'0');
    return s;
}

void writeSegment(QList<QPair<int, QString>>& out, int row, const Segment& s) {
    const SegmentRow r = SegmentAt(row);
    out << qMakePair(r.carrier, s.carrier) << qMakePair(r.flight, s.flight)
        << qMakePair(r.cls, s.cls) << qMakePair(r.date, s.date) << qMakePair(r.time, s.time)
        << qMakePair(r.baggage, QStringLiteral("20K"));
}

QStringList upperRows(Reader& r, int tableIndex) {
    const DomNode* t = r.nth(QStringLiteral("table"), tableIndex);
    return t ? t->innerMarkup().toUpper().split(QStringLiteral("</TR>")) : QStringList();
}

OrderRead finish(Reader& r, OrderRead out) {
    out.ok = r.problem.isEmpty();
    out.problem = r.problem;
    if (!out.ok) {
        out.fields.clear();
        out.passengers.clear();
    }
    return out;
}

} // namespace

bool WholeNumber(const QString& text, qint64& out) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v) || std::fabs(v) > 1e12) return false;
    out = qint64(std::nearbyint(v)); // the default rounding mode: half to even
    return true;
}

OrderRead ReadFirstPlatformOrder(const DomDocument& d) {
    Reader r(d);
    OrderRead out;
    const QString flight = r.byId(QStringLiteral("FlightNo"));
    out.fields << qMakePair(int(City1), r.byId(QStringLiteral("StartCity")))
               << qMakePair(int(Carrier1), AirlineShortName(flight.left(2)))
               << qMakePair(int(Flight1), flight)
               << qMakePair(int(Class1), r.byId(QStringLiteral("C")))
               << qMakePair(int(Date1), r.byId(QStringLiteral("Sdate")))
               << qMakePair(int(Time1), r.byId(QStringLiteral("Stime")))
               << qMakePair(int(Baggage1), QStringLiteral("20K"))
               << qMakePair(int(City2), r.byId(QStringLiteral("EndCity")))
               << qMakePair(int(Carrier2), QStringLiteral("VOID"))
               << qMakePair(int(City3), QStringLiteral("VOID"));
    const qint64 fare = r.number(QStringLiteral("S"));
    const qint64 tax = r.number(QStringLiteral("Tax"));
    const auto [cn, yq] = taxSplit(tax);
    out.fields << qMakePair(int(Fare), money(QStringLiteral("CNY "), fare))
               << qMakePair(int(CnTax), money(QStringLiteral("CN"), cn))
               << qMakePair(int(YqTax), money(QStringLiteral("YQ"), yq))
               << qMakePair(int(Total), money(QStringLiteral("CNY "), fare + tax));
    const qint64 people = r.number(QStringLiteral("PeopleNum"));
    if (r.problem.isEmpty() && people < 1) r.fail(QStringLiteral("no passengers"));
    for (qint64 k = 0; r.problem.isEmpty() && k < people; ++k) {
        PassengerRow row;
        row.name = r.byId(QStringLiteral("Gname") + QString::number(k + 1));
        const DomNode* id = r.nth(QStringLiteral("input"), int(31 + 4 * k));
        const DomNode* ticket = r.nth(QStringLiteral("input"), int(32 + 4 * k));
        if (!id || !ticket) break;
        row.id = id->value;
        row.ticket = ticket->value;
        out.passengers << row;
    }
    return finish(r, out);
}

OrderRead ReadSecondPlatformOrder(const DomDocument& d) {
    Reader r(d);
    OrderRead out;
    const QStringList rows = upperRows(r, 2);
    if (r.problem.isEmpty() && rows.size() < 4) r.fail(QStringLiteral("no segment rows"));
    if (!r.problem.isEmpty()) return finish(r, out);
    const bool one = rows.size() - 1 == 3;
    if (!one && rows.size() < 5) r.fail(QStringLiteral("no second segment row"));
    const Segment s1 = readSegment(rows.at(2), r);
    out.fields << qMakePair(int(City1), s1.origin);
    writeSegment(out.fields, 1, s1);
    out.fields << qMakePair(int(City2), s1.destination);
    if (one) {
        out.fields << qMakePair(int(Carrier2), QStringLiteral("VOID"))
                   << qMakePair(int(City3), QStringLiteral("VOID"));
    } else if (r.problem.isEmpty()) {
        const Segment s2 = readSegment(rows.at(3), r);
        writeSegment(out.fields, 2, s2);
        out.fields << qMakePair(int(City3), s2.destination)
                   << qMakePair(int(Carrier3), QStringLiteral("VOID"))
                   << qMakePair(int(City4), QStringLiteral("VOID"));
    }
    const QString tax = r.byId(QStringLiteral("lblTax"));
    out.fields << qMakePair(int(Fare), QStringLiteral("CNY ") +
                                           r.byId(QStringLiteral("lblFacePrice")) +
                                           QStringLiteral(".00"))
               << qMakePair(int(CnTax),
                            QStringLiteral("CN") + part(tax, u'/', 0, r) + QStringLiteral(".00"))
               << qMakePair(int(YqTax),
                            QStringLiteral("YQ") + part(tax, u'/', 1, r) + QStringLiteral(".00"))
               << qMakePair(int(Total), QStringLiteral("CNY ") +
                                            r.byId(QStringLiteral("lblTotalMoney")) +
                                            QStringLiteral(".00"));
    const QStringList people = upperRows(r, 8);
    const int n = int(people.size()) - 2;
    if (r.problem.isEmpty() && n < 1) r.fail(QStringLiteral("no passengers"));
    for (int k = 1; r.problem.isEmpty() && k <= n; ++k) {
        const QStringList c = people.at(k).split(QStringLiteral("</TD>"));
        if (c.size() < 4) {
            r.fail(QStringLiteral("a passenger row has too few cells"));
            break;
        }
        PassengerRow row;
        row.name = cellValue(c.at(0), r);
        const int dash = row.name.indexOf(u'-');
        if (dash >= 0) row.name.truncate(dash);
        row.id = cellText(c.at(1));
        row.ticket = cellText(c.at(3));
        out.passengers << row;
    }
    return finish(r, out);
}

OrderRead ReadPlatformOrder(int platform, const DomDocument& detail) {
    if (detail.root.outerMarkup().size() > kMaxPageMarkup) {
        OrderRead out;
        out.problem = PageTooLargeMessage();
        return out;
    }
    return platform == 0 ? ReadFirstPlatformOrder(detail) : ReadSecondPlatformOrder(detail);
}

QString ApplyOrder(const OrderRead& order, const QString& platformPnr, ItineraryRecord& record) {
    if (!order.ok) return UnreadableOrderStatus();
    record.startBooking();
    record.setField(PnrQuery, platformPnr);
    for (const auto& [index, text] : order.fields)
        record.setField(index, text);
    record.setPassengers(order.passengers);
    return OrderReadStatus();
}

} // namespace ximport
